#include "select/music_drag.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QObject>
#include <QVariant>
#include <QWidget>

#include "shell/application.h"
#include "shell/drag_cursor.h"

namespace {

constexpr char kTagProperty[] = "ReelsmithTag";
// The record itself stays in the tag; the mime type only marks the drag as ours.
constexpr char kMusicMimeType[] = "application/x-reelsmith-music";

}  // namespace

void SetTag(QObject* control, TReelsmithRecord* record) {
  if (control == nullptr) return;
  control->setProperty(kTagProperty, QVariant::fromValue(static_cast<void*>(record)));
}

TReelsmithRecord* Tag(const QObject* control) {
  if (control == nullptr) return nullptr;
  const QVariant v = control->property(kTagProperty);
  return v.isValid() ? static_cast<TReelsmithRecord*>(v.value<void*>()) : nullptr;
}

bool CarriesRecord(const QObject* dragSource) { return Tag(dragSource) != nullptr; }

void ExecMusicDrag(QWidget* source) {
  if (!CarriesRecord(source)) return;
  if (TMusicDragSeam::Ask({source})) return;
  auto* drag = new QDrag(source);  // owned by source; Qt deletes it when the drag ends
  auto* mime = new QMimeData;      // owned by the drag
  mime->setData(kMusicMimeType, QByteArray());
  drag->setMimeData(mime);
  drag->setDragCursor(DragMusicCursor(), Qt::CopyAction);
  drag->exec(Qt::CopyAction);
}

bool HandleMusicDropEvent(QEvent* event, const TMusicDropTest& accepts,
                          const TMusicDropAction& drop) {
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDragMoveEvent*>(event);
      if (accepts(drag->source(), drag->position().toPoint()))
        drag->acceptProposedAction();
      else
        drag->ignore();
      return true;
    }
    case QEvent::Drop: {
      auto* dropEvent = static_cast<QDropEvent*>(event);
      if (!accepts(dropEvent->source(), dropEvent->position().toPoint())) {
        dropEvent->ignore();
        return true;
      }
      dropEvent->acceptProposedAction();
      try {
        drop(dropEvent->source(), dropEvent->position().toPoint());
      } catch (...) {
        ShowCurrentException();
      }
      return true;
    }
    default:
      return false;
  }
}

void TDragStarter::Arm(const QPoint& pressPos) {
  armed_ = true;
  pressPos_ = pressPos;
}

bool TDragStarter::ShouldStart(const QPoint& pos) {
  if (!armed_ || (pos - pressPos_).manhattanLength() < QApplication::startDragDistance()) {
    return false;
  }
  armed_ = false;
  return true;
}
