#include "shell/application.h"

TReelsmithApplication::TReelsmithApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TReelsmithApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    ShowCurrentException();
  }
  // The event counts as handled: whatever the handler did before failing stands.
  return true;
}

void ShowCurrentException() {
  try {
    throw;
  } catch (const std::exception& e) {
    ShowException(e);
  } catch (...) {
    ShowException(std::runtime_error("An unknown error occurred."));
  }
}
