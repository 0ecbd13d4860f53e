#include "select_test_environment.h"

#include "client/artist_record.h"
#include "select/album_selector.h"
#include "select/artist_selector.h"
#include "select/list_box.h"
#include "select/music_drag.h"
#include "select/song_selector.h"

#include <QAction>
#include <QFocusEvent>
#include <QHeaderView>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

namespace {

using select_test::DbTest;
using select_test::SongRow;

void GiveFocus(QWidget& w) {
  QFocusEvent in(QEvent::FocusIn, Qt::OtherFocusReason);
  QApplication::sendEvent(&w, &in);
}

QString CurrentAlbumTitle(const TReelsmithDB& db) {
  return db.CurrentAlbum() ? db.CurrentAlbum()->DisplayName() : QStringLiteral("<none>");
}

// The three selectors of the catalogue window, each with its sub-list, on one shown page.
class SelectorTest : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    auto* layout = new QVBoxLayout(&page_);
    for (TReelsmithSelector* s :
         {static_cast<TReelsmithSelector*>(&albums_), static_cast<TReelsmithSelector*>(&artists_),
          static_cast<TReelsmithSelector*>(&songs_)}) {
      auto* lb = new TExListBox(&page_);
      layout->addWidget(s);
      layout->addWidget(lb);
      s->SetAlbumLB(lb);
      s->SetDataSource(db_.get());
    }
    page_.resize(400, 900);
    page_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page_));
  }

  void LoadFixture() {
    db_->SetFileName(QStringLiteral(RS_FIXTURES_DIR "/v5.mus"));
    ASSERT_TRUE(db_->Load()) << db_->ErrorText().toStdString();
  }

  static QStringList Column(const TStringGrid& g, int col) {
    QStringList out;
    for (int r = g.FixedRows(); r < g.RowCount(); ++r) out << g.Cells(col, r);
    return out;
  }

  static int RowOf(const TStringGrid& g, const QString& text) {
    for (int r = g.FixedRows(); r < g.RowCount(); ++r) {
      if (g.Cells(g.FixedCols(), r) == text) return r;
    }
    return -1;
  }

  QWidget page_;
  TAlbumSelector albums_;
  TArtistSelector artists_;
  TSongSelector songs_;
};

TEST_F(SelectorTest, LoadListsEveryRecordInCatalogueOrderAndSelectsTheFirstRow) {
  LoadFixture();
  EXPECT_EQ(Column(albums_, 0),
            QStringList({"Harbour Lights", QString::fromUtf8("Quiet Señor"), "[Singles]"}));
  EXPECT_EQ(Column(artists_, 0),
            QStringList({"Ada Quill", "Bram Ossory", QString::fromUtf8("Élan Vital")}));
  EXPECT_EQ(Column(songs_, 0),
            QStringList({"After Rain", "Blue Hour", QString::fromUtf8("Café Window"), "Dusk",
                         "Everglow", QString::fromUtf8("Frío")}));
  EXPECT_EQ(Column(songs_, 1),
            QStringList({"  4:05", "  3:05", "  5:12", "  0:59", "100:00", "??:??"}));
  EXPECT_EQ(songs_.Cells(0, 0), "Title");
  EXPECT_EQ(songs_.Cells(1, 0), "Time");
  EXPECT_EQ(albums_.Row(), 0);
  EXPECT_EQ(songs_.Row(), 1);
  EXPECT_EQ(albums_.RelatedAlbums().Count(), 1);
  EXPECT_EQ(TReelsmithSelector::CurrentSelector(db_.get()), nullptr);
  EXPECT_EQ(db_->CurrentAlbum(), nullptr);

  // Records added later are listed at once, in order, with the time format's padding.
  AddAlbum("Moon", {{"Zebra", 754, "Ada Quill"}});
  EXPECT_EQ(albums_.Cells(0, 1), "Moon");
  EXPECT_EQ(songs_.RowCount(), 8);
  EXPECT_EQ(songs_.Cells(0, 7), "Zebra");
  EXPECT_EQ(songs_.Cells(1, 7), " 12:34");
}

TEST_F(SelectorTest, AnEmptyCatalogueShowsOneBlankRowThatCannotBeChosen) {
  LoadFixture();
  GiveFocus(songs_);
  db_->Clear();
  EXPECT_EQ(albums_.RowCount(), 1);
  EXPECT_EQ(albums_.Cells(0, 0), "");
  EXPECT_EQ(songs_.RowCount(), 2);
  EXPECT_EQ(songs_.Cells(0, 1), "");
  EXPECT_EQ(songs_.Cells(1, 1), "");  // no stale time left behind
  EXPECT_TRUE(albums_.Records().IsEmpty());
  EXPECT_TRUE(albums_.AlbumLB()->isHidden());

  GiveFocus(albums_);
  EXPECT_EQ(TReelsmithSelector::CurrentSelector(db_.get()), &albums_);
  albums_.FocusCell(0, 0);
  EXPECT_TRUE(albums_.RelatedAlbums().IsEmpty());
  EXPECT_EQ(db_->CurrentAlbum(), nullptr);
}

TEST_F(SelectorTest, SubListShowsOnlyForTwoOrMoreAlbumsAndAClickChoosesOne) {
  LoadFixture();
  GiveFocus(artists_);
  artists_.FocusCell(0, RowOf(artists_, "Ada Quill"));
  EXPECT_TRUE(artists_.AlbumLB()->isHidden());
  EXPECT_EQ(CurrentAlbumTitle(*db_), "Harbour Lights");

  artists_.FocusCell(0, RowOf(artists_, QString::fromUtf8("Élan Vital")));
  TExListBox* lb = artists_.AlbumLB();
  ASSERT_FALSE(lb->isHidden());
  ASSERT_EQ(lb->count(), 2);
  EXPECT_EQ(lb->ItemIndex(), 0);
  QStringList texts{lb->item(0)->text(), lb->item(1)->text()};
  texts.sort();
  EXPECT_EQ(texts, QStringList({"Harbour Lights", "[Singles]"}));
  // The current album is the first album as the record gave them.
  EXPECT_EQ(CurrentAlbumTitle(*db_), "Harbour Lights");

  const int singles = lb->item(0)->text() == "[Singles]" ? 0 : 1;
  QTest::qWait(1);
  QTest::mouseClick(lb->viewport(), Qt::LeftButton, {},
                    lb->visualItemRect(lb->item(singles)).center());
  EXPECT_EQ(CurrentAlbumTitle(*db_), "[Singles]");
}

// A refresh replaces the records, so the sub-list must not go on offering albums of the old
// fetch: clicking a deleted album there would hand the component a dead handle.
TEST_F(SelectorTest, AfterARefreshTheSubListShowsTheAlbumsOfTheRowNowCurrent) {
  LoadFixture();
  artists_.FocusCell(0, RowOf(artists_, QString::fromUtf8("Élan Vital")));
  TExListBox* lb = artists_.AlbumLB();
  ASSERT_EQ(lb->count(), 2);

  db_->DeleteAlbum(FindAlbum("[Singles]").get());
  ASSERT_EQ(artists_.Cells(0, artists_.Row()), QString::fromUtf8("Élan Vital"));
  EXPECT_EQ(artists_.RelatedAlbums().Count(), 1);
  EXPECT_TRUE(lb->isHidden());
  for (int i = 0; i < lb->count(); ++i) EXPECT_NE(lb->item(i)->text(), "[Singles]");

  // Records added: the sub-list is rebuilt for the row, not dropped.
  AddAlbum("Moon", {{"Zebra", 100, QString::fromUtf8("Élan Vital")}});
  ASSERT_EQ(artists_.Cells(0, artists_.Row()), QString::fromUtf8("Élan Vital"));
  EXPECT_FALSE(lb->isHidden());
  EXPECT_EQ(lb->count(), 2);
  EXPECT_EQ(artists_.RelatedAlbums().Count(), 2);
}

TEST_F(SelectorTest, OnlyTheSelectorLastEnteredChoosesTheCurrentAlbum) {
  LoadFixture();
  songs_.FocusCell(0, RowOf(songs_, "Dusk"));
  EXPECT_EQ(db_->CurrentAlbum(), nullptr);

  // Entering a selector makes the album panel follow its present row.
  GiveFocus(songs_);
  EXPECT_EQ(TReelsmithSelector::CurrentSelector(db_.get()), &songs_);
  EXPECT_EQ(CurrentAlbumTitle(*db_), QString::fromUtf8("Quiet Señor"));

  albums_.FocusCell(0, RowOf(albums_, "[Singles]"));
  EXPECT_EQ(CurrentAlbumTitle(*db_), QString::fromUtf8("Quiet Señor"));
  songs_.FocusCell(0, RowOf(songs_, "After Rain"));
  EXPECT_EQ(CurrentAlbumTitle(*db_), "Harbour Lights");

  // Any refresh forgets the current selector.
  AddAlbum("Moon", {{"Zebra", 100, "Ada Quill"}});
  EXPECT_EQ(TReelsmithSelector::CurrentSelector(db_.get()), nullptr);
  songs_.FocusCell(0, RowOf(songs_, "Dusk"));
  EXPECT_EQ(CurrentAlbumTitle(*db_), "Harbour Lights");
}

// The component does not own its current album: a selector refreshing its lists must not free the
// object the component still holds.
TEST_F(SelectorTest, TheCurrentAlbumOutlivesTheListItWasChosenFrom) {
  LoadFixture();
  GiveFocus(songs_);
  songs_.FocusCell(0, RowOf(songs_, "Dusk"));
  TReelsmithAlbum* current = db_->CurrentAlbum();
  ASSERT_NE(current, nullptr);

  songs_.SortByTimeMenuClick();  // refreshes the songs and re-selects the first row
  ASSERT_EQ(db_->CurrentAlbum(), current);
  EXPECT_EQ(current->DisplayName(), QString::fromUtf8("Quiet Señor"));
  db_->DeleteAlbum(current);  // compares handles with the current album
  EXPECT_EQ(db_->CurrentAlbum(), nullptr);
}

TEST_F(SelectorTest, SortMenuReordersTheSongsAndMovesTheCheckMark) {
  LoadFixture();
  EXPECT_TRUE(songs_.SortAlphabeticallyAction()->isChecked());
  songs_.SortByTimeMenuClick();
  EXPECT_EQ(Column(songs_, 0),
            QStringList({QString::fromUtf8("Frío"), "Dusk", "Blue Hour", "After Rain",
                         QString::fromUtf8("Café Window"), "Everglow"}));
  EXPECT_TRUE(songs_.SortByTimeAction()->isChecked());
  EXPECT_FALSE(songs_.SortAlphabeticallyAction()->isChecked());
  EXPECT_EQ(songs_.Row(), 1);

  songs_.SortAlphabeticallyMenuClick();
  EXPECT_EQ(songs_.Cells(0, 1), "After Rain");
  EXPECT_TRUE(songs_.SortAlphabeticallyAction()->isChecked());
  EXPECT_FALSE(songs_.SortByTimeAction()->isChecked());
}

TEST_F(SelectorTest, FindMatchesWholeWordsInEitherDirectionWithoutWrapping) {
  db_->SetDeferEvents(true);
  for (const char* title : {"A bobcat", "B cats", "C the cat sat", "D Cat"}) AddAlbum(title, {});
  db_->SetDeferEvents(false);
  albums_.FocusCell(0, 0);

  EXPECT_TRUE(albums_.Find("cat", frDown | frWholeWord));
  EXPECT_EQ(albums_.Row(), 2);
  EXPECT_TRUE(albums_.Find("cat", frDown | frWholeWord));  // from the row above the last
  EXPECT_EQ(albums_.Row(), 3);
  EXPECT_FALSE(albums_.Find("cat", frDown | frWholeWord));  // from the last row: no wrap
  EXPECT_EQ(albums_.Row(), 3);

  EXPECT_TRUE(albums_.Find("CAT", frWholeWord));  // upwards, case ignored
  EXPECT_EQ(albums_.Row(), 2);
  EXPECT_FALSE(albums_.Find("Cat", frMatchCase));  // upwards: "B cats", "A bobcat"
  EXPECT_EQ(albums_.Row(), 2);
  EXPECT_TRUE(albums_.Find("cat", 0));
  EXPECT_EQ(albums_.Row(), 1);

  // Finding makes the row current in the full sense: the current selector follows it.
  GiveFocus(albums_);
  EXPECT_TRUE(albums_.Find("Cat", frDown | frMatchCase));
  EXPECT_EQ(CurrentAlbumTitle(*db_), "D Cat");
}

TEST_F(SelectorTest, AnUpwardFindReachesTheFirstDataRow) {
  AddAlbum("Élan Vital", {{"Quiet Señor", 60, "Ana"}, {"Zeta", 60, "Bo"}, {"Omega", 60, "Cy"}});
  AddAlbum("Zulu", {});
  // Albums have no heading row, songs have one: the only match is the first data row of each.
  ASSERT_EQ(RowOf(albums_, "Élan Vital"), 0);
  albums_.FocusCell(0, RowOf(albums_, "Zulu"));
  EXPECT_TRUE(albums_.Find("élan", frWholeWord));
  EXPECT_EQ(albums_.Row(), 0);

  songs_.FocusCell(songs_.FixedCols(), songs_.RowCount() - 1);
  ASSERT_EQ(songs_.Cells(songs_.FixedCols(), songs_.FixedRows()), "Omega");
  EXPECT_FALSE(songs_.Find("Se", frWholeWord));  // "Señor" is one word
  EXPECT_TRUE(songs_.Find("omega", 0));
  EXPECT_EQ(songs_.Row(), songs_.FixedRows());
  EXPECT_FALSE(songs_.Find("omega", 0));  // nothing above, and no wrap-around
  EXPECT_EQ(songs_.Row(), songs_.FixedRows());
}

TEST_F(SelectorTest, FindYieldsToPendingEventsAndStopsWhenCancelled) {
  db_->SetDeferEvents(true);
  for (int i = 0; i < 150; ++i) AddAlbum(QString::asprintf("Album %03d", i), {});
  AddAlbum("Zeta needle", {});
  db_->SetDeferEvents(false);
  albums_.FocusCell(0, 0);

  QTimer::singleShot(0, &albums_, [this] { albums_.CancelFind(); });
  EXPECT_FALSE(albums_.Find("needle", frDown));
  EXPECT_EQ(albums_.Row(), 0);

  EXPECT_TRUE(albums_.Find("needle", frDown));
  EXPECT_EQ(albums_.Row(), 150);
}

TEST_F(SelectorTest, DragStartCarriesTheRowsRecordButNeverWhileEditing) {
  LoadFixture();
  const QPoint row1 = albums_.CellRect(0, 1).center();
  QTest::mousePress(albums_.viewport(), Qt::LeftButton, {}, row1);
  EXPECT_TRUE(albums_.DragArmed());
  ASSERT_TRUE(CarriesRecord(&albums_));
  EXPECT_EQ(Tag(&albums_)->DisplayName(), QString::fromUtf8("Quiet Señor"));
  QTest::mouseRelease(albums_.viewport(), Qt::LeftButton, {}, row1);

  // A refresh replaces the records, so the tag lets go of them.
  AddAlbum("Moon", {{"Zebra", 100, "Ada Quill"}});
  EXPECT_FALSE(CarriesRecord(&albums_));

  // (A press that enters a selector chooses an album, which ends editing; so ask directly.)
  db_->SetEditing(true);
  EXPECT_FALSE(songs_.BeginDragAt(songs_.CellRect(0, 1).center()));
  EXPECT_FALSE(CarriesRecord(&songs_));
  db_->SetEditing(false);
  EXPECT_TRUE(songs_.BeginDragAt(songs_.CellRect(0, 1).center()));

  // The sub-list drags the album under the press.
  GiveFocus(artists_);
  artists_.FocusCell(0, RowOf(artists_, QString::fromUtf8("Élan Vital")));
  TExListBox* lb = artists_.AlbumLB();
  QTest::qWait(1);
  QTest::mousePress(lb->viewport(), Qt::LeftButton, {}, lb->visualItemRect(lb->item(1)).center());
  ASSERT_TRUE(CarriesRecord(lb));
  EXPECT_EQ(Tag(lb)->DisplayName(), lb->item(1)->text());
  QTest::mouseRelease(lb->viewport(), Qt::LeftButton, {}, lb->visualItemRect(lb->item(1)).center());

  // A row without a record starts nothing.
  db_->Clear();
  EXPECT_FALSE(albums_.BeginDragAt(albums_.CellRect(0, 0).center()));
}

// Saving an edited album deletes the old one and adds records inside one deferred batch: each
// selector refreshes once for the batch, and shows the outcome.
TEST_F(SelectorTest, ABatchThatDeletesAndAddsRefreshesEachSelectorOnce) {
  class CountingSelector : public TAlbumSelector {
   public:
    void Refresh() override {
      ++refreshes;
      TAlbumSelector::Refresh();
    }
    int refreshes = 0;
  } counting;
  counting.SetDataSource(db_.get());
  LoadFixture();
  counting.refreshes = 0;

  db_->SetDeferEvents(true);
  db_->DeleteAlbum(counting.RecordOfRow(counting.FixedRows()));
  TReelsmithArtist::CreateNew(db_.get(), QStringLiteral("Zeno Arc"));
  EXPECT_EQ(counting.refreshes, 0);
  db_->SetDeferEvents(false);
  EXPECT_EQ(counting.refreshes, 1);
  EXPECT_EQ(Column(counting, 0), QStringList({QString::fromUtf8("Quiet Señor"), "[Singles]"}));
  EXPECT_TRUE(Column(artists_, 0).contains(QStringLiteral("Zeno Arc")));

  // Each alone still refreshes.
  TReelsmithArtist::CreateNew(db_.get(), QStringLiteral("Yara Bell"));
  EXPECT_EQ(counting.refreshes, 2);
  db_->DeleteAlbum(counting.RecordOfRow(counting.FixedRows()));
  EXPECT_EQ(counting.refreshes, 3);
  EXPECT_EQ(Column(counting, 0), QStringList({"[Singles]"}));
}

TEST_F(SelectorTest, SongColumnsFillTheWidthWithRoomForTheTime) {
  songs_.resize(300, 200);
  QApplication::processEvents();
  const int time = songs_.ColWidths(1);
  EXPECT_GE(time, songs_.fontMetrics().horizontalAdvance(" 88:88"));
  EXPECT_EQ(songs_.ColWidths(0) + time, songs_.viewport()->width());
}

TEST(SelectorRowHeight, ComesFromTheSettingsOrTheFont) {
  {
    select_test::TIntSetting setting("Grids", "RowHeight", 25);
    TAlbumSelector grid;
    EXPECT_EQ(grid.DefaultRowHeight(), 25);
    EXPECT_EQ(grid.verticalHeader()->defaultSectionSize(), 25);
  }
  TAlbumSelector grid;
  EXPECT_EQ(grid.DefaultRowHeight(), grid.fontMetrics().height() + 6);
}

}  // namespace
