#pragma once

// Which of the catalogue window's commands are enabled, from the state of the catalogue and of
// the windows that serve them. Kept apart from the window so the whole table is one function.
struct TCommandInputs {
  bool editing = false;
  bool albumCurrent = false;
  // A disc is in the CD player (only asked while editing).
  bool discPresent = false;
  // The windows behind some commands; a command whose window is missing stays disabled.
  bool cassetteWindow = false;
  bool cdPlayer = false;
  bool fieldsDialog = false;
  bool albumEditor = false;
  bool reports = false;
};

struct TCommandStates {
  bool newAlbum = false;
  bool editAlbum = false;
  bool deleteAlbum = false;
  bool saveChanges = false;
  bool cancelEditing = false;
  bool insertSong = false;
  bool deleteSong = false;
  bool readTimes = false;
  bool addFromMusicFiles = false;
  // A catalogue that is replaced or merged while an album is being edited would take the
  // album's records from under the edit, so these wait until editing ends.
  bool fileNew = false;
  bool fileOpen = false;
  bool merge = false;
  bool print = false;
  bool cassetteInsert = false;
  bool cdPlayer = false;
  bool databaseConfiguration = false;
};

inline TCommandStates ComputeCommandStates(const TCommandInputs& in) {
  TCommandStates s;
  const bool edit = in.albumEditor;
  s.newAlbum = edit && !in.editing;
  s.editAlbum = edit && !in.editing && in.albumCurrent;
  s.deleteAlbum = edit && !in.editing && in.albumCurrent;
  s.saveChanges = edit && in.editing;
  s.cancelEditing = edit && in.editing;
  s.insertSong = edit && in.editing;
  s.deleteSong = edit && in.editing;
  s.addFromMusicFiles = edit && !in.editing;
  s.readTimes = edit && in.editing && in.cdPlayer && in.discPresent;
  s.fileNew = !in.editing;
  s.fileOpen = !in.editing;
  s.merge = !in.editing;
  s.print = in.reports;
  s.cassetteInsert = in.cassetteWindow;
  s.cdPlayer = in.cdPlayer;
  s.databaseConfiguration = in.fieldsDialog;
  return s;
}
