#include "ordering_index.h"

#include <cstring>

#include "collation.h"

namespace rs {
namespace {

// Clears the order slots of a list's indexed records and forgets the list.
template <typename H>
void Forget(ListOrder& lo) {
  for (auto& entry : lo.map) static_cast<H>(entry.second)->order = nullptr;
  lo = ListOrder{};
}

}  // namespace

bool IsBracketed(const char* title) {
  const size_t n = std::strlen(title);
  return n >= 2 && title[0] == '[' && title[n - 1] == ']';
}

OrderIndex& Index(Catalogue& db) {
  if (!db.order) db.order = new OrderIndex;
  db.order->Sync(db);
  return *db.order;
}

void OrderIndex::Sync(Catalogue& db) {
  if (!enabled) {
    DropAll();
    DropPending();
    return;
  }
  if (generation != CollationGeneration()) {
    DropAll();
    DropPending();
    generation = CollationGeneration();
  }
  if (artists.built && (artists.head != db.artistList || artists.count != db.artistCnt))
    Drop(artists, true, false);
  if (albums.built && (albums.head != db.albumList || albums.count != db.albumCnt))
    Drop(albums, false, true);
  if (songs.built && (songs.head != db.songList || songs.count != db.songCnt))
    Drop(songs, false, false);
}

void OrderIndex::Record(const Catalogue& db) {
  if (artists.built) {
    artists.head = db.artistList;
    artists.count = db.artistCnt;
  }
  if (albums.built) {
    albums.head = db.albumList;
    albums.count = db.albumCnt;
  }
  if (songs.built) {
    songs.head = db.songList;
    songs.count = db.songCnt;
  }
}

void OrderIndex::DropAll() {
  if (artists.built) Drop(artists, true, false);
  if (albums.built) Drop(albums, false, true);
  if (songs.built) Drop(songs, false, false);
}

void OrderIndex::Drop(ListOrder& lo, bool artistsList, bool albumsList) {
  if (artistsList) {
    SettleArtists();
    Forget<HARTIST>(lo);
  } else if (albumsList) {
    SettleAlbums();
    Forget<HALBUM>(lo);
  } else {
    Forget<HSONG>(lo);
  }
}

void OrderIndex::DropPending() {
  for (auto& entry : pending) static_cast<HSONG>(entry.second)->order = nullptr;
  pending.clear();
}

void OrderIndex::SettleArtists() {
  if (!artists.numsStale) return;
  artists.numsStale = false;
  int32_t i = 0;
  for (HARTIST a = static_cast<HARTIST>(artists.head); a; a = IGetArtistNext(a))
    ISetArtistNum(a, i++);
}

void OrderIndex::SettleAlbums() {
  if (!albums.numsStale) return;
  albums.numsStale = false;
  int32_t i = 0;
  for (HALBUM a = static_cast<HALBUM>(albums.head); a; a = IGetAlbumNext(a)) ISetAlbumNum(a, i++);
}

// Building: the list is indexed when its keys are in non-decreasing order, its numbers
// are its positions (artists, albums) and its length is its count; else it is walked.

bool OrderIndex::UseArtists(Catalogue& db) {
  if (!enabled) return false;
  ListOrder& lo = artists;
  if (lo.built) return lo.fast;
  lo.built = true;
  lo.head = db.artistList;
  lo.count = db.artistCnt;
  lo.fast = true;
  int32_t i = 0;
  for (HARTIST a = db.artistList; a && lo.fast; a = IGetArtistNext(a), ++i) {
    std::string key = SortKeyNoCase(IArtistName(a));
    if (a->num != i || (!lo.map.empty() && key < std::prev(lo.map.end())->first)) {
      lo.fast = false;
      break;
    }
    a->order =
        const_cast<std::string*>(&lo.map.emplace_hint(lo.map.end(), std::move(key), a)->first);
  }
  if (!lo.fast || i != lo.count) {
    Forget<HARTIST>(lo);
    lo.built = true;
    lo.head = db.artistList;
    lo.count = db.artistCnt;
  }
  return lo.fast;
}

bool OrderIndex::UseAlbums(Catalogue& db) {
  if (!enabled) return false;
  ListOrder& lo = albums;
  if (lo.built) return lo.fast;
  lo.built = true;
  lo.head = db.albumList;
  lo.count = db.albumCnt;
  lo.fast = true;
  int32_t i = 0;
  for (HALBUM a = db.albumList; a; a = IGetAlbumNext(a), ++i) {
    lo.tail = a;
    if (a->num != i) {
      lo.fast = false;
      break;
    }
    if (lo.firstBracketed) continue;  // past the indexed run: never reached by a walk
    if (IsBracketed(IAlbumTitle(a))) {
      lo.firstBracketed = a;
      continue;
    }
    std::string key = SortKeyNoCase(IAlbumTitle(a));
    if (!lo.map.empty() && key < std::prev(lo.map.end())->first) {
      lo.fast = false;
      break;
    }
    a->order =
        const_cast<std::string*>(&lo.map.emplace_hint(lo.map.end(), std::move(key), a)->first);
  }
  if (!lo.fast || i != lo.count) {
    Forget<HALBUM>(lo);
    lo.built = true;
    lo.head = db.albumList;
    lo.count = db.albumCnt;
  }
  return lo.fast;
}

bool OrderIndex::UseSongs(Catalogue& db) {
  if (!enabled) return false;
  ListOrder& lo = songs;
  if (lo.built) return lo.fast;
  lo.built = true;
  lo.head = db.songList;
  lo.count = db.songCnt;
  lo.fast = true;
  int32_t i = 0;
  for (HSONG s = db.songList; s; s = IGetSongNext(s), ++i) {
    std::string key = SortKeyNoCase(ISongTitle(s));
    if (!lo.map.empty() && key < std::prev(lo.map.end())->first) {
      lo.fast = false;
      break;
    }
    s->order =
        const_cast<std::string*>(&lo.map.emplace_hint(lo.map.end(), std::move(key), s)->first);
  }
  if (!lo.fast || i != lo.count) {
    Forget<HSONG>(lo);
    lo.built = true;
    lo.head = db.songList;
    lo.count = db.songCnt;
  }
  return lo.fast;
}

void EraseEntry(OrderMap& map, void*& orderSlot, void* record) {
  auto range = map.equal_range(KeyOf(orderSlot));
  for (auto it = range.first; it != range.second; ++it) {
    if (it->second == record) {
      map.erase(it);
      break;
    }
  }
  orderSlot = nullptr;
}

void SetOrderIndexEnabled(bool enabled) {
  Catalogue& db = Db();
  OrderIndex& ix = Index(db);
  ix.enabled = enabled;
  ix.Sync(db);
}

}  // namespace rs

void SettleArtistNums() {
  if (rs::OrderIndex* ix = Db().order) ix->SettleArtists();
}

void SettleAlbumNums() {
  if (rs::OrderIndex* ix = Db().order) ix->SettleAlbums();
}
