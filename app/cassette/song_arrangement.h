#pragma once

#include <QLabel>
#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <vector>

#include "cassette/cassette_list.h"
#include "client/owner_list.h"
#include "client/database.h"
#include "client/song_record.h"

class QPrinter;
class TNotifyLink;
class TReelsmithRecord;

// The shuffle's generator: a linear congruential sequence in unsigned 32-bit arithmetic.
class TShuffleRandom {
 public:
  explicit TShuffleRandom(uint32_t seed) : seed_(seed) {}
  // A value in 0 .. n - 1: the high half of the 64-bit product of the next seed and n.
  uint32_t Random(uint32_t n) {
    seed_ = seed_ * 134775813u + 1u;
    return uint32_t((uint64_t(seed_) * n) >> 32);
  }

 private:
  uint32_t seed_;
};

// Milliseconds since midnight UTC, the seed of every shuffle: two shuffles within the same
// millisecond permute alike.
uint32_t TimeOfDaySeed();

// The permutation a shuffle of n entries seeded with seed makes: element i of the result is the
// former place of the entry that ends up at place i. Five passes; in each, every place i in turn
// is exchanged with place Random(n).
std::vector<int> ShuffledOrder(int n, uint32_t seed);

// The order Optimize gives a sequence of songs with these playing times, as former places: the
// songs that fill side 1 exactly, then those that fill side 2, then the rest. Of several exact
// fills the first met by a depth-first search that tries each song as included before left out
// is taken; when side 1 fills but side 2 does not, the sequence is shuffled (seed from nextSeed)
// and tried again, ten attempts at most.
std::vector<int> OptimizedOrder(const std::vector<int>& times, int tapeLength, int perSongDelta,
                                const std::function<uint32_t()>& nextSeed);

// The songs chosen for one cassette, in cassette order, and which of them go on side 1, side 2
// or neither. The sequence is the only state; the side lists and length panels are a view of
// it, rebuilt from scratch by Rearrange after every change. The arrangement owns the song
// objects of the sequence.
class TSongArrangement : public QObject {
  Q_OBJECT

 public:
  explicit TSongArrangement(QObject* owner = nullptr);
  ~TSongArrangement() override;

  TCassetteList* Side1Ctrl() const { return side1_; }
  void SetSide1Ctrl(TCassetteList* list) { side1_ = list; }
  TCassetteList* Side2Ctrl() const { return side2_; }
  void SetSide2Ctrl(TCassetteList* list) { side2_ = list; }
  // May be unset: the songs that fit on neither side then stay in the sequence, shown nowhere.
  TCassetteList* ExcessSongs() const { return excess_; }
  void SetExcessSongs(TCassetteList* list) { excess_ = list; }
  QLabel* Side1LengthPanel() const { return side1Panel_; }
  void SetSide1LengthPanel(QLabel* panel) { side1Panel_ = panel; }
  QLabel* Side2LengthPanel() const { return side2Panel_; }
  void SetSide2LengthPanel(QLabel* panel) { side2Panel_ = panel; }

  // Seconds of the whole tape, both sides. Setting it rebuilds the view when Side1Ctrl is set.
  int TapeLength() const { return tapeLength_; }
  void SetTapeLength(int seconds);
  // Seconds counted between two songs on a side, -9 to 9. Other values are ignored; a new value
  // rebuilds the view.
  int PerSongDelta() const { return perSongDelta_; }
  void SetPerSongDelta(int seconds);

  // The catalogue the songs come from; its clearing or loading empties the cassette.
  TReelsmithDB* DataSource() const { return dataSource_; }
  void SetDataSource(TReelsmithDB* database);

  // The sequence, in cassette order.
  const TOwnerList<TReelsmithSong>& SongList() const { return songs_; }

  // Appends the record's songs that have a playing time, in the catalogue's order, and reports
  // the others in an error box.
  void AddSongs(const TReelsmithRecord& record);
  void ClearSongs();
  // Reorders the sequence so that side 1 and, if possible, side 2 are filled exactly.
  void Optimize();
  // ShuffleSongs, then Rearrange.
  void Randomize();
  // Permutes the sequence (all of it, excess songs too) without rebuilding the view.
  void ShuffleSongs();
  // Drag reorder within the cassette lists. list is one of the three lists and index a place in
  // it: an existing entry (before) or its entry count (after). song is the dragged entry's
  // object; one not in the sequence is ignored.
  void MoveSongBefore(TCassetteList* list, int index, TReelsmithSong* song);
  void MoveSongAfter(TCassetteList* list, int index, TReelsmithSong* song);
  // Removes the first occurrence in the sequence of each of the record's songs (by handle).
  void RemoveSongsOf(const TReelsmithRecord& record);
  // True when any of the record's songs is in the sequence (by handle).
  bool ContainsSongsOf(const TReelsmithRecord& record) const;
  // Rebuilds the three lists and two panels from the sequence.
  void Rearrange();
  // Marks the songs of side 1 and side 2 as used on a tape; the excess songs are not marked.
  void MarkSongsUsedOnTape();
  // Prints the songs of side 1 then side 2 as one job, "Reelsmith Song List": title, album,
  // where the song starts on its side and its length. The job is ended
  // also when drawing fails; the failure reaches the caller.
  void PrintSongList(QPrinter& printer);

  // Asked for the seed of each shuffle; TimeOfDaySeed unless a test replaces it.
  std::function<uint32_t()> SeedSource = TimeOfDaySeed;

 private:
  // Puts the sequence in this order of former places.
  void Reorder(const std::vector<int>& order);
  // The sequence place of a place in one of the lists; -1 for a list that is not ours.
  int SequenceIndex(const TCassetteList* list, int index) const;
  // Both drag moves: the song takes sequence place (list, index), counted before it leaves its
  // own place; dropped below a list's last entry, it follows that list's last song.
  void MoveSong(TCassetteList* list, int index, TReelsmithSong* song);

  QPointer<TCassetteList> side1_, side2_, excess_;
  QPointer<QLabel> side1Panel_, side2Panel_;
  int tapeLength_ = 0;
  int perSongDelta_ = 0;
  QPointer<TReelsmithDB> dataSource_;
  TNotifyLink* link_ = nullptr;  // a child of this object
  TOwnerList<TReelsmithSong> songs_;
};
