#pragma once

#include "select/record_grid.h"


// The songs of the current album, under the album fields. While an album is viewed it lists the
// album's songs read-only; while one is entered or changed it is an editable sheet of numbered
// rows (at least 100) of titles, artists, times and, when shown, on-tape marks.
//
// Row 0 is the heading and column 0 the row number; song row n is grid row n. Columns: 1 title,
// 2 artist (filled only when the album's songs do not all share one artist), 3 time, 4 "On Tape"
// (a check-box column, present only while MarkSongsUsedOnTape).
class TSongsGrid : public TReelsmithGrid {
  Q_OBJECT

 public:
  // The number of song rows of the editing sheet.
  static constexpr int kEditRows = 100;

  explicit TSongsGrid(QWidget* parent = nullptr);
  // Writes the column widths to the settings file.
  ~TSongsGrid() override;

  bool ReadOnly() const { return readOnly_; }
  // True: viewing; the grid ends after the last consecutive titled row. False: editing; the grid
  // grows to the editing sheet with empty numbered rows. Either way the first data cell becomes
  // current.
  void SetReadOnly(bool value);

  // The settings file holding the column widths, in the section named by the component name.
  // Empty: the widths are neither read nor written.
  const QString& IniFileName() const { return iniFileName_; }
  void SetIniFileName(const QString& fileName) { iniFileName_ = fileName; }

  bool MarkSongsUsedOnTape() const { return markSongsUsedOnTape_; }
  // Shows (true) or removes the "On Tape" column.
  void SetMarkSongsUsedOnTape(bool value);

  // Row accessors by song row n (1 for the first song). A row that is not in the grid raises
  // ERangeError with the operation's own text and changes nothing.
  QString SongTitle(int n) const;
  void SetSongTitle(int n, const QString& title);
  QString SongArtist(int n) const;
  void SetSongArtist(int n, const QString& artist);
  // The time cell parsed by ParseSongTime: seconds, 0 when blank, -1 when not a time.
  int SongTime(int n) const;
  // "%d:%02d" of minutes and seconds; 0 empties the cell.
  void SetSongTime(int n, int seconds);
  // False unless the "On Tape" column is shown and the cell is not empty.
  bool SongOnTape(int n) const;
  // Writes "Y" or empty when the "On Tape" column is shown, else does nothing.
  void SetSongOnTape(int n, bool onTape);

  // Strips trailing blanks and tabs from every data cell.
  void TrimCells();
  // Writes the song row numbers into column 0.
  void NumberRows();

  // A typed time: blanks and tabs around it are ignored and empty text is 0; otherwise optional
  // minutes, a colon and exactly two digits of seconds (00 to 99), else -1. So "3:75" is 255 and
  // "3:5" and "330" are -1.
  static int ParseSongTime(const QString& text);

  // The songs grid follows the current album, not catalogue-wide changes.
  void Refresh() override {}

 protected:
  void CurrentAlbumChanged() override;
  void EditingChanged() override;
  void SongMarkChanged() override;
  TRecordList FetchRecords() override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  int GridRow(int n, const char* error) const;
  // Moves the focus to the next (or previous) control of the window.
  void LeaveGrid(bool next);
  void ShowCurrentAlbum();
  // While viewing, the background is the desktop's button colour.
  void ApplyViewingColour();
  void FitColumns(bool force);
  void SaveColumnWidths();
  int TextWidth(const QString& text) const;

  bool readOnly_ = false;
  QString iniFileName_;
  bool markSongsUsedOnTape_ = false;
  // The grid width the column widths were last computed for.
  int widthOfLastFit_ = -1;
};
