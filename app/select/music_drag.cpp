#include "select/music_drag.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QObject>
#include <QVariant>
#include <QWidget>

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
