// Merges arbitrary bytes as a catalogue file into a loaded catalogue. Whatever the
// bytes, MergeDb must return 0 or 1 without a sanitizer finding and leave lists that
// agree with their counts; a failed merge leaves the catalogue exactly as it was, its
// changed flag included, and a successful one keeps the catalogue's own records and
// field definitions and marks it changed.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "catalogue.h"
#include "catalogue_consistency.h"
#include "catalogue_writer.h"
#include "reelsmithdb.h"
#include "work_folder.h"

using rsfuzz::Require;

namespace {

// The catalogue merged into: user fields in use, songs sharing artists, bracketed and
// equal titles, and one song on a track another already holds.
rstest::MusCatalogue Base() {
  rstest::MusCatalogue c;
  c.artists = {"Ann Arbor", "Bo Dane", "cy ro"};
  c.albums = {{"Blue Rooms", 1, 2, 1, "Attic", ""},
              {"Quiet", 3, 1, 0, "", "Box"},
              {"Quiet", 2, 0, 2, "", ""},
              {"[Singles]", 5, 0, 2, "Shelf 2", ""}};
  c.songs = {{"Afterglow", 245, 0, 0, 1, false}, {"Bright", 185, 0, 0, 2, true},
             {"Candle", 312, 2, 0, 2, false},    {"Dune", 59, 1, 1, 1, false},
             {"Echo", 6000, 1, 2, 2, true},      {"Flint", 0, 2, 3, 1, false}};
  c.fields.choiceName[0] = "Genre";
  c.fields.choiceName[1] = "Condition";
  c.fields.textName[0] = "Stored at";
  c.fields.textName[1] = "Notes";
  c.fields.choiceCount[0] = 2;
  c.fields.choiceCount[1] = 2;
  c.fields.textState[0] = 1;
  c.fields.textState[1] = 1;
  c.fields.choices[0] = {"Jazz", "Folk"};
  c.fields.choices[1] = {"Mint", "Worn"};
  return c;
}

// Everything a failed merge must leave as it was.
struct Picture {
  int32_t artists, albums, songs, changed;
  std::vector<const void*> records;  // every list and chain, in order
  std::vector<std::string> texts;
  std::vector<uint8_t> fieldDefs;

  static Picture Take() {
    const Catalogue& db = Db();
    Picture p{GetArtistCount(), GetAlbumCount(), GetSongCount(), GetDbChanged(), {}, {}, {}};
    for (HARTIST a = db.artistList; a; a = IGetArtistNext(a)) {
      p.records.push_back(a);
      p.texts.push_back(IArtistName(a));
      for (HSONG s = IGetArtistFirstSong(a); s; s = IGetSongNextSongByArtist(s))
        p.records.push_back(s);
    }
    for (HALBUM a = db.albumList; a; a = IGetAlbumNext(a)) {
      p.records.push_back(a);
      p.texts.push_back(IAlbumTitle(a));
      for (HSONG s = IGetAlbumFirstSong(a); s; s = IGetSongNextSongOnAlbum(s))
        p.records.push_back(s);
    }
    for (HSONG s = db.songList; s; s = IGetSongNext(s)) {
      p.records.push_back(s);
      p.texts.push_back(ISongTitle(s));
    }
    const auto* defs = reinterpret_cast<const uint8_t*>(&db.fieldDefs);
    p.fieldDefs.assign(defs, defs + sizeof db.fieldDefs);
    return p;
  }
  bool operator==(const Picture& o) const {
    return artists == o.artists && albums == o.albums && songs == o.songs &&
           changed == o.changed && records == o.records && texts == o.texts &&
           fieldDefs == o.fieldDefs;
  }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  rsfuzz::PrepareWorkFolder(argc, argv, "merge_catalogue_fuzz");
  rsfuzz::InWorkFolder here;
  const std::vector<uint8_t> base = rstest::WriteMus(Base(), 5);
  rsfuzz::WriteInput("base.mus", base.data(), base.size());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  rsfuzz::InWorkFolder here;
  rsfuzz::WriteInput("input.mus", data, size);

  CleanupDb();
  Require(LoadDb("base.mus") == 1, "the base catalogue loads");
  // Half the inputs merge into a catalogue with unsaved changes.
  if (size % 2) SetSongUsedOnTape(Db().songList, 1);
  const Picture before = Picture::Take();

  const int32_t result = MergeDb("input.mus");
  Require(result == 0 || result == 1, "MergeDb returns 0 or 1");
  rsfuzz::CheckCatalogue();
  if (result == 0) {
    Require(Picture::Take() == before, "a failed merge leaves the catalogue as it was");
  } else {
    const Picture after = Picture::Take();
    Require(GetDbChanged() == 1, "a merge marks the catalogue changed");
    Require(after.albums >= before.albums && after.songs >= before.songs &&
                after.artists >= before.artists,
            "a merge keeps every album and song of the catalogue");
    Require(after.fieldDefs == before.fieldDefs, "a merge keeps the catalogue's definitions");
    Require(GetSongCount() <= 15000 && GetAlbumCount() <= 15000 && GetArtistCount() <= 15000,
            "a merge stays within the limits");
  }

  std::remove("muserror.txt");
  CleanupDb();
  return 0;
}
