#pragma once

#include <QString>

#include <functional>

class QWidget;
class TAutoFile;
class TReelsmithDB;

// The catalogue's file commands: new, open, save, save as, merge and export, with their
// questions and messages. Non-visual: the window that owns it only routes its menu items here.
// Messages go through MessageDlg and file names through AskFileName, so tests answer both.
class TCatalogueFileCommands {
 public:
  // All three are not owned. parent is the window dialogs and messages belong to.
  TCatalogueFileCommands(TReelsmithDB& db, TAutoFile& autoFile, QWidget* parent);

  // How a load ended.
  enum TLoadResult { lrFailed, lrLoaded, lrRepaired };

  // Offers to save a changed catalogue (Yes, No, Cancel), then empties it. False when the user
  // cancelled or the save failed; the catalogue is then untouched.
  bool CheckSaveAndClear();
  bool FileNew();
  // Empties the catalogue (after CheckSaveAndClear), asks for a file and loads it.
  void FileOpen();
  // Saves under the present name; on failure shows why and falls back to FileSaveAs.
  bool FileSave();
  // Asks for a name until a save succeeds or the user cancels. On cancel the catalogue keeps
  // the name it had before this command.
  bool FileSaveAs();
  void Merge();
  void Export();

  // Loads `fileName` into the (empty) catalogue and tells the user how it went: a failure with
  // the library's text (through `reportFailure`, else an error box), a repaired file with a
  // warning naming the repair log. After a failed load of an unchanged catalogue the catalogue is
  // new and untitled, so a later Save can never overwrite the file that could not be read.
  TLoadResult Load(const QString& fileName,
                   const std::function<void(const QString&)>& reportFailure = {});

  // The repair log the library writes beside the program's working directory.
  static QString RepairLogPath();

 private:
  void ShowError(const QString& text);
  bool TrySave(const QString& fileName);

  TReelsmithDB& db_;
  TAutoFile& autoFile_;
  QWidget* parent_;
};
