#include "catalogue.h"

#include <cstring>
#include <new>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "collation.h"
#include "ordering_index.h"
#include "assertions.h"
#include "text_copy.h"

namespace {

constexpr const char* kDatabaseFull = "The database is full.";

// Runs an export's body so that no C++ exception leaves it: the only one the library
// can raise is std::bad_alloc, which is the fatal "Out of memory" stop.
template <typename F>
auto Guard(F body) noexcept -> decltype(body()) {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    rs::OutOfMemory();
  } catch (...) {
    rs::AssertFailed("no exception leaves the library", __FILE__, __LINE__);
  }
}

using rs::IsBracketed;
using rs::OrderMap;

void RenumberArtistsFrom(HARTIST a, int32_t num) {
  for (; a; a = IGetArtistNext(a)) ISetArtistNum(a, num++);
}

void RenumberAlbumsFrom(HALBUM a, int32_t num) {
  for (; a; a = IGetAlbumNext(a)) ISetAlbumNum(a, num++);
}

void LinkArtist(Catalogue& db, HARTIST a, HARTIST prev, HARTIST next) {
  ISetArtistPrev(a, prev);
  ISetArtistNext(a, next);
  if (prev)
    ISetArtistNext(prev, a);
  else
    db.artistList = a;
  if (next) ISetArtistPrev(next, a);
}

void UnlinkArtist(Catalogue& db, HARTIST a) {
  HARTIST prev = IGetArtistPrev(a), next = IGetArtistNext(a);
  if (prev)
    ISetArtistNext(prev, next);
  else
    db.artistList = next;
  if (next) ISetArtistPrev(next, prev);
}

void LinkAlbum(Catalogue& db, HALBUM a, HALBUM prev, HALBUM next) {
  ISetAlbumPrev(a, prev);
  ISetAlbumNext(a, next);
  if (prev)
    ISetAlbumNext(prev, a);
  else
    db.albumList = a;
  if (next) ISetAlbumPrev(next, a);
}

void UnlinkAlbum(Catalogue& db, HALBUM a) {
  HALBUM prev = IGetAlbumPrev(a), next = IGetAlbumNext(a);
  if (prev)
    ISetAlbumNext(prev, next);
  else
    db.albumList = next;
  if (next) ISetAlbumPrev(next, prev);
}

// Links s between prev and next of the list whose head is *head.
void LinkSong(HSONG* head, HSONG s, HSONG prev, HSONG next) {
  ISetSongPrev(s, prev);
  ISetSongNext(s, next);
  if (prev)
    ISetSongNext(prev, s);
  else
    *head = s;
  if (next) ISetSongPrev(next, s);
}

void UnlinkSong(HSONG* head, HSONG s) {
  HSONG prev = IGetSongPrev(s), next = IGetSongNext(s);
  if (prev)
    ISetSongNext(prev, next);
  else
    *head = next;
  if (next) ISetSongPrev(next, prev);
}

bool IsPending(const Catalogue& db, HSONG s) {
  for (HSONG p = db.addSongList; p; p = IGetSongNext(p))
    if (p == s) return true;
  return false;
}

void FreeAll(Catalogue& db) {
  if (db.order) {  // forget the index without settling numbers that are about to go
    db.order->DropPending();
    db.order->DropAll();
  }
  FreeRecordLists(db.artistList, db.albumList, db.songList);
  for (HSONG s = db.addSongList, next; s; s = next) {
    next = IGetSongNext(s);
    FreeSong(s);
  }
  db.artistList = nullptr;
  db.albumList = nullptr;
  db.songList = nullptr;
  db.addSongList = nullptr;
  db.artistCnt = db.albumCnt = db.songCnt = 0;
  db.addSongCnt = 0;
}

// FinishAddSong on an indexed song list: on a list in order, the walk from where the
// previous pending song went stops at the first song not below the pending one, which
// is the map's lower bound (everything before the previous pending song is below it).
// That holds only while the pending list is itself in order: pending songs without keys
// (the collation changed in the middle of the batch) are keyed here, and when they are
// not in order the function changes nothing and returns false (the walk is run instead).
bool FinishIndexed(Catalogue& db, rs::OrderIndex& ix) {
  OrderMap& map = ix.songs.map;
  const bool keyed = ix.UsePending(db);
  std::vector<std::string> keys;
  if (!keyed) {
    for (HSONG p = db.addSongList; p; p = IGetSongNext(p)) {
      keys.push_back(rs::SortKeyNoCase(ISongTitle(p)));
      if (keys.size() > 1 && keys.back() < keys[keys.size() - 2]) return false;
    }
    ix.DropPending();
  }
  size_t nextKey = 0;
  for (HSONG p = db.addSongList, nextPending; p; p = nextPending) {
    nextPending = IGetSongNext(p);
    OrderMap::iterator placed;
    if (keyed) {
      auto range = ix.pending.equal_range(rs::KeyOf(p->order));
      auto it = range.first;
      while (it != range.second && it->second != p) ++it;
      RS_ASSERT(it != range.second);
      OrderMap::node_type node = ix.pending.extract(it);
      OrderMap::iterator hint = map.lower_bound(node.key());
      HSONG stop = hint != map.end() ? static_cast<HSONG>(hint->second) : nullptr;
      HSONG prev = stop          ? IGetSongPrev(stop)
                   : map.empty() ? nullptr
                                 : static_cast<HSONG>(std::prev(map.end())->second);
      LinkSong(&db.songList, p, prev, stop);
      placed = map.insert(hint, std::move(node));
    } else {
      std::string key = std::move(keys[nextKey++]);
      OrderMap::iterator hint = map.lower_bound(key);
      HSONG stop = hint != map.end() ? static_cast<HSONG>(hint->second) : nullptr;
      HSONG prev = stop          ? IGetSongPrev(stop)
                   : map.empty() ? nullptr
                                 : static_cast<HSONG>(std::prev(map.end())->second);
      LinkSong(&db.songList, p, prev, stop);
      placed = map.emplace_hint(hint, std::move(key), p);
    }
    p->order = const_cast<std::string*>(&placed->first);
    ++db.songCnt;
  }
  db.addSongList = nullptr;
  db.addSongCnt = 0;
  db.dbChanged = true;
  ix.Record(db);
  return true;
}

// Frees the lists; a list the index follows is forgotten whole (its records' order
// slots are not read again), records of other lists are taken out of the index.
void FreeLists(rs::OrderIndex* ix, HARTIST artists, HALBUM albums, HSONG songs) {
  bool eraseArtists = ix != nullptr, eraseAlbums = ix != nullptr, eraseSongs = ix != nullptr;
  if (ix && artists && artists == ix->artists.head) {
    ix->artists = rs::ListOrder{};
    eraseArtists = false;
  }
  if (ix && albums && albums == ix->albums.head) {
    ix->albums = rs::ListOrder{};
    eraseAlbums = false;
  }
  if (ix && songs && songs == ix->songs.head) {
    ix->songs = rs::ListOrder{};
    eraseSongs = false;
  }
  for (HARTIST a = artists, next; a; a = next) {
    next = IGetArtistNext(a);
    if (eraseArtists && a->order) rs::EraseEntry(ix->artists.map, a->order, a);
    FreeArtist(a);
  }
  for (HALBUM a = albums, next; a; a = next) {
    next = IGetAlbumNext(a);
    if (eraseAlbums && a->order) rs::EraseEntry(ix->albums.map, a->order, a);
    FreeAlbum(a);
  }
  for (HSONG s = songs, next; s; s = next) {
    next = IGetSongNext(s);
    if (eraseSongs && s->order) rs::EraseEntry(ix->songs.map, s->order, s);
    FreeSong(s);
  }
}

// The catalogue frees what it holds when the library is unloaded (dlclose) or the
// process ends, so that nothing it owned is left unreachable.
struct CatalogueOwner {
  Catalogue catalogue;
  ~CatalogueOwner() {
    delete catalogue.order;
    catalogue.order = nullptr;
    FreeLists(nullptr, catalogue.artistList, catalogue.albumList, catalogue.songList);
    FreeLists(nullptr, nullptr, nullptr, catalogue.addSongList);
    // A caller that still runs after this (a static object's destructor calling
    // CleanupDb) must find an empty catalogue, not freed records.
    catalogue.artistList = nullptr;
    catalogue.albumList = nullptr;
    catalogue.songList = nullptr;
    catalogue.addSongList = nullptr;
    catalogue.artistCnt = catalogue.albumCnt = catalogue.songCnt = 0;
    catalogue.addSongCnt = 0;
  }
};

}  // namespace

Catalogue& Db() {
  static CatalogueOwner owner;
  return owner.catalogue;
}

void ReportError(const char* message) { rs::CopyText(Db().errorText, ERROR_TEXT_SIZE, message); }

void ListsReplaced() {
  if (rs::OrderIndex* ix = Db().order) {
    ix->DropAll();
    ix->DropPending();
  }
}

void FreeRecordLists(HARTIST artists, HALBUM albums, HSONG songs) {
  FreeLists(Db().order, artists, albums, songs);
}

void PruneSonglessArtists() {
  Guard([] {
    Catalogue& db = Db();
    if (!db.artistList) return;
    rs::OrderIndex& ix = rs::Index(db);
    int32_t num = 0;
    for (HARTIST a = db.artistList, next; a; a = next) {
      next = IGetArtistNext(a);
      if (IGetArtistFirstSong(a)) {
        ISetArtistNum(a, num++);
        continue;
      }
      if (a->order) rs::EraseEntry(ix.artists.map, a->order, a);
      UnlinkArtist(db, a);
      FreeArtist(a);
    }
    db.artistCnt = static_cast<uint16_t>(num);
    ix.artists.numsStale = false;
    ix.Record(db);
  });
}

// ---- Exports ----------------------------------------------------------------

int32_t CleanupDb() noexcept {
  return Guard([] {
    Catalogue& db = Db();
    FreeAll(db);
    std::memset(&db.fieldDefs, 0, sizeof(db.fieldDefs));
    db.dbChanged = false;
    return 0;
  });
}

int32_t DbInit() noexcept {
  return Guard([] {
    if (Db().dbChanged) {
      ReportError("Save the currently loaded database before wiping it out.");
      return 0;
    }
    CleanupDb();
    return 1;
  });
}

void SetFileName(const char* fileName) noexcept {
  Catalogue& db = Db();
  rs::CopyText(db.dbFileName, FILE_NAME_SIZE, fileName);
  db.dbChanged = true;
}

int32_t GetDbChanged() noexcept { return Db().dbChanged ? 1 : 0; }

const char* GetErrorText() noexcept { return Db().errorText; }

int32_t GetAlbumCount() noexcept { return Db().albumCnt; }
int32_t GetArtistCount() noexcept { return Db().artistCnt; }
int32_t GetSongCount() noexcept { return Db().songCnt; }

HARTIST AddArtist(const char* name) noexcept {
  return Guard([name]() -> HARTIST {
    Catalogue& db = Db();
    char cut[NAME_SIZE];
    rs::CopyText(cut, NAME_SIZE, name);

    // Where the walk stops: the first artist whose name compares greater or equal.
    rs::OrderIndex& ix = rs::Index(db);
    const bool fast = ix.UseArtists(db);
    HARTIST prev = nullptr, stop = nullptr;
    bool equal = false;
    std::string key;
    OrderMap::iterator hint;
    if (fast) {
      OrderMap& map = ix.artists.map;
      key = rs::SortKeyNoCase(cut);
      hint = map.lower_bound(key);
      if (hint != map.end()) {
        stop = static_cast<HARTIST>(hint->second);
        equal = hint->first == key;
        prev = IGetArtistPrev(stop);
      } else if (!map.empty()) {
        prev = static_cast<HARTIST>(std::prev(map.end())->second);
      }
    } else {
      for (stop = db.artistList; stop; prev = stop, stop = IGetArtistNext(stop)) {
        const int cmp = rs::CompareNoCase(IArtistName(stop), cut);
        if (cmp >= 0) {
          equal = cmp == 0;
          break;
        }
      }
    }

    if (equal) {
      if (rs::CompareCase(IArtistName(stop), cut) != 0) ISetArtistName(stop, cut);
      return stop;
    }
    if (db.artistCnt >= MAX_RECORDS) {
      ReportError(kDatabaseFull);
      return nullptr;
    }
    HARTIST artist = NewArtist();
    ISetArtistName(artist, cut);
    LinkArtist(db, artist, prev, stop);
    if (fast) {
      artist->order = const_cast<std::string*>(
          &ix.artists.map.emplace_hint(hint, std::move(key), artist)->first);
      ix.artists.numsStale = true;
    } else {
      RenumberArtistsFrom(artist, prev ? IGetArtistNum(prev) + 1 : 0);
    }
    ++db.artistCnt;
    db.dbChanged = true;
    ix.Record(db);
    return artist;
  });
}

HALBUM AddAlbum(const char* title, const char* text1, const char* text2, int32_t media,
                int32_t choice1, int32_t choice2) noexcept {
  return Guard([=]() -> HALBUM {
    Catalogue& db = Db();
    if (db.albumCnt >= MAX_RECORDS) {
      ReportError(kDatabaseFull);
      return nullptr;
    }
    HALBUM newAlbum = NewAlbum();
    RS_ASSERT(XVerify(newAlbum));
    ISetAlbumTitle(newAlbum, title);
    ISetAlbumText1(newAlbum, text1 ? text1 : "");
    ISetAlbumText2(newAlbum, text2 ? text2 : "");
    ISetAlbumMedia(newAlbum, media);
    ISetAlbumChoice1(newAlbum, choice1);
    ISetAlbumChoice2(newAlbum, choice2);

    // The walk (mend 1: bracketed titles stay last in the order added): a bracketed
    // title goes to the end; any other stops at the first album that is bracketed or
    // whose title compares greater than or equal.
    const char* cut = IAlbumTitle(newAlbum);
    const bool bracketed = IsBracketed(cut);
    rs::OrderIndex& ix = rs::Index(db);
    const bool fast = ix.UseAlbums(db);
    HALBUM prev = nullptr, stop = nullptr;
    std::string key;
    OrderMap::iterator hint;
    if (fast && bracketed) {
      prev = ix.albums.tail;
    } else if (fast) {
      key = rs::SortKeyNoCase(cut);
      hint = ix.albums.map.lower_bound(key);
      stop = hint != ix.albums.map.end() ? static_cast<HALBUM>(hint->second)
                                         : ix.albums.firstBracketed;
      prev = stop ? IGetAlbumPrev(stop) : ix.albums.tail;
    } else {
      for (stop = db.albumList; stop; prev = stop, stop = IGetAlbumNext(stop)) {
        if (bracketed) continue;
        const char* t = IAlbumTitle(stop);
        if (IsBracketed(t) || rs::CompareNoCase(t, cut) >= 0) break;
      }
    }
    LinkAlbum(db, newAlbum, prev, stop);
    if (fast) {
      if (!bracketed)
        newAlbum->order = const_cast<std::string*>(
            &ix.albums.map.emplace_hint(hint, std::move(key), newAlbum)->first);
      else if (!ix.albums.firstBracketed)
        ix.albums.firstBracketed = newAlbum;
      if (!stop) ix.albums.tail = newAlbum;
      ix.albums.numsStale = true;
    } else {
      RenumberAlbumsFrom(newAlbum, prev ? IGetAlbumNum(prev) + 1 : 0);
    }
    ++db.albumCnt;
    db.dbChanged = true;
    ix.Record(db);
    return newAlbum;
  });
}

void BeginAddSong() noexcept {
  HSONG addSongList = Db().addSongList;
  RS_ASSERT(!XVerify(addSongList));
  Db().addSongCnt = 0;
}

HSONG AddSong(const char* title, int32_t time, HARTIST artist, HALBUM album,
              int32_t track) noexcept {
  return Guard([=]() -> HSONG {
    Catalogue& db = Db();
    RS_VERIFY_ARTIST(artist);
    RS_VERIFY_ALBUM(album);
    if (db.songCnt + db.addSongCnt >= MAX_RECORDS) {
      ReportError(kDatabaseFull);
      return nullptr;
    }
    HSONG song = NewSong();
    ISetSongTitle(song, title);
    ISetSongTime(song, time);
    ISetSongArtist(song, artist);
    ISetSongAlbum(song, album);
    ISetSongTrack(song, track);
    ISetSongUsedOnTape(song, 0);
    LinkSongToArtist(artist, song);

    // Pending list: before the first pending song whose title compares greater or equal.
    const char* cut = ISongTitle(song);
    rs::OrderIndex& ix = rs::Index(db);
    HSONG prev = nullptr, stop = nullptr;
    if (ix.UsePending(db)) {
      OrderMap& map = ix.pending;
      std::string key = rs::SortKeyNoCase(cut);
      auto hint = map.lower_bound(key);
      if (hint != map.end()) {
        stop = static_cast<HSONG>(hint->second);
        prev = IGetSongPrev(stop);
      } else if (!map.empty()) {
        prev = static_cast<HSONG>(std::prev(map.end())->second);
      }
      song->order = const_cast<std::string*>(&map.emplace_hint(hint, std::move(key), song)->first);
    } else {
      for (stop = db.addSongList; stop; prev = stop, stop = IGetSongNext(stop))
        if (rs::CompareNoCase(ISongTitle(stop), cut) >= 0) break;
    }
    LinkSong(&db.addSongList, song, prev, stop);
    ++db.addSongCnt;

    LinkSongToAlbum(album, song);
    return song;
  });
}

void FinishAddSong() noexcept {
  Guard([] {
    Catalogue& db = Db();
    rs::OrderIndex& ix = rs::Index(db);
    if (ix.UseSongs(db)) {
      if (FinishIndexed(db, ix)) return;
      ix.Drop(ix.songs, false, false);  // the walk below leaves the song index behind
    }
    ix.DropPending();
    HSONG start = db.songList;
    bool atHead = true;  // the first pending song starts at the head of the song list
    for (HSONG p = db.addSongList, nextPending; p; p = nextPending) {
      nextPending = IGetSongNext(p);
      const char* title = ISongTitle(p);
      HSONG prev = atHead ? nullptr : IGetSongPrev(start), cur = start;
      for (; cur && rs::CompareNoCase(title, ISongTitle(cur)) > 0; cur = IGetSongNext(cur))
        prev = cur;
      LinkSong(&db.songList, p, prev, cur);
      ++db.songCnt;
      start = p;
      atHead = false;
    }
    db.addSongList = nullptr;
    db.addSongCnt = 0;
    db.dbChanged = true;
    ix.Record(db);
  });
}

void ResequenceArtists() noexcept {
  Guard([] {
    Catalogue& db = Db();
    rs::OrderIndex& ix = rs::Index(db);
    const int32_t artistCnt = db.artistCnt;
    int32_t i = 0;
    for (HARTIST a = db.artistList; a; a = IGetArtistNext(a)) ISetArtistNum(a, i++);
    RS_ASSERT(i == artistCnt);
    ix.artists.numsStale = false;
  });
}

void ResequenceAlbums() noexcept {
  Guard([] {
    Catalogue& db = Db();
    rs::OrderIndex& ix = rs::Index(db);
    const int32_t albumCnt = db.albumCnt;
    int32_t i = 0;
    for (HALBUM a = db.albumList; a; a = IGetAlbumNext(a)) ISetAlbumNum(a, i++);
    RS_ASSERT(i == albumCnt);
    ix.albums.numsStale = false;
  });
}

void ResequenceSongs() noexcept {
  const int32_t songCnt = Db().songCnt;
  int32_t i = 0;
  for (HSONG s = Db().songList; s; s = IGetSongNext(s)) ISetSongNum(s, i++);
  RS_ASSERT(i == songCnt);
}

void DeleteAlbum(HALBUM album) noexcept {
  Guard([album] {
    Catalogue& db = Db();
    RS_VERIFY_ALBUM(album);
    rs::OrderIndex& ix = rs::Index(db);
    // Albums from files or merges may hold any number of songs and artists, so every
    // distinct artist is tracked; one left behind without songs would break the
    // artist queries.
    std::vector<HARTIST> artists;
    std::unordered_set<HARTIST> seen;
    for (HSONG s = IGetAlbumFirstSong(album), next; s; s = next) {
      next = IGetSongNextSongOnAlbum(s);
      HARTIST artist = IGetSongArtist(s);
      if (seen.insert(artist).second) artists.push_back(artist);
      UnlinkSongFromArtist(artist, s);
      if (IsPending(db, s)) {  // a song of an open batch is not in the song list yet
        if (s->order) rs::EraseEntry(ix.pending, s->order, s);
        UnlinkSong(&db.addSongList, s);
        --db.addSongCnt;
      } else {
        if (s->order) rs::EraseEntry(ix.songs.map, s->order, s);
        UnlinkSong(&db.songList, s);
        --db.songCnt;
      }
      FreeSong(s);
    }

    // Removing the first bracketed album would join the albums behind it to the indexed
    // run: the album index is rebuilt instead (after settling its numbers).
    bool lazy = ix.albums.built && ix.albums.fast;
    if (lazy && album == ix.albums.firstBracketed) {
      ix.Drop(ix.albums, false, true);
      lazy = false;
    }
    if (lazy) {
      if (album->order) rs::EraseEntry(ix.albums.map, album->order, album);
      if (album == ix.albums.tail) ix.albums.tail = IGetAlbumPrev(album);
    }
    HALBUM following = IGetAlbumNext(album);
    UnlinkAlbum(db, album);
    FreeAlbum(album);
    --db.albumCnt;
    if (lazy)
      ix.albums.numsStale = true;
    else
      for (HALBUM a = following; a; a = IGetAlbumNext(a)) ISetAlbumNum(a, IGetAlbumNum(a) - 1);

    bool removed = false;
    for (HARTIST artist : artists) {
      if (IGetArtistFirstSong(artist)) continue;
      if (artist->order) rs::EraseEntry(ix.artists.map, artist->order, artist);
      UnlinkArtist(db, artist);
      FreeArtist(artist);
      --db.artistCnt;
      removed = true;
    }
    ix.Record(db);
    if (removed) ResequenceArtists();
    ResequenceSongs();
    db.dbChanged = true;
  });
}

char* GETARTISTNAME(HARTIST artist, char* buf, int32_t size) noexcept {
  if (!artist) return rs::CopyText(buf, size, "");
  return IGetArtistName(artist, buf, size);
}

char* GETALBUMTITLE(HALBUM album, char* buf, int32_t size) noexcept {
  return IGetAlbumTitle(album, buf, size);
}

char* GETSONGTITLE(HSONG song, char* buf, int32_t size) noexcept {
  return IGetSongTitle(song, buf, size);
}

int32_t GetSongTime(HSONG song) noexcept { return IGetSongTime(song); }

int32_t GetSongUsedOnTape(HSONG song) noexcept { return IGetSongUsedOnTape(song); }

int32_t SetSongUsedOnTape(HSONG song, int32_t flag) noexcept {
  ISetSongUsedOnTape(song, flag ? 1 : 0);
  Db().dbChanged = true;
  return IGetSongUsedOnTape(song);
}
