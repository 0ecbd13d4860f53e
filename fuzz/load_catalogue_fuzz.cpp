// Loads arbitrary bytes as a catalogue file. Whatever the bytes, LoadDb must return 0 or
// 1 without a sanitizer finding, and leave lists that agree with each other and with
// their counts; a failed load leaves nothing behind.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "catalogue.h"
#include "reelsmithdb.h"

namespace {

void Require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "load_catalogue_fuzz: %s\n", what);
  std::abort();
}

void CheckCatalogue() {
  const Catalogue& db = Db();
  int32_t n = 0;
  for (HARTIST a = db.artistList; a; a = IGetArtistNext(a), ++n) {
    Require(IGetArtistNum(a) == n, "artist numbers run 0, 1, 2, ...");
    Require(IGetArtistFirstSong(a) != nullptr, "no artist is left without songs");
    for (HSONG s = IGetArtistFirstSong(a); s; s = IGetSongNextSongByArtist(s))
      Require(IGetSongArtist(s) == a, "an artist's chain holds only its songs");
  }
  Require(n == db.artistCnt, "artist count");
  n = 0;
  for (HALBUM a = db.albumList; a; a = IGetAlbumNext(a), ++n) {
    Require(IGetAlbumNum(a) == n, "album numbers run 0, 1, 2, ...");
    for (HSONG s = IGetAlbumFirstSong(a); s; s = IGetSongNextSongOnAlbum(s)) {
      Require(IGetSongAlbum(s) == a, "an album's chain holds only its songs");
      HSONG next = IGetSongNextSongOnAlbum(s);
      Require(!next || IGetSongTrack(s) <= IGetSongTrack(next), "album chains in track order");
    }
  }
  Require(n == db.albumCnt, "album count");
  n = 0;
  for (HSONG s = db.songList; s; s = IGetSongNext(s)) ++n;
  Require(n == db.songCnt, "song count");
}

// The private working directory, removed with what a load can leave in it at exit.
std::string& WorkDir() {
  static std::string dir;
  return dir;
}

void RemoveWorkDir() {
  for (const char* name : {"input.mus", "muserror.txt", "rsh.rs9"}) std::remove(name);
  if (chdir("/") == 0) rmdir(WorkDir().c_str());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The input is written there, and a repaired file leaves its log in the current
  // directory and is saved at once. In memory where possible, as a repair syncs to disk.
  char inMemory[] = "/dev/shm/load_catalogue_fuzz-XXXXXX";
  char onDisk[] = "/tmp/load_catalogue_fuzz-XXXXXX";
  const char* dir = mkdtemp(inMemory);
  if (!dir) dir = mkdtemp(onDisk);
  if (!dir || chdir(dir) != 0) std::abort();
  WorkDir() = dir;
  std::atexit(RemoveWorkDir);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen("input.mus", "wb");
  Require(f != nullptr, "cannot write the input file");
  Require(std::fwrite(data, 1, size, f) == size && std::fclose(f) == 0,
          "cannot write the input file");

  CleanupDb();
  const int32_t result = LoadDb("input.mus");
  Require(result == 0 || result == 1, "LoadDb returns 0 or 1");
  CheckCatalogue();
  if (result == 0)
    Require(!Db().artistList && !Db().albumList && !Db().songList, "a failed load keeps nothing");
  // A repair saves at once, so even a repaired load ends unchanged.
  Require(result == 0 || GetDbChanged() == 0, "a load leaves the catalogue unchanged");

  std::remove("muserror.txt");
  CleanupDb();
  return 0;
}
