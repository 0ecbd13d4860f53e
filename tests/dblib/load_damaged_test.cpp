// Damaged and hostile catalogue files: loading never crashes, never reads outside what
// the file holds, and leaves an empty catalogue with "Could not read database file.".
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "catalogue_snapshot.h"
#include "catalogue.h"
#include "catalogue_writer.h"
#include "reelsmithdb.h"
#include "test_helpers.h"

namespace fs = std::filesystem;
using rstest::FixtureCatalogue;
using rstest::MusCatalogue;
using rstest::ReadBytes;
using rstest::WriteBytes;
using rstest::WriteMus;

namespace {

const char kCannotRead[] = "Could not read database file.";

std::string Fixture(const std::string& name) { return std::string(RS_FIXTURES_DIR) + "/" + name; }

void PutU16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
  b.at(at) = static_cast<uint8_t>(v & 0xFF);
  b.at(at + 1) = static_cast<uint8_t>(v >> 8);
}

uint16_t GetU16(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}

class LoadDamaged : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = fs::current_path();
    fs::current_path(dir_.path());  // a repair log would land here
    rstest::ResetCatalogue();
  }
  void TearDown() override {
    rstest::ResetCatalogue();
    fs::current_path(old_);
  }

  int32_t Load(const std::vector<uint8_t>& bytes) {
    const std::string path = dir_.file("damaged.mus");
    WriteBytes(path, bytes);
    rstest::ResetCatalogue();
    return LoadDb(path.c_str());
  }

  // The load failed as damaged files do: message, nothing loaded, no user field in
  // use, not changed, no repair logged.
  void ExpectRejected(const std::vector<uint8_t>& bytes, const std::string& what) {
    SCOPED_TRACE(what);
    ReportError("earlier");
    EXPECT_EQ(Load(bytes), 0);
    EXPECT_STREQ(GetErrorText(), kCannotRead);
    EXPECT_EQ(GetArtistCount() + GetAlbumCount() + GetSongCount(), 0);
    EXPECT_EQ(Db().artistList, nullptr);
    EXPECT_EQ(Db().albumList, nullptr);
    EXPECT_EQ(Db().songList, nullptr);
    EXPECT_TRUE(rstest::FieldDefsAreEmpty());
    EXPECT_EQ(GetAlbumFieldCount(), 3);
    EXPECT_EQ(GetDbChanged(), 0);
    EXPECT_FALSE(fs::exists(dir_.file("muserror.txt")));
  }

  rstest::TempDir dir_;
  fs::path old_;
};

TEST_F(LoadDamaged, EveryTruncationOfEveryVersionIsRejected) {
  for (const char* name :
       {"v1.mus", "v2.mus", "v3.mus", "v4.mus", "v5.mus", "v1-duplicate-track.mus"}) {
    const std::vector<uint8_t> whole = ReadBytes(Fixture(name));
    ASSERT_FALSE(whole.empty());
    // Every length, except that the middle of the large field block of version 5 is
    // sampled: cuts there all fail at the same read.
    for (size_t len = 0; len < whole.size(); len += (len > 64 && len + 600 < whole.size()) ? 37 : 1)
      ExpectRejected(std::vector<uint8_t>(whole.begin(), whole.begin() + len),
                     std::string(name) + " cut to " + std::to_string(len));
  }
  // A failed load leaves nothing in the way of the next one.
  ASSERT_EQ(LoadDb(Fixture("v5.mus").c_str()), 1);
  EXPECT_EQ(GetSongCount(), 6);
}

TEST_F(LoadDamaged, CountsThatDisagreeWithTheDataAreRejected) {
  for (int v = 2; v <= 5; ++v) {
    const std::vector<uint8_t> good = WriteMus(FixtureCatalogue(), v);
    for (int which = 0; which < 3; ++which) {
      const size_t at = rstest::MusCountsOffset(v) + 2 * which;
      for (int delta : {1, -1, 0x100}) {
        std::vector<uint8_t> bad = good;
        PutU16(bad, at, static_cast<uint16_t>(GetU16(bad, at) + delta));
        ExpectRejected(bad, "version " + std::to_string(v) + " count " + std::to_string(which) +
                                " changed by " + std::to_string(delta));
      }
    }
  }
  // Version 1: one song more than the file holds.
  std::vector<uint8_t> v1 = WriteMus(FixtureCatalogue(), 1);
  MusCatalogue noSongs = FixtureCatalogue();
  noSongs.songs.clear();
  const size_t songCount = WriteMus(noSongs, 1).size() - 2;
  PutU16(v1, songCount, 7);
  ExpectRejected(v1, "version 1 with a song count too large");
}

TEST_F(LoadDamaged, IndexesBeyondTheCountsAreRejected) {
  for (int v = 1; v <= 5; ++v) {
    for (uint16_t index : {uint16_t{3}, uint16_t{0xFFFF}}) {
      MusCatalogue c = FixtureCatalogue();
      c.songs[4].artist = index;
      ExpectRejected(WriteMus(c, v), "artist index " + std::to_string(index));
      c = FixtureCatalogue();
      c.songs[4].album = index;
      ExpectRejected(WriteMus(c, v), "album index " + std::to_string(index));
    }
  }
}

TEST_F(LoadDamaged, StringTablesThatDisagreeWithRecordsOrFileSizeAreRejected) {
  const std::vector<uint8_t> good = WriteMus(FixtureCatalogue(), 5);
  const size_t n = 3 + 3 * 3 + 6;
  const size_t table = good.size() - 2 - n;
  std::vector<uint8_t> bad = good;
  PutU16(bad, good.size() - 2, n + 1);
  ExpectRejected(bad, "stored count one too many");
  bad = good;
  ++bad[table + 4];
  ExpectRejected(bad, "a length one too long");
  bad = good;
  --bad[table + 4];
  ExpectRejected(bad, "a length one too short");
  bad = good;
  bad[table] = 0;
  ExpectRejected(bad, "a length of zero");
  bad = good;
  bad.push_back(0);
  ExpectRejected(bad, "a byte after the count");
  bad = good;
  bad.insert(bad.begin() + rstest::MusSongsOffset(5, 3) + 8 * 6, 0);
  ExpectRejected(bad, "a byte between the records and the strings");
  bad = good;
  bad.erase(bad.begin() + table);
  ExpectRejected(bad, "a length missing");
  // A table claiming more strings than the file has bytes.
  bad = std::vector<uint8_t>(good.begin(), good.begin() + rstest::MusSongsOffset(5, 3) + 48);
  bad.push_back(n & 0xFF);
  bad.push_back(0);
  ExpectRejected(bad, "no strings at all");
}

TEST_F(LoadDamaged, HostileTextsAreCutNotOverread) {
  MusCatalogue c = FixtureCatalogue();
  c.artists[0] = std::string(250, 'A');  // the longest a length byte allows
  std::vector<uint8_t> bytes = WriteMus(c, 5);
  // The last string ("Frío") loses its terminator: its length now ends on a letter.
  bytes[bytes.size() - 2 - 18 - 1] = 'X';
  // Field names and choices without a terminator in their slots.
  std::fill(bytes.begin() + 1, bytes.begin() + 1 + 21, 'N');
  std::fill(bytes.begin() + 1 + 92, bytes.begin() + 1 + 92 + 51, 'c');
  ASSERT_EQ(Load(bytes), 1) << GetErrorText();
  const MusCatalogue got = rstest::Snapshot();
  EXPECT_EQ(got.artists[0], std::string(49, 'A'));
  EXPECT_EQ(got.songs.back().title, "Fr\xEDoX");
  EXPECT_EQ(got.fields.choiceName[0], std::string(20, 'N'));
  EXPECT_EQ(got.fields.choices[0][0], std::string(50, 'c'));
}

TEST_F(LoadDamaged, ChoiceCountsAreHeldToTheFiftySlotsOfAList) {
  MusCatalogue c = FixtureCatalogue();
  c.fields.choiceCount[0] = 60000;
  c.albums[0].choice1 = 50;
  ASSERT_EQ(Load(WriteMus(c, 5)), 1);
  EXPECT_EQ(Db().fieldDefs.choiceCount[0], 50);
  EXPECT_EQ(rstest::Snapshot().albums[0].choice1, 50);
}

TEST_F(LoadDamaged, FuzzSeedsLoadAndInputsThatOnceFailedLoadOrFailCleanly) {
  int files = 0;
  for (const char* folder : {"corpus", "regressions"}) {
    const fs::path dir = fs::path(RS_SOURCE_DIR) / "fuzz" / folder;
    if (!fs::is_directory(dir)) continue;
    for (const auto& entry : fs::directory_iterator(dir)) {
      SCOPED_TRACE(entry.path().string());
      const int32_t result = Load(ReadBytes(entry.path().string()));
      if (std::string(folder) == "corpus") {
        EXPECT_EQ(result, 1) << GetErrorText();
      }
      if (result == 0) {
        EXPECT_EQ(GetArtistCount() + GetAlbumCount() + GetSongCount(), 0);
      }
      rstest::ExpectConsistentCatalogue();
      ++files;
    }
  }
  EXPECT_GT(files, 0);
}

}  // namespace
