#pragma once
// The ordering index: catalogue.cpp's fast path for the walks of AddArtist, AddAlbum, AddSong
// and FinishAddSong. Every record of a list that is in collation order carries its
// collation key (computed once) in an ordered map, so the point where a walk as written
// would stop is a map lookup. It gives exactly the walks' answers:
//  - A walk stops at the first record, in list order, whose title compares greater
//    than or equal (albums: or that is bracketed). On a list whose titles are in
//    non-decreasing order that is the map's lower bound; equal keys sit in the map in
//    list order. A list that is not in order (a file sorted under another locale) is
//    not indexed: catalogue.cpp walks it as written.
//  - Albums: only the run before the first bracketed album is indexed (a walk never
//    passes a bracketed album); bracketed titles are appended at the end.
//  - Artist and album numbers are renumbered lazily: an indexed insertion marks them
//    stale and IGetArtistNum / IGetAlbumNum renumber the whole list once before the
//    next read. Song numbers are stale until ResequenceSongs, as specified.
//
// The index follows the catalogue's list heads and counts: when they differ from what
// it last saw (the lists were swapped or rebuilt), or the collation was reset, it first
// renumbers the lists it knew (their records must still be alive) and then forgets them.
// A record's `order` slot points at its key in the map, or is null.
#include <cstdint>
#include <map>
#include <string>

#include "catalogue.h"

namespace rs {

using OrderMap = std::multimap<std::string, void*>;

struct ListOrder {
  bool built = false;      // head/count below describe the list as last seen
  bool fast = false;       // the list (albums: the run before the first bracketed) is in order
  bool numsStale = false;  // artists/albums: num fields wait for a renumbering
  void* head = nullptr;
  int32_t count = 0;
  OrderMap map;
  HALBUM tail = nullptr;            // albums: the last album
  HALBUM firstBracketed = nullptr;  // albums: where the indexed run ends
};

class OrderIndex {
 public:
  // Brings the index in line with the catalogue (see above). Call before using it.
  void Sync(Catalogue& db);
  // Remembers the heads and counts after an edit made through the index.
  void Record(const Catalogue& db);
  // Renumbers what is stale and forgets every list (the records stay alive).
  void DropAll();

  bool enabled = true;
  unsigned generation = 0;
  ListOrder artists, albums, songs;
  OrderMap pending;  // keys of the songs of the open batch, in pending-list order

  // Each Use*() builds the list's index when needed and says whether it is indexed.
  bool UseArtists(Catalogue& db);
  bool UseAlbums(Catalogue& db);
  bool UseSongs(Catalogue& db);
  // The pending map holds every pending song (false after the index was dropped mid-batch).
  bool UsePending(const Catalogue& db) const {
    return enabled && pending.size() == static_cast<size_t>(db.addSongCnt);
  }

  void SettleArtists();
  void SettleAlbums();
  void Drop(ListOrder& lo, bool artistsList, bool albumsList);
  void DropPending();
};

// The catalogue's index, created on first use and synchronised.
OrderIndex& Index(Catalogue& db);

// A title that begins with "[" and ends with "]": such albums stand last, in the order added.
bool IsBracketed(const char* title);

// The key a record's order slot points at.
inline const std::string& KeyOf(const void* order) {
  return *static_cast<const std::string*>(order);
}
// Removes a record from a map it is in (its order slot points at its key there).
void EraseEntry(OrderMap& map, void*& orderSlot, void* record);

// Tests and the benchmark switch the index off to run the walks as written.
void SetOrderIndexEnabled(bool enabled);

}  // namespace rs
