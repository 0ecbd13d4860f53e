/* Built against the unpacked development package with the flags pkg-config gives: saves a
 * small catalogue, loads it back and compares. Usage: catalogue_round_trip <file.mus> */
#include <stdio.h>
#include <string.h>

#include <reelsmithdb.h>

static int failures = 0;

static void expect(int ok, const char *what) {
  if (!ok) {
    fprintf(stderr, "FAIL: %s (library says: %s)\n", what, GetErrorText());
    ++failures;
  }
}

int main(int argc, char **argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s <file.mus>\n", argv[0]);
    return 2;
  }
  expect(DbInit() == 1, "DbInit");
  HARTIST artist = AddArtist("Tape Artist");
  HALBUM album = AddAlbum("First Album", "Side note", NULL, 1, 0, 0);
  expect(artist && album, "AddArtist and AddAlbum");
  if (!artist || !album) return 1;
  BeginAddSong();
  expect(AddSong("Opening", 185, artist, album, 1) != NULL, "AddSong 1");
  expect(AddSong("Closing", 242, artist, album, 2) != NULL, "AddSong 2");
  FinishAddSong();
  ResequenceSongs();
  SetFileName(argv[1]);
  expect(SaveDb() == 1, "SaveDb");
  CleanupDb();
  expect(GetSongCount() == 0, "the catalogue is empty after CleanupDb");

  expect(LoadDb(argv[1]) == 1, "LoadDb");
  expect(GetArtistCount() == 1 && GetAlbumCount() == 1 && GetSongCount() == 2,
         "one artist, one album, two songs after loading");
  BigArray *songs = BigArrayAlloc(GetSongCount());
  BigArray *owner = BigArrayAlloc(1);
  expect(songs && owner, "BigArrayAlloc");
  if (!songs || !owner) return 1;
  int n = GetAllSongs(songs);
  char title[64];
  long total = 0;
  int titlesOk = 1;
  for (int i = 0; i < n; ++i) {
    HSONG song = (HSONG)BAGet(songs, i);
    GETSONGTITLE(song, title, sizeof title);
    /* Title order: Closing before Opening. */
    titlesOk &= strcmp(title, i == 0 ? "Closing" : "Opening") == 0;
    total += GetSongTime(song);
    GetAlbumOfSong(owner, song);
    GETALBUMTITLE((HALBUM)BAGet(owner, 0), title, sizeof title);
    titlesOk &= strcmp(title, "First Album") == 0;
    GetArtistOfSong(owner, song);
    GETARTISTNAME((HARTIST)BAGet(owner, 0), title, sizeof title);
    titlesOk &= strcmp(title, "Tape Artist") == 0;
  }
  expect(n == 2, "GetAllSongs returns both songs");
  expect(titlesOk, "song, album and artist names survive the file");
  expect(total == 185 + 242, "playing times survive the file");
  BigArrayFree(owner);
  BigArrayFree(songs);
  CleanupDb();
  if (failures == 0) printf("catalogue round trip: ok\n");
  return failures == 0 ? 0 : 1;
}
