#pragma once

#include <QApplication>

// The busy cursor for as long as the object lives, also when an exception leaves the scope.
// Without a widget application (non-visual tests) it does nothing.
class TBusyCursor {
 public:
  TBusyCursor() : shown_(qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
    if (shown_) QApplication::setOverrideCursor(Qt::WaitCursor);
  }
  ~TBusyCursor() {
    if (shown_) QApplication::restoreOverrideCursor();
  }
  TBusyCursor(const TBusyCursor&) = delete;
  TBusyCursor& operator=(const TBusyCursor&) = delete;

 private:
  bool shown_;
};
