#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "album.h"
#include "catalogue.h"
#include "catalogue_writer.h"
#include "reelsmithdb.h"
#include "song.h"
#include "test_helpers.h"

namespace {

using rstest::AlbumTitles;
using rstest::ArtistNames;
using rstest::ReadBytes;
using rstest::TempDir;
using rstest::WriteBytes;

const std::string kFixtures = RS_FIXTURES_DIR;
const std::string kV5 = kFixtures + "/v5.mus";

class MergeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rstest::ResetCatalogue();
    SetFileName("");
    CleanupDb();
  }
  void TearDown() override { rstest::ResetCatalogue(); }
  TempDir dir_;
};

std::vector<HALBUM> Albums() {
  std::vector<HALBUM> out;
  BigArray* ba = BigArrayAlloc(GetAlbumCount());
  const int32_t n = GetAllAlbums(ba);
  for (int32_t i = 0; i < n; ++i) out.push_back(static_cast<HALBUM>(BAGet(ba, i)));
  BigArrayFree(ba);
  return out;
}

std::vector<HSONG> SongsOn(HALBUM album) {
  std::vector<HSONG> out;
  for (HSONG s = IGetAlbumFirstSong(album); s; s = IGetSongNextSongOnAlbum(s)) out.push_back(s);
  return out;
}

std::string TextField(HALBUM album, int which) {
  char buf[ALBUM_TEXT_SIZE];
  return which == 1 ? IGetAlbumText1(album, buf, sizeof buf)
                    : IGetAlbumText2(album, buf, sizeof buf);
}

void Put16(std::vector<uint8_t>& out, unsigned v) {
  out.push_back(static_cast<uint8_t>(v & 0xFF));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

// The start of a version 5 file: version, an empty field block and the three counts;
// enough for the counts to be read, not for the file to be loaded.
std::vector<uint8_t> V5Header(unsigned artists, unsigned albums, unsigned songs) {
  std::vector<uint8_t> out(1 + FIELD_DEFS_SIZE, 0);
  out[0] = 5;
  Put16(out, artists);
  Put16(out, albums);
  Put16(out, songs);
  return out;
}

// A complete version 5 file of `albums` albums with `perAlbum` songs each, all by one
// artist, no user fields.
std::vector<uint8_t> V5File(const std::string& artist, unsigned albums, unsigned perAlbum) {
  const unsigned songs = albums * perAlbum;
  std::vector<uint8_t> out = V5Header(1, albums, songs);
  for (int array = 0; array < 3; ++array)
    for (unsigned b = 0; b < albums; ++b) Put16(out, array == 0 ? 1 : 0);
  for (unsigned s = 0; s < songs; ++s) {
    Put16(out, 100);
    Put16(out, 0);
    Put16(out, s / perAlbum);
    Put16(out, s % perAlbum + 1);
  }
  std::vector<std::string> strings = {artist};
  for (unsigned b = 0; b < albums; ++b) {
    strings.push_back("File album " + std::to_string(b));
    strings.push_back("");
    strings.push_back("");
  }
  for (unsigned s = 0; s < songs; ++s) strings.push_back("File song " + std::to_string(s));
  for (const std::string& s : strings) out.insert(out.end(), s.c_str(), s.c_str() + s.size() + 1);
  for (const std::string& s : strings) out.push_back(static_cast<uint8_t>(s.size() + 1));
  Put16(out, static_cast<unsigned>(strings.size()));
  return out;
}

// Everything a failed merge must leave as it was.
struct Snapshot {
  int32_t albums, artists, songs, changed;
  std::vector<HALBUM> albumHandles;
  std::vector<std::string> titles, artistNames;
  std::vector<uint8_t> fieldDefs;
  std::string fileName;

  static Snapshot Take() {
    const Catalogue& db = Db();
    const auto* defs = reinterpret_cast<const uint8_t*>(&db.fieldDefs);
    return {GetAlbumCount(), GetArtistCount(),
            GetSongCount(),  GetDbChanged(),
            Albums(),        AlbumTitles(),
            ArtistNames(),   std::vector<uint8_t>(defs, defs + FIELD_DEFS_SIZE),
            db.dbFileName};
  }
  bool operator==(const Snapshot& o) const {
    return albums == o.albums && artists == o.artists && songs == o.songs && changed == o.changed &&
           albumHandles == o.albumHandles && titles == o.titles && artistNames == o.artistNames &&
           fieldDefs == o.fieldDefs && fileName == o.fileName;
  }
};

TEST_F(MergeTest, IntoEmptyCatalogueGivesTheFileMarkedChangedWithNoUserFields) {
  ASSERT_EQ(MergeDb(kV5.c_str()), 1) << GetErrorText();
  EXPECT_EQ(GetAlbumCount(), 3);
  EXPECT_EQ(GetArtistCount(), 3);
  EXPECT_EQ(GetSongCount(), 6);
  EXPECT_EQ(GetDbChanged(), 1);
  EXPECT_STREQ(Db().dbFileName, "");
  // The empty catalogue's definitions stay: every user value of the file is cleared.
  EXPECT_EQ(GetAlbumFieldCount(), 3);
  for (HALBUM a : Albums()) {
    EXPECT_EQ(IGetAlbumChoice1(a), 0);
    EXPECT_EQ(IGetAlbumChoice2(a), 0);
    EXPECT_EQ(TextField(a, 1), "");
  }
  EXPECT_EQ(AlbumTitles(),
            (std::vector<std::string>{"Harbour Lights", "Quiet Se\xF1or", "[Singles]"}));
  // Songs loaded from the file keep their mark.
  EXPECT_EQ(GetSongUsedOnTape(SongsOn(Albums()[0])[1]), 1);
}

TEST_F(MergeTest, SelfMergeDoublesAlbumsAndSongsButNotArtists) {
  ASSERT_EQ(LoadDb(kV5.c_str()), 1) << GetErrorText();
  SetFileName("/somewhere/mine.mus");
  ASSERT_EQ(MergeDb(kV5.c_str()), 1) << GetErrorText();
  EXPECT_EQ(GetAlbumCount(), 6);
  EXPECT_EQ(GetSongCount(), 12);
  EXPECT_EQ(GetArtistCount(), 3);
  EXPECT_EQ(ArtistNames(), (std::vector<std::string>{"Ada Quill", "Bram Ossory", "\xC9lan Vital"}));
  EXPECT_EQ(AlbumTitles(),
            (std::vector<std::string>{"Harbour Lights", "Harbour Lights", "Quiet Se\xF1or",
                                      "Quiet Se\xF1or", "[Singles]", "[Singles]"}));
  EXPECT_STREQ(Db().dbFileName, "/somewhere/mine.mus");
  EXPECT_EQ(GetDbChanged(), 1);
  // The same definitions on both sides: the user values survive on both copies.
  EXPECT_EQ(GetAlbumFieldCount(), 6);
  auto albums = Albums();
  for (int i : {0, 1}) {
    EXPECT_EQ(IGetAlbumChoice1(albums[i]), 2);
    EXPECT_EQ(IGetAlbumChoice2(albums[i]), 1);
    EXPECT_EQ(TextField(albums[i], 1), "Corner shop");
    EXPECT_EQ(IGetAlbumNum(albums[i]), i);
  }
  // The copy of the album in memory stands before the loaded one of equal title, and
  // only its songs lose the used-on-tape mark.
  auto copied = SongsOn(albums[0]);
  auto loaded = SongsOn(albums[1]);
  ASSERT_EQ(copied.size(), 3u);
  ASSERT_EQ(loaded.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_STREQ(ISongTitle(copied[i]), ISongTitle(loaded[i]));
    EXPECT_EQ(IGetSongTrack(copied[i]), IGetSongTrack(loaded[i]));
    EXPECT_EQ(IGetSongTime(copied[i]), IGetSongTime(loaded[i]));
    EXPECT_EQ(IGetSongArtist(copied[i]), IGetSongArtist(loaded[i]));
    EXPECT_EQ(GetSongUsedOnTape(copied[i]), 0);
  }
  EXPECT_EQ(GetSongUsedOnTape(loaded[1]), 1);
  ResequenceSongs();  // the counts and the list agree (asserted inside)
}

TEST_F(MergeTest, ArtistsOfEqualNameIgnoringCaseBecomeOneSpelledAsInMemory) {
  rstest::AddAlbumWithSongs("Mine", {{"Own", 100, "ADA QUILL"}, {"Other", 90, "\xE9lan vital"}});
  ASSERT_EQ(MergeDb(kV5.c_str()), 1) << GetErrorText();
  EXPECT_EQ(ArtistNames(), (std::vector<std::string>{"ADA QUILL", "Bram Ossory", "\xE9lan vital"}));
  BigArray* ba = BigArrayAlloc(GetArtistCount());
  GetAllArtists(ba);
  HARTIST ada = static_cast<HARTIST>(BAGet(ba, 0));
  BigArrayFree(ba);
  EXPECT_EQ(GetAlbumsByArtist(nullptr, ada), 3);  // two songs from the file, one own
}

TEST_F(MergeTest, DefinitionsOfTheCatalogueInMemoryAreKeptAndCheckTheFileAlbums) {
  SetUserChoiceFieldItem(1, 0, "Jazz");
  SetUserChoiceFieldInfo(1, "Style", 1);
  SetUserTextFieldInfo(2, "Notes", 1);
  HALBUM own = AddAlbum("Own", "", "kept note", 1, 1, 0);
  BeginAddSong();
  AddSong("Own song", 10, AddArtist("Me"), own, 1);
  FinishAddSong();
  ASSERT_EQ(MergeDb(kV5.c_str()), 1) << GetErrorText();

  char name[64];
  int32_t count = -1;
  GetUserChoiceFieldInfo(1, name, sizeof name, &count);
  EXPECT_STREQ(name, "Style");
  EXPECT_EQ(count, 1);
  GetUserChoiceFieldInfo(2, name, sizeof name, &count);
  EXPECT_EQ(count, 0);
  GetUserTextFieldInfo(1, name, sizeof name, &count);
  EXPECT_EQ(count, 0);
  GetUserChoiceFieldItem(1, 1, name, sizeof name);
  EXPECT_STREQ(name, "");  // the file's second choice did not come along

  auto albums = Albums();  // Harbour Lights, Own, Quiet Senor, [Singles]
  ASSERT_EQ(albums.size(), 4u);
  EXPECT_EQ(IGetAlbumChoice1(albums[0]), 0);  // 2 lies beyond the kept count of 1
  EXPECT_EQ(IGetAlbumChoice1(albums[3]), 1);
  EXPECT_EQ(IGetAlbumChoice1(albums[1]), 1);
  for (HALBUM a : albums) {
    EXPECT_EQ(IGetAlbumChoice2(a), 0);
    EXPECT_EQ(TextField(a, 1), "");  // "Corner shop" and "Fair" are gone
  }
  EXPECT_EQ(TextField(albums[1], 2), "kept note");
}

TEST_F(MergeTest, VersionOneFileArrivesWithChoiceOneCheckedByKeptDefinitions) {
  SetUserChoiceFieldItem(2, 0, "Mint");
  SetUserChoiceFieldInfo(2, "Condition", 1);
  ASSERT_EQ(MergeDb((kFixtures + "/v1.mus").c_str()), 1) << GetErrorText();
  EXPECT_EQ(GetAlbumCount(), 3);
  EXPECT_EQ(GetSongCount(), 6);
  for (HALBUM a : Albums()) {
    EXPECT_EQ(IGetAlbumChoice1(a), 0);  // choice field 1 is not in use here
    EXPECT_EQ(IGetAlbumChoice2(a), 1);
  }
}

TEST_F(MergeTest, EachCombinedCountIsLimited) {
  // 10,000 songs on 100 albums by one artist.
  for (int b = 0; b < 100; ++b) {
    HALBUM album = AddAlbum(("Album " + std::to_string(b)).c_str(), "", "", 1, 0, 0);
    BeginAddSong();
    HARTIST artist = AddArtist("One");
    for (int t = 1; t <= 100; ++t) AddSong("Song", 60, artist, album, t);
    FinishAddSong();
  }
  ResequenceSongs();
  ASSERT_EQ(GetSongCount(), 10000);
  const Snapshot before = Snapshot::Take();

  const struct {
    unsigned artists, albums, songs;
  } refused[] = {{1, 1, 5001}, {15000, 1, 1}, {1, 14901, 1}};
  for (const auto& c : refused) {
    const std::string path = dir_.file("big.mus");
    WriteBytes(path, V5Header(c.artists, c.albums, c.songs));
    EXPECT_EQ(MergeDb(path.c_str()), 0) << c.artists << " " << c.albums << " " << c.songs;
    EXPECT_STREQ(GetErrorText(), "The combined database would be too big.");
    EXPECT_TRUE(Snapshot::Take() == before);
  }

  const std::string path = dir_.file("fits.mus");
  WriteBytes(path, V5File("one", 50, 100));
  ASSERT_EQ(MergeDb(path.c_str()), 1) << GetErrorText();
  EXPECT_EQ(GetSongCount(), 15000);
  EXPECT_EQ(GetAlbumCount(), 150);
  EXPECT_EQ(GetArtistCount(), 1);
  ResequenceSongs();
}

TEST_F(MergeTest, CountsReachingExactlyTheLimitAreMerged) {
  // One of each in memory and 14,999 of each in the file: every combined count is
  // 15,000, which is allowed.
  rstest::AddAlbumWithSongs("Own album", {{"Own song", 10, "Own artist"}});
  rstest::MusCatalogue file;
  for (int i = 0; i < 14999; ++i) {
    const std::string n = std::to_string(i);
    file.artists.push_back("Artist " + n);
    file.albums.push_back({"Album " + n, 1, 0, 0, "", ""});
    file.songs.push_back({"Song " + n, 60, static_cast<uint16_t>(i), static_cast<uint16_t>(i),
                          1, false});
  }
  const std::string path = dir_.file("fits.mus");
  WriteBytes(path, rstest::WriteMus(file, 5));
  ASSERT_EQ(MergeDb(path.c_str()), 1) << GetErrorText();
  EXPECT_EQ(GetArtistCount(), 15000);
  EXPECT_EQ(GetAlbumCount(), 15000);
  EXPECT_EQ(GetSongCount(), 15000);
  ResequenceSongs();
  ResequenceAlbums();
  ResequenceArtists();
}

TEST_F(MergeTest, FailureLeavesTheCatalogueExactlyAsBefore) {
  ASSERT_EQ(LoadDb(kV5.c_str()), 1) << GetErrorText();
  const std::string missing = dir_.file("missing.mus");
  Snapshot before = Snapshot::Take();
  ASSERT_EQ(before.changed, 0);
  EXPECT_EQ(MergeDb(missing.c_str()), 0);
  EXPECT_STREQ(GetErrorText(), "Could not open database file.  Check file name.");
  EXPECT_TRUE(Snapshot::Take() == before);

  // The same with unsaved changes: the flag stays set.
  SetSongUsedOnTape(SongsOn(Albums()[0])[0], 1);
  before = Snapshot::Take();
  ASSERT_EQ(before.changed, 1);
  EXPECT_EQ(MergeDb(missing.c_str()), 0);
  EXPECT_TRUE(Snapshot::Take() == before);

  const std::string newer = dir_.file("newer.mus");
  WriteBytes(newer, {6, 0, 0, 0});
  EXPECT_EQ(MergeDb(newer.c_str()), 0);
  EXPECT_STREQ(GetErrorText(), "You need a newer version of Reelsmith to read the data file.");
  EXPECT_TRUE(Snapshot::Take() == before);

  // Too short to hold the counts: no new message.
  const std::string shortFile = dir_.file("short.mus");
  auto bytes = V5Header(1, 1, 1);
  bytes.resize(bytes.size() - 3);
  WriteBytes(shortFile, bytes);
  EXPECT_EQ(MergeDb(shortFile.c_str()), 0);
  EXPECT_STREQ(GetErrorText(), "You need a newer version of Reelsmith to read the data file.");
  EXPECT_TRUE(Snapshot::Take() == before);
}

TEST_F(MergeTest, FailedLoadPutsBackRecordsDefinitionsAndFlag) {
  ASSERT_EQ(LoadDb(kV5.c_str()), 1) << GetErrorText();
  const Snapshot before = Snapshot::Take();
  // Counts that read well, over a body that cannot be loaded: the loader has already
  // replaced the definitions with the file's when it fails.
  auto bytes = V5File("x", 2, 3);
  bytes[1] = 'Q';  // a choice field name unlike the catalogue's
  bytes[85] = 1;
  bytes.resize(bytes.size() - 40);
  const std::string path = dir_.file("damaged.mus");
  WriteBytes(path, bytes);
  EXPECT_EQ(MergeDb(path.c_str()), 0);
  EXPECT_TRUE(Snapshot::Take() == before);
  ResequenceSongs();
  ResequenceAlbums();
  ResequenceArtists();

  // The same over unsaved changes: loading starts from a clean flag, and the flag that
  // is put back must be the one set aside, not the one the failed load left.
  SetSongUsedOnTape(SongsOn(Albums()[0])[0], 1);
  const Snapshot changed = Snapshot::Take();
  ASSERT_EQ(changed.changed, 1);
  EXPECT_EQ(MergeDb(path.c_str()), 0);
  EXPECT_TRUE(Snapshot::Take() == changed);
  EXPECT_EQ(GetDbChanged(), 1);

  // The catalogue still works: it can be merged into afterwards.
  ASSERT_EQ(MergeDb(kV5.c_str()), 1) << GetErrorText();
  EXPECT_EQ(GetAlbumCount(), 6);
}

TEST_F(MergeTest, MergingInsideAnOpenSongBatchIsAProgrammingError) {
  HALBUM album = AddAlbum("Open", "", "", 1, 0, 0);
  BeginAddSong();
  AddSong("Pending", 10, AddArtist("Me"), album, 1);
  EXPECT_DEATH(MergeDb(kV5.c_str()), "addSongList");
  FinishAddSong();
}

TEST_F(MergeTest, RepairOfADamagedFileDoesNotOverwriteTheOpenCatalogue) {
  // The open catalogue's own file, as saved.
  const std::string mine = dir_.file("mine.mus");
  rstest::AddAlbumWithSongs("Mine", {{"Own", 100, "Me"}});
  SetFileName(mine.c_str());
  ASSERT_EQ(SaveDb(), 1) << GetErrorText();
  const auto mineBytes = ReadBytes(mine);

  const std::string damaged = dir_.file("damaged.mus");
  std::filesystem::copy_file(kFixtures + "/v1-duplicate-track.mus", damaged);
  const std::string cwd = std::filesystem::current_path().string();
  ASSERT_EQ(chdir(dir_.path().c_str()), 0);  // the repair log goes to the current folder
  const int32_t result = MergeDb(damaged.c_str());
  ASSERT_EQ(chdir(cwd.c_str()), 0);
  ASSERT_EQ(result, 1) << GetErrorText();

  EXPECT_EQ(ReadBytes(mine), mineBytes);
  EXPECT_STREQ(Db().dbFileName, mine.c_str());
  EXPECT_EQ(GetDbChanged(), 1);
  // The damaged album is gone; the merged file was repaired in place.
  EXPECT_EQ(AlbumTitles(), (std::vector<std::string>{"Mine", "Quiet Se\xF1or", "[Singles]"}));
  EXPECT_EQ(ReadBytes(damaged).at(0), 5);
  EXPECT_TRUE(std::filesystem::exists(dir_.file("muserror.txt")));
}

}  // namespace
