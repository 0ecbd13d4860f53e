#include "catalogue/catalogue_file_commands.h"

#include <QDir>
#include <QFileInfo>

#include "client/database.h"
#include "shell/busy_cursor.h"
#include "shell/file_dialogs.h"
#include "shell/last_file.h"
#include "shell/message_dialog.h"

namespace {

const char kCatalogueFilter[] = "Reelsmith (*.mus)";

TFileDialogRequest OpenRequest(const QString& title) {
  TFileDialogRequest r;
  r.kind = TFileDialogRequest::Open;
  r.title = title;
  r.filter = QStringLiteral("Reelsmith (*.mus);;All files (*)");
  r.defaultSuffix = QStringLiteral("mus");
  return r;
}

qint64 FileSize(const QString& path) {
  const QFileInfo info(path);
  return info.exists() ? info.size() : -1;
}

}  // namespace

TCatalogueFileCommands::TCatalogueFileCommands(TReelsmithDB& db, TAutoFile& autoFile,
                                               QWidget* parent)
    : db_(db), autoFile_(autoFile), parent_(parent) {}

QString TCatalogueFileCommands::RepairLogPath() {
  return QDir::current().absoluteFilePath(QStringLiteral("muserror.txt"));
}

void TCatalogueFileCommands::ShowError(const QString& text) {
  MessageDlg(text, mtError, mbOK, parent_);
}

bool TCatalogueFileCommands::CheckSaveAndClear() {
  bool result = true;
  if (db_.Changed()) {
    switch (MessageDlg(QStringLiteral("The current database has changed. Do you want to save it?"),
                       mtConfirmation, mbYesNoCancel, parent_)) {
      case mrYes:
        result = FileSave();
        break;
      case mrCancel:
        result = false;
        break;
      default:
        break;
    }
  }
  if (result) db_.Clear();
  return result;
}

bool TCatalogueFileCommands::FileNew() {
  if (!CheckSaveAndClear()) return false;
  autoFile_.SetLastFile(QString());
  return true;
}

TCatalogueFileCommands::TLoadResult TCatalogueFileCommands::Load(
    const QString& fileName, const std::function<void(const QString&)>& reportFailure) {
  // The library says a repair happened only through its notice text, which may also be left
  // over from an earlier load; the log it appends to is the reliable sign.
  const qint64 logBefore = FileSize(RepairLogPath());
  db_.SetFileName(fileName);
  bool loaded;
  {
    TBusyCursor busy;
    loaded = db_.Load();
  }
  if (!loaded) {
    const QString why = db_.ErrorText();
    if (!db_.Changed()) db_.Clear();  // untitled: nothing can be saved over the unread file
    if (reportFailure)
      reportFailure(why);
    else
      ShowError(why);
    return lrFailed;
  }
  if (FileSize(RepairLogPath()) != logBefore) {
    MessageDlg(QStringLiteral("%1\n\nThe damaged albums were removed from the catalogue. The repair "
                              "log is %2.")
                   .arg(db_.ErrorText(), RepairLogPath()),
               mtWarning, mbOK, parent_);
    return lrRepaired;
  }
  return lrLoaded;
}

void TCatalogueFileCommands::FileOpen() {
  // The library loads only into an empty catalogue, so it is emptied before the dialog shows.
  if (!CheckSaveAndClear()) return;
  const QString fileName = AskFileName(parent_, OpenRequest(QString()));
  if (fileName.isEmpty()) return;
  if (Load(fileName) != lrFailed) autoFile_.SetLastFile(fileName);
}

bool TCatalogueFileCommands::TrySave(const QString& fileName) {
  db_.SetFileName(fileName);
  TBusyCursor busy;
  return db_.Save();
}

bool TCatalogueFileCommands::FileSave() {
  const QString previous = db_.FileName();
  if (TrySave(previous)) return true;
  ShowError(db_.ErrorText());
  autoFile_.SetLastFile(QString());
  db_.SetFileName(QString());
  if (FileSaveAs()) return true;
  // The catalogue still belongs to the file it came from; the caption never stopped saying so.
  db_.SetFileName(previous);
  if (!previous.isEmpty()) autoFile_.SetLastFile(previous);
  return false;
}

bool TCatalogueFileCommands::FileSaveAs() {
  const QString previous = db_.FileName();
  TFileDialogRequest request;
  request.kind = TFileDialogRequest::Save;
  request.filter = QString::fromLatin1(kCatalogueFilter);
  request.defaultSuffix = QStringLiteral("mus");
  for (;;) {
    const QString fileName = AskFileName(parent_, request);
    if (fileName.isEmpty()) break;
    if (TrySave(fileName)) {
      autoFile_.SetLastFile(fileName);
      return true;
    }
    if (MessageDlg(QStringLiteral(
                       "Unable to save file under this name.  Please try another file name."),
                   mtError, mbOKCancel, parent_) != mrOk)
      break;
  }
  db_.SetFileName(previous);
  return false;
}

void TCatalogueFileCommands::Merge() {
  const QString fileName = AskFileName(parent_, OpenRequest(QStringLiteral("Merge")));
  if (fileName.isEmpty()) return;
  bool merged;
  {
    TBusyCursor busy;
    merged = db_.Merge(fileName);
  }
  if (!merged) ShowError(db_.ErrorText());
}

void TCatalogueFileCommands::Export() {
  TFileDialogRequest request;
  request.kind = TFileDialogRequest::Save;
  request.title = QStringLiteral("Export to dBase");
  request.filter = QStringLiteral("dBase (*.dbf)");
  request.defaultSuffix = QStringLiteral("dbf");
  const QString fileName = AskFileName(parent_, request);
  if (fileName.isEmpty()) return;
  bool exported;
  {
    TBusyCursor busy;
    exported = db_.ExportDBase(fileName);
  }
  if (!exported) ShowError(db_.ErrorText());
}
