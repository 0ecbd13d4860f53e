// The order oracle: catalogues built in random order, with equal titles, case variants
// and bracketed titles, must end in exactly the list orders and numbers of the walks as
// written (mend 1 applied to both). Every scenario runs twice from the same seed, once
// with the ordering index and once with the walks, and the catalogues are compared
// after every step. Lists built directly (as a loader does) and lists set aside (as a
// merge does) are covered too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "collation.h"
#include "catalogue.h"
#include "ordering_index.h"
#include "reelsmithdb.h"
#include "test_helpers.h"

namespace {

// The catalogue as text: every list in order with names, ids and numbers.
std::string Snapshot() {
  const Catalogue& db = Db();
  std::string out = "artists " + std::to_string(db.artistCnt) + ":";
  for (HARTIST a = db.artistList; a; a = IGetArtistNext(a))
    out += " " + std::string(IArtistName(a)) + "#" + std::to_string(IGetArtistNum(a));
  out += "\nalbums " + std::to_string(db.albumCnt) + ":";
  char text[32];
  for (HALBUM a = db.albumList; a; a = IGetAlbumNext(a))
    out += " " + std::string(IAlbumTitle(a)) + "|" + IGetAlbumText1(a, text, sizeof text) + "#" +
           std::to_string(IGetAlbumNum(a));
  out += "\nsongs " + std::to_string(db.songCnt) + ":";
  for (HSONG s = db.songList; s; s = IGetSongNext(s))
    out += " " + std::string(ISongTitle(s)) + "|" + std::to_string(IGetSongTime(s)) + "#" +
           std::to_string(IGetSongNum(s));
  return out;
}

// Titles from a small alphabet so that equal titles, case variants and bracketed titles
// are frequent.
std::string RandomTitle(std::mt19937& rng) {
  static const char* const parts[] = {"a",    "A",    "b",    "B",  "ab", "Ab", "aB",   "c", " ",
                                      "-",    "'",    "1",    "10", "[",  "]",  "\xE9", "E", "e",
                                      "\xC9", "\x8A", "\x9A", "z",  "Z",  "(",  ")"};
  const int n = static_cast<int>(rng() % 4);
  std::string t;
  if (rng() % 5 == 0) {  // bracketed
    t = "[";
    for (int i = 0; i < n; ++i) t += parts[rng() % (sizeof parts / sizeof *parts)];
    return t + "]";
  }
  for (int i = 0; i < n; ++i) t += parts[rng() % (sizeof parts / sizeof *parts)];
  return t;
}

template <typename H>
H Nth(H head, H (*next)(H), size_t n) {
  while (n-- && head) head = next(head);
  return head;
}

int nextId = 0;

// One random editing step through the C interface.
void RandomStep(std::mt19937& rng) {
  const unsigned op = rng() % 10;
  if (op < 4 || !Db().albumList) {  // an album with a batch of songs
    const std::string id = std::to_string(nextId++);
    HALBUM album = AddAlbum(RandomTitle(rng).c_str(), id.c_str(), "", 0, 0, 0);
    ASSERT_NE(album, nullptr);
    const int songs = static_cast<int>(rng() % 4);
    BeginAddSong();
    for (int k = 0; k < songs; ++k) {
      HARTIST artist = AddArtist(RandomTitle(rng).c_str());
      AddSong(RandomTitle(rng).c_str(), nextId++, artist, album, static_cast<int32_t>(rng() % 5));
    }
    FinishAddSong();
    if (rng() % 2) ResequenceSongs();
  } else if (op < 6) {  // an album alone
    const std::string id = std::to_string(nextId++);
    AddAlbum(RandomTitle(rng).c_str(), id.c_str(), "", 0, 0, 0);
  } else if (op < 7) {  // an artist alone (songless, pruned later)
    AddArtist(RandomTitle(rng).c_str());
  } else if (op < 9) {
    DeleteAlbum(Nth(Db().albumList, IGetAlbumNext, rng() % Db().albumCnt));
  } else {
    PruneSonglessArtists();
  }
}

// Runs a scenario with and without the index and compares the catalogues after every
// step. The scenario gets a step function that snapshots.
void Compare(unsigned seed,
             const std::function<void(std::mt19937&, std::vector<std::string>&)>& scenario) {
  std::vector<std::string> with, without;
  for (bool indexed : {true, false}) {
    rstest::ResetCatalogue();
    rs::SetOrderIndexEnabled(indexed);
    nextId = 0;
    std::mt19937 rng(seed);
    scenario(rng, indexed ? with : without);
    rstest::ResetCatalogue();
  }
  rs::SetOrderIndexEnabled(true);
  ASSERT_EQ(with.size(), without.size());
  for (size_t i = 0; i < with.size(); ++i)
    ASSERT_EQ(with[i], without[i]) << "seed " << seed << ", step " << i;
}

// Relinks every list in a new order, numbers them by position and tells the index, as
// a loader that builds lists directly does.
template <typename H>
std::vector<H> Records(H head, H (*next)(H)) {
  std::vector<H> out;
  for (H h = head; h; h = next(h)) out.push_back(h);
  return out;
}

void RelinkArtists(const std::vector<HARTIST>& v) {
  for (size_t i = 0; i < v.size(); ++i) {
    ISetArtistPrev(v[i], i ? v[i - 1] : nullptr);
    ISetArtistNext(v[i], i + 1 < v.size() ? v[i + 1] : nullptr);
    ISetArtistNum(v[i], static_cast<int32_t>(i));
  }
  Db().artistList = v.empty() ? nullptr : v[0];
}
void RelinkAlbums(const std::vector<HALBUM>& v) {
  for (size_t i = 0; i < v.size(); ++i) {
    ISetAlbumPrev(v[i], i ? v[i - 1] : nullptr);
    ISetAlbumNext(v[i], i + 1 < v.size() ? v[i + 1] : nullptr);
    ISetAlbumNum(v[i], static_cast<int32_t>(i));
  }
  Db().albumList = v.empty() ? nullptr : v[0];
}
void RelinkSongs(const std::vector<HSONG>& v) {
  for (size_t i = 0; i < v.size(); ++i) {
    ISetSongPrev(v[i], i ? v[i - 1] : nullptr);
    ISetSongNext(v[i], i + 1 < v.size() ? v[i + 1] : nullptr);
    ISetSongNum(v[i], static_cast<int32_t>(i));
  }
  Db().songList = v.empty() ? nullptr : v[0];
}

// Swaps a few neighbours in every list (a file sorted under another locale, or by the
// unmended walk: plain albums behind bracketed ones).
void DisorderLists(std::mt19937& rng) {
  ListsReplaced();  // the lists' records are relinked in place: detach them first
  auto artists = Records(Db().artistList, IGetArtistNext);
  auto albums = Records(Db().albumList, IGetAlbumNext);
  auto songs = Records(Db().songList, IGetSongNext);
  auto shake = [&rng](auto& v) {
    for (int k = 0; k < 3 && v.size() > 1; ++k) {
      const size_t i = rng() % (v.size() - 1);
      std::swap(v[i], v[i + 1]);
    }
  };
  shake(artists);
  shake(albums);
  shake(songs);
  RelinkArtists(artists);
  RelinkAlbums(albums);
  RelinkSongs(songs);
  ListsReplaced();
}

class Order : public ::testing::Test {
 protected:
  void SetUp() override { rstest::ResetCatalogue(); }
  void TearDown() override {
    rs::SetOrderIndexEnabled(true);
    rstest::ResetCatalogue();
  }
};

TEST_F(Order, RandomCataloguesMatchTheWalks) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    Compare(seed, [](std::mt19937& rng, std::vector<std::string>& shots) {
      for (int step = 0; step < 150; ++step) {
        RandomStep(rng);
        shots.push_back(Snapshot());
      }
    });
    if (HasFatalFailure()) return;
  }
}

TEST_F(Order, LongRunWithoutIntermediateReadsMatchesTheWalks) {
  // Numbers read only at the end: the lazy renumbering must catch up in one go.
  Compare(99, [](std::mt19937& rng, std::vector<std::string>& shots) {
    for (int step = 0; step < 1500; ++step) RandomStep(rng);
    shots.push_back(Snapshot());
  });
}

TEST_F(Order, ListsBuiltOutOfOrderAreWalkedAsWritten) {
  for (unsigned seed = 1; seed <= 25; ++seed) {
    Compare(seed, [](std::mt19937& rng, std::vector<std::string>& shots) {
      for (int step = 0; step < 60; ++step) RandomStep(rng);
      DisorderLists(rng);
      shots.push_back(Snapshot());
      for (int step = 0; step < 80; ++step) {
        RandomStep(rng);
        shots.push_back(Snapshot());
      }
    });
    if (HasFatalFailure()) return;
  }
}

TEST_F(Order, ListsBuiltInOrderByALoaderAreIndexed) {
  Compare(5, [](std::mt19937& rng, std::vector<std::string>& shots) {
    for (int step = 0; step < 80; ++step) RandomStep(rng);
    ResequenceSongs();
    ListsReplaced();
    RelinkArtists(Records(Db().artistList, IGetArtistNext));  // as loaded: same order
    RelinkAlbums(Records(Db().albumList, IGetAlbumNext));
    RelinkSongs(Records(Db().songList, IGetSongNext));
    ListsReplaced();
    for (int step = 0; step < 80; ++step) {
      RandomStep(rng);
      shots.push_back(Snapshot());
    }
  });
  // The loaded lists were in order: the index took them on.
  for (int step = 0; step < 3; ++step) AddAlbum("x", "", "", 0, 0, 0);
  EXPECT_TRUE(Db().order->albums.fast);
}

TEST_F(Order, SettingListsAsideAndAddingThemBackMatchesTheWalks) {
  // The merge's way: set the lists aside, start new ones, add the set-aside records'
  // contents through the interface, free the set-aside lists.
  for (unsigned seed = 1; seed <= 10; ++seed) {
    Compare(seed, [](std::mt19937& rng, std::vector<std::string>& shots) {
      for (int step = 0; step < 60; ++step) RandomStep(rng);
      Catalogue& db = Db();
      HARTIST artists = db.artistList;
      HALBUM albums = db.albumList;
      HSONG songs = db.songList;
      db.artistList = nullptr;
      db.albumList = nullptr;
      db.songList = nullptr;
      db.artistCnt = db.albumCnt = db.songCnt = 0;
      ListsReplaced();
      // Set-aside numbers are current and the records are out of the index.
      int32_t i = 0;
      for (HALBUM a = albums; a; a = IGetAlbumNext(a), ++i) {
        EXPECT_EQ(a->num, i);
        EXPECT_EQ(a->order, nullptr);
      }
      i = 0;
      for (HARTIST a = artists; a; a = IGetArtistNext(a), ++i) EXPECT_EQ(a->num, i);
      for (int step = 0; step < 30; ++step) RandomStep(rng);
      for (HALBUM a = albums; a; a = IGetAlbumNext(a)) {
        char t1[32];
        HALBUM copy = AddAlbum(IAlbumTitle(a), IGetAlbumText1(a, t1, sizeof t1), "", 0, 0, 0);
        BeginAddSong();
        for (HSONG s = IGetAlbumFirstSong(a); s; s = IGetSongNextSongOnAlbum(s))
          AddSong(ISongTitle(s), IGetSongTime(s), AddArtist(IArtistName(IGetSongArtist(s))), copy,
                  IGetSongTrack(s));
        FinishAddSong();
      }
      FreeRecordLists(artists, albums, songs);
      shots.push_back(Snapshot());
      for (int step = 0; step < 30; ++step) {
        RandomStep(rng);
        shots.push_back(Snapshot());
      }
    });
    if (HasFatalFailure()) return;
  }
}

TEST_F(Order, PuttingSetAsideListsBackMatchesTheWalks) {
  // A failed merge: the new lists are freed and the set-aside ones restored.
  Compare(3, [](std::mt19937& rng, std::vector<std::string>& shots) {
    for (int step = 0; step < 60; ++step) RandomStep(rng);
    Catalogue& db = Db();
    struct {
      HARTIST artistList;
      HALBUM albumList;
      HSONG songList;
      uint16_t artistCnt, albumCnt, songCnt;
    } const aside = {db.artistList, db.albumList, db.songList,
                     db.artistCnt,  db.albumCnt,  db.songCnt};
    db.artistList = nullptr;
    db.albumList = nullptr;
    db.songList = nullptr;
    db.artistCnt = db.albumCnt = db.songCnt = 0;
    ListsReplaced();
    for (int step = 0; step < 30; ++step) RandomStep(rng);
    FreeRecordLists(db.artistList, db.albumList, db.songList);
    db.artistList = aside.artistList;
    db.albumList = aside.albumList;
    db.songList = aside.songList;
    db.artistCnt = aside.artistCnt;
    db.albumCnt = aside.albumCnt;
    db.songCnt = aside.songCnt;
    ListsReplaced();
    shots.push_back(Snapshot());
    for (int step = 0; step < 40; ++step) {
      RandomStep(rng);
      shots.push_back(Snapshot());
    }
  });
}

TEST_F(Order, SwappedListsAreNoticedEvenWithoutBeingTold) {
  // Lists set aside and put back without ListsReplaced(): the index sees other heads.
  Compare(8, [](std::mt19937& rng, std::vector<std::string>& shots) {
    for (int step = 0; step < 60; ++step) RandomStep(rng);
    Catalogue& db = Db();
    struct {
      HARTIST artistList;
      HALBUM albumList;
      HSONG songList;
      uint16_t artistCnt, albumCnt, songCnt;
    } const aside = {db.artistList, db.albumList, db.songList,
                     db.artistCnt,  db.albumCnt,  db.songCnt};
    db.artistList = nullptr;
    db.albumList = nullptr;
    db.songList = nullptr;
    db.artistCnt = db.albumCnt = db.songCnt = 0;
    for (int step = 0; step < 40; ++step) {
      RandomStep(rng);
      shots.push_back(Snapshot());
    }
    FreeRecordLists(db.artistList, db.albumList, db.songList);
    db.artistList = aside.artistList;
    db.albumList = aside.albumList;
    db.songList = aside.songList;
    db.artistCnt = aside.artistCnt;
    db.albumCnt = aside.albumCnt;
    db.songCnt = aside.songCnt;
    for (int step = 0; step < 40; ++step) {
      RandomStep(rng);
      shots.push_back(Snapshot());
    }
  });
}

TEST_F(Order, ChangingTheLocaleReordersNewInsertionsLikeTheWalks) {
  const char* saved = std::getenv("LC_ALL");
  const std::string keep = saved ? saved : "";
  Compare(4, [](std::mt19937& rng, std::vector<std::string>& shots) {
    setenv("LC_ALL", "en_US.UTF-8", 1);
    rs::ResetCollation();
    for (int step = 0; step < 60; ++step) RandomStep(rng);
    setenv("LC_ALL", "sv_SE.UTF-8", 1);  // é, Š, ä... move; keys made before are stale
    rs::ResetCollation();
    for (int step = 0; step < 60; ++step) {
      RandomStep(rng);
      shots.push_back(Snapshot());
    }
  });
  if (saved)
    setenv("LC_ALL", keep.c_str(), 1);
  else
    unsetenv("LC_ALL");
  rs::ResetCollation();
}

TEST_F(Order, BatchesOfManyEqualTitlesKeepTheOrderAdded) {
  Compare(12, [](std::mt19937& rng, std::vector<std::string>& shots) {
    for (int round = 0; round < 20; ++round) {
      HALBUM album = AddAlbum(RandomTitle(rng).c_str(), "", "", 0, 0, 0);
      BeginAddSong();
      for (int k = 0; k < 40; ++k) {
        static const char* const titles[] = {"Intro", "intro", "INTRO", "Outro", "[Live]"};
        AddSong(titles[rng() % 5], nextId++, AddArtist(titles[rng() % 5]), album, k);
      }
      FinishAddSong();
      shots.push_back(Snapshot());
    }
  });
}

TEST_F(Order, DeletingTheFirstBracketedAlbumJoinsTheAlbumsBehindIt) {
  // A file from the unmended walk: plain titles behind the bracketed ones. Deleting the
  // first bracketed album brings them into the walk's reach.
  Compare(1, [](std::mt19937&, std::vector<std::string>& shots) {
    for (const char* t : {"b", "d", "[x]", "a", "c", "[y]", "e"}) AddAlbum(t, t, "", 0, 0, 0);
    ListsReplaced();
    auto albums = Records(Db().albumList, IGetAlbumNext);  // b d [x] [y] ... as added
    std::vector<HALBUM> loaded;
    for (const char* t : {"b", "d", "[x]", "a", "c", "[y]", "e"})
      for (HALBUM a : albums)
        if (std::string(IAlbumTitle(a)) == t) loaded.push_back(a);
    RelinkAlbums(loaded);
    ListsReplaced();
    AddAlbum("bb", "bb", "", 0, 0, 0);
    shots.push_back(Snapshot());
    DeleteAlbum(Nth(Db().albumList, IGetAlbumNext, 3));  // [x]
    shots.push_back(Snapshot());
    for (const char* t : {"aa", "cc", "[z]", "f", "0"}) {
      AddAlbum(t, t, "", 0, 0, 0);
      shots.push_back(Snapshot());
    }
  });
}

TEST_F(Order, CleanupInTheMiddleOfStaleNumbersStartsAfresh) {
  Compare(21, [](std::mt19937& rng, std::vector<std::string>& shots) {
    for (int step = 0; step < 50; ++step) RandomStep(rng);
    CleanupDb();
    for (int step = 0; step < 50; ++step) {
      RandomStep(rng);
      shots.push_back(Snapshot());
    }
  });
}

}  // namespace

namespace {

TEST_F(Order, LocaleChangeInTheMiddleOfABatchMatchesTheWalks) {
  // Songs pended under one locale and finished under another: the pending list is in
  // the old order, and the walk from where the previous song went never goes back.
  const char* saved = std::getenv("LC_ALL");
  const std::string keep = saved ? saved : "";
  Compare(1, [](std::mt19937&, std::vector<std::string>& shots) {
    setenv("LC_ALL", "en_US.UTF-8", 1);
    rs::ResetCollation();
    HALBUM album = AddAlbum("x", "", "", 0, 0, 0);
    HARTIST artist = AddArtist("y");
    BeginAddSong();
    AddSong("m", 1, artist, album, 1);
    FinishAddSong();
    BeginAddSong();
    AddSong("\xE4x", 2, artist, album, 2);  // en_US: with the a's; sv_SE: after z
    AddSong("b", 3, artist, album, 3);
    setenv("LC_ALL", "sv_SE.UTF-8", 1);
    rs::ResetCollation();
    FinishAddSong();
    ResequenceSongs();
    shots.push_back(Snapshot());
  });
  // Random batches whose locale flips between their songs or before they finish.
  for (unsigned seed = 1; seed <= 20 && !HasFatalFailure(); ++seed) {
    Compare(seed, [](std::mt19937& rng, std::vector<std::string>& shots) {
      static const char* const locales[] = {"en_US.UTF-8", "sv_SE.UTF-8", "de_DE.UTF-8"};
      auto flip = [&rng] {
        setenv("LC_ALL", locales[rng() % 3], 1);
        rs::ResetCollation();
      };
      flip();
      for (int step = 0; step < 60; ++step) {
        HALBUM album = AddAlbum(RandomTitle(rng).c_str(), "", "", 0, 0, 0);
        BeginAddSong();
        for (int k = 0; k < 4; ++k) {
          if (rng() % 4 == 0) flip();
          AddSong(RandomTitle(rng).c_str(), nextId++, AddArtist(RandomTitle(rng).c_str()), album,
                  k);
        }
        if (rng() % 2) flip();
        FinishAddSong();
        if (rng() % 2) ResequenceSongs();
        shots.push_back(Snapshot());
      }
    });
  }
  if (saved)
    setenv("LC_ALL", keep.c_str(), 1);
  else
    unsetenv("LC_ALL");
  rs::ResetCollation();
}

}  // namespace
