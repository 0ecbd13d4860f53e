#pragma once

#include <QListWidget>
#include <QPointer>
#include <QString>

class TReelsmithSong;
class TSongArrangement;

// The songs of one cassette side, or the songs that fit on neither side. Each entry is the
// song's title and the song object, which the arrangement owns; the arrangement alone fills and
// empties the list, rebuilding it after every change.
class TCassetteList : public QListWidget {
  Q_OBJECT

 public:
  explicit TCassetteList(QWidget* parent = nullptr);

  void AddEntry(const QString& text, TReelsmithSong* song);
  void ClearEntries() { clear(); }
  int EntryCount() const { return count(); }
  // The entry's text and song; empty and nullptr outside 0 .. EntryCount() - 1.
  QString EntryText(int index) const;
  TReelsmithSong* EntrySong(int index) const;

  // Whether the list's font may be changed by the user.
  bool SetableFont() const { return setableFont_; }
  void SetSetableFont(bool value) { setableFont_ = value; }

  // The arrangement that removing an entry acts on; may be unset.
  TSongArrangement* SongArrangement() const { return songArrangement_; }
  void SetSongArrangement(TSongArrangement* arrangement) { songArrangement_ = arrangement; }

 private:
  bool setableFont_ = false;
  QPointer<TSongArrangement> songArrangement_;
};
