/* A stand-in for the database library with chosen exports left out (OMIT_<name>), so
 * that the program's binding can be tried against an incomplete library. Every function
 * does nothing useful; only DbInit and CleanupDb count their calls. */
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>

#include "../../dblib/reelsmithdb.h"

#define UNUSED(x) (void)(x)

static int dbInitCalls, cleanupDbCalls;
int StubDbInitCalls(void) { return dbInitCalls; }
int StubCleanupDbCalls(void) { return cleanupDbCalls; }

/* When RS_STUB_MARK names a file, loading this library creates it: proof that its code ran. */
__attribute__((constructor)) static void MarkLoaded(void) {
  const char* mark = getenv("RS_STUB_MARK");
  FILE* f = mark ? fopen(mark, "w") : NULL;
  if (f) fclose(f);
}

#ifndef OMIT_BigArrayAlloc
BigArray* BigArrayAlloc(int32_t n) {
  UNUSED(n);
  return NULL;
}
#endif
#ifndef OMIT_BigArrayFree
int32_t BigArrayFree(BigArray* ba) {
  UNUSED(ba);
  return 1;
}
#endif
#ifndef OMIT_BAGet
void* BAGet(BigArray* ba, int32_t i) {
  UNUSED(ba);
  UNUSED(i);
  return NULL;
}
#endif
#ifndef OMIT_DbInit
int32_t DbInit(void) {
  ++dbInitCalls;
  return 1;
}
#endif
#ifndef OMIT_CleanupDb
int32_t CleanupDb(void) {
  ++cleanupDbCalls;
  return 0;
}
#endif
#ifndef OMIT_LoadDb
int32_t LoadDb(const char* f) {
  UNUSED(f);
  return 0;
}
#endif
#ifndef OMIT_SaveDb
int32_t SaveDb(void) { return 0; }
#endif
#ifndef OMIT_MergeDb
int32_t MergeDb(const char* f) {
  UNUSED(f);
  return 0;
}
#endif
#ifndef OMIT_ExportToDBase
int32_t ExportToDBase(const char* f) {
  UNUSED(f);
  return 0;
}
#endif
#ifndef OMIT_SetFileName
void SetFileName(const char* f) { UNUSED(f); }
#endif
#ifndef OMIT_GetDbChanged
int32_t GetDbChanged(void) { return 0; }
#endif
#ifndef OMIT_GetErrorText
const char* GetErrorText(void) { return ""; }
#endif
#ifndef OMIT_GetAlbumCount
int32_t GetAlbumCount(void) { return 0; }
#endif
#ifndef OMIT_GetArtistCount
int32_t GetArtistCount(void) { return 0; }
#endif
#ifndef OMIT_GetSongCount
int32_t GetSongCount(void) { return 0; }
#endif
#ifndef OMIT_AddArtist
HARTIST AddArtist(const char* n) {
  UNUSED(n);
  return NULL;
}
#endif
#ifndef OMIT_AddAlbum
HALBUM AddAlbum(const char* t, const char* a, const char* b, int32_t m, int32_t c1, int32_t c2) {
  UNUSED(t);
  UNUSED(a);
  UNUSED(b);
  UNUSED(m);
  UNUSED(c1);
  UNUSED(c2);
  return NULL;
}
#endif
#ifndef OMIT_BeginAddSong
void BeginAddSong(void) {}
#endif
#ifndef OMIT_AddSong
HSONG AddSong(const char* t, int32_t s, HARTIST ar, HALBUM al, int32_t tr) {
  UNUSED(t);
  UNUSED(s);
  UNUSED(ar);
  UNUSED(al);
  UNUSED(tr);
  return NULL;
}
#endif
#ifndef OMIT_FinishAddSong
void FinishAddSong(void) {}
#endif
#ifndef OMIT_ResequenceArtists
void ResequenceArtists(void) {}
#endif
#ifndef OMIT_ResequenceAlbums
void ResequenceAlbums(void) {}
#endif
#ifndef OMIT_ResequenceSongs
void ResequenceSongs(void) {}
#endif
#ifndef OMIT_DeleteAlbum
void DeleteAlbum(HALBUM a) { UNUSED(a); }
#endif
#ifndef OMIT_GETARTISTNAME
char* GETARTISTNAME(HARTIST a, char* b, int32_t n) {
  UNUSED(a);
  UNUSED(n);
  b[0] = 0;
  return b;
}
#endif
#ifndef OMIT_GETALBUMTITLE
char* GETALBUMTITLE(HALBUM a, char* b, int32_t n) {
  UNUSED(a);
  UNUSED(n);
  b[0] = 0;
  return b;
}
#endif
#ifndef OMIT_GETSONGTITLE
char* GETSONGTITLE(HSONG s, char* b, int32_t n) {
  UNUSED(s);
  UNUSED(n);
  b[0] = 0;
  return b;
}
#else
/* The same name in other letter case must not stand in for it. */
char* GetSongTitle(HSONG s, char* b, int32_t n) {
  UNUSED(s);
  UNUSED(n);
  b[0] = 0;
  return b;
}
#endif
#ifndef OMIT_GetSongTime
int32_t GetSongTime(HSONG s) {
  UNUSED(s);
  return 0;
}
#endif
#ifndef OMIT_GetSongUsedOnTape
int32_t GetSongUsedOnTape(HSONG s) {
  UNUSED(s);
  return 0;
}
#endif
#ifndef OMIT_SetSongUsedOnTape
int32_t SetSongUsedOnTape(HSONG s, int32_t f) {
  UNUSED(s);
  return f != 0;
}
#endif
#ifndef OMIT_GetAllAlbums
int32_t GetAllAlbums(BigArray* ba) {
  UNUSED(ba);
  return 0;
}
#endif
#ifndef OMIT_GetAllArtists
int32_t GetAllArtists(BigArray* ba) {
  UNUSED(ba);
  return 0;
}
#endif
#ifndef OMIT_GetAllSongs
int32_t GetAllSongs(BigArray* ba) {
  UNUSED(ba);
  return 0;
}
#endif
#ifndef OMIT_GetArtistsOnAlbum
int32_t GetArtistsOnAlbum(BigArray* ba, HALBUM a) {
  UNUSED(ba);
  UNUSED(a);
  return 0;
}
#endif
#ifndef OMIT_GetSongsOnAlbum
int32_t GetSongsOnAlbum(BigArray* ba, HALBUM a) {
  UNUSED(ba);
  UNUSED(a);
  return 0;
}
#endif
#ifndef OMIT_GetAlbumsByArtist
int32_t GetAlbumsByArtist(BigArray* ba, HARTIST a) {
  UNUSED(ba);
  UNUSED(a);
  return 0;
}
#endif
#ifndef OMIT_GetSongsByArtist
int32_t GetSongsByArtist(BigArray* ba, HARTIST a) {
  UNUSED(ba);
  UNUSED(a);
  return 0;
}
#endif
#ifndef OMIT_GetAlbumOfSong
int32_t GetAlbumOfSong(BigArray* ba, HSONG s) {
  UNUSED(ba);
  UNUSED(s);
  return 1;
}
#endif
#ifndef OMIT_GetArtistOfSong
int32_t GetArtistOfSong(BigArray* ba, HSONG s) {
  UNUSED(ba);
  UNUSED(s);
  return 1;
}
#endif
#ifndef OMIT_SetSortByTime
int32_t SetSortByTime(int32_t f) { return f != 0; }
#endif
#ifndef OMIT_GetAlbumFieldCount
int32_t GetAlbumFieldCount(void) { return 3; }
#endif
#ifndef OMIT_GetAlbumFieldInfo
void GetAlbumFieldInfo(int32_t f, char* b, int32_t n, int32_t* c) {
  UNUSED(f);
  UNUSED(n);
  UNUSED(c);
  b[0] = 0;
}
#endif
#ifndef OMIT_GetUserTextFieldInfo
void GetUserTextFieldInfo(int32_t i, char* b, int32_t n, int32_t* e) {
  UNUSED(i);
  UNUSED(n);
  b[0] = 0;
  *e = 0;
}
#endif
#ifndef OMIT_SetUserTextFieldInfo
void SetUserTextFieldInfo(int32_t i, const char* n, int32_t e) {
  UNUSED(i);
  UNUSED(n);
  UNUSED(e);
}
#endif
#ifndef OMIT_GetUserChoiceFieldInfo
void GetUserChoiceFieldInfo(int32_t i, char* b, int32_t n, int32_t* c) {
  UNUSED(i);
  UNUSED(n);
  b[0] = 0;
  *c = 0;
}
#endif
#ifndef OMIT_SetUserChoiceFieldInfo
void SetUserChoiceFieldInfo(int32_t i, const char* n, int32_t c) {
  UNUSED(i);
  UNUSED(n);
  UNUSED(c);
}
#endif
#ifndef OMIT_GetUserChoiceFieldItem
void GetUserChoiceFieldItem(int32_t i, int32_t x, char* b, int32_t n) {
  UNUSED(i);
  UNUSED(x);
  UNUSED(n);
  b[0] = 0;
}
#endif
#ifndef OMIT_SetUserChoiceFieldItem
void SetUserChoiceFieldItem(int32_t i, int32_t x, const char* t) {
  UNUSED(i);
  UNUSED(x);
  UNUSED(t);
}
#endif
#ifndef OMIT_GetAlbumChoiceFieldItem
void GetAlbumChoiceFieldItem(int32_t f, int32_t x, char* b, int32_t n) {
  UNUSED(f);
  UNUSED(x);
  UNUSED(n);
  b[0] = 0;
}
#endif
#ifndef OMIT_GetAlbumFieldItemIndex
int32_t GetAlbumFieldItemIndex(HALBUM a, int32_t f) {
  UNUSED(a);
  UNUSED(f);
  return 0;
}
#endif
#ifndef OMIT_GetAlbumFieldText
int32_t GetAlbumFieldText(HALBUM a, int32_t f, char* b, int32_t n) {
  UNUSED(a);
  UNUSED(f);
  UNUSED(n);
  b[0] = 0;
  return 1;
}
#endif
