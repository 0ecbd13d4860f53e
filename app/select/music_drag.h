#pragma once

#include <QPoint>

#include <functional>

#include "shell/dialog_seam.h"

class QEvent;
class QObject;
class QWidget;
class TReelsmithRecord;

// Dragged music travels in the tag of the control that starts the drag: the control keeps a
// reference to the record (it does not own it), and a drop target takes the record from the
// drag's source control. A control's tag is empty until set.
void SetTag(QObject* control, TReelsmithRecord* record);
TReelsmithRecord* Tag(const QObject* control);

// Does a drag from this source carry a record? A drop target accepts exactly then; pass the drag
// event's source() (which may be null for drags from other programs).
bool CarriesRecord(const QObject* dragSource);

// Runs a drag of the record in the source's tag until it is dropped or cancelled.
void ExecMusicDrag(QWidget* source);

// A drag holds the mouse until a person lets go: tests answer it here, dropping where they like
// (true: the drag was handled and no real one runs).
struct TMusicDragRequest {
  QWidget* source = nullptr;
};
using TMusicDragSeam = TDialogSeam<TMusicDragRequest, bool>;

// The drag events a drop target sees (drag enter, drag move, drop): `accepts` decides whether a
// drag over this point may drop, and `drop` takes the drop, its errors shown as any command's.
// Answers whether the event was one of the three.
using TMusicDropTest = std::function<bool(QObject* source, const QPoint& pos)>;
using TMusicDropAction = std::function<void(QObject* source, const QPoint& pos)>;
bool HandleMusicDropEvent(QEvent* event, const TMusicDropTest& accepts,
                          const TMusicDropAction& drop);

// A drag that waits for the mouse to move past the platform's drag distance before it starts.
class TDragStarter {
 public:
  void Arm(const QPoint& pressPos);
  void Disarm() { armed_ = false; }
  bool Armed() const { return armed_; }
  // True once, when an armed drag has moved far enough; the starter is then disarmed.
  bool ShouldStart(const QPoint& pos);

 private:
  bool armed_ = false;
  QPoint pressPos_;
};
