/* Plain C: includes only the public header and drives the shared library. */
#include <stdio.h>
#include <string.h>

#include "reelsmithdb.h"

int main(void) {
  char buf[256];
  HALBUM album;
  HARTIST artist;
  HSONG song;
  CleanupDb();
  album = AddAlbum("Abbey Road", NULL, NULL, 1, 0, 0);
  BeginAddSong();
  artist = AddArtist("The Beatles");
  song = AddSong("Something", 183, artist, album, 2);
  FinishAddSong();
  ResequenceSongs();
  if (GetSongCount() != 1 || GetAlbumCount() != 1 || GetArtistCount() != 1) return 1;
  if (strcmp(GETSONGTITLE(song, buf, sizeof buf), "Something") != 0) return 1;
  if (GetSongTime(song) != 183) return 1;
  puts("ok");
  return 0;
}
