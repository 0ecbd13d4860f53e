#include "shell/screen_room.h"

#include <QMargins>
#include <QScreen>
#include <QWidget>
#include <QWindow>

QSize ScreenRoom(const QWidget* window) {
  const QWidget* top = window->window();
  const QScreen* screen = top->screen();
  if (screen == nullptr) return QSize();
  QSize room = screen->availableGeometry().size();
  if (const QWindow* handle = top->windowHandle()) {
    const QMargins frame = handle->frameMargins();
    room -= QSize(frame.left() + frame.right(), frame.top() + frame.bottom());
  }
  return room;
}
