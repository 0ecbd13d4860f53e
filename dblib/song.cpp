#include "song.h"

#include <cstdlib>

HSONG NewSong() { return static_cast<HSONG>(rs::XAllocZero(sizeof(SONG))); }

void FreeSong(HSONG s) { std::free(s); }

void LinkSongToArtist(HARTIST artist, HSONG song) {
  RS_ASSERT(!XVerify(IGetSongNextSongByArtist(song)));
  ISetSongNextSongByArtist(song, IGetArtistFirstSong(artist));
  ISetArtistFirstSong(artist, song);
}

void UnlinkSongFromArtist(HARTIST artist, HSONG song) {
  HSONG prev = nullptr;
  HSONG cur = IGetArtistFirstSong(artist);
  while (cur && cur != song) {
    prev = cur;
    cur = IGetSongNextSongByArtist(cur);
  }
  if (!cur) return;
  if (prev)
    ISetSongNextSongByArtist(prev, IGetSongNextSongByArtist(song));
  else
    ISetArtistFirstSong(artist, IGetSongNextSongByArtist(song));
  ISetSongNextSongByArtist(song, nullptr);
}

void LinkSongToAlbum(HALBUM album, HSONG song) {
  HSONG first = IGetAlbumFirstSong(album);
  const int32_t track = IGetSongTrack(song);
  if (!first || IGetSongTrack(first) > track) {
    ISetSongNextSongOnAlbum(song, first);
    ISetAlbumFirstSong(album, song);
    return;
  }
  // Walk to the last song whose successor is not smaller, and insert after it.
  HSONG cur = first;
  while (IGetSongNextSongOnAlbum(cur) && IGetSongTrack(IGetSongNextSongOnAlbum(cur)) < track)
    cur = IGetSongNextSongOnAlbum(cur);
  ISetSongNextSongOnAlbum(song, IGetSongNextSongOnAlbum(cur));
  ISetSongNextSongOnAlbum(cur, song);
}
