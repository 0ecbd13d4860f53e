#include "shell/file_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>

QString AskFileName(QWidget* parent, const TFileDialogRequest& request) {
  if (auto answer = TFileDialogSeam::Ask(request)) return *answer;
  QFileDialog dialog(parent, request.title);
  dialog.setNameFilter(request.filter);
  dialog.setDefaultSuffix(request.defaultSuffix);
  if (request.kind == TFileDialogRequest::Open) {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return QFileInfo(dialog.selectedFiles().first()).absoluteFilePath();
}

QString AskFolderName(QWidget* parent, const TFolderDialogRequest& request) {
  if (auto answer = TFolderDialogSeam::Ask(request)) return *answer;
  const QString folder = QFileDialog::getExistingDirectory(parent, request.title);
  return folder.isEmpty() ? QString() : QFileInfo(folder).absoluteFilePath();
}
