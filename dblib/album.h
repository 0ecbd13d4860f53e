#pragma once
// The album record. Only this module's accessors touch its fields; every accessor
// verifies the handle first.
#include <cstdint>

#include "artist.h"
#include "reelsmithdb.h"
#include "assertions.h"
#include "text_copy.h"

constexpr int ALBUM_TEXT_SIZE = 26;  // album text fields: 25 characters and the NUL

struct ALBUM {
  int32_t num;  // position in the album list; exports show num + 1
  char title[NAME_SIZE];
  int32_t media;    // 1..6 into the media list, 0 = none
  int32_t choice1;  // 1-based into choice field 1's list, 0 = none
  int32_t choice2;
  char text1[ALBUM_TEXT_SIZE];
  char text2[ALBUM_TEXT_SIZE];
  SONG* firstSong;  // lowest track number first
  ALBUM* prev;
  ALBUM* next;
  void* order;  // private to the list-ordering code in catalogue.cpp; null otherwise
};

#define RS_VERIFY_ALBUM(p)                                                   \
  do {                                                                       \
    if (!XVerify(p)) ::rs::AssertFailed("halbum.h", __FILE__, __LINE__);     \
  } while (0)

// A new album with every field zero. Fatal "Out of memory".
HALBUM NewAlbum();
void FreeAlbum(HALBUM a);

// Brings every album's num up to date when insertions left them to be renumbered
// (catalogue.cpp); reading a num through IGetAlbumNum always sees the current position.
void SettleAlbumNums();

inline int32_t IGetAlbumNum(HALBUM a) {
  RS_VERIFY_ALBUM(a);
  SettleAlbumNums();
  return a->num;
}
inline void ISetAlbumNum(HALBUM a, int32_t v) { RS_VERIFY_ALBUM(a); a->num = v; }
inline char* IGetAlbumTitle(HALBUM a, char* buf, int size) {
  RS_VERIFY_ALBUM(a);
  return rs::CopyText(buf, size, a->title);
}
inline const char* IAlbumTitle(HALBUM a) { RS_VERIFY_ALBUM(a); return a->title; }
inline void ISetAlbumTitle(HALBUM a, const char* s) {
  RS_VERIFY_ALBUM(a);
  rs::CopyText(a->title, NAME_SIZE, s);
}
inline int32_t IGetAlbumMedia(HALBUM a) { RS_VERIFY_ALBUM(a); return a->media; }
inline void ISetAlbumMedia(HALBUM a, int32_t v) { RS_VERIFY_ALBUM(a); a->media = v; }
inline int32_t IGetAlbumChoice1(HALBUM a) { RS_VERIFY_ALBUM(a); return a->choice1; }
inline void ISetAlbumChoice1(HALBUM a, int32_t v) { RS_VERIFY_ALBUM(a); a->choice1 = v; }
inline int32_t IGetAlbumChoice2(HALBUM a) { RS_VERIFY_ALBUM(a); return a->choice2; }
inline void ISetAlbumChoice2(HALBUM a, int32_t v) { RS_VERIFY_ALBUM(a); a->choice2 = v; }
inline char* IGetAlbumText1(HALBUM a, char* buf, int size) {
  RS_VERIFY_ALBUM(a);
  return rs::CopyText(buf, size, a->text1);
}
inline void ISetAlbumText1(HALBUM a, const char* s) {
  RS_VERIFY_ALBUM(a);
  rs::CopyText(a->text1, ALBUM_TEXT_SIZE, s);
}
inline char* IGetAlbumText2(HALBUM a, char* buf, int size) {
  RS_VERIFY_ALBUM(a);
  return rs::CopyText(buf, size, a->text2);
}
inline void ISetAlbumText2(HALBUM a, const char* s) {
  RS_VERIFY_ALBUM(a);
  rs::CopyText(a->text2, ALBUM_TEXT_SIZE, s);
}
inline HSONG IGetAlbumFirstSong(HALBUM a) { RS_VERIFY_ALBUM(a); return a->firstSong; }
inline void ISetAlbumFirstSong(HALBUM a, HSONG s) { RS_VERIFY_ALBUM(a); a->firstSong = s; }
inline HALBUM IGetAlbumPrev(HALBUM a) { RS_VERIFY_ALBUM(a); return a->prev; }
inline void ISetAlbumPrev(HALBUM a, HALBUM p) { RS_VERIFY_ALBUM(a); a->prev = p; }
inline HALBUM IGetAlbumNext(HALBUM a) { RS_VERIFY_ALBUM(a); return a->next; }
inline void ISetAlbumNext(HALBUM a, HALBUM n) { RS_VERIFY_ALBUM(a); a->next = n; }
