#pragma once
// Walking a folder and its subfolders for music files and reading each with the music file
// reader. Touches no catalogue state and no widgets, so it may run on a worker thread; the
// counters and the cancel flag are the only things another thread reads or writes meanwhile.
#include <QString>

#include <atomic>
#include <string>
#include <vector>

#include "import/music_file_reader.h"

// A music file read with its tags.
struct TScannedFile {
  std::string path;    // the file system's bytes, to open it again
  QString shownPath;   // relative to the chosen folder, for the preview
  QString folderPath;  // the folder holding it, relative to the chosen one ("" for that one)
  QString folderName;  // that folder's own name
  QString baseName;    // the file name without its ending
  TMusicFileTags tags;
};

// A file or folder passed over, with the reason, for the preview's list of problems.
struct TSkippedEntry {
  QString shownPath;
  QString reason;
};

struct TFolderScanResult {
  std::vector<TScannedFile> files;     // in folder order, names sorted byte-wise
  std::vector<TSkippedEntry> skipped;  // music files not read, folders not entered
  int otherFiles = 0;                  // files without a music file ending, only counted
  bool cancelled = false;
};

class TMusicFolderScan {
 public:
  // Reads every music file under `folder`, following symbolic links but entering each folder
  // only once (a link back to a folder already entered is skipped), and never opening anything
  // but regular files. Stops early, with `cancelled` set, once Cancel has been called.
  TFolderScanResult Run(const QString& folder);

  // May be called from any thread.
  void Cancel() { cancel_.store(true); }
  // Entries looked at so far (files of every kind); may be read from any thread.
  int EntriesSeen() const { return seen_.load(); }
  int MusicFilesRead() const { return read_.load(); }

 private:
  std::atomic<bool> cancel_{false};
  std::atomic<int> seen_{0};
  std::atomic<int> read_{0};
};
