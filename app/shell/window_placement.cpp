#include "shell/window_placement.h"

#include <QScreen>

#include <algorithm>
#include <array>

#include "platform/exceptions.h"
#include "platform/profile.h"

namespace {

// The keys in the order the placement fields are read and written.
constexpr const char* kKeys[] = {"PlaceFlags",    "PlaceShowCmd", "PlaceMinPosX",  "PlaceMinPosY",
                                 "PlaceMaxPosX",  "PlaceMaxPosY", "PlaceNormPosL", "PlaceNormPosT",
                                 "PlaceNormPosR", "PlaceNormPosB"};

std::array<int*, 10> Fields(TWindowPlacement& p) {
  return {&p.flags,
          &p.showCmd,
          &p.minPosition.rx(),
          &p.minPosition.ry(),
          &p.maxPosition.rx(),
          &p.maxPosition.ry(),
          &p.left,
          &p.top,
          &p.right,
          &p.bottom};
}

void ZeroOutside(int& value, int limit) {
  if (value < 0 || value > limit) value = 0;
}

}  // namespace

bool GetWindowPlacement(const QWidget* window, TWindowPlacement& placement) {
  if (window == nullptr || !window->isWindow()) return false;
  // A window that was never shown has no normal geometry of its own yet.
  QRect normal = window->normalGeometry();
  if (!normal.isValid()) normal = window->geometry();

  placement = TWindowPlacement();
  const Qt::WindowStates state = window->windowState();
  if (state & Qt::WindowMinimized) {
    placement.showCmd = TWindowPlacement::kShowMinimized;
    if (state & Qt::WindowMaximized) placement.flags |= TWindowPlacement::kRestoreToMaximized;
  } else if (state & Qt::WindowMaximized) {
    placement.showCmd = TWindowPlacement::kShowMaximized;
    placement.maxPosition = window->frameGeometry().topLeft();
  }
  placement.left = normal.left();
  placement.top = normal.top();
  placement.right = normal.left() + normal.width();
  placement.bottom = normal.top() + normal.height();
  return true;
}

void SetWindowPlacement(QWidget* window, const TWindowPlacement& placement) {
  // The normal geometry is set on a normal window, so a later restore returns to it.
  window->setWindowState(Qt::WindowNoState);
  window->setGeometry(placement.left, placement.top, placement.right - placement.left,
                      placement.bottom - placement.top);
  switch (placement.showCmd) {
    case TWindowPlacement::kHide:
      window->hide();
      break;
    case TWindowPlacement::kShowMinimized:
      if (placement.flags & TWindowPlacement::kRestoreToMaximized) {
        window->setWindowState(Qt::WindowMinimized | Qt::WindowMaximized);
        window->show();
      } else {
        window->showMinimized();
      }
      break;
    case TWindowPlacement::kShowMaximized:
      window->showMaximized();
      break;
    default:
      window->showNormal();
      break;
  }
}

bool CorrectPlacement(TWindowPlacement& p, const QSize& screen) {
  ZeroOutside(p.minPosition.rx(), screen.width());
  ZeroOutside(p.minPosition.ry(), screen.height());
  ZeroOutside(p.maxPosition.rx(), screen.width());
  ZeroOutside(p.maxPosition.ry(), screen.height());
  if (p.left < 0 || p.left > screen.width()) {
    p.right -= p.left;
    p.left = 0;
  }
  if (p.top < 0 || p.top > screen.height()) {
    p.bottom -= p.top;
    p.top = 0;
  }
  return p.left < p.right;
}

void KeepOnScreen(TWindowPlacement& p, const QRect& room) {
  if (!room.isValid()) return;
  auto fit = [](int& low, int& high, int start, int length) {
    high = low + std::min(high - low, length);
    const int end = start + length;
    if (high > end) {
      low -= high - end;
      high = end;
    }
    if (low < start) {
      high += start - low;
      low = start;
    }
  };
  fit(p.left, p.right, room.left(), room.width());
  fit(p.top, p.bottom, room.top(), room.height());
}

TPlacement::TPlacement(QWidget* owner) : QObject(owner) {}

QWidget* TPlacement::Owner() const { return qobject_cast<QWidget*>(parent()); }

QString TPlacement::Section() const {
  if (!section_.isEmpty() || parent() == nullptr) return section_;
  return parent()->objectName();
}

void TPlacement::RestorePlacement() {
  QWidget* window = Owner();
  if (iniFileName_.isEmpty() || window == nullptr) return;

  const TProfile profile(iniFileName_);
  const QString section = Section();
  TWindowPlacement stored;
  auto fields = Fields(stored);
  for (size_t i = 0; i < fields.size(); ++i)
    *fields[i] = profile.ReadInteger(section, kKeys[i], *fields[i]);
  if (forceInvisible_) stored.showCmd = TWindowPlacement::kHide;

  const QScreen* screen = window->screen();
  const bool valid = CorrectPlacement(stored, screen != nullptr ? screen->size() : QSize());

  TWindowPlacement current;
  if (!setSize_ && GetWindowPlacement(window, current)) {
    stored.right = stored.left + (current.right - current.left);
    stored.bottom = stored.top + (current.bottom - current.top);
  }
  // A rectangle stored on a larger screen, or at a smaller scale, would leave part of the window
  // out of reach.
  if (valid && screen != nullptr) KeepOnScreen(stored, screen->availableGeometry());
  if (valid) SetWindowPlacement(window, stored);
}

void TPlacement::SavePlacement() {
  if (iniFileName_.isEmpty()) return;
  TWindowPlacement placement;
  if (!GetWindowPlacement(Owner(), placement))
    throw Exception(QStringLiteral("Unable to retrieve window placement"));

  TProfile profile(iniFileName_);
  const QString section = Section();
  auto fields = Fields(placement);
  for (size_t i = 0; i < fields.size(); ++i) profile.WriteInteger(section, kKeys[i], *fields[i]);
}
