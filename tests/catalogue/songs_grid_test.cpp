#include "../select/select_test_environment.h"
#include "colour_contrast.h"

#include "catalogue/songs_grid.h"
#include "platform/exceptions.h"
#include "select/music_drag.h"

#include <QApplication>
#include <QStyle>
#include <QTest>

#include <functional>

namespace {

using select_test::DbTest;
using select_test::SongRow;

class SongsGridTest : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    grid_ = std::make_unique<TSongsGrid>();
    grid_->SetDataSource(db_.get());
    grid_->SetReadOnly(true);  // as the catalogue window sets it
  }
  void TearDown() override {
    grid_.reset();
    DbTest::TearDown();
  }

  // Makes the album of this title current, as a selector does (events 5, 6, 7).
  void Show(const QString& title) {
    shown_ = FindAlbum(title);
    ASSERT_NE(shown_, nullptr);
    db_->SetCurrentAlbum(shown_.get());
  }

  QStringList Column(int col) const {
    QStringList out;
    for (int r = 1; r < grid_->RowCount(); ++r) out << grid_->Cells(col, r);
    return out;
  }

  std::unique_ptr<TReelsmithAlbum> shown_;
  std::unique_ptr<TSongsGrid> grid_;
};

TEST_F(SongsGridTest, ShowsTheCurrentAlbumsSongsWithArtistsOnlyWhenTheyDiffer) {
  AddAlbum("Same", {{"One", 245, "Ada"}, {"Two", 3600, "Ada"}, {"Three", 0, "Ada"}});
  AddAlbum("Mixed", {{"Uno", 61, "Ada"}, {"Dos", 62, "ada"}, {"Tres", 63, "Bram"}});
  AddAlbum("Single", {{"Solo", 10, "Cleo"}});

  Show("Same");
  EXPECT_EQ(grid_->RowCount(), 4);
  EXPECT_EQ(Column(0), QStringList({"1", "2", "3"}));
  EXPECT_EQ(Column(1), QStringList({"One", "Two", "Three"}));
  EXPECT_EQ(Column(2), QStringList({"", "", ""}));
  EXPECT_EQ(Column(3), QStringList({"4:05", "60:00", ""}));
  EXPECT_EQ(grid_->Row(), 1);
  EXPECT_TRUE(grid_->ReadOnly());
  EXPECT_EQ(grid_->SongTime(1), 245);
  EXPECT_EQ(grid_->SongTime(3), 0);

  // The library keeps one spelling per artist; a different artist fills every row.
  Show("Mixed");
  EXPECT_EQ(Column(1), QStringList({"Uno", "Dos", "Tres"}));
  EXPECT_EQ(Column(2), QStringList({"ada", "ada", "Bram"}));

  Show("Single");
  EXPECT_EQ(Column(2), QStringList({""}));

  // No album: one empty numbered row.
  db_->SetCurrentAlbum(nullptr);
  EXPECT_EQ(grid_->RowCount(), 2);
  EXPECT_EQ(grid_->Cells(0, 1), "1");
  EXPECT_EQ(grid_->Cells(1, 1), "");
  EXPECT_EQ(grid_->Cells(3, 1), "");
}

TEST_F(SongsGridTest, EditingGrowsToTheSheetAndViewingEndsAfterTheLastConsecutiveTitle) {
  AddAlbum("Three", {{"One", 60, "Ada"}, {"Two", 60, "Ada"}, {"Three", 60, "Ada"}});
  Show("Three");
  db_->SetEditing(true);
  EXPECT_FALSE(grid_->ReadOnly());
  EXPECT_EQ(grid_->RowCount(), 101);
  EXPECT_EQ(grid_->Cells(0, 100), "100");
  EXPECT_EQ(grid_->SongTitle(3), "Three");
  EXPECT_EQ(grid_->SongTitle(4), "");
  EXPECT_EQ(grid_->Row(), 1);
  EXPECT_EQ(grid_->Col(), 1);
  EXPECT_TRUE(grid_->model()->flags(grid_->model()->index(0, 0)) & Qt::ItemIsEditable);

  grid_->SetSongTitle(5, "after a gap");
  grid_->SetSongTime(4, 30);
  db_->SetEditing(false);
  EXPECT_TRUE(grid_->ReadOnly());
  EXPECT_EQ(grid_->RowCount(), 4);
  EXPECT_FALSE(grid_->model()->flags(grid_->model()->index(0, 0)) & Qt::ItemIsEditable);

  // A new album: the emptied grid becomes 100 empty numbered rows, and one row when viewed.
  db_->SetCurrentAlbum(nullptr);
  db_->SetEditing(true);
  EXPECT_EQ(grid_->RowCount(), 101);
  EXPECT_EQ(Column(1), QStringList(100, QString()));
  grid_->SetReadOnly(true);
  EXPECT_EQ(grid_->RowCount(), 2);
}

// An album longer than the editing sheet (from a file or a merge) must not lose its last songs
// when it is edited and stored again.
TEST_F(SongsGridTest, EditingAnAlbumLongerThanTheSheetKeepsEverySong) {
  std::vector<SongRow> songs;
  for (int i = 1; i <= 120; ++i) songs.push_back({QString::asprintf("Song %03d", i), i, "Ada"});
  AddAlbum("Long", songs);
  Show("Long");
  EXPECT_EQ(grid_->RowCount(), 121);
  db_->SetEditing(true);
  EXPECT_EQ(grid_->RowCount(), 121);
  EXPECT_EQ(grid_->SongTitle(120), "Song 120");
  EXPECT_EQ(grid_->SongTime(120), 120);
}

TEST_F(SongsGridTest, RowAccessorsOutsideTheGridRaiseTheirOwnTextsAndChangeNothing) {
  AddAlbum("Two", {{"One", 60, "Ada"}, {"Two", 60, "Ada"}});
  Show("Two");
  grid_->SetMarkSongsUsedOnTape(true);
  struct Case {
    std::function<void()> call;
    const char* text;
  };
  TSongsGrid& g = *grid_;
  const Case cases[] = {
      {[&] { g.SongTitle(3); }, "Getting the song title can not be used to create a new song"},
      {[&] { g.SetSongTitle(3, "x"); },
       "Setting the song title can not be used to create a new song"},
      {[&] { g.SongArtist(3); }, "Getting the song artist can not be used to create a new song"},
      {[&] { g.SetSongArtist(3, "x"); },
       "Setting the song artist can not be used to create a new song"},
      {[&] { g.SongTime(3); }, "Getting the song time can not be used to create a new song"},
      {[&] { g.SetSongTime(3, 5); }, "Setting the song time can not be used to create a new song"},
      {[&] { g.SongOnTape(3); },
       "Getting the song on tape flag can not be used to create a new song"},
      {[&] { g.SetSongOnTape(3, true); },
       "Setting the song on tape flag can not be used to create a new song"},
      // Row 0 is the heading, not a song.
      {[&] { g.SetSongTitle(0, "x"); },
       "Setting the song title can not be used to create a new song"},
  };
  for (const Case& c : cases) {
    try {
      c.call();
      ADD_FAILURE() << "no error for: " << c.text;
    } catch (const ERangeError& e) {
      EXPECT_EQ(e.Message(), QString::fromLatin1(c.text));
    }
  }
  EXPECT_EQ(g.RowCount(), 3);
  EXPECT_EQ(g.Cells(1, 0), "Title");
}

TEST_F(SongsGridTest, ASongRowDragsItsSongWhileViewedButNotWhileEdited) {
  AddAlbum("Two", {{"One", 60, "Ada"}, {"Two", 60, "Ada"}});
  Show("Two");
  grid_->resize(500, 300);
  grid_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(grid_.get()));
  const QPoint row2 = grid_->CellRect(1, 2).center();
  QTest::mousePress(grid_->viewport(), Qt::LeftButton, {}, row2);
  EXPECT_TRUE(grid_->DragArmed());
  ASSERT_TRUE(CarriesRecord(grid_.get()));
  EXPECT_EQ(Tag(grid_.get())->DisplayName(), "Two");
  QTest::mouseRelease(grid_->viewport(), Qt::LeftButton, {}, row2);

  db_->SetEditing(true);
  SetTag(grid_.get(), nullptr);
  QTest::mousePress(grid_->viewport(), Qt::LeftButton, {}, row2);
  EXPECT_FALSE(grid_->DragArmed());
  EXPECT_FALSE(CarriesRecord(grid_.get()));
  QTest::mouseRelease(grid_->viewport(), Qt::LeftButton, {}, row2);
}

TEST_F(SongsGridTest, TimesAreWrittenAsMinutesAndSecondsAndZeroAsEmpty) {
  db_->SetEditing(true);
  grid_->SetSongTime(1, 3600);
  EXPECT_EQ(grid_->Cells(3, 1), "60:00");
  grid_->SetSongTime(1, 5);
  EXPECT_EQ(grid_->Cells(3, 1), "0:05");
  grid_->SetSongTime(1, 0);
  EXPECT_EQ(grid_->Cells(3, 1), "");
  grid_->SetCells(3, 2, " 4:05 ");
  EXPECT_EQ(grid_->SongTime(2), 245);
  grid_->SetCells(3, 2, "3:5");
  EXPECT_EQ(grid_->SongTime(2), -1);
}

TEST(SongsGridTime, ParsingAcceptsOnlyMinutesColonAndTwoSecondDigits) {
  EXPECT_EQ(TSongsGrid::ParseSongTime(""), 0);
  EXPECT_EQ(TSongsGrid::ParseSongTime(" \t  "), 0);
  EXPECT_EQ(TSongsGrid::ParseSongTime(" 4:05 "), 245);
  EXPECT_EQ(TSongsGrid::ParseSongTime("\t12:00\t"), 720);
  EXPECT_EQ(TSongsGrid::ParseSongTime("3:75"), 255);
  EXPECT_EQ(TSongsGrid::ParseSongTime(":45"), 45);
  EXPECT_EQ(TSongsGrid::ParseSongTime("100:00"), 6000);
  EXPECT_EQ(TSongsGrid::ParseSongTime("3:5"), -1);
  EXPECT_EQ(TSongsGrid::ParseSongTime("330"), -1);
  EXPECT_EQ(TSongsGrid::ParseSongTime("3:055"), -1);
  EXPECT_EQ(TSongsGrid::ParseSongTime("3 :05"), -1);
  EXPECT_EQ(TSongsGrid::ParseSongTime("a3:05"), -1);
  EXPECT_EQ(TSongsGrid::ParseSongTime("3:0x"), -1);
  EXPECT_EQ(TSongsGrid::ParseSongTime("99999999999999:00"), -1);
}

TEST_F(SongsGridTest, OnTapeColumnShowsMarksAndFollowsTheirChanges) {
  AddAlbum("Two", {{"One", 60, "Ada"}, {"Two", 60, "Ada"}});
  Show("Two");
  EXPECT_EQ(grid_->ColCount(), 4);
  grid_->SetSongOnTape(1, true);  // nothing without the column
  EXPECT_FALSE(grid_->SongOnTape(1));

  grid_->SetMarkSongsUsedOnTape(true);
  EXPECT_EQ(grid_->ColCount(), 5);
  EXPECT_EQ(grid_->Cells(4, 0), "On Tape");
  EXPECT_TRUE(grid_->IsCheckColumn(4));
  EXPECT_FALSE(grid_->SongOnTape(1));

  // A mark set in the catalogue shows at once.
  TOwnerList<TReelsmithSong> songs = shown_->Songs();
  songs[1]->SetUsedOnTape(true);
  EXPECT_FALSE(grid_->SongOnTape(1));
  EXPECT_TRUE(grid_->SongOnTape(2));
  EXPECT_EQ(grid_->Cells(4, 2), "Y");

  // While editing, the space key ticks the current cell's mark.
  db_->SetEditing(true);
  grid_->resize(500, 300);
  grid_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(grid_.get()));
  grid_->FocusCell(4, 1);
  QTest::keyClick(grid_->viewport(), Qt::Key_Space);
  EXPECT_TRUE(grid_->SongOnTape(1));

  grid_->SetMarkSongsUsedOnTape(false);
  EXPECT_EQ(grid_->ColCount(), 4);
  EXPECT_FALSE(grid_->SongOnTape(1));
}

TEST_F(SongsGridTest, TrimCellsStripsTrailingBlanksAndTabsOnly) {
  db_->SetEditing(true);
  grid_->SetSongTitle(1, "  Title \t ");
  grid_->SetSongArtist(2, "Ada\t");
  grid_->SetSongTime(3, 61);
  grid_->TrimCells();
  EXPECT_EQ(grid_->SongTitle(1), "  Title");
  EXPECT_EQ(grid_->SongArtist(2), "Ada");
  EXPECT_EQ(grid_->Cells(3, 3), "1:01");
  EXPECT_EQ(grid_->Cells(0, 1), "1");
}

int ScrollExtent(const QWidget& w) {
  return w.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &w);
}

TEST_F(SongsGridTest, ColumnWidthsComeFromTheSettingsAndGoBackThere) {
  const QString ini = "ReelSmt.ini";
  TProfile profile(ini);
  profile.WriteInteger("SongsGrid", "Col1Width", 200);
  profile.WriteInteger("SongsGrid", "Col3Width", 50);
  grid_->setObjectName("SongsGrid");
  grid_->SetIniFileName(ini);
  grid_->resize(600, 300);
  grid_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(grid_.get()));
  const int col0 = grid_->ColWidths(0);
  EXPECT_GT(col0, grid_->fontMetrics().horizontalAdvance("10"));
  EXPECT_EQ(grid_->ColWidths(1), 200);
  EXPECT_EQ(grid_->ColWidths(3), 50);
  const int available = 600 - 50 - col0 - 4 - ScrollExtent(*grid_);
  EXPECT_EQ(grid_->ColWidths(2), available / 3);

  // The user's widths are written back when the grid goes.
  grid_->SetColWidths(2, 77);
  grid_.reset();
  EXPECT_EQ(profile.ReadInteger("SongsGrid", "Col0Width", -1), col0);
  EXPECT_EQ(profile.ReadInteger("SongsGrid", "Col1Width", -1), 200);
  EXPECT_EQ(profile.ReadInteger("SongsGrid", "Col2Width", -1), 77);
  EXPECT_EQ(profile.ReadInteger("SongsGrid", "Col3Width", -1), 50);
  EXPECT_EQ(profile.ReadInteger("SongsGrid", "Col4Width", -1), -1);
}

TEST_F(SongsGridTest, WithoutSettingsTheTitleAndArtistShareTheRestTwoToOne) {
  grid_->SetMarkSongsUsedOnTape(true);
  grid_->resize(700, 300);
  grid_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(grid_.get()));
  const int available = 700 - grid_->ColWidths(3) - grid_->ColWidths(0) - 4 - ScrollExtent(*grid_) -
                        grid_->ColWidths(4) - 1;
  EXPECT_GE(grid_->ColWidths(4), grid_->fontMetrics().horizontalAdvance("On Tape"));
  EXPECT_EQ(grid_->ColWidths(2), available / 3);
  EXPECT_EQ(grid_->ColWidths(1), available - available / 3);
}

TEST_F(SongsGridTest, AViewedGridFollowsAPaletteChangedWhileTheProgramRuns) {
  AddAlbum("Same", {{"One", 245, "Ada"}});
  Show("Same");
  QWidget window;
  grid_->setParent(&window);
  const QPalette light = window.palette();
  EXPECT_EQ(grid_->palette().color(QPalette::Base), light.color(QPalette::Button));

  QPalette dark = light;
  dark.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
  dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
  dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
  dark.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
  window.setPalette(dark);
  const QPalette& viewing = grid_->palette();
  EXPECT_EQ(viewing.color(QPalette::Base), QColor(0x35, 0x35, 0x35));
  EXPECT_GE(ContrastRatio(viewing.color(QPalette::Text), viewing.color(QPalette::Base)), 4.5);

  // Editing uses the desktop's own colours, and viewing again follows them still.
  grid_->SetReadOnly(false);
  EXPECT_EQ(grid_->palette().color(QPalette::Base), QColor(0x1e, 0x1e, 0x1e));
  grid_->SetReadOnly(true);
  window.setPalette(light);
  EXPECT_EQ(grid_->palette().color(QPalette::Base), light.color(QPalette::Button));
  grid_->setParent(nullptr);
}

}  // namespace
