#pragma once
// The song record and the song chains. Only this module's accessors touch its
// fields; every accessor verifies the handle first.
#include <cstdint>

#include "album.h"
#include "artist.h"
#include "reelsmithdb.h"
#include "assertions.h"
#include "text_copy.h"

struct SONG {
  int32_t num;  // position in the song list, current after ResequenceSongs
  char title[NAME_SIZE];
  int32_t time;  // seconds
  ARTIST* artist;
  ALBUM* album;
  int32_t usedOnTape;  // 0 or 1
  int32_t track;
  SONG* nextSongOnAlbum;   // ascending track order
  SONG* nextSongByArtist;  // the artist's chain
  SONG* prev;
  SONG* next;
  void* order;  // private to the list-ordering code in catalogue.cpp; null otherwise
};

#define RS_VERIFY_SONG(p)                                                  \
  do {                                                                     \
    if (!XVerify(p)) ::rs::AssertFailed("hsong.h", __FILE__, __LINE__);    \
  } while (0)

// A new song with every field zero (in no chain). Fatal "Out of memory".
HSONG NewSong();
void FreeSong(HSONG s);

inline int32_t IGetSongNum(HSONG s) { RS_VERIFY_SONG(s); return s->num; }
inline void ISetSongNum(HSONG s, int32_t v) { RS_VERIFY_SONG(s); s->num = v; }
inline char* IGetSongTitle(HSONG s, char* buf, int size) {
  RS_VERIFY_SONG(s);
  return rs::CopyText(buf, size, s->title);
}
inline const char* ISongTitle(HSONG s) { RS_VERIFY_SONG(s); return s->title; }
inline void ISetSongTitle(HSONG s, const char* t) {
  RS_VERIFY_SONG(s);
  rs::CopyText(s->title, NAME_SIZE, t);
}
inline int32_t IGetSongTime(HSONG s) { RS_VERIFY_SONG(s); return s->time; }
inline void ISetSongTime(HSONG s, int32_t v) { RS_VERIFY_SONG(s); s->time = v; }
inline HARTIST IGetSongArtist(HSONG s) { RS_VERIFY_SONG(s); return s->artist; }
inline void ISetSongArtist(HSONG s, HARTIST a) { RS_VERIFY_SONG(s); s->artist = a; }
inline HALBUM IGetSongAlbum(HSONG s) { RS_VERIFY_SONG(s); return s->album; }
inline void ISetSongAlbum(HSONG s, HALBUM a) { RS_VERIFY_SONG(s); s->album = a; }
inline int32_t IGetSongUsedOnTape(HSONG s) { RS_VERIFY_SONG(s); return s->usedOnTape; }
inline void ISetSongUsedOnTape(HSONG s, int32_t v) { RS_VERIFY_SONG(s); s->usedOnTape = v; }
inline int32_t IGetSongTrack(HSONG s) { RS_VERIFY_SONG(s); return s->track; }
inline void ISetSongTrack(HSONG s, int32_t v) { RS_VERIFY_SONG(s); s->track = v; }
inline HSONG IGetSongNextSongOnAlbum(HSONG s) { RS_VERIFY_SONG(s); return s->nextSongOnAlbum; }
inline void ISetSongNextSongOnAlbum(HSONG s, HSONG n) { RS_VERIFY_SONG(s); s->nextSongOnAlbum = n; }
inline HSONG IGetSongNextSongByArtist(HSONG s) { RS_VERIFY_SONG(s); return s->nextSongByArtist; }
inline void ISetSongNextSongByArtist(HSONG s, HSONG n) { RS_VERIFY_SONG(s); s->nextSongByArtist = n; }
inline HSONG IGetSongPrev(HSONG s) { RS_VERIFY_SONG(s); return s->prev; }
inline void ISetSongPrev(HSONG s, HSONG p) { RS_VERIFY_SONG(s); s->prev = p; }
inline HSONG IGetSongNext(HSONG s) { RS_VERIFY_SONG(s); return s->next; }
inline void ISetSongNext(HSONG s, HSONG n) { RS_VERIFY_SONG(s); s->next = n; }

// Makes the song the first of the artist's chain.
// REQUIRES: the song is in no chain ("!XVerify(IGetSongNextSongByArtist(song))").
void LinkSongToArtist(HARTIST artist, HSONG song);
// Removes the song from the artist's chain; nothing happens when it is not there.
void UnlinkSongFromArtist(HARTIST artist, HSONG song);
// Inserts the song into the album's chain in ascending track order: at the head when
// the album has no songs or its first track is greater, else after the last song
// with a smaller track.
void LinkSongToAlbum(HALBUM album, HSONG song);
