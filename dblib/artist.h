#pragma once
// The artist record. Only this module's accessors touch its fields; every accessor
// verifies the handle first.
#include <cstdint>

#include "reelsmithdb.h"
#include "assertions.h"
#include "text_copy.h"

constexpr int NAME_SIZE = 50;  // names and titles: 49 characters and the NUL

struct ARTIST {
  int32_t num;           // position in the artist list
  char name[NAME_SIZE];
  SONG* firstSong;       // head of the artist's song chain (most recently linked first)
  ARTIST* prev;
  ARTIST* next;
  void* order;           // private to the list-ordering code in catalogue.cpp; null otherwise
};

#define RS_VERIFY_ARTIST(hartist)                                  \
  do {                                                             \
    if (!XVerify(hartist)) ::rs::AssertFailed("hartist.h", __FILE__, __LINE__); \
  } while (0)

// A new artist with every field zero (no songs, unlinked). Fatal "Out of memory".
HARTIST NewArtist();
void FreeArtist(HARTIST a);

// Brings every artist's num up to date when insertions left them to be renumbered
// (catalogue.cpp); reading a num through IGetArtistNum always sees the current position.
void SettleArtistNums();

inline int32_t IGetArtistNum(HARTIST a) {
  RS_VERIFY_ARTIST(a);
  SettleArtistNums();
  return a->num;
}
inline void ISetArtistNum(HARTIST a, int32_t v) { RS_VERIFY_ARTIST(a); a->num = v; }
inline char* IGetArtistName(HARTIST a, char* buf, int size) {
  RS_VERIFY_ARTIST(a);
  return rs::CopyText(buf, size, a->name);
}
// The stored name itself, for comparisons that must not copy.
inline const char* IArtistName(HARTIST a) { RS_VERIFY_ARTIST(a); return a->name; }
inline void ISetArtistName(HARTIST a, const char* s) {
  RS_VERIFY_ARTIST(a);
  rs::CopyText(a->name, NAME_SIZE, s);
}
inline HSONG IGetArtistFirstSong(HARTIST a) { RS_VERIFY_ARTIST(a); return a->firstSong; }
inline void ISetArtistFirstSong(HARTIST a, HSONG s) { RS_VERIFY_ARTIST(a); a->firstSong = s; }
inline HARTIST IGetArtistPrev(HARTIST a) { RS_VERIFY_ARTIST(a); return a->prev; }
inline void ISetArtistPrev(HARTIST a, HARTIST p) { RS_VERIFY_ARTIST(a); a->prev = p; }
inline HARTIST IGetArtistNext(HARTIST a) { RS_VERIFY_ARTIST(a); return a->next; }
inline void ISetArtistNext(HARTIST a, HARTIST n) { RS_VERIFY_ARTIST(a); a->next = n; }
