#include "cassette/time_edit.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>

#include "cassette/duration.h"

TTimeEdit::TTimeEdit(QWidget* parent) : QLineEdit(parent) {}

int TTimeEdit::Time() const {
  int minutes = 0, seconds = 0;
  if (!ParseDuration(text(), minutes, seconds)) return -1;
  return minutes * 60 + seconds;
}

void TTimeEdit::SetTime(int seconds) { setText(FormatDuration(seconds)); }

void TTimeEdit::keyPressEvent(QKeyEvent* event) {
  const QString typed = event->text();
  // Shortcuts (paste, select all, undo) and keys that type nothing (arrows, Delete, Escape)
  // are the line edit's own business.
  const Qt::KeyboardModifiers chord = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
  if (typed.size() != 1 || (event->modifiers() & chord)) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  const char16_t c = typed[0].unicode();
  if (c == u'\r') {
    // Enter behaves like Tab: the focus moves on and the focus-out check follows. The event
    // queue owns posted events.
    QCoreApplication::postEvent(this, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
    QCoreApplication::postEvent(this,
                                new QKeyEvent(QEvent::KeyRelease, Qt::Key_Tab, Qt::NoModifier));
    event->accept();
    return;
  }
  if (IsTimeChar(c) || c == u'\b' || c == u'.' || !typed[0].isPrint()) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  event->accept();  // any other character is dropped
}

void TTimeEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (Time() < 0 && OnInvalidText) OnInvalidText(this);
}
