/* Plain C: includes only the public header and drives libReelsmithDB.so end to end.
 * Exits non-zero on the first wrong result. */
#include <stdio.h>
#include <string.h>

#include "reelsmithdb.h"

static int failures = 0;

#define CHECK(cond)                                                            \
  do {                                                                         \
    if (!(cond)) {                                                             \
      fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
      ++failures;                                                              \
    }                                                                          \
  } while (0)

/* The titles of an album query's result joined with "|". */
static const char* AlbumList(char* out, size_t size) {
  char buf[64];
  BigArray* ba = BigArrayAlloc(GetAlbumCount());
  int32_t n = GetAllAlbums(ba), i;
  out[0] = '\0';
  for (i = 0; i < n; ++i) {
    if (i) strncat(out, "|", size - strlen(out) - 1);
    strncat(out, GETALBUMTITLE((HALBUM)BAGet(ba, i), buf, sizeof buf), size - strlen(out) - 1);
  }
  BigArrayFree(ba);
  return out;
}

static const char* SongList(char* out, size_t size) {
  char buf[64];
  BigArray* ba = BigArrayAlloc(GetSongCount());
  int32_t n = GetAllSongs(ba), i;
  out[0] = '\0';
  for (i = 0; i < n; ++i) {
    if (i) strncat(out, "|", size - strlen(out) - 1);
    strncat(out, GETSONGTITLE((HSONG)BAGet(ba, i), buf, sizeof buf), size - strlen(out) - 1);
  }
  BigArrayFree(ba);
  return out;
}

static const char* ArtistList(char* out, size_t size) {
  char buf[64];
  BigArray* ba = BigArrayAlloc(GetArtistCount());
  int32_t n = GetAllArtists(ba), i;
  out[0] = '\0';
  for (i = 0; i < n; ++i) {
    if (i) strncat(out, "|", size - strlen(out) - 1);
    strncat(out, GETARTISTNAME((HARTIST)BAGet(ba, i), buf, sizeof buf), size - strlen(out) - 1);
  }
  BigArrayFree(ba);
  return out;
}

static void BigArrays(void) {
  BigArray* ba = BigArrayAlloc(0);
  CHECK(ba != NULL);
  CHECK(BAGet(ba, 0) == NULL);
  CHECK(BigArrayFree(ba) == 1);
  ba = BigArrayAlloc(2049);
  CHECK(ba != NULL);
  CHECK(BAGet(ba, 2048) == NULL);
  BigArrayFree(ba);
}

static void Editing(void) {
  char list[512], buf[64];
  HALBUM abbey, help, singles, dup;
  HARTIST beatles, same;
  HSONG something, come, help1;

  CHECK(CleanupDb() == 0);
  CHECK(GetDbChanged() == 0);
  CHECK(DbInit() == 1);

  abbey = AddAlbum("Abbey Road", "EMI", NULL, 1, 0, 0);
  singles = AddAlbum("[Singles]", NULL, NULL, 0, 0, 0);
  help = AddAlbum("Help!", NULL, NULL, 2, 0, 0);
  CHECK(abbey && singles && help);
  CHECK(GetDbChanged() == 1);
  CHECK(strcmp(AlbumList(list, sizeof list), "Abbey Road|Help!|[Singles]") == 0);
  /* mend 1: a plain title stops at the first bracketed album */
  CHECK(AddAlbum("Revolver", NULL, NULL, 1, 0, 0) != NULL);
  CHECK(strcmp(AlbumList(list, sizeof list), "Abbey Road|Help!|Revolver|[Singles]") == 0);
  dup = AddAlbum("abbey road", NULL, NULL, 1, 0, 0);
  CHECK(strcmp(AlbumList(list, sizeof list), "abbey road|Abbey Road|Help!|Revolver|[Singles]") ==
        0);
  DeleteAlbum(dup);
  CHECK(GetAlbumCount() == 4);

  BeginAddSong();
  beatles = AddArtist("the beatles");
  come = AddSong("Come Together", 259, beatles, abbey, 1);
  something = AddSong("Something", 182, beatles, abbey, 2);
  CHECK(GetSongCount() == 0);
  FinishAddSong();
  ResequenceSongs();
  CHECK(GetSongCount() == 2);
  same = AddArtist("The Beatles");
  CHECK(same == beatles);
  CHECK(strcmp(GETARTISTNAME(beatles, buf, sizeof buf), "The Beatles") == 0);
  CHECK(GetArtistCount() == 1);

  BeginAddSong();
  help1 = AddSong("Help!", 138, AddArtist("The Beatles"), help, 1);
  AddSong("Another Girl", 125, AddArtist("Paul"), help, 2);
  FinishAddSong();
  ResequenceSongs();
  ResequenceArtists();
  ResequenceAlbums();
  CHECK(strcmp(SongList(list, sizeof list), "Another Girl|Come Together|Help!|Something") == 0);
  CHECK(strcmp(ArtistList(list, sizeof list), "Paul|The Beatles") == 0);

  CHECK(GetSongTime(something) == 182);
  CHECK(GetSongUsedOnTape(come) == 0);
  CHECK(SetSongUsedOnTape(come, 7) == 1);
  CHECK(GetSongUsedOnTape(come) == 1);
  CHECK(strcmp(GETSONGTITLE(help1, buf, 4), "Hel") == 0);
  CHECK(strcmp(GETALBUMTITLE(singles, buf, sizeof buf), "[Singles]") == 0);
  CHECK(strcmp(GETARTISTNAME(NULL, buf, sizeof buf), "") == 0);

  DeleteAlbum(help); /* Paul goes with his only album */
  CHECK(strcmp(ArtistList(list, sizeof list), "The Beatles") == 0);
  CHECK(GetSongCount() == 2);
  CHECK(GetAlbumCount() == 3);

  SetFileName("/nonexistent/never-saved.mus");
  CHECK(DbInit() == 0);
  CHECK(strcmp(GetErrorText(), "Save the currently loaded database before wiping it out.") == 0);
  CHECK(GetAlbumCount() == 3);
  CHECK(CleanupDb() == 0);
  CHECK(GetAlbumCount() == 0 && GetArtistCount() == 0 && GetSongCount() == 0);
  CHECK(GetDbChanged() == 0);
}

/* mend 2: nothing beyond 15,000 of a kind */
static void Limit(void) {
  char title[32];
  int i;
  HALBUM album = NULL;
  CleanupDb();
  for (i = 0; i < 15000; ++i) {
    snprintf(title, sizeof title, "t%05d", 99999 - i); /* descending: quick either way */
    album = AddAlbum(title, NULL, NULL, 0, 0, 0);
    if (!album) break;
  }
  CHECK(GetAlbumCount() == 15000);
  CHECK(AddAlbum("one more", NULL, NULL, 0, 0, 0) == NULL);
  CHECK(strcmp(GetErrorText(), "The database is full.") == 0);
  CleanupDb();
}

int main(void) {
  BigArrays();
  Editing();
  Limit();
  if (failures) {
    fprintf(stderr, "%d check(s) failed\n", failures);
    return 1;
  }
  puts("c interface: all checks passed");
  return 0;
}
