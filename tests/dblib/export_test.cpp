#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <tuple>
#include <vector>

#include "reelsmithdb.h"
#include "test_helpers.h"

namespace {

using rstest::ReadBytes;
using rstest::TempDir;

class ExportTest : public ::testing::Test {
 protected:
  void SetUp() override { rstest::ResetCatalogue(); }
  void TearDown() override { rstest::ResetCatalogue(); }
  TempDir dir_;
};

uint32_t Le16(const std::vector<uint8_t>& b, size_t at) { return b[at] | (b[at + 1] << 8); }
uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return Le16(b, at) | (Le16(b, at + 2) << 16);
}

struct Descriptor {
  std::string name;
  char type;
  int width;
};

std::vector<Descriptor> Descriptors(const std::vector<uint8_t>& b) {
  std::vector<Descriptor> out;
  const size_t headerLength = Le16(b, 8);
  for (size_t at = 32; at + 1 < headerLength; at += 32) {
    Descriptor d;
    d.name.assign(reinterpret_cast<const char*>(&b[at]));
    d.type = static_cast<char>(b[at + 11]);
    d.width = b[at + 16];
    for (size_t i = d.name.size(); i < 11; ++i) EXPECT_EQ(b[at + i], 0) << "name padding";
    for (size_t i : {12, 13, 14, 15}) EXPECT_EQ(b[at + i], 0);
    for (size_t i = 17; i < 32; ++i) EXPECT_EQ(b[at + i], 0);
    out.push_back(d);
  }
  return out;
}

// Record i (0-based) as text, including its deletion flag.
std::string Record(const std::vector<uint8_t>& b, size_t i) {
  const size_t header = Le16(b, 8), length = Le16(b, 10);
  return std::string(reinterpret_cast<const char*>(&b[header + i * length]), length);
}

std::string Pad(const std::string& s, size_t width) {
  return s.size() >= width ? s.substr(0, width) : s + std::string(width - s.size(), ' ');
}

// Exports with writes beyond `limit` bytes failing (as on a full disk) and ends the
// process with 0 when the export reported the failure.
[[noreturn]] void ExportUnderSizeLimit(const std::string& path, rlim_t limit) {
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit r{limit, limit};
  setrlimit(RLIMIT_FSIZE, &r);
  const int32_t result = ExportToDBase(path.c_str());
  const bool reported = std::strcmp(GetErrorText(), "Unable to write to file") == 0;
  std::_Exit(result == 0 && reported ? 0 : 1);
}

TEST_F(ExportTest, EmptyCatalogueWritesHeaderDescriptorsAndMarkers) {
  const std::string path = dir_.file("empty.dbf");
  std::time_t before = std::time(nullptr);
  ASSERT_EQ(ExportToDBase(path.c_str()), 1);
  std::time_t after = std::time(nullptr);
  auto b = ReadBytes(path);
  ASSERT_EQ(b.size(), 258u);
  EXPECT_EQ(b[0], 3);
  // The local date of the export (either side of a midnight the call may straddle).
  bool dateMatches = false;
  for (std::time_t t : {before, after}) {
    std::tm tm{};
    localtime_r(&t, &tm);
    dateMatches |= b[1] == tm.tm_year % 100 && b[2] == tm.tm_mon + 1 && b[3] == tm.tm_mday;
  }
  EXPECT_TRUE(dateMatches) << int(b[1]) << "-" << int(b[2]) << "-" << int(b[3]);
  EXPECT_EQ(Le32(b, 4), 0u);
  EXPECT_EQ(Le16(b, 8), 257u);
  EXPECT_EQ(Le16(b, 10), 173u);
  for (size_t i = 12; i < 32; ++i) EXPECT_EQ(b[i], 0) << i;
  auto d = Descriptors(b);
  ASSERT_EQ(d.size(), 7u);
  const std::vector<std::tuple<std::string, char, int>> want = {
      {"ALBUMNUM", 'N', 6},  {"ALBUMTITLE", 'C', 50}, {"ARTIST", 'C', 50}, {"MEDIA", 'C', 8},
      {"SONGTRACK", 'N', 2}, {"SONGTITLE", 'C', 50},  {"SONGTIME", 'C', 6}};
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(d[i].name, std::get<0>(want[i]));
    EXPECT_EQ(d[i].type, std::get<1>(want[i]));
    EXPECT_EQ(d[i].width, std::get<2>(want[i]));
  }
  EXPECT_EQ(b[256], 0x0D);
  EXPECT_EQ(b[257], 0x1A);
}

TEST_F(ExportTest, RecordsComeAlbumByAlbumInTrackOrderWithFormattedFields) {
  HALBUM second = AddAlbum("Zebra Days", "", "", 0, 0, 0);
  HALBUM first = AddAlbum("Alpha", "", "", 3, 0, 0);
  BeginAddSong();
  HARTIST ada = AddArtist("Ada Quill");
  HARTIST bram = AddArtist("Bram Ossory");
  // Added out of track order: the export follows the track order, numbering from 1.
  AddSong("Late", 6000, bram, first, 7);
  AddSong("Early", 185, ada, first, 2);
  AddSong("Lone", 0, ada, second, 1);
  FinishAddSong();
  ResequenceSongs();
  const int32_t changedBefore = GetDbChanged();

  const std::string path = dir_.file("songs.dbf");
  ASSERT_EQ(ExportToDBase(path.c_str()), 1);
  auto b = ReadBytes(path);
  ASSERT_EQ(Le32(b, 4), 3u);
  ASSERT_EQ(b.size(), 257u + 3 * 173 + 1);
  EXPECT_EQ(b.back(), 0x1A);
  const std::string r0 = " " + std::string("     1") + Pad("Alpha", 50) + Pad("Ada Quill", 50) +
                         Pad("Cassette", 8) + " 1" + Pad("Early", 50) + " 3:05 ";
  const std::string r1 = " " + std::string("     1") + Pad("Alpha", 50) + Pad("Bram Ossory", 50) +
                         Pad("Cassette", 8) + " 2" + Pad("Late", 50) + "100:00";
  // Medium 0 exports blank.
  const std::string r2 = " " + std::string("     2") + Pad("Zebra Days", 50) +
                         Pad("Ada Quill", 50) + Pad("", 8) + " 1" + Pad("Lone", 50) + " 0:00 ";
  EXPECT_EQ(Record(b, 0), r0);
  EXPECT_EQ(Record(b, 1), r1);
  EXPECT_EQ(Record(b, 2), r2);
  EXPECT_EQ(GetDbChanged(), changedBefore);
  EXPECT_EQ(GetSongCount(), 3);
}

TEST_F(ExportTest, UserFieldsStandBetweenMediaAndTrackWithLocaleUpperCasedNames) {
  SetUserChoiceFieldItem(1, 0, "Twenty characters!!!");
  SetUserChoiceFieldItem(1, 1, "Rock");
  SetUserChoiceFieldInfo(1, "Genre", 2);
  SetUserTextFieldInfo(2, "Purchase location", 1);
  HALBUM harbour = AddAlbum("Harbour Lights", "", "Corner shop", 1, 1, 0);
  HALBUM quiet = AddAlbum("Quiet", "", "", 2, 0, 0);
  BeginAddSong();
  AddSong("Dusk", 59, AddArtist("Ada"), quiet, 1);
  AddSong("After Rain", 245, AddArtist("Ada"), harbour, 1);
  FinishAddSong();

  const std::string path = dir_.file("fields.dbf");
  ASSERT_EQ(ExportToDBase(path.c_str()), 1);
  auto b = ReadBytes(path);
  EXPECT_EQ(Le16(b, 8), 321u);
  EXPECT_EQ(Le16(b, 10), 213u);
  auto d = Descriptors(b);
  ASSERT_EQ(d.size(), 9u);
  EXPECT_EQ(d[3].name, "MEDIA");
  EXPECT_EQ(d[4].name, "GENRE");
  EXPECT_EQ(d[4].type, 'C');
  EXPECT_EQ(d[4].width, 14);
  EXPECT_EQ(d[5].name, "PURCHASE L");
  EXPECT_EQ(d[5].width, 26);
  EXPECT_EQ(d[6].name, "SONGTRACK");
  EXPECT_EQ(b[320], 0x0D);
  // The choice of 20 characters is cut to 14; choice 0 and an unused text export blank.
  EXPECT_EQ(Record(b, 0), " " + std::string("     1") + Pad("Harbour Lights", 50) + Pad("Ada", 50) +
                              Pad("CD", 8) + "Twenty charact" + Pad("Corner shop", 26) + " 1" +
                              Pad("After Rain", 50) + " 4:05 ");
  EXPECT_EQ(Record(b, 1), " " + std::string("     2") + Pad("Quiet", 50) + Pad("Ada", 50) +
                              Pad("LP", 8) + Pad("", 14) + Pad("", 26) + " 1" + Pad("Dusk", 50) +
                              " 0:59 ");

  // Upper-casing follows the locale, not ASCII: e acute becomes E acute (Windows-1252).
  SetUserChoiceFieldInfo(1, "", 0);
  SetUserTextFieldInfo(2, "caf\xE9 notiz", 1);
  ASSERT_EQ(ExportToDBase(path.c_str()), 1);
  d = Descriptors(ReadBytes(path));
  ASSERT_EQ(d.size(), 8u);
  EXPECT_EQ(d[4].name, "CAF\xC9 NOTIZ");
}

TEST_F(ExportTest, AlbumOfMoreThanAHundredSongsExportsWhole) {
  HALBUM album = AddAlbum("Box Set", "", "", 1, 0, 0);
  BeginAddSong();
  HARTIST artist = AddArtist("Many");
  for (int t = 150; t >= 1; --t)
    AddSong(("Song " + std::to_string(t)).c_str(), 60 * t, artist, album, t);
  FinishAddSong();
  ResequenceSongs();

  const std::string path = dir_.file("box.dbf");
  ASSERT_EQ(ExportToDBase(path.c_str()), 1);
  auto b = ReadBytes(path);
  ASSERT_EQ(Le32(b, 4), 150u);
  ASSERT_EQ(b.size(), 257u + 150 * 173 + 1);
  EXPECT_EQ(b.back(), 0x1A);
  for (size_t i = 0; i < 150; ++i) {
    const std::string r = Record(b, i);
    EXPECT_EQ(r.substr(117, 50), Pad("Song " + std::to_string(i + 1), 50)) << i;
    // Positions beyond the 2-digit field are marked as overflowing, never cut to a
    // different number.
    char track[8];
    std::snprintf(track, sizeof track, "%2zu", i + 1);
    EXPECT_EQ(r.substr(115, 2), i + 1 < 100 ? std::string(track) : "**") << i;
  }
  EXPECT_EQ(Record(b, 149).substr(167, 6), "150:00");
}

TEST_F(ExportTest, OutOfRangeValuesExportBlankOrMarkedNotGarbage) {
  SetUserChoiceFieldItem(1, 0, "Jazz");
  SetUserChoiceFieldInfo(1, "Genre", 1);
  // AddAlbum takes any value: a choice beyond the 50 slots and a medium beyond the list.
  HALBUM album = AddAlbum("Odd", "", "", 9, 77, 0);
  BeginAddSong();
  AddSong("Very long", 65535, AddArtist("X"), album, 1);
  FinishAddSong();
  const std::string path = dir_.file("odd.dbf");
  ASSERT_EQ(ExportToDBase(path.c_str()), 1);
  auto b = ReadBytes(path);
  const std::string r = Record(b, 0);
  EXPECT_EQ(r.substr(107, 8), Pad("", 8));    // MEDIA
  EXPECT_EQ(r.substr(115, 14), Pad("", 14));  // the choice field
  EXPECT_EQ(r.substr(181, 6), "******");      // 1092:15 does not fit in 6
}

TEST_F(ExportTest, FileThatCannotBeCreatedIsReported) {
  rstest::AddAlbumWithSongs("A", {{"S", 10, "X"}});
  EXPECT_EQ(ExportToDBase(dir_.file("no/such/dir/x.dbf").c_str()), 0);
  EXPECT_STREQ(GetErrorText(), "Could not open file for writing.");
}

TEST_F(ExportTest, FullDeviceIsReportedNotTakenForSuccess) {
  // The table fits the write buffer, so the failure shows only when it is flushed.
  rstest::AddAlbumWithSongs("A", {{"S", 10, "X"}});
  EXPECT_EQ(ExportToDBase("/dev/full"), 0);
  EXPECT_STREQ(GetErrorText(), "Unable to write to file");
}

TEST_F(ExportTest, WriteFailurePartwayStopsAndLeavesWhatWasWritten) {
  HALBUM album = AddAlbum("Big", "", "", 1, 0, 0);
  BeginAddSong();
  for (int t = 1; t <= 1000; ++t) AddSong("T", 1, AddArtist("Y"), album, t);
  FinishAddSong();
  const std::string path = dir_.file("limited.dbf");
  // In a child process, so that the file size limit binds nothing else.
  EXPECT_EXIT(ExportUnderSizeLimit(path, 10000), ::testing::ExitedWithCode(0), "");
  auto b = ReadBytes(path);
  EXPECT_EQ(b.size(), 10000u);
  EXPECT_EQ(b[0], 3);
  EXPECT_EQ(b[256], 0x0D);
}

}  // namespace
