#include "shell/modal_dialog.h"

#include <QDialog>
#include <QGuiApplication>

#include <cstdio>

int ExecModal(QDialog& dialog) {
  const QString platform = QGuiApplication::platformName();
  if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
    std::fprintf(stderr, "%s: not shown, nobody can answer it here\n",
                 qPrintable(dialog.windowTitle()));
    return QDialog::Rejected;
  }
  return dialog.exec();
}
