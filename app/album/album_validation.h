#pragma once

#include <QString>

#include <vector>

// One row of the songs sheet as typed: the time is already parsed (0 blank, -1 not a time).
struct TSheetRow {
  QString title;
  QString artist;
  int time = 0;
};

// A text box of the album panel: its place among the panel's seven fields (0 title, 1 artist,
// 3 to 6 user fields), its caption and what was typed.
struct TFieldText {
  int field = 0;
  QString name;
  QString text;
};

// What the checks before storing an album read: the texts of the title, artist and medium
// controls and every row of the sheet, trimmed.
struct TAlbumCheckInput {
  QString title;
  QString artist;
  QString mediumText;
  std::vector<TSheetRow> rows;
  // Every text box in use (title, artist, user text fields), for the characters they hold.
  std::vector<TFieldText> texts;
};

// The first failed check: its message and where the cursor goes. A cell is given as a song row
// (1 for the first song) and a column (1 title, 2 artist, 3 time).
struct TAlbumCheckResult {
  bool ok = true;
  QString message;
  enum TFocus { fcNone, fcTitleControl, fcCell, fcField } focus = fcNone;
  int row = 0;
  int col = 0;
  // The place of the text box for fcField.
  int field = 0;
  // The album title after the checks: a missing title of a single or a 3" CD is filled in.
  QString title;
};

// The file keeps a song's time in 16 bits; anything longer would come back cut short.
constexpr int kMaxSongSeconds = 65535;

// Runs the album checks in their order and stops at the first failure.
TAlbumCheckResult ValidateAlbum(const TAlbumCheckInput& input);
