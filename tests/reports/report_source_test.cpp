#include <gtest/gtest.h>

#include <QTimer>

#include <random>

#include "client/album_record.h"
#include "literal_report_sort.h"
#include "platform/exceptions.h"
#include "report_test_environment.h"
#include "reports/report_source.h"

namespace {

using report_test::AlbumRow;
using report_test::DbTest;

class ReportSource : public DbTest {
 protected:
  // The texts of one column down the prepared records.
  QStringList Column(const TReelsmithReportSource& source, int code) {
    QStringList out;
    for (int i = 0; i < source.Count(); ++i) out << source.ColumnText(*source.Items(i), code);
    return out;
  }

  void SetKeys(TReelsmithReportSource& source, const std::vector<int>& codes) {
    source.SetSortByCount(static_cast<int>(codes.size()));
    for (size_t i = 0; i < codes.size(); ++i) source.SetSortBy(static_cast<int>(i), codes[i]);
  }

  // Every key column of the prepared order equals the literal algorithm's (ties may differ in
  // order, but then their keys are equal too).
  void ExpectLiteralOrder(TReelsmithReportSource& source, const std::vector<int>& codes) {
    auto reference = report_reference::LoadRecords(*db_, source.SourceRecordType());
    report_reference::LiteralSort(source, reference);
    ASSERT_EQ(static_cast<int>(reference.size()), source.Count());
    for (int code : codes) {
      for (int i = 0; i < source.Count(); ++i)
        ASSERT_EQ(source.ColumnText(*source.Items(i), code),
                  source.ColumnText(*reference[static_cast<size_t>(i)], code))
            << "code " << code << " row " << i;
    }
  }
};

TEST_F(ReportSource, SortsAlbumsByTheColumnsInOrderAsTheLiteralAlgorithmDoes) {
  std::mt19937 random(7);
  const QStringList words = {"alpha", "Beta", "gamma", "Delta", "émile", "Zeta", "eta", "ábc"};
  auto pick = [&](int n) { return words[static_cast<int>(random() % static_cast<unsigned>(n))]; };
  for (int i = 0; i < 60; ++i) {
    AlbumRow row;
    row.title = pick(5);
    row.medium = 1 + static_cast<int>(random() % 3);
    const int songs = static_cast<int>(random() % 3);
    for (int s = 0; s < songs; ++s)
      row.songs.push_back({pick(8), static_cast<int>(random() % 400), pick(4)});
    AddAlbum(row);
  }
  for (const std::vector<int>& codes :
       {std::vector<int>{1, 7, 2}, {7, 1, 2}, {2, 7, 1}, {8, 9}, {9, 1}}) {
    TReelsmithReportSource source(db_.get());
    SetKeys(source, codes);
    source.Prepare();
    ASSERT_EQ(source.Count(), 60);
    ExpectLiteralOrder(source, codes);
  }
  TReelsmithReportSource songs(db_.get());
  songs.SetSourceRecordType(rtSong);
  SetKeys(songs, {8, 7, 1, 9});
  songs.Prepare();
  ExpectLiteralOrder(songs, {8, 7, 1, 9});
}

TEST_F(ReportSource, ComparesTextWithoutCaseInTheCollationAndVariousArtistsBeforeLetters) {
  AddAlbum(QStringLiteral("zebra"), QStringLiteral("Abba"));
  AddAlbum(QStringLiteral("Échos"), QStringLiteral("Abba"));
  AddAlbum(QStringLiteral("apple"), QStringLiteral("Vangelis"));
  AlbumRow mixed;
  mixed.title = QStringLiteral("Mix");
  mixed.songs = {{"One", 10, "Zappa"}, {"Two", 20, "Abba"}};
  AddAlbum(mixed);

  TReelsmithReportSource byTitle(db_.get());
  SetKeys(byTitle, {1});
  byTitle.Prepare();
  EXPECT_EQ(Column(byTitle, 1), (QStringList{"apple", "Échos", "Mix", "zebra"}));

  TReelsmithReportSource byArtist(db_.get());
  SetKeys(byArtist, {7, 1});
  byArtist.Prepare();
  EXPECT_EQ(Column(byArtist, 7),
            (QStringList{kVariousArtists, "Abba", "Abba", "Vangelis"}));
  EXPECT_EQ(Column(byArtist, 1), (QStringList{"Mix", "Échos", "zebra", "apple"}));
}

TEST_F(ReportSource, SortsSongTimesNumericallyWithTheShortestFirst) {
  AlbumRow row;
  row.title = QStringLiteral("Times");
  row.songs = {{"a", 100, "X"}, {"b", 0, "X"}, {"c", 20, "X"}, {"d", 9, "X"}};
  AddAlbum(row);
  TReelsmithReportSource source(db_.get());
  source.SetSourceRecordType(rtSong);
  SetKeys(source, {9});
  source.Prepare();
  EXPECT_EQ(Column(source, 8), (QStringList{"b", "d", "c", "a"}));
  EXPECT_EQ(source.SongSeconds(*source.Items(0)), 0);
}

TEST_F(ReportSource, FindsEachChoiceFieldsItemsByItsFieldNumber) {
  // Only the second choice field is in use, and a text field follows it.
  // The library drops a choice field's definition while its first item is empty.
  db_->SetUserChoiceFieldItem(2, 0, QStringLiteral("Calm"));
  db_->SetUserChoiceFieldItem(2, 1, QStringLiteral("Angry"));
  db_->SetUserChoiceFieldInfo(2, QStringLiteral("Mood"), 2);
  db_->SetUserTextFieldInfo(1, QStringLiteral("Notes"), true);
  AlbumRow calm;
  calm.title = QStringLiteral("First");
  calm.choice2 = 1;
  calm.text1 = QStringLiteral("zz");
  AddAlbum(calm);
  AlbumRow angry;
  angry.title = QStringLiteral("Second");
  angry.choice2 = 2;
  angry.text1 = QStringLiteral("aa");
  AddAlbum(angry);

  TReelsmithReportSource source(db_.get());
  SetKeys(source, {3, 1});
  source.Prepare();
  EXPECT_EQ(source.ChoiceTexts(3), (QStringList{"Calm", "Angry"}));
  EXPECT_TRUE(source.ChoiceTexts(4).isEmpty());
  EXPECT_EQ(Column(source, 3), (QStringList{"Angry", "Calm"}));
  EXPECT_EQ(Column(source, 4), (QStringList{"aa", "zz"}));

  TReelsmithReportSource byText(db_.get());
  SetKeys(byText, {4});
  byText.Prepare();
  EXPECT_EQ(Column(byText, 1), (QStringList{"Second", "First"}));
}

TEST_F(ReportSource, MissingValuesAndAnAlbumWithoutSongsCompareAndPrintEmpty) {
  db_->SetUserChoiceFieldItem(1, 0, QStringLiteral("Jazz"));
  db_->SetUserChoiceFieldInfo(1, QStringLiteral("Genre"), 1);
  AlbumRow bare;
  bare.title = QStringLiteral("Bare");
  bare.medium = 0;
  bare.choice1 = 0;
  AddAlbum(bare);  // no songs, so no artist and no first song
  AlbumRow full;
  full.title = QStringLiteral("Full");
  full.choice1 = 1;
  full.songs = {{"s", 30, "Someone"}};
  AddAlbum(full);

  TReelsmithReportSource source(db_.get());
  SetKeys(source, {2, 3, 7, 8, 9, 1});
  source.Prepare();
  ASSERT_EQ(source.Count(), 2);
  EXPECT_EQ(source.ColumnText(*source.Items(0), 1), "Bare");
  for (int code : {2, 3, 7, 8}) EXPECT_EQ(source.ColumnText(*source.Items(0), code), QString());
  EXPECT_EQ(source.SongSeconds(*source.Items(0)), 0);
  EXPECT_EQ(source.ColumnText(*source.Items(1), 3), "Jazz");
  EXPECT_FALSE(source.ColumnText(*source.Items(1), 2).isEmpty());
}

TEST_F(ReportSource, RejectsKeyIndexesOutOfRangeAndTreatsNoKeysAsAllEqual) {
  AddAlbum(QStringLiteral("b"), QStringLiteral("X"));
  AddAlbum(QStringLiteral("a"), QStringLiteral("X"));
  TReelsmithReportSource source(db_.get());
  EXPECT_THROW(source.SetSortByCount(11), ERangeError);
  EXPECT_THROW(source.SetSortByCount(-1), ERangeError);
  source.SetSortByCount(2);
  EXPECT_THROW(source.SetSortBy(-1, 1), ERangeError);
  EXPECT_THROW(source.SetSortBy(2, 1), ERangeError);
  EXPECT_THROW(source.SortBy(-1), ERangeError);
  EXPECT_THROW(source.SetSortBy(0, 10), ERangeError);
  try {
    source.SortBy(2);
    FAIL();
  } catch (const ERangeError& e) {
    EXPECT_EQ(e.Message(), "SortBy index out of range.");
  }

  source.SetSortByCount(0);
  source.Prepare();
  ASSERT_EQ(source.Count(), 2);
  EXPECT_EQ(source.Compare(*source.Items(0), *source.Items(1)), 0);
  EXPECT_THROW(source.Items(2), ERangeError);
  EXPECT_THROW(source.Items(-1), ERangeError);
}

TEST_F(ReportSource, RefusesToCompareRecordsOfDifferentKinds) {
  AddAlbum(QStringLiteral("a"), QStringLiteral("X"));
  TReelsmithReportSource source(db_.get());
  SetKeys(source, {1});
  TOwnerList<TReelsmithAlbum> albums = db_->GetAllAlbums();
  TOwnerList<TReelsmithSong> songs = db_->GetAllSongs();
  try {
    source.Compare(*albums[0], *songs[0]);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Record types are not the same.");
  }
}

TEST_F(ReportSource, ACancelledSortLeavesNoRecordsAndAnEmptyCatalogueNone) {
  TReelsmithReportSource source(db_.get());
  SetKeys(source, {1});
  source.Prepare();
  EXPECT_EQ(source.Count(), 0);

  for (int i = 0; i < 120; ++i) AddAlbum(QStringLiteral("t%1").arg(i), QStringLiteral("A"));
  QTimer::singleShot(0, [&source] { source.CancelSort(); });
  source.Prepare();
  EXPECT_TRUE(source.Cancelled());
  EXPECT_EQ(source.Count(), 0);

  source.Prepare();  // a new run starts uncancelled
  EXPECT_EQ(source.Count(), 120);
}

}  // namespace
