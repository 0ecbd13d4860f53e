#pragma once

#include <QApplication>

// The program's application object. An exception that escapes an event handler (a slot, a
// timer, a paint or mouse handler) is shown by the standard error report (ShowException in
// shell/msgdlg.h) and the event loop carries on, instead of the process ending.
class TReelsmithApplication : public QApplication {
  Q_OBJECT

 public:
  TReelsmithApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;
};
