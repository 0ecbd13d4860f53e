#pragma once
// The catalogue window's "Add Albums from Music Files...": asks for a folder, reads it on a
// worker thread behind the progress dialog, shows the preview and adds the checked albums as
// one batch.
#include <QString>

#include <functional>

class QWidget;
class TCancelDlgWrapper;
class TReelsmithDB;

// The progress dialog's message while the files are read.
extern const char kReadingMusicFiles[];

class TMusicImportCommand {
 public:
  TMusicImportCommand(TReelsmithDB& db, QWidget* parent) : db_(db), parent_(parent) {}

  // Runs the command. Cancel in the progress dialog or the preview leaves the catalogue as it
  // was; so does an add refused for a catalogue limit (the user is told which).
  void Run();
  // Reads `folder` behind the progress dialog, then previews and adds (Run after its question).
  void Import(const QString& folder);

  // Test seam: called on the user-interface thread once the progress dialog shows, before the
  // worker starts, and again at each refresh of the count.
  std::function<void(TCancelDlgWrapper& progress)> OnProgress;

 private:
  TReelsmithDB& db_;
  QWidget* parent_;
};
