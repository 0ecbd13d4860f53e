#pragma once
// What must hold of the catalogue after any load or merge, whatever the file held:
// every list agrees with its count and with the links between records.
#include <cstdint>

#include "catalogue.h"
#include "reelsmithdb.h"
#include "work_folder.h"

namespace rsfuzz {

inline void Require(bool ok, const char* what) {
  if (!ok) Fail(what);
}

inline void CheckCatalogue() {
  const Catalogue& db = Db();
  int32_t n = 0;
  int32_t byArtist = 0;
  for (HARTIST a = db.artistList, prev = nullptr; a; prev = a, a = IGetArtistNext(a), ++n) {
    Require(IGetArtistPrev(a) == prev, "artist list links agree both ways");
    Require(IGetArtistNum(a) == n, "artist numbers run 0, 1, 2, ...");
    Require(IGetArtistFirstSong(a) != nullptr, "no artist is left without songs");
    for (HSONG s = IGetArtistFirstSong(a); s; s = IGetSongNextSongByArtist(s), ++byArtist)
      Require(IGetSongArtist(s) == a, "an artist's chain holds only its songs");
  }
  Require(n == db.artistCnt, "artist count");
  Require(byArtist == db.songCnt, "every song is on its artist's chain");
  int32_t chained = 0;
  n = 0;
  for (HALBUM a = db.albumList, prev = nullptr; a; prev = a, a = IGetAlbumNext(a), ++n) {
    Require(IGetAlbumPrev(a) == prev, "album list links agree both ways");
    Require(IGetAlbumNum(a) == n, "album numbers run 0, 1, 2, ...");
    for (HSONG s = IGetAlbumFirstSong(a); s; s = IGetSongNextSongOnAlbum(s), ++chained) {
      Require(IGetSongAlbum(s) == a, "an album's chain holds only its songs");
      HSONG next = IGetSongNextSongOnAlbum(s);
      Require(!next || IGetSongTrack(s) <= IGetSongTrack(next), "album chains in track order");
    }
  }
  Require(n == db.albumCnt, "album count");
  n = 0;
  for (HSONG s = db.songList, prev = nullptr; s; prev = s, s = IGetSongNext(s), ++n)
    Require(IGetSongPrev(s) == prev, "song list links agree both ways");
  Require(n == db.songCnt, "song count");
  Require(chained == db.songCnt, "every song is on its album's chain");
  Require(!db.addSongList, "no song batch is left open");
  Require(GetArtistCount() == db.artistCnt && GetAlbumCount() == db.albumCnt &&
              GetSongCount() == db.songCnt,
          "the exported counts are the lists' counts");
}

}  // namespace rsfuzz
