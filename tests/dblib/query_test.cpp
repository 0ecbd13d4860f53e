#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "big_array.h"
#include "reelsmithdb.h"
#include "song.h"
#include "test_helpers.h"

// Allocation failure on demand (not under AddressSanitizer, which owns malloc): the
// library is linked statically, so its allocations come through here.
#if !defined(__SANITIZE_ADDRESS__)
#define RS_CAN_FAIL_ALLOC 1
namespace {
bool failAlloc = false;
}
extern "C" void* __libc_malloc(size_t n);
extern "C" void* __libc_calloc(size_t n, size_t m);
extern "C" void* malloc(size_t n) noexcept { return failAlloc ? nullptr : __libc_malloc(n); }
extern "C" void* calloc(size_t n, size_t m) noexcept {
  return failAlloc ? nullptr : __libc_calloc(n, m);
}
#endif

namespace {

using rstest::AddAlbumWithSongs;

std::string AssertText(const std::string& condition) {
  std::string re = "Assertion failed: ";
  for (char c : condition) {
    if (std::string(".[]{}()*+?^$|\\").find(c) != std::string::npos) re += '\\';
    re += c;
  }
  return re + ", module";
}

std::string Title(void* song) {
  char buf[64];
  return GETSONGTITLE(static_cast<HSONG>(song), buf, sizeof buf);
}

std::vector<std::string> Titles(BigArray* ba, int32_t n) {
  std::vector<std::string> out;
  for (int32_t i = 0; i < n; ++i) out.push_back(Title(BAGet(ba, i)));
  return out;
}

// Song titles from GetAllSongs into an array of exactly the song count.
std::vector<std::string> AllSongTitles() {
  BigArray* ba = BigArrayAlloc(GetSongCount());
  std::vector<std::string> out = Titles(ba, GetAllSongs(ba));
  BigArrayFree(ba);
  return out;
}

// Asserts that slots 0..n-1 hold distinct songs ordered by time, then by number.
void ExpectTimeOrder(BigArray* ba, int32_t n) {
  std::set<void*> seen;
  for (int32_t i = 0; i < n; ++i) {
    HSONG s = static_cast<HSONG>(BAGet(ba, i));
    ASSERT_NE(s, nullptr) << "slot " << i;
    EXPECT_TRUE(seen.insert(s).second) << "slot " << i << " repeats a song";
    if (i == 0) continue;
    HSONG p = static_cast<HSONG>(BAGet(ba, i - 1));
    ASSERT_TRUE(IGetSongTime(p) < IGetSongTime(s) ||
                (IGetSongTime(p) == IGetSongTime(s) && IGetSongNum(p) < IGetSongNum(s)))
        << "slots " << i - 1 << " and " << i;
  }
}

// Many songs with times that repeat often, so ties cross the 1024-slot segments.
void AddManySongs(int count, const char* artist) {
  HALBUM album = AddAlbum("Box", "", "", 0, 0, 0);
  HARTIST a = AddArtist(artist);
  BeginAddSong();
  for (int k = 0; k < count; ++k) {
    const std::string title = "Song " + std::to_string((k * 7919) % count);
    AddSong(title.c_str(), (k * 37) % 97, a, album, k + 1);
  }
  FinishAddSong();
  ResequenceSongs();
}

class Query : public ::testing::Test {
 protected:
  void SetUp() override { rstest::ResetCatalogue(); }
  void TearDown() override { rstest::ResetCatalogue(); }
};

TEST_F(Query, WholeCatalogueQueriesWriteListOrderAndReturnCounts) {
  AddAlbumWithSongs("[Singles]", {{"Yes", 100, "Zappa"}});
  AddAlbumWithSongs("Beta", {{"Mid", 100, "Abba"}});
  AddAlbumWithSongs("Alpha", {{"Also", 100, "Zappa"}});
  EXPECT_EQ(rstest::AlbumTitles(), (std::vector<std::string>{"Alpha", "Beta", "[Singles]"}));
  EXPECT_EQ(rstest::ArtistNames(), (std::vector<std::string>{"Abba", "Zappa"}));
  EXPECT_EQ(AllSongTitles(), (std::vector<std::string>{"Also", "Mid", "Yes"}));
}

TEST_F(Query, EmptyCatalogueWritesNothingInEitherOrder) {
  BigArray* ba = BigArrayAlloc(0);
  for (int32_t byTime : {0, 1}) {
    SetSortByTime(byTime);
    EXPECT_EQ(GetAllSongs(ba), 0);
    EXPECT_EQ(BAGet(ba, 0), nullptr);
  }
  BigArrayFree(ba);
}

TEST_F(Query, SortByTimeOrdersByTimeThenListPosition) {
  AddAlbumWithSongs("A", {{"Zed", 180, "X"}, {"Alpha", 180, "X"}, {"Mid", 179, "X"}});
  EXPECT_EQ(SetSortByTime(5), 1);
  EXPECT_EQ(AllSongTitles(), (std::vector<std::string>{"Mid", "Alpha", "Zed"}));
  EXPECT_EQ(SetSortByTime(0), 0);
  EXPECT_EQ(AllSongTitles(), (std::vector<std::string>{"Alpha", "Mid", "Zed"}));
}

TEST_F(Query, SortByTimeUsesStaleSongNumbersUntilResequenced) {
  AddAlbumWithSongs("A", {{"Alpha", 100, "X"}, {"Yankee", 200, "X"}});  // numbers 0, 1
  HALBUM album = AddAlbum("B", "", "", 0, 0, 0);
  BeginAddSong();
  AddSong("Zulu", 200, AddArtist("X"), album, 1);  // joins last, number still 0
  FinishAddSong();
  SetSortByTime(1);
  EXPECT_EQ(AllSongTitles(), (std::vector<std::string>{"Alpha", "Zulu", "Yankee"}));
  ResequenceSongs();
  EXPECT_EQ(AllSongTitles(), (std::vector<std::string>{"Alpha", "Yankee", "Zulu"}));
}

TEST_F(Query, SortsMergeAcrossSegments) {
  AddManySongs(2500, "X");
  SetSortByTime(1);
  BigArray* ba = BigArrayAlloc(2500);
  ASSERT_EQ(GetAllSongs(ba), 2500);
  ExpectTimeOrder(ba, 2500);
  ASSERT_EQ(GetSongsByArtist(ba, AddArtist("X")), 2500);
  for (int32_t i = 0; i < 2500; ++i)
    ASSERT_EQ(IGetSongNum(static_cast<HSONG>(BAGet(ba, i))), i) << "slot " << i;
  BigArrayFree(ba);
}

// A caller may pass more slots than there are songs; only the filled ones are sorted
// and the rest stay as they were.
TEST_F(Query, SortByTimeIntoLargerArrayLeavesExtraSlotsAlone) {
  AddManySongs(1100, "X");
  HALBUM marker = AddAlbum("Marker", "", "", 0, 0, 0);
  SetSortByTime(1);
  BigArray* ba = BigArrayAlloc(1100 + 30);
  for (int32_t i = 1100; i < 1130; ++i) BASet(ba, i, marker);
  ASSERT_EQ(GetAllSongs(ba), 1100);
  ExpectTimeOrder(ba, 1100);
  for (int32_t i = 1100; i < 1130; ++i) EXPECT_EQ(BAGet(ba, i), marker) << "slot " << i;
  BigArrayFree(ba);
}

#ifdef RS_CAN_FAIL_ALLOC
TEST_F(Query, SortByTimeWithoutMemoryKeepsTitleOrderAndReports) {
  AddAlbumWithSongs("A", {{"Beta", 100, "X"}, {"Alpha", 200, "X"}});
  SetSortByTime(1);
  BigArray* ba = BigArrayAlloc(2);
  failAlloc = true;
  const int32_t n = GetAllSongs(ba);
  failAlloc = false;
  EXPECT_EQ(n, 2);
  EXPECT_EQ(Titles(ba, n), (std::vector<std::string>{"Alpha", "Beta"}));
  EXPECT_STREQ(GetErrorText(), "There is not enough memory available to sort the songs");
  BigArrayFree(ba);
}
#endif

TEST_F(Query, AlbumQueriesFollowTrackOrder) {
  HALBUM album = AddAlbum("A", "", "", 0, 0, 0);
  HARTIST x = AddArtist("X");
  HARTIST y = AddArtist("Y");
  BeginAddSong();
  AddSong("Three", 10, x, album, 3);
  AddSong("One", 10, x, album, 1);
  HSONG two = AddSong("Two", 10, y, album, 2);
  FinishAddSong();
  BigArray* ba = BigArrayAlloc(3);
  ASSERT_EQ(GetSongsOnAlbum(ba, album), 3);
  EXPECT_EQ(Titles(ba, 3), (std::vector<std::string>{"One", "Two", "Three"}));
  ASSERT_EQ(GetArtistsOnAlbum(ba, album), 2);
  EXPECT_EQ(BAGet(ba, 0), x);
  EXPECT_EQ(BAGet(ba, 1), y);
  EXPECT_EQ(GetSongsOnAlbum(ba, nullptr), 0);
  EXPECT_EQ(GetArtistsOnAlbum(ba, nullptr), 0);
  EXPECT_EQ(GetAlbumOfSong(ba, two), 1);
  EXPECT_EQ(BAGet(ba, 0), album);
  EXPECT_EQ(GetArtistOfSong(ba, two), 1);
  EXPECT_EQ(BAGet(ba, 0), y);
  BigArrayFree(ba);
}

TEST_F(Query, ArtistQueriesReturnListOrderWhateverTheChainOrder) {
  // Zulu is added first, so album-list order differs from the order of linking.
  HALBUM zulu = AddAlbumWithSongs("Zulu", {{"Bravo", 1, "X"}, {"Charlie", 1, "X"}});
  HALBUM alpha = AddAlbumWithSongs("Alpha", {{"Delta", 1, "X"}, {"Alpha", 1, "X"}});
  AddAlbumWithSongs("Other", {{"Echo", 1, "Y"}});
  HARTIST x = AddArtist("X");
  EXPECT_EQ(GetAlbumsByArtist(nullptr, x), 4);
  BigArray* ba = BigArrayAlloc(4);
  ASSERT_EQ(GetAlbumsByArtist(ba, x), 2);
  EXPECT_EQ(BAGet(ba, 0), alpha);
  EXPECT_EQ(BAGet(ba, 1), zulu);
  ASSERT_EQ(GetSongsByArtist(ba, x), 4);
  EXPECT_EQ(Titles(ba, 4), (std::vector<std::string>{"Alpha", "Bravo", "Charlie", "Delta"}));
  BigArrayFree(ba);
}

using QueryDeathTest = Query;

TEST_F(QueryDeathTest, MisuseEndsTheProcess) {
  AddAlbumWithSongs("A", {{"S1", 1, "X"}, {"S2", 1, "X"}});
  HARTIST lonely = AddArtist("Lonely");
  BigArray* one = BigArrayAlloc(1);
  EXPECT_DEATH(GetAllSongs(one), AssertText("index < ba->itemCnt"));
  EXPECT_DEATH(GetAlbumOfSong(one, nullptr), AssertText("hsong.h"));
  EXPECT_DEATH(GetArtistOfSong(one, nullptr), AssertText("hsong.h"));
  EXPECT_DEATH(GetSongsByArtist(one, nullptr), AssertText("hartist.h"));
  EXPECT_DEATH(GetAlbumsByArtist(nullptr, nullptr), AssertText("hartist.h"));
  EXPECT_DEATH(GetSongsByArtist(one, lonely), AssertText("i"));
  EXPECT_DEATH(GetAlbumsByArtist(one, lonely), AssertText("i"));
  EXPECT_EQ(GetAlbumsByArtist(nullptr, lonely), 0);
  BigArrayFree(one);
}

TEST_F(QueryDeathTest, SongWithoutAlbumInArtistChainEndsTheProcess) {
  EXPECT_DEATH(
      {
        HARTIST artist = AddArtist("X");
        LinkSongToArtist(artist, NewSong());
        GetAlbumsByArtist(nullptr, artist);
      },
      AssertText("XVerify(songAlbum)"));
}

}  // namespace
