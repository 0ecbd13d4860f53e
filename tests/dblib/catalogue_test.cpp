// The catalogue core through the C interface: records and their
// accessors, adding artists, albums and songs, deleting, resequencing, clean-up, the
// changed flag and the error text. Assertions are death tests.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "catalogue.h"
#include "reelsmithdb.h"
#include "test_helpers.h"

namespace {

using rstest::AddAlbumWithSongs;
using rstest::AlbumTitles;
using rstest::ArtistNames;
using rstest::SongTitles;
using Strings = std::vector<std::string>;

// The regular expression that matches the assertion report of a condition.
std::string AssertText(const std::string& condition) {
  std::string re = "Assertion failed: ";
  for (char c : condition) {
    if (std::string(".[]{}()*+?^$|\\").find(c) != std::string::npos) re += '\\';
    re += c;
  }
  return re + ", module [a-z0-9_]+\\.(h|cpp), line [0-9]+";
}

std::string Name(HARTIST a) {
  char buf[256];
  return GETARTISTNAME(a, buf, sizeof buf);
}
std::string Title(HALBUM a) {
  char buf[256];
  return GETALBUMTITLE(a, buf, sizeof buf);
}
std::string Title(HSONG s) {
  char buf[256];
  return GETSONGTITLE(s, buf, sizeof buf);
}

// Numbers of each list in list order, read through the library's own accessors.
std::vector<int32_t> ArtistNums() {
  std::vector<int32_t> out;
  for (HARTIST a = Db().artistList; a; a = IGetArtistNext(a)) out.push_back(IGetArtistNum(a));
  return out;
}
std::vector<int32_t> AlbumNums() {
  std::vector<int32_t> out;
  for (HALBUM a = Db().albumList; a; a = IGetAlbumNext(a)) out.push_back(IGetAlbumNum(a));
  return out;
}
std::vector<int32_t> SongNums() {
  std::vector<int32_t> out;
  for (HSONG s = Db().songList; s; s = IGetSongNext(s)) out.push_back(IGetSongNum(s));
  return out;
}
std::vector<int32_t> Iota(int32_t n) {
  std::vector<int32_t> out;
  for (int32_t i = 0; i < n; ++i) out.push_back(i);
  return out;
}

HALBUM Album(const char* title) { return AddAlbum(title, "", "", 0, 0, 0); }

// One song on a fresh album, in its own batch.
HSONG OneSong(const char* album, const char* title, const char* artist, int32_t time = 60) {
  HALBUM a = Album(album);
  BeginAddSong();
  HSONG s = AddSong(title, time, AddArtist(artist), a, 1);
  FinishAddSong();
  ResequenceSongs();
  return s;
}

class Catalogue : public ::testing::Test {
 protected:
  void SetUp() override { rstest::ResetCatalogue(); }
  void TearDown() override { rstest::ResetCatalogue(); }
};

// ---- Records and accessors ---------------------------------------

using Records = Catalogue;

TEST_F(Records, TitleOfFortyNineCharactersIsStoredWhole) {
  const std::string t49(49, 'x');
  EXPECT_EQ(Title(Album(t49.c_str())), t49);
}

TEST_F(Records, TitleOfFiftyCharactersLosesItsLastCharacter) {
  const std::string t50 = std::string(49, 'x') + "y";
  EXPECT_EQ(Title(Album(t50.c_str())), std::string(49, 'x'));
  HSONG s = OneSong("A", t50.c_str(), t50.c_str());
  EXPECT_EQ(Title(s), std::string(49, 'x'));
  EXPECT_EQ(ArtistNames(), Strings{std::string(49, 'x')});
}

TEST_F(Records, AlbumTextFieldsAreCutToTwentyFiveCharacters) {
  HALBUM a = AddAlbum("A", std::string(30, 't').c_str(), nullptr, 3, 2, 1);
  char buf[64];
  EXPECT_EQ(std::string(IGetAlbumText1(a, buf, sizeof buf)), std::string(25, 't'));
  EXPECT_EQ(std::string(IGetAlbumText2(a, buf, sizeof buf)), "");
  EXPECT_EQ(IGetAlbumMedia(a), 3);
  EXPECT_EQ(IGetAlbumChoice1(a), 2);
  EXPECT_EQ(IGetAlbumChoice2(a), 1);
}

TEST_F(Records, SmallBufferGetsTheFirstCharactersTerminated) {
  HALBUM a = Album("Abcdefghijklmnop");
  char buf[10];
  std::memset(buf, '#', sizeof buf);
  EXPECT_EQ(GETALBUMTITLE(a, buf, sizeof buf), buf);
  EXPECT_STREQ(buf, "Abcdefghi");
}

TEST_F(Records, ArtistNameOfNullHandleIsEmpty) {
  char buf[8] = "junk";
  EXPECT_STREQ(GETARTISTNAME(nullptr, buf, sizeof buf), "");
}

TEST_F(Records, SongTimeAndUsedOnTape) {
  HSONG s = OneSong("A", "S", "X", 245);
  EXPECT_EQ(GetSongTime(s), 245);
  EXPECT_EQ(GetSongUsedOnTape(s), 0);
}

TEST_F(Records, UsedOnTapeStoresOneForAnyNonZeroFlagAndMarksChanged) {
  HSONG s = OneSong("A", "S", "X");
  Db().dbChanged = false;
  EXPECT_EQ(SetSongUsedOnTape(s, 5), 1);
  EXPECT_EQ(GetSongUsedOnTape(s), 1);
  EXPECT_EQ(GetDbChanged(), 1);
  EXPECT_EQ(SetSongUsedOnTape(s, 0), 0);
  EXPECT_EQ(GetSongUsedOnTape(s), 0);
}

TEST_F(Records, ArtistChainListsSongsInReverseOrderOfLinking) {
  HALBUM a = Album("A");
  BeginAddSong();
  HARTIST x = AddArtist("X");
  HSONG s1 = AddSong("A", 1, x, a, 1);
  HSONG s2 = AddSong("B", 1, x, a, 2);
  HSONG s3 = AddSong("C", 1, x, a, 3);
  FinishAddSong();
  EXPECT_EQ(IGetArtistFirstSong(x), s3);
  EXPECT_EQ(IGetSongNextSongByArtist(s3), s2);
  EXPECT_EQ(IGetSongNextSongByArtist(s2), s1);
  EXPECT_EQ(IGetSongNextSongByArtist(s1), nullptr);

  UnlinkSongFromArtist(x, s3);  // the first: the second becomes first
  EXPECT_EQ(IGetArtistFirstSong(x), s2);
  EXPECT_EQ(IGetSongNextSongByArtist(s3), nullptr);
  UnlinkSongFromArtist(x, s3);  // not in the chain: nothing changes
  EXPECT_EQ(IGetArtistFirstSong(x), s2);
  EXPECT_EQ(IGetSongNextSongByArtist(s2), s1);
  LinkSongToArtist(x, s3);
}

TEST_F(Records, AlbumChainIsInTrackOrderWhateverTheOrderAdded) {
  HALBUM a = Album("A");
  BeginAddSong();
  HARTIST x = AddArtist("X");
  AddSong("three", 1, x, a, 3);
  AddSong("one", 1, x, a, 1);
  AddSong("five", 1, x, a, 5);
  AddSong("two", 1, x, a, 2);
  FinishAddSong();
  Strings titles;
  for (HSONG s = IGetAlbumFirstSong(a); s; s = IGetSongNextSongOnAlbum(s))
    titles.push_back(Title(s));
  EXPECT_EQ(titles, (Strings{"one", "two", "three", "five"}));
}

TEST_F(Records, SongOnATakenTrackGoesAfterTheLastSmallerTrack) {
  HALBUM a = Album("A");
  HARTIST x = AddArtist("X");
  auto chain = [a] {
    Strings titles;
    for (HSONG s = IGetAlbumFirstSong(a); s; s = IGetSongNextSongOnAlbum(s))
      titles.push_back(Title(s));
    return titles;
  };
  BeginAddSong();
  AddSong("one", 1, x, a, 1);
  AddSong("two", 1, x, a, 2);
  AddSong("three", 1, x, a, 3);
  FinishAddSong();

  // Within the chain: before every song already on that track.
  BeginAddSong();
  AddSong("two again", 1, x, a, 2);
  FinishAddSong();
  EXPECT_EQ(chain(), (Strings{"one", "two again", "two", "three"}));
  BeginAddSong();
  AddSong("two third", 1, x, a, 2);
  FinishAddSong();
  EXPECT_EQ(chain(), (Strings{"one", "two third", "two again", "two", "three"}));

  // On the first song's track: only a greater track takes the head, so the walk from
  // the head puts it second.
  BeginAddSong();
  AddSong("one again", 1, x, a, 1);
  FinishAddSong();
  EXPECT_EQ(chain(), (Strings{"one", "one again", "two third", "two again", "two", "three"}));
}

using RecordsDeathTest = Catalogue;

TEST_F(RecordsDeathTest, NullHandlesAreAssertions) {
  char buf[16];
  EXPECT_DEATH(GETALBUMTITLE(nullptr, buf, sizeof buf), AssertText("halbum.h"));
  EXPECT_DEATH(GETSONGTITLE(nullptr, buf, sizeof buf), AssertText("hsong.h"));
  EXPECT_DEATH(GetSongTime(nullptr), AssertText("hsong.h"));
  EXPECT_DEATH(GetSongUsedOnTape(nullptr), AssertText("hsong.h"));
  EXPECT_DEATH(SetSongUsedOnTape(nullptr, 1), AssertText("hsong.h"));
  EXPECT_DEATH(IGetArtistNum(nullptr), AssertText("hartist.h"));
}

TEST_F(RecordsDeathTest, AddSongWithoutArtistOrAlbumIsAnAssertion) {
  HALBUM a = Album("A");
  HARTIST x = AddArtist("X");
  BeginAddSong();
  EXPECT_DEATH(AddSong("S", 1, nullptr, a, 1), AssertText("hartist.h"));
  EXPECT_DEATH(AddSong("S", 1, x, nullptr, 1), AssertText("halbum.h"));
  FinishAddSong();
}

TEST_F(RecordsDeathTest, LinkingASongAlreadyInAChainIsAnAssertion) {
  HALBUM a = Album("A");
  BeginAddSong();
  HARTIST x = AddArtist("X");
  AddSong("S1", 1, x, a, 1);
  HSONG s2 = AddSong("S2", 1, x, a, 2);
  FinishAddSong();
  ASSERT_NE(IGetSongNextSongByArtist(s2), nullptr);  // s2 heads the chain, s1 follows
  EXPECT_DEATH(LinkSongToArtist(x, s2), AssertText("!XVerify(IGetSongNextSongByArtist(song))"));
}

// ---- Adding artists ---------------------------------------------------------

using AddingArtists = Catalogue;

TEST_F(AddingArtists, ArtistsStandInNameOrderIgnoringCase) {
  AddArtist("beta");
  AddArtist("Alpha");
  AddArtist("gamma");
  AddArtist("Delta");
  EXPECT_EQ(ArtistNames(), (Strings{"Alpha", "beta", "Delta", "gamma"}));
  EXPECT_EQ(ArtistNums(), Iota(4));
  EXPECT_EQ(GetArtistCount(), 4);
}

TEST_F(AddingArtists, NameDifferingOnlyInCaseReturnsTheExistingArtistRespelt) {
  HARTIST a = AddArtist("the beatles");
  Db().dbChanged = false;
  EXPECT_EQ(AddArtist("The Beatles"), a);
  EXPECT_EQ(Name(a), "The Beatles");
  EXPECT_EQ(GetArtistCount(), 1);
  EXPECT_EQ(GetDbChanged(), 0);
  EXPECT_EQ(AddArtist("The Beatles"), a);
  EXPECT_EQ(Name(a), "The Beatles");
}

TEST_F(AddingArtists, NewArtistMarksTheCatalogueChanged) {
  EXPECT_EQ(GetDbChanged(), 0);
  AddArtist("X");
  EXPECT_EQ(GetDbChanged(), 1);
}

TEST_F(AddingArtists, HeadAndEndInsertionsRenumber) {
  AddArtist("M");
  AddArtist("A");  // head
  AddArtist("Z");  // end
  AddArtist("N");  // middle
  EXPECT_EQ(ArtistNames(), (Strings{"A", "M", "N", "Z"}));
  EXPECT_EQ(ArtistNums(), Iota(4));
}

// ---- Adding albums (mend 1: the bracketed-title walk) -----------------------

using AddingAlbums = Catalogue;

TEST_F(AddingAlbums, AlbumsStandInTitleOrder) {
  Album("Revolver");
  Album("abbey road");
  Album("Help!");
  EXPECT_EQ(AlbumTitles(), (Strings{"abbey road", "Help!", "Revolver"}));
  EXPECT_EQ(AlbumNums(), Iota(3));
  EXPECT_EQ(GetAlbumCount(), 3);
  EXPECT_EQ(GetDbChanged(), 1);
}

TEST_F(AddingAlbums, BracketedTitleGoesLastEvenWhenAnotherSortsAfterIt) {
  Album("Abbey Road");
  Album("Zebra");
  Album("[Singles]");
  EXPECT_EQ(AlbumTitles(), (Strings{"Abbey Road", "Zebra", "[Singles]"}));
  Album("[Bootlegs]");  // a second bracketed title goes after the first
  EXPECT_EQ(AlbumTitles(), (Strings{"Abbey Road", "Zebra", "[Singles]", "[Bootlegs]"}));
  EXPECT_EQ(AlbumNums(), Iota(4));
}

// Mend 1: "[" sorts before digits and letters, so the walk as written carried a
// plain title past the bracketed albums at the end and put it after them.
TEST_F(AddingAlbums, PlainTitleStopsAtTheFirstBracketedAlbum) {
  Album("Abbey Road");
  Album("[Singles]");
  Album("[Live]");
  Album("Zebra");
  EXPECT_EQ(AlbumTitles(), (Strings{"Abbey Road", "Zebra", "[Singles]", "[Live]"}));
  Album("Middle");
  EXPECT_EQ(AlbumTitles(), (Strings{"Abbey Road", "Middle", "Zebra", "[Singles]", "[Live]"}));
  EXPECT_EQ(AlbumNums(), Iota(5));
}

TEST_F(AddingAlbums, PlainTitleGoesToTheHeadWhenTheFirstAlbumIsBracketed) {
  Album("[Singles]");
  Album("Zebra");
  EXPECT_EQ(AlbumTitles(), (Strings{"Zebra", "[Singles]"}));
  EXPECT_EQ(AlbumNums(), Iota(2));
}

TEST_F(AddingAlbums, OnlyTitlesThatBeginAndEndWithABracketAreBracketed) {
  Album("[Live] at Leeds");  // ends in "s": an ordinary title
  Album("[Singles]");
  Album("Zebra]");
  Album("[");
  EXPECT_EQ(AlbumTitles(), (Strings{"[", "[Live] at Leeds", "Zebra]", "[Singles]"}));
}

TEST_F(AddingAlbums, EqualTitleGoesBeforeTheExistingOne) {
  HALBUM first = Album("Greatest Hits");
  HALBUM second = Album("greatest hits");
  EXPECT_EQ(IGetAlbumNext(second), first);
  EXPECT_EQ(Db().albumList, second);
  EXPECT_EQ(GetAlbumCount(), 2);
  EXPECT_EQ(AlbumNums(), Iota(2));
}

TEST_F(AddingAlbums, NullTextsAreEmpty) {
  HALBUM a = AddAlbum("A", nullptr, nullptr, 0, 0, 0);
  char buf[32] = "junk";
  EXPECT_STREQ(IGetAlbumText1(a, buf, sizeof buf), "");
  EXPECT_STREQ(IGetAlbumText2(a, buf, sizeof buf), "");
}

// ---- Adding songs in batches ------------------------------------------------

using AddingSongs = Catalogue;

TEST_F(AddingSongs, BatchJoinsTheListInTitleOrderAheadOfEqualTitles) {
  AddAlbumWithSongs("Old", {{"A", 60, "X"}, {"C", 60, "X"}});
  HALBUM album = Album("New");
  BeginAddSong();
  HARTIST x = AddArtist("X");
  HSONG b = AddSong("B", 60, x, album, 1);
  HSONG a = AddSong("A", 60, x, album, 2);
  EXPECT_EQ(GetSongCount(), 2);  // rises only at FinishAddSong
  FinishAddSong();
  EXPECT_EQ(GetSongCount(), 4);
  EXPECT_EQ(SongTitles(), (Strings{"A", "A", "B", "C"}));
  EXPECT_EQ(Db().songList, a);
  EXPECT_EQ(IGetSongNext(IGetSongNext(a)), b);
}

TEST_F(AddingSongs, EqualTitlesOfOneBatchEndInTheOrderAdded) {
  AddAlbumWithSongs("Old", {{"intro", 60, "X"}});
  HSONG old = Db().songList;
  HALBUM album = Album("New");
  BeginAddSong();
  HARTIST x = AddArtist("X");
  HSONG s1 = AddSong("Intro", 1, x, album, 1);
  HSONG s2 = AddSong("INTRO", 2, x, album, 2);
  HSONG s3 = AddSong("intro", 3, x, album, 3);
  FinishAddSong();
  std::vector<HSONG> order;
  for (HSONG s = Db().songList; s; s = IGetSongNext(s)) order.push_back(s);
  EXPECT_EQ(order, (std::vector<HSONG>{s1, s2, s3, old}));
}

TEST_F(AddingSongs, SongNumbersStayStaleUntilResequenced) {
  AddAlbumWithSongs("Old", {{"B", 60, "X"}});
  HALBUM album = Album("New");
  BeginAddSong();
  AddSong("A", 1, AddArtist("X"), album, 1);
  FinishAddSong();
  EXPECT_EQ(SongNums(), (std::vector<int32_t>{0, 0}));  // the new song's num is not set yet
  ResequenceSongs();
  EXPECT_EQ(SongNums(), Iota(2));
}

TEST_F(AddingSongs, FinishMarksTheCatalogueChanged) {
  HALBUM album = Album("A");
  HARTIST x = AddArtist("X");
  Db().dbChanged = false;
  BeginAddSong();
  AddSong("S", 1, x, album, 1);
  EXPECT_EQ(GetDbChanged(), 0);
  FinishAddSong();
  EXPECT_EQ(GetDbChanged(), 1);
}

TEST_F(AddingSongs, SongsAreLinkedToArtistAndAlbumAtOnce) {
  HALBUM album = Album("A");
  BeginAddSong();
  HARTIST x = AddArtist("X");
  HSONG s = AddSong("S", 77, x, album, 4);
  EXPECT_EQ(IGetArtistFirstSong(x), s);
  EXPECT_EQ(IGetAlbumFirstSong(album), s);
  EXPECT_EQ(IGetSongArtist(s), x);
  EXPECT_EQ(IGetSongAlbum(s), album);
  EXPECT_EQ(IGetSongTrack(s), 4);
  EXPECT_EQ(IGetSongUsedOnTape(s), 0);
  FinishAddSong();
}

TEST_F(AddingSongs, EmptyBatchLeavesTheListAsItWas) {
  AddAlbumWithSongs("A", {{"S", 60, "X"}});
  BeginAddSong();
  FinishAddSong();
  EXPECT_EQ(SongTitles(), Strings{"S"});
  EXPECT_EQ(GetSongCount(), 1);
}

using AddingSongsDeathTest = Catalogue;

TEST_F(AddingSongsDeathTest, BeginningABatchWithSongsPendingIsAnAssertion) {
  HALBUM album = Album("A");
  BeginAddSong();
  AddSong("S", 1, AddArtist("X"), album, 1);
  EXPECT_DEATH(BeginAddSong(), AssertText("!XVerify(addSongList)"));
  FinishAddSong();
}

// ---- Resequencing -----------------------------------------------------------

using Resequencing = Catalogue;

TEST_F(Resequencing, NumbersRunFromZeroInListOrder) {
  AddAlbumWithSongs("B", {{"y", 1, "Q"}, {"x", 1, "P"}});
  AddAlbumWithSongs("A", {{"z", 1, "R"}});
  ResequenceArtists();
  ResequenceAlbums();
  ResequenceSongs();
  EXPECT_EQ(ArtistNums(), Iota(3));
  EXPECT_EQ(AlbumNums(), Iota(2));
  EXPECT_EQ(SongNums(), Iota(3));
}

using ResequencingDeathTest = Catalogue;

TEST_F(ResequencingDeathTest, CountMismatchIsAnAssertion) {
  AddAlbumWithSongs("A", {{"S", 1, "X"}});
  EXPECT_DEATH(
      {
        Db().songCnt = 2;
        ResequenceSongs();
      },
      AssertText("i == songCnt"));
  EXPECT_DEATH(
      {
        Db().albumCnt = 2;
        ResequenceAlbums();
      },
      AssertText("i == albumCnt"));
  EXPECT_DEATH(
      {
        Db().artistCnt = 0;
        ResequenceArtists();
      },
      AssertText("i == artistCnt"));
}

// ---- Deleting albums --------------------------------------------------------

using DeletingAlbums = Catalogue;

TEST_F(DeletingAlbums, ArtistsOnlyAlbumTakesTheArtistAlong) {
  AddAlbumWithSongs("A", {{"s1", 1, "Solo"}, {"s2", 1, "Solo"}});
  HALBUM b = AddAlbumWithSongs("B", {{"t1", 1, "Both"}, {"t2", 1, "Only B"}});
  AddAlbumWithSongs("C", {{"u1", 1, "Both"}});
  DeleteAlbum(b);
  EXPECT_EQ(AlbumTitles(), (Strings{"A", "C"}));
  EXPECT_EQ(ArtistNames(), (Strings{"Both", "Solo"}));
  EXPECT_EQ(SongTitles(), (Strings{"s1", "s2", "u1"}));
  EXPECT_EQ(GetAlbumCount(), 2);
  EXPECT_EQ(GetArtistCount(), 2);
  EXPECT_EQ(GetSongCount(), 3);
  EXPECT_EQ(AlbumNums(), Iota(2));
  EXPECT_EQ(ArtistNums(), Iota(2));
  EXPECT_EQ(SongNums(), Iota(3));
}

TEST_F(DeletingAlbums, DeletingTheHeadsMovesThem) {
  HALBUM a = AddAlbumWithSongs("A", {{"a", 1, "AA"}});
  AddAlbumWithSongs("B", {{"b", 1, "BB"}});
  DeleteAlbum(a);
  EXPECT_EQ(AlbumTitles(), Strings{"B"});
  EXPECT_EQ(ArtistNames(), Strings{"BB"});
  EXPECT_EQ(SongTitles(), Strings{"b"});
  EXPECT_EQ(IGetAlbumPrev(Db().albumList), nullptr);
  EXPECT_EQ(IGetSongPrev(Db().songList), nullptr);
  EXPECT_EQ(IGetArtistPrev(Db().artistList), nullptr);
}

TEST_F(DeletingAlbums, DeletingTheLastAlbumEmptiesTheCatalogue) {
  HALBUM a = AddAlbumWithSongs("A", {{"a", 1, "AA"}, {"b", 1, "BB"}});
  Db().dbChanged = false;
  DeleteAlbum(a);
  EXPECT_EQ(GetAlbumCount(), 0);
  EXPECT_EQ(GetArtistCount(), 0);
  EXPECT_EQ(GetSongCount(), 0);
  EXPECT_EQ(Db().albumList, nullptr);
  EXPECT_EQ(Db().artistList, nullptr);
  EXPECT_EQ(Db().songList, nullptr);
  EXPECT_EQ(GetDbChanged(), 1);
}

TEST_F(DeletingAlbums, AlbumWithoutSongsKeepsEveryArtist) {
  AddAlbumWithSongs("A", {{"a", 1, "AA"}});
  HALBUM empty = Album("Empty");
  AddArtist("Songless");
  DeleteAlbum(empty);
  EXPECT_EQ(ArtistNames(), (Strings{"AA", "Songless"}));
  EXPECT_EQ(AlbumTitles(), Strings{"A"});
}

TEST_F(DeletingAlbums, FollowingAlbumsMoveUpOneNumber) {
  Album("A");
  HALBUM b = Album("B");
  Album("C");
  Album("[D]");
  DeleteAlbum(b);
  EXPECT_EQ(AlbumNums(), Iota(3));
  EXPECT_EQ(AlbumTitles(), (Strings{"A", "C", "[D]"}));
}

// An album of more than 100 songs can come from a file or a merge: every artist it
// leaves without songs must go, or the artist queries later meet a songless artist.
TEST_F(DeletingAlbums, EveryArtistOfALongAlbumLeftWithoutSongsGoes) {
  AddAlbumWithSongs("Keep", {{"k", 1, "artist 149"}});
  std::vector<std::tuple<std::string, int, std::string>> songs;
  for (int i = 0; i < 150; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "artist %03d", i);
    songs.emplace_back(name, 1, name);
  }
  HALBUM a = AddAlbumWithSongs("Big", songs);
  EXPECT_EQ(GetArtistCount(), 150);
  DeleteAlbum(a);
  EXPECT_EQ(GetSongCount(), 1);
  EXPECT_EQ(ArtistNames(), Strings{"artist 149"});
  EXPECT_EQ(ArtistNums(), Iota(1));
}

TEST_F(DeletingAlbums, SongsOfAnOpenBatchLeaveThePendingList) {
  AddAlbumWithSongs("Old", {{"a", 1, "X"}});
  HALBUM album = Album("New");
  HALBUM other = Album("Other");
  BeginAddSong();
  AddSong("b", 1, AddArtist("Y"), album, 1);
  AddSong("c", 1, AddArtist("X"), other, 1);
  DeleteAlbum(album);
  FinishAddSong();
  EXPECT_EQ(SongTitles(), (Strings{"a", "c"}));
  EXPECT_EQ(ArtistNames(), Strings{"X"});
  EXPECT_EQ(GetSongCount(), 2);
}

using DeletingAlbumsDeathTest = Catalogue;

TEST_F(DeletingAlbumsDeathTest, NullAlbumIsAnAssertion) {
  EXPECT_DEATH(DeleteAlbum(nullptr), AssertText("halbum.h"));
}

// ---- Pruning songless artists -----------------------------------------------

using Pruning = Catalogue;

TEST_F(Pruning, SonglessArtistsGoAndTheRestAreRenumbered) {
  AddArtist("A");
  AddAlbumWithSongs("X", {{"s", 1, "B"}});
  AddArtist("C");
  AddAlbumWithSongs("Y", {{"t", 1, "D"}});
  AddArtist("E");
  PruneSonglessArtists();
  EXPECT_EQ(ArtistNames(), (Strings{"B", "D"}));
  EXPECT_EQ(GetArtistCount(), 2);
  EXPECT_EQ(ArtistNums(), Iota(2));
}

TEST_F(Pruning, AllSonglessLeavesAnEmptyList) {
  AddArtist("A");
  AddArtist("B");
  PruneSonglessArtists();
  EXPECT_EQ(GetArtistCount(), 0);
  EXPECT_EQ(Db().artistList, nullptr);
  PruneSonglessArtists();  // an empty list stays empty
  EXPECT_EQ(GetArtistCount(), 0);
}

// ---- Clean-up, DbInit, file name, changed flag, error text ------------------

using Lifecycle = Catalogue;

TEST_F(Lifecycle, CleanupEmptiesEverythingButFileNameAndSortFlag) {
  AddAlbumWithSongs("A", {{"s", 1, "X"}});
  SetFileName("/tmp/kept.mus");
  Db().fieldDefs.choiceCount[0] = 3;
  std::strcpy(Db().fieldDefs.textName[1], "Label");
  Db().sortByTime = true;
  EXPECT_EQ(CleanupDb(), 0);
  EXPECT_EQ(GetAlbumCount(), 0);
  EXPECT_EQ(GetArtistCount(), 0);
  EXPECT_EQ(GetSongCount(), 0);
  EXPECT_EQ(GetDbChanged(), 0);
  EXPECT_STREQ(Db().dbFileName, "/tmp/kept.mus");
  EXPECT_TRUE(Db().sortByTime);
  const FieldDefs zero = {};
  EXPECT_EQ(std::memcmp(&Db().fieldDefs, &zero, sizeof zero), 0);
  Db().sortByTime = false;
}

TEST_F(Lifecycle, CleanupOfAnEmptyCatalogueReturnsZero) {
  EXPECT_EQ(CleanupDb(), 0);
  EXPECT_EQ(CleanupDb(), 0);
  EXPECT_EQ(GetAlbumCount(), 0);
}

TEST_F(Lifecycle, CleanupInsideABatchFreesThePendingSongs) {
  HALBUM album = Album("A");
  BeginAddSong();
  AddSong("S", 1, AddArtist("X"), album, 1);
  CleanupDb();
  BeginAddSong();  // no songs pending any more
  FinishAddSong();
  EXPECT_EQ(GetSongCount(), 0);
}

TEST_F(Lifecycle, DbInitRefusesWhileThereAreUnsavedChanges) {
  HALBUM a = Album("A");
  EXPECT_EQ(DbInit(), 0);
  EXPECT_STREQ(GetErrorText(), "Save the currently loaded database before wiping it out.");
  EXPECT_EQ(GetAlbumCount(), 1);
  EXPECT_EQ(Title(a), "A");
  EXPECT_EQ(GetDbChanged(), 1);
}

TEST_F(Lifecycle, DbInitEmptiesAnUnchangedCatalogue) {
  Album("A");
  Db().dbChanged = false;
  Db().fieldDefs.textState[0] = 1;
  EXPECT_EQ(DbInit(), 1);
  EXPECT_EQ(GetAlbumCount(), 0);
  EXPECT_EQ(Db().fieldDefs.textState[0], 0);
  EXPECT_EQ(GetDbChanged(), 0);
}

TEST_F(Lifecycle, DbInitAfterSetFileNameFails) {
  SetFileName("x.mus");
  EXPECT_EQ(GetDbChanged(), 1);
  EXPECT_EQ(DbInit(), 0);
}

TEST_F(Lifecycle, FileNameIsCutTo254Characters) {
  const std::string longName(300, 'n');
  SetFileName(longName.c_str());
  EXPECT_EQ(std::string(Db().dbFileName), std::string(254, 'n'));
}

TEST_F(Lifecycle, ErrorTextIsCutAndSurvivesSuccess) {
  ReportError(std::string(600, 'e').c_str());
  EXPECT_EQ(std::string(GetErrorText()), std::string(511, 'e'));
  ReportError("first");
  Album("A");  // success does not clear it
  EXPECT_STREQ(GetErrorText(), "first");
}

// ---- The 15,000 limit (mend 2) ----------------------------------------------

// Names in descending order so that every walk as written stops at the head.
std::string Descending(int i) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "n%05d", 99999 - i);
  return buf;
}

using Limit = Catalogue;

TEST_F(Limit, AddArtistRefusesTheArtistBeyond15000ButFindsExistingOnes) {
  for (int i = 0; i < MAX_RECORDS; ++i) ASSERT_NE(AddArtist(Descending(i).c_str()), nullptr);
  ReportError("");
  EXPECT_EQ(AddArtist("zzz"), nullptr);
  EXPECT_STREQ(GetErrorText(), "The database is full.");
  EXPECT_EQ(GetArtistCount(), MAX_RECORDS);
  EXPECT_NE(AddArtist(Descending(5).c_str()), nullptr);  // existing: still found
  EXPECT_EQ(GetArtistCount(), MAX_RECORDS);
}

TEST_F(Limit, AddAlbumRefusesTheAlbumBeyond15000) {
  for (int i = 0; i < MAX_RECORDS; ++i) ASSERT_NE(Album(Descending(i).c_str()), nullptr);
  EXPECT_EQ(Album("[One more]"), nullptr);
  EXPECT_STREQ(GetErrorText(), "The database is full.");
  EXPECT_EQ(GetAlbumCount(), MAX_RECORDS);
  ResequenceAlbums();
}

TEST_F(Limit, AddSongCountsTheSongsPendingInTheBatch) {
  HALBUM album = Album("A");
  HARTIST x = AddArtist("X");
  BeginAddSong();
  for (int i = 0; i < MAX_RECORDS - 10; ++i)
    ASSERT_NE(AddSong(Descending(i).c_str(), 1, x, album, i), nullptr);
  FinishAddSong();
  BeginAddSong();
  for (int i = 0; i < 10; ++i) ASSERT_NE(AddSong("late", 1, x, album, 20000 + i), nullptr);
  ReportError("");
  EXPECT_EQ(AddSong("one too many", 1, x, album, 30000), nullptr);
  EXPECT_STREQ(GetErrorText(), "The database is full.");
  FinishAddSong();
  EXPECT_EQ(GetSongCount(), MAX_RECORDS);
  ResequenceSongs();
}

}  // namespace
