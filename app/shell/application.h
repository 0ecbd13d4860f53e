#pragma once

#include <QApplication>

#include <exception>
#include <stdexcept>
#include <utility>

#include "shell/message_dialog.h"

// The program's application object. An exception that escapes an event handler (a slot, a
// timer, a paint or mouse handler) is shown by the standard error report (ShowException in
// shell/message_dialog.h) and the event loop carries on, instead of the process ending.
//
// This is the last resort: an exception that unwinds through Qt's own widget code skips that
// code's clean-up (Qt's widget modules are built without exception support), which can leave a
// copy of the event behind. Slots and callbacks that can fail are therefore connected through
// Guarded below, which reports the failure before it reaches Qt.
class TReelsmithApplication : public QApplication {
  Q_OBJECT

 public:
  TReelsmithApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;
};

// The standard error report of any exception, including ones not derived from std::exception.
// Call only from inside a catch block.
void ShowCurrentException();

// Wraps a handler so that an exception it raises is shown by the standard error report right
// there, without unwinding through Qt:
//   connect(button, &QPushButton::clicked, this, Guarded([this] { Save(); }));
template <typename F>
auto Guarded(F handler) {
  return [handler = std::move(handler)](auto&&... args) mutable {
    try {
      handler(std::forward<decltype(args)>(args)...);
    } catch (...) {
      ShowCurrentException();
    }
  };
}
