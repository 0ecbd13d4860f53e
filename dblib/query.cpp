// List queries: every query writes handles into a caller's big array from slot 0 and
// returns how many it wrote.
#include "query.h"

#include "big_array.h"
#include "catalogue.h"
#include "assertions.h"

namespace {

HSONG SongIn(const void* slot) { return static_cast<HSONG>(*static_cast<void* const*>(slot)); }
HALBUM AlbumIn(const void* slot) { return static_cast<HALBUM>(*static_cast<void* const*>(slot)); }

// Comparisons of ordered values rather than differences, so that extreme times or
// numbers cannot overflow; the order is the same.
int Order(int32_t a, int32_t b) { return a < b ? -1 : (a > b ? 1 : 0); }

int CompareSongTime(const void* a, const void* b) {
  HSONG x = SongIn(a);
  HSONG y = SongIn(b);
  const int byTime = Order(IGetSongTime(x), IGetSongTime(y));
  return byTime ? byTime : Order(IGetSongNum(x), IGetSongNum(y));
}

int CompareSongNum(const void* a, const void* b) {
  return Order(IGetSongNum(SongIn(a)), IGetSongNum(SongIn(b)));
}

int CompareAlbumNum(const void* a, const void* b) {
  return Order(IGetAlbumNum(AlbumIn(a)), IGetAlbumNum(AlbumIn(b)));
}

bool HasItem(BigArray* ba, int32_t filled, void* item) {
  for (int32_t k = 0; k < filled; ++k)
    if (BAGet(ba, k) == item) return true;
  return false;
}

// Sorts slots 0..count-1 of the caller's array in place by way of a scratch copy, so
// that slots the query did not fill are neither compared nor touched. Returns false
// when the scratch array cannot be had.
bool SortFilledSlots(BigArray* ba, int32_t count, BACompare cmp) {
  BigArray* scratch = BigArrayAlloc(count);
  if (!scratch) return false;
  for (int32_t k = 0; k < count; ++k) BASet(scratch, k, BAGet(ba, k));
  BASort(ba, scratch, cmp);
  BigArrayFree(scratch);
  return true;
}

}  // namespace

int32_t CountSongsOnAlbum(HALBUM album) {
  int32_t n = 0;
  if (!album) return 0;
  for (HSONG s = IGetAlbumFirstSong(album); s; s = IGetSongNextSongOnAlbum(s)) ++n;
  return n;
}

extern "C" RSDB_API int32_t GetAllAlbums(BigArray* ba) noexcept {
  int32_t i = 0;
  for (HALBUM a = Db().albumList; a; a = IGetAlbumNext(a)) BASet(ba, i++, a);
  return i;
}

extern "C" RSDB_API int32_t GetAllArtists(BigArray* ba) noexcept {
  int32_t i = 0;
  for (HARTIST a = Db().artistList; a; a = IGetArtistNext(a)) BASet(ba, i++, a);
  return i;
}

extern "C" RSDB_API int32_t GetAllSongs(BigArray* ba) noexcept {
  int32_t i = 0;
  for (HSONG s = Db().songList; s; s = IGetSongNext(s)) BASet(ba, i++, s);
  // The caller's array may be larger than the song list: only the filled slots are
  // sorted, since its empty slots hold no song to compare.
  if (Db().sortByTime && i > 0 && !SortFilledSlots(ba, i, CompareSongTime))
    ReportError("There is not enough memory available to sort the songs");
  return i;
}

extern "C" RSDB_API int32_t GetSongsOnAlbum(BigArray* ba, HALBUM album) noexcept {
  int32_t i = 0;
  if (!album) return 0;
  for (HSONG s = IGetAlbumFirstSong(album); s; s = IGetSongNextSongOnAlbum(s)) BASet(ba, i++, s);
  return i;
}

extern "C" RSDB_API int32_t GetArtistsOnAlbum(BigArray* ba, HALBUM album) noexcept {
  int32_t i = 0;
  if (!album) return 0;
  for (HSONG s = IGetAlbumFirstSong(album); s; s = IGetSongNextSongOnAlbum(s)) {
    HARTIST artist = IGetSongArtist(s);
    if (!HasItem(ba, i, artist)) BASet(ba, i++, artist);
  }
  return i;
}

extern "C" RSDB_API int32_t GetAlbumsByArtist(BigArray* ba, HARTIST artist) noexcept {
  int32_t i = 0;
  for (HSONG s = IGetArtistFirstSong(artist); s; s = IGetSongNextSongByArtist(s)) {
    HALBUM songAlbum = IGetSongAlbum(s);
    RS_ASSERT(XVerify(songAlbum));
    // Without an array the caller asks for the capacity: one slot per song.
    if (!ba)
      ++i;
    else if (!HasItem(ba, i, songAlbum))
      BASet(ba, i++, songAlbum);
  }
  if (!ba) return i;
  RS_ASSERT(i);
  if (!SortFilledSlots(ba, i, CompareAlbumNum)) rs::OutOfMemory();
  return i;
}

extern "C" RSDB_API int32_t GetSongsByArtist(BigArray* ba, HARTIST artist) noexcept {
  int32_t i = 0;
  // The chain lists the most recently linked song first; the caller wants list order.
  for (HSONG s = IGetArtistFirstSong(artist); s; s = IGetSongNextSongByArtist(s)) BASet(ba, i++, s);
  RS_ASSERT(i);
  if (!SortFilledSlots(ba, i, CompareSongNum)) rs::OutOfMemory();
  return i;
}

extern "C" RSDB_API int32_t GetAlbumOfSong(BigArray* ba, HSONG song) noexcept {
  BASet(ba, 0, IGetSongAlbum(song));
  return 1;
}

extern "C" RSDB_API int32_t GetArtistOfSong(BigArray* ba, HSONG song) noexcept {
  BASet(ba, 0, IGetSongArtist(song));
  return 1;
}

extern "C" RSDB_API int32_t SetSortByTime(int32_t flag) noexcept {
  Db().sortByTime = flag != 0;
  return Db().sortByTime ? 1 : 0;
}
