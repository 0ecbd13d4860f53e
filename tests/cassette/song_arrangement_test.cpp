#include "cassette/song_arrangement.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QLabel>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <map>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "cassette/cassette_list.h"
#include "cassette_test_environment.h"
#include "client/database.h"
#include "fill_side_literal.h"
#include "shell/message_dialog.h"

namespace {

using cassette_test::TSeparatorSetting;

// ---- The shuffle and the optimiser on plain times ---------------------------------------

TEST(SongarrgShuffle, GeneratorAndPermutationUseExactUnsignedArithmetic) {
  // Expected values worked out independently with arbitrary-precision integers.
  TShuffleRandom random(12345);
  EXPECT_EQ(random.Random(1000), 385u);
  EXPECT_EQ(random.Random(1000), 289u);
  EXPECT_EQ(random.Random(1000), 79u);
  EXPECT_EQ(random.Random(1000), 553u);
  // The seed wraps: 0xFFFFFFFF * 134775813 + 1 = 4160191484 (mod 2^32).
  EXPECT_EQ(TShuffleRandom(0xFFFFFFFFu).Random(10), 9u);

  EXPECT_EQ(ShuffledOrder(5, 0), (std::vector<int>{2, 1, 3, 4, 0}));
  EXPECT_EQ(ShuffledOrder(8, 45296789), (std::vector<int>{6, 2, 5, 0, 4, 7, 1, 3}));
  EXPECT_EQ(ShuffledOrder(1, 7), (std::vector<int>{0}));
  EXPECT_TRUE(ShuffledOrder(0, 7).empty());
}

TEST(SongarrgShuffle, SeedIsTheMillisecondOfTheDay) {
  EXPECT_LT(TimeOfDaySeed(), 24u * 60 * 60 * 1000);
}

// A cassette drawn at random: up to 18 songs from a few seconds to over half the tape.
struct TRandomCassette {
  std::vector<int> times;
  int tapeLength = 0;
  int delta = 0;
};

TRandomCassette DrawCassette(std::mt19937& rng) {
  TRandomCassette c;
  c.tapeLength = 60 + int(rng() % 5400);
  c.delta = int(rng() % 19) - 9;
  const int n = int(rng() % 19);
  const int kind = int(rng() % 5);
  if (kind == 4) c.tapeLength = 20 + int(rng() % 300);
  for (int i = 0; i < n; ++i) {
    int t = 1;
    switch (kind) {
      case 0:  // anything up to beyond half the tape
        t = 1 + int(rng() % uint32_t(c.tapeLength / 2 + 300));
        break;
      case 1:  // a few seconds each
        t = 2 + int(rng() % 20);
        break;
      case 2:  // typical songs for this tape
        t = 1 + int(rng() % uint32_t(c.tapeLength / 5 + 5));
        break;
      case 3:  // multiples of 7: exact fills are rare
        t = 7 * (1 + int(rng() % uint32_t(c.tapeLength / 35 + 1)));
        break;
      default:  // a short tape of very short songs, where a negative gap outweighs a song
        t = 1 + int(rng() % 12);
        break;
    }
    c.times.push_back(t);
  }
  return c;
}

TEST(SongarrgOptimize, GivesTheExhaustiveSearchsAnswerOnRandomCassettes) {
  std::mt19937 rng(20240611);
  // How many shuffles each cassette took, and whether its order changed: the cases must cover
  // unchanged orders, single exact fills and the full ten attempts.
  std::map<int, int> shuffles;
  int changed = 0;
  for (int round = 0; round < 6000; ++round) {
    const TRandomCassette c = DrawCassette(rng);
    const uint32_t firstSeed = rng();
    uint32_t seedA = firstSeed, seedB = firstSeed;
    int calls = 0;
    const std::vector<int> fast = OptimizedOrder(c.times, c.tapeLength, c.delta, [&] {
      ++calls;
      return seedA += 7919;
    });
    literal::TExhaustiveOptimizer reference(c.times, c.delta);
    const std::vector<int> expected =
        reference.Optimize(c.tapeLength, [&] { return seedB += 7919; });
    ASSERT_EQ(fast, expected) << "round " << round << ", tape " << c.tapeLength << ", gap "
                              << c.delta << ", songs " << c.times.size();
    ++shuffles[calls];
    for (size_t i = 0; i < fast.size(); ++i) {
      if (fast[i] != int(i)) {
        ++changed;
        break;
      }
    }
  }
  EXPECT_GT(shuffles[0], 1000);
  EXPECT_GT(shuffles[10], 100);
  EXPECT_GT(changed, 1000);
  EXPECT_GT(6000 - changed, 1000);
}

TEST(SongarrgOptimize, HandlesOddTapesZeroTapesAndLongCassettes) {
  // Odd tape: side 2 is searched for one second more than side 1.
  EXPECT_EQ(OptimizedOrder({1351, 1000, 1350, 1350, 1350}, 5401, 0, [] { return 1u; }),
            (std::vector<int>{2, 3, 0, 4, 1}));
  // The same time left to fill at the same song, once with a song on the side (2 + 1 - 3 s
  // gap) and once without: only the empty side fills exactly with the 10 s song.
  EXPECT_EQ(OptimizedOrder({2, 9, 1, 10}, 21, -3, [] { return 1u; }),
            (std::vector<int>{3, 0, 1, 2}));
  // A tape of 0: side 1 is "filled" by no song; nothing fits on side 2 either.
  EXPECT_EQ(OptimizedOrder({30, 40}, 0, 0, [] { return 1u; }), (std::vector<int>{0, 1}));
  // No order of 61-second songs fills 45:00 exactly: the order stays.
  std::vector<int> same(200, 61);
  std::vector<int> identity(200);
  for (int i = 0; i < 200; ++i) identity[size_t(i)] = i;
  EXPECT_EQ(OptimizedOrder(same, 5400, 0, [] { return 1u; }), identity);
}

TEST(SongarrgOptimize, ALongCassetteIsSearchedWithoutDeepRecursion) {
  // 30,000 songs of 61 s and two of 16 s near the end: 44 x 61 + 16 = 2700 s fills each side,
  // and each fill is found at the bottom of a search path as deep as the cassette is long.
  std::vector<int> times(30000, 61);
  times[29997] = 16;
  times[29998] = 16;
  const std::vector<int> order = OptimizedOrder(times, 5400, 0, [] { return 1u; });
  ASSERT_EQ(order.size(), times.size());
  EXPECT_EQ(order[43], 43);
  EXPECT_EQ(order[44], 29997);
  EXPECT_EQ(order[45], 44);
  EXPECT_EQ(order[89], 29998);
  EXPECT_EQ(order[90], 88);
  EXPECT_EQ(order.back(), 29999);
}

// ---- The arrangement on a real catalogue -----------------------------------------------

TLibrarySearch RealLibrary() {
  TLibrarySearch search;
  search.Folders << QFileInfo(QStringLiteral(RS_LIB_PATH)).absolutePath();
  search.SystemSearch = false;
  return search;
}

class SongArrangementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = std::make_unique<TReelsmithDB>(nullptr, RealLibrary());
    db_->Clear();
    arrangement_.SetSide1Ctrl(&side1_);
    arrangement_.SetSide2Ctrl(&side2_);
    arrangement_.SetExcessSongs(&excess_);
    arrangement_.SetSide1LengthPanel(&panel1_);
    arrangement_.SetSide2LengthPanel(&panel2_);
    arrangement_.SetDataSource(db_.get());
    arrangement_.SetTapeLength(5400);
    artist_ = TReelsmithArtist::CreateNew(db_.get(), "Artist");
  }

  // A new album whose songs are named by prefix and number ("A1", "A2", ...).
  std::unique_ptr<TReelsmithAlbum> Album(const QString& prefix, const std::vector<int>& times) {
    auto album = TReelsmithAlbum::CreateNew(db_.get(), "Album " + prefix, "", "", 0, 0, 0);
    album->BeginAddSong();
    for (size_t i = 0; i < times.size(); ++i) {
      album->AddSong(prefix + QString::number(i + 1), times[i], *artist_, int(i + 1));
    }
    album->FinishAddSong();
    return album;
  }

  static QStringList Titles(const TCassetteList& list) {
    QStringList titles;
    for (int i = 0; i < list.EntryCount(); ++i) titles << list.EntryText(i);
    return titles;
  }
  QStringList Sequence() const {
    QStringList titles;
    for (const auto& song : arrangement_.SongList()) titles << song->DisplayName();
    return titles;
  }

  std::unique_ptr<TReelsmithDB> db_;
  TCassetteList side1_, side2_, excess_;
  QLabel panel1_, panel2_;
  TSongArrangement arrangement_;
  std::unique_ptr<TReelsmithArtist> artist_;
};

TEST_F(SongArrangementTest, EmptyCassetteShowsZeroAndOptimizeChangesNothing) {
  arrangement_.Rearrange();
  EXPECT_EQ(panel1_.text(), "0:00");
  EXPECT_EQ(panel2_.text(), "0:00");
  arrangement_.Optimize();
  EXPECT_EQ(side1_.EntryCount() + side2_.EntryCount() + excess_.EntryCount(), 0);
  EXPECT_EQ(arrangement_.SongList().Count(), 0);
}

TEST_F(SongArrangementTest, ASideExactlyHalfTheTapeIsFull) {
  arrangement_.AddSongs(*Album("A", {1200, 1200, 300, 600}));
  EXPECT_EQ(Titles(side1_), QStringList({"A1", "A2", "A3"}));
  EXPECT_EQ(panel1_.text(), "45:00");
  EXPECT_EQ(Titles(side2_), QStringList({"A4"}));
  EXPECT_EQ(panel2_.text(), "10:00");
  EXPECT_EQ(excess_.EntryCount(), 0);
  // Each list entry carries the arrangement's own song object.
  EXPECT_EQ(side1_.EntrySong(0), arrangement_.SongList()[0]);
  EXPECT_EQ(side2_.EntrySong(0), arrangement_.SongList()[3]);
}

TEST_F(SongArrangementTest, GapIsCountedBetweenSongsOfASideOnly) {
  arrangement_.AddSongs(*Album("A", {1349, 1349, 1349}));
  arrangement_.SetPerSongDelta(2);  // 22:29 + 2 s + 22:29 = 45:00
  EXPECT_EQ(Titles(side1_), QStringList({"A1", "A2"}));
  EXPECT_EQ(panel1_.text(), "45:00");
  EXPECT_EQ(Titles(side2_), QStringList({"A3"}));
  EXPECT_EQ(panel2_.text(), "22:29");  // no gap before a side's first song

  arrangement_.SetPerSongDelta(3);
  EXPECT_EQ(Titles(side1_), QStringList({"A1"}));
  EXPECT_EQ(Titles(side2_), QStringList({"A2"}));
  EXPECT_EQ(Titles(excess_), QStringList({"A3"}));

  // Out-of-range gaps are ignored.
  arrangement_.SetPerSongDelta(10);
  arrangement_.SetPerSongDelta(-10);
  EXPECT_EQ(arrangement_.PerSongDelta(), 3);
  arrangement_.SetPerSongDelta(-9);
  EXPECT_EQ(Titles(side1_), QStringList({"A1", "A2"}));
  EXPECT_EQ(panel1_.text(), "44:49");  // 2 x 22:29 less 9 s
}

TEST_F(SongArrangementTest, ALongFirstSongOpensSideTwoAndTheRestIsExcess) {
  arrangement_.AddSongs(*Album("A", {3000, 60, 60}));
  EXPECT_EQ(side1_.EntryCount(), 0);
  EXPECT_EQ(panel1_.text(), "0:00");
  EXPECT_EQ(Titles(side2_), QStringList({"A1"}));
  EXPECT_EQ(panel2_.text(), "50:00");
  // No look-ahead: the short songs would fit on side 1 but follow the overflow.
  EXPECT_EQ(Titles(excess_), QStringList({"A2", "A3"}));

  arrangement_.SetTapeLength(0);
  EXPECT_EQ(Titles(side2_), QStringList({"A1"}));
  EXPECT_EQ(Titles(excess_), QStringList({"A2", "A3"}));
}

TEST_F(SongArrangementTest, WithoutAnExcessListTheLeftoverSongsStayInTheSequence) {
  arrangement_.SetExcessSongs(nullptr);
  arrangement_.AddSongs(*Album("A", {1300, 1300, 1300}));
  EXPECT_EQ(Titles(side1_), QStringList({"A1", "A2"}));
  EXPECT_EQ(Titles(side2_), QStringList({"A3"}));
  arrangement_.SetTapeLength(4000);
  EXPECT_EQ(Titles(side1_), QStringList({"A1"}));
  EXPECT_EQ(Titles(side2_), QStringList({"A2"}));
  EXPECT_EQ(excess_.EntryCount(), 0);
  EXPECT_EQ(Sequence(), QStringList({"A1", "A2", "A3"}));
}

TEST_F(SongArrangementTest, TapeLengthRebuildsOnlyOnceSideOneIsSet) {
  TSongArrangement bare;
  bare.SetTapeLength(600);  // nothing to rebuild; must not fail
  EXPECT_EQ(bare.TapeLength(), 600);
  arrangement_.AddSongs(*Album("A", {300, 300}));
  EXPECT_EQ(side1_.EntryCount(), 2);
  arrangement_.SetTapeLength(600);
  EXPECT_EQ(side1_.EntryCount(), 1);
}

TEST_F(SongArrangementTest, SongsWithoutATimeAreReportedAndLeftOut) {
  TMessageRecorder messages;
  arrangement_.AddSongs(*Album("A", {100, 0, 200}));
  EXPECT_EQ(Sequence(), QStringList({"A1", "A3"}));
  ASSERT_EQ(messages.Asked().size(), 1u);
  EXPECT_EQ(messages.Asked()[0].text,
            "A2 has no playing time entered, so it has not been added to the cassette.");
  EXPECT_EQ(messages.Asked()[0].type, mtError);
  EXPECT_EQ(messages.Asked()[0].buttons, mbOK);

  arrangement_.AddSongs(*Album("B", {0, 50, 0}));
  EXPECT_EQ(Sequence(), QStringList({"A1", "A3", "B2"}));
  ASSERT_EQ(messages.Asked().size(), 2u);
  EXPECT_EQ(messages.Asked()[1].text,
            "Some songs have no playing time entered, so they have not been added to the "
            "cassette.");
}

TEST_F(SongArrangementTest, AnAlbumAddedTwiceStandsTwiceAndIsRemovedOnceAtATime) {
  auto album = Album("A", {100, 200});
  auto other = Album("B", {50});
  auto empty = Album("E", {});
  arrangement_.AddSongs(*album);
  arrangement_.AddSongs(*other);
  arrangement_.AddSongs(*album);
  EXPECT_EQ(Sequence(), QStringList({"A1", "A2", "B1", "A1", "A2"}));
  EXPECT_TRUE(arrangement_.ContainsSongsOf(*album));
  EXPECT_FALSE(arrangement_.ContainsSongsOf(*empty));

  arrangement_.RemoveSongsOf(*album);
  EXPECT_EQ(Sequence(), QStringList({"B1", "A1", "A2"}));
  EXPECT_EQ(Titles(side1_), QStringList({"B1", "A1", "A2"}));
  arrangement_.RemoveSongsOf(*album);
  EXPECT_EQ(Sequence(), QStringList({"B1"}));
  EXPECT_FALSE(arrangement_.ContainsSongsOf(*album));

  // Songs match by handle: the entry's own object removes the song it stands for.
  arrangement_.RemoveSongsOf(*side1_.EntrySong(0));
  EXPECT_EQ(arrangement_.SongList().Count(), 0);
  EXPECT_EQ(side1_.EntryCount(), 0);
}

TEST_F(SongArrangementTest, DragMovesChangeOnlyTheSongsPlaceInTheSequence) {
  // Side 1: A1 A2 A3 (45:00); side 2: A4 A5; excess: A6 A7.
  arrangement_.AddSongs(*Album("A", {1000, 1000, 700, 2000, 700, 2000, 100}));
  ASSERT_EQ(Titles(side1_), QStringList({"A1", "A2", "A3"}));
  ASSERT_EQ(Titles(side2_), QStringList({"A4", "A5"}));
  ASSERT_EQ(Titles(excess_), QStringList({"A6", "A7"}));
  const QStringList start = Sequence();

  // The last song of side 1, or the first of side 2, dropped below side 1's last entry.
  arrangement_.MoveSongAfter(&side1_, side1_.EntryCount(), side1_.EntrySong(2));
  EXPECT_EQ(Sequence(), start);
  arrangement_.MoveSongAfter(&side1_, side1_.EntryCount(), side2_.EntrySong(0));
  EXPECT_EQ(Sequence(), start);

  // Dropped onto an entry, the song takes its place and the entry moves down.
  arrangement_.MoveSongBefore(&side2_, 0, side1_.EntrySong(0));  // A1 onto A4
  EXPECT_EQ(Sequence(), QStringList({"A2", "A3", "A1", "A4", "A5", "A6", "A7"}));
  arrangement_.MoveSongBefore(&side1_, 0, excess_.EntrySong(1));  // A7 onto the first entry
  EXPECT_EQ(Sequence().front(), "A7");
  EXPECT_EQ(Sequence().back(), "A6");

  // Dropped below the excess list, a song goes to the very end.
  arrangement_.MoveSongAfter(&excess_, excess_.EntryCount(), side1_.EntrySong(0));
  EXPECT_EQ(Sequence().back(), "A7");
  EXPECT_EQ(arrangement_.SongList().Count(), 7);
}

TEST_F(SongArrangementTest, ASongObjectNotOnTheCassetteIsNotMoved) {
  auto album = Album("A", {100, 200});
  arrangement_.AddSongs(*album);
  TOwnerList<TReelsmithSong> stranger = album->Songs();  // same songs, other objects
  arrangement_.MoveSongBefore(&side1_, 0, stranger[1]);
  arrangement_.MoveSongAfter(&side1_, 2, stranger[0]);
  EXPECT_EQ(Sequence(), QStringList({"A1", "A2"}));
  EXPECT_EQ(arrangement_.SongList().Count(), 2);
}

TEST_F(SongArrangementTest, OptimizeFillsSideOneWithTheEarliestExactSubset) {
  // No subset of 1000 s songs makes 2700 s: the order stays.
  arrangement_.AddSongs(*Album("N", {1000, 1000, 1000, 1000, 1000, 1000}));
  arrangement_.Optimize();
  EXPECT_EQ(Sequence(), QStringList({"N1", "N2", "N3", "N4", "N5", "N6"}));

  // 2000 + 700 and 1500 + 700 + 500 both make 45:00; the search meets the one with the earlier
  // songs first. Everything fits on the tape, so the others follow in their former order.
  arrangement_.ClearSongs();
  arrangement_.SeedSource = [] {
    ADD_FAILURE() << "no shuffle expected";
    return 0u;
  };
  arrangement_.AddSongs(*Album("F", {1500, 2000, 600, 700, 500}));
  arrangement_.Optimize();
  EXPECT_EQ(Sequence(), QStringList({"F1", "F4", "F5", "F2", "F3"}));
  EXPECT_EQ(Titles(side1_), QStringList({"F1", "F4", "F5"}));
  EXPECT_EQ(panel1_.text(), "45:00");
}

TEST_F(SongArrangementTest, OnAnOddTapeTheExactSideTwoSpillsItsLastSong) {
  arrangement_.SetTapeLength(5401);  // 90:01: side 1 holds 2700 s, side 2 is searched for 2701
  arrangement_.AddSongs(*Album("S", {1351, 1000, 1350, 1350, 1350}));
  arrangement_.Optimize();
  EXPECT_EQ(Sequence(), QStringList({"S3", "S4", "S1", "S5", "S2"}));
  EXPECT_EQ(Titles(side1_), QStringList({"S3", "S4"}));
  EXPECT_EQ(Titles(side2_), QStringList({"S1"}));
  EXPECT_EQ(Titles(excess_), QStringList({"S5", "S2"}));
}

TEST_F(SongArrangementTest, OptimizeShufflesBetweenAttemptsWithTheSeedSource) {
  // Side 1 fills exactly (3 x 900) but side 2 never can (odd target, even songs): ten
  // attempts, a shuffle after each.
  int seeds = 0;
  arrangement_.SeedSource = [&] {
    ++seeds;
    return 4242u;
  };
  arrangement_.AddSongs(*Album("R", {900, 900, 900, 1000, 1000, 1000, 1000}));
  arrangement_.SetTapeLength(5401);
  arrangement_.Optimize();
  EXPECT_EQ(seeds, 10);
  std::vector<int> times;
  for (const auto& song : arrangement_.SongList()) times.push_back(song->Time());
  EXPECT_EQ(times, (std::vector<int>{900, 900, 900, 1000, 1000, 1000, 1000}));
}

TEST_F(SongArrangementTest, RandomizeWithinOneMillisecondPermutesAlike) {
  arrangement_.SeedSource = [] { return 45296789u; };
  arrangement_.AddSongs(*Album("A", {10, 20, 30, 40, 50, 60, 70, 80}));
  arrangement_.Randomize();
  // Place i takes the song from former place order[i].
  EXPECT_EQ(Sequence(), QStringList({"A7", "A3", "A6", "A1", "A5", "A8", "A2", "A4"}));
  EXPECT_EQ(Titles(side1_), Sequence());
  arrangement_.Randomize();
  EXPECT_EQ(Sequence(), QStringList({"A2", "A6", "A8", "A7", "A5", "A4", "A3", "A1"}));
}

TEST_F(SongArrangementTest, MarkingCoversBothSidesButNotTheExcess) {
  arrangement_.AddSongs(*Album("A", {2000, 2000, 2000, 2000}));
  arrangement_.SetTapeLength(4000);  // A1 | A2 | A3 A4 excess
  arrangement_.MarkSongsUsedOnTape();
  std::vector<bool> marks;
  for (const auto& song : arrangement_.SongList()) marks.push_back(song->UsedOnTape());
  EXPECT_EQ(marks, (std::vector<bool>{true, true, false, false}));
}

TEST_F(SongArrangementTest, ClearingOrLoadingTheCatalogueEmptiesTheCassette) {
  arrangement_.AddSongs(*Album("A", {100, 200}));
  db_->Notify(dbeSaved);
  db_->Notify(dbeRecordsAdded);
  EXPECT_EQ(arrangement_.SongList().Count(), 2);
  db_->Notify(TReelsmithDBEvent(2));
  EXPECT_EQ(arrangement_.SongList().Count(), 0);
  EXPECT_EQ(side1_.EntryCount(), 0);

  arrangement_.AddSongs(*Album("B", {100}));
  db_->Clear();
  EXPECT_EQ(arrangement_.SongList().Count(), 0);
  EXPECT_EQ(side1_.EntryCount(), 0);
}

// ---- The printed song list -------------------------------------------------------------

struct TPrintedWord {
  int page;
  double xMin, yMin;
  QString text;
};

// Words of a PDF with their boxes, as pdftotext reads them back (points from the page's top).
std::vector<TPrintedWord> ReadWords(const QString& pdf) {
  QProcess tool;
  tool.start("pdftotext", {"-bbox", pdf, "-"});
  EXPECT_TRUE(tool.waitForFinished(30000));
  const QString html = QString::fromUtf8(tool.readAllStandardOutput());
  std::vector<TPrintedWord> words;
  int page = -1;
  static const QRegularExpression token(
      R"re(<page |<word xMin="(-?[\d.]+)" yMin="(-?[\d.]+)" xMax="[\d.]+" yMax="[\d.]+">([^<]*)</word>)re");
  for (auto it = token.globalMatch(html); it.hasNext();) {
    const auto m = it.next();
    if (m.captured(0).startsWith("<page")) {
      ++page;
      continue;
    }
    words.push_back({page, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3)});
  }
  return words;
}

class SongListPrintTest : public SongArrangementTest {
 protected:
  // A PDF printer at 72 dpi (a device pixel is a point) with a page of the given size and no
  // margins, so that the page height in device pixels is exactly pageHeight.
  std::unique_ptr<QPrinter> Printer(int pageWidth, int pageHeight) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(dir_.filePath("list.pdf"));
    printer->setResolution(72);
    printer->setPageSize(
        QPageSize(QSizeF(pageWidth, pageHeight), QPageSize::Point, "test", QPageSize::ExactMatch));
    printer->setPageOrientation(QPageLayout::Portrait);
    printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    return printer;
  }
  static int TextHeight(const QFont& font, QPrinter& printer) {
    return QFontMetrics(font, &printer).height();
  }

  QTemporaryDir dir_;
};

TEST_F(SongListPrintTest, RowsFollowTheHeadingAtTextHeightAndARowEndingAtThePageFootStays) {
  // Six songs on side 1, four on side 2: the sides print as one list.
  arrangement_.SetTapeLength(1200);
  arrangement_.AddSongs(*Album("S", {100, 100, 100, 100, 100, 100, 200, 200, 199, 1}));
  ASSERT_EQ(side1_.EntryCount(), 6);
  ASSERT_EQ(side2_.EntryCount(), 4);

  auto probe = Printer(400, 400);
  QFont body("Arial", 11);
  QFont heading("Arial", 14, QFont::Bold);
  const int h = TextHeight(body, *probe);
  const int headingHeight = TextHeight(heading, *probe) + 2 + 2;

  for (int slack : {0, -1}) {
    // Room for exactly four rows under the heading, or one pixel less.
    const int pageHeight = headingHeight + 4 * h + slack;
    auto printer = Printer(400, pageHeight);
    arrangement_.PrintSongList(*printer);
    const std::vector<TPrintedWord> words = ReadWords(dir_.filePath("list.pdf"));

    std::map<int, std::vector<TPrintedWord>> titlesByPage, headingsByPage;
    for (const auto& w : words) {
      if (w.xMin < 1 && w.text.startsWith("S") && w.text != "Song")
        titlesByPage[w.page].push_back(w);
      if (w.text == "Song") headingsByPage[w.page].push_back(w);
    }
    const size_t perPage = slack == 0 ? 4 : 3;
    const size_t pages = (10 + perPage - 1) / perPage;
    ASSERT_EQ(titlesByPage.size(), pages) << "slack " << slack;
    EXPECT_EQ(headingsByPage.size(), pages);  // the heading is repeated on every page
    for (const auto& [page, titles] : titlesByPage) {
      EXPECT_EQ(titles.size(), std::min(perPage, 10 - page * perPage)) << page;
      ASSERT_EQ(headingsByPage[page].size(), 1u);
      EXPECT_LT(headingsByPage[page][0].yMin, 4);  // heading at the top of the page
      for (size_t i = 1; i < titles.size(); ++i) {
        EXPECT_NEAR(titles[i].yMin - titles[i - 1].yMin, h, 0.01);
      }
    }
    EXPECT_EQ(titlesByPage[0][0].text, "S1");
    EXPECT_EQ(titlesByPage.rbegin()->second.back().text, "S10");
  }
}

TEST_F(SongListPrintTest, TimesAndAlbumsFillTheirColumns) {
  TSeparatorSetting separator(".");  // the printed times ignore the regional separator
  auto album = Album("A", {65, 6000});
  arrangement_.SetTapeLength(20000);
  arrangement_.AddSongs(*album);
  arrangement_.AddSongs(*Album("B", {599}));
  arrangement_.AddSongs(*Album("C", {7}));
  auto printer = Printer(600, 800);
  arrangement_.PrintSongList(*printer);
  const std::vector<TPrintedWord> words = ReadWords(dir_.filePath("list.pdf"));

  // The start column (just before the time column) holds times too; it has a test of its own.
  const double lengthX =
      600 - QFontMetrics(QFont("Arial", 11), printer.get()).horizontalAdvance("000:00") - 72;
  const double startX =
      lengthX - QFontMetrics(QFont("Arial", 11), printer.get()).horizontalAdvance("000:00") - 18;
  std::map<QString, TPrintedWord> byText;
  for (const auto& w : words) {
    if (w.xMin < startX - 1 || w.xMin > lengthX - 1) byText.emplace(w.text, w);
  }
  ASSERT_TRUE(byText.count("1:05"));
  ASSERT_TRUE(byText.count("100:00"));
  ASSERT_TRUE(byText.count("9:59"));
  ASSERT_TRUE(byText.count("Time"));
  // Minutes are right-aligned in three characters: shorter minutes start further right.
  EXPECT_GT(byText["1:05"].xMin, byText["100:00"].xMin + 4);
  EXPECT_NEAR(byText["100:00"].xMin, byText["Time"].xMin, 1);
  // The time column starts an inch plus the width of "000:00" before the right edge, the album
  // column half way to it.
  const double timeX =
      600 - QFontMetrics(QFont("Arial", 11), printer.get()).horizontalAdvance("000:00") - 72;
  EXPECT_NEAR(byText["Time"].xMin, timeX, 1.5);
  int albumWords = 0;
  for (const auto& w : words) {
    if (w.text == "Album" && w.yMin > byText["Time"].yMin + 1) {
      ++albumWords;
      EXPECT_NEAR(w.xMin, int(timeX) / 2, 1.5);
    }
  }
  EXPECT_EQ(albumWords, 4);  // "Album A", "Album A", "Album B", "Album C" under the heading
  // Each song's time, minutes and two-digit seconds, on the song's own row; nothing else
  // stands in the time column.
  const std::map<QString, QString> timeOf = {
      {"A1", "1:05"}, {"A2", "100:00"}, {"B1", "9:59"}, {"C1", "0:07"}};
  for (const auto& [title, time] : timeOf) {
    ASSERT_TRUE(byText.count(title)) << title.toStdString();
    ASSERT_TRUE(byText.count(time)) << time.toStdString();
    EXPECT_NEAR(byText[time].yMin, byText[title].yMin, 0.5) << title.toStdString();
  }
  int timeWords = 0;
  for (const auto& w : words) timeWords += w.xMin > timeX - 1 && w.yMin > byText["Time"].yMin + 1;
  EXPECT_EQ(timeWords, 4);
  bool sawB = false;
  for (const auto& w : words) sawB |= (w.text == "B" && std::abs(w.yMin - byText["9:59"].yMin) < 1);
  EXPECT_TRUE(sawB);
}

TEST_F(SongListPrintTest, EachTextIsClippedToItsColumn) {
  const QString longTitle(150, QChar('W'));
  auto album = TReelsmithAlbum::CreateNew(db_.get(), "L", "", "", 0, 0, 0);
  album->BeginAddSong();
  album->AddSong(longTitle, 65, *artist_, 1);
  album->FinishAddSong();
  arrangement_.AddSongs(*album);
  auto printer = Printer(600, 300);
  arrangement_.PrintSongList(*printer);

  const QString pdf = dir_.filePath("list.pdf");
  ASSERT_EQ(QProcess::execute("pdftoppm",
                              {"-r", "72", "-gray", "-singlefile", pdf, dir_.filePath("page")}),
            0);
  const QImage page(dir_.filePath("page.pgm"));
  ASSERT_EQ(page.size(), QSize(600, 300));
  const int timeX =
      600 - QFontMetrics(QFont("Arial", 11), printer.get()).horizontalAdvance("000:00") - 72;
  const int albumX = timeX / 2;
  const int top = TextHeight(QFont("Arial", 14, QFont::Bold), *printer) + 4;
  const int bottom = top + TextHeight(QFont("Arial", 11), *printer);
  auto inkIn = [&](int left, int right) {
    int ink = 0;
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) ink += qGray(page.pixel(x, y)) < 160;
    }
    return ink;
  };
  EXPECT_GT(inkIn(0, albumX - 1), 100);      // the title fills its column...
  EXPECT_EQ(inkIn(albumX - 1, albumX), 0);   // ...and stops short of the album column
  EXPECT_GT(inkIn(albumX, albumX + 10), 0);  // "L"
  const int startX =
      timeX - QFontMetrics(QFont("Arial", 11), printer.get()).horizontalAdvance("000:00") - 18;
  EXPECT_EQ(inkIn(albumX + 20, startX), 0);  // nothing of the title runs on
}

TEST_F(SongListPrintTest, EachSongShowsWhereItStartsOnItsSideGapsIncluded) {
  arrangement_.SetTapeLength(400);
  arrangement_.SetPerSongDelta(5);
  arrangement_.AddSongs(*Album("A", {65, 120, 30, 40}));
  ASSERT_EQ(arrangement_.Side1Ctrl()->EntryCount(), 2);
  auto printer = Printer(600, 800);
  arrangement_.PrintSongList(*printer);
  const std::vector<TPrintedWord> words = ReadWords(dir_.filePath("list.pdf"));

  const double timeX =
      600 - QFontMetrics(QFont("Arial", 11), printer.get()).horizontalAdvance("000:00") - 72;
  std::map<QString, TPrintedWord> titles;
  const TPrintedWord* startHeading = nullptr;
  for (const auto& w : words) {
    if (w.xMin < 1 && w.text.startsWith("A") && w.text.size() == 2) titles.emplace(w.text, w);
    if (w.text == "Start") startHeading = &w;
  }
  ASSERT_NE(startHeading, nullptr);
  EXPECT_LT(startHeading->xMin, timeX - 20);
  // Side 1: 0:00, then 65 s + 5 s gap. Side 2 starts again at 0:00, then 30 s + 5 s.
  const std::map<QString, QString> startOf = {
      {"A1", "0:00"}, {"A2", "1:10"}, {"A3", "0:00"}, {"A4", "0:35"}};
  for (const auto& [title, start] : startOf) {
    ASSERT_TRUE(titles.count(title)) << title.toStdString();
    int found = 0;
    for (const auto& w : words) {
      if (std::abs(w.yMin - titles[title].yMin) < 0.5 && w.xMin > startHeading->xMin - 30 &&
          w.xMin < timeX - 1) {
        ++found;
        EXPECT_EQ(w.text, start) << title.toStdString();
      }
    }
    EXPECT_EQ(found, 1) << title.toStdString();
  }
}

}  // namespace
