// A 1024x768 screen at twice the scale, as large type on a small screen gives: 512x384 logical
// pixels. Every window must open within them, with every control in reach.
#include "app_test_environment.h"
#include "every_window.h"
#include "screen_fit.h"

#include <QLabel>
#include <QHeaderView>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>

#include "cassette/cassette_list.h"
#include "cassette/cassette_section.h"
#include "cassette/time_edit.h"
#include "select/album_selector.h"
#include "select/music_drag.h"

namespace {

// Set before the test environment makes the application object.
const bool kSmallScreen = [] {
  qputenv("QT_QPA_PLATFORM",
          "offscreen:configfile=" RS_SOURCE_DIR "/tests/shell/screen_1024x768.json");
  qputenv("QT_SCALE_FACTOR", "2");
  return true;
}();

TEST(SmallScreen, TheScreenIsHalfOf1024x768) {
  ASSERT_TRUE(kSmallScreen);
  const QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(screen->availableGeometry().size(), QSize(512, 384));
  EXPECT_EQ(screen->devicePixelRatio(), 2.0);
}

TEST(SmallScreen, EveryWindowOpensOnTheScreenWithEveryControlInReach) {
  TEveryWindow all(QStringLiteral(RS_SOURCE_DIR "/examples/sample.mus"));
  QStringList faults;
  for (QWidget* w : all.Windows()) faults << screenfit::FitFaults(w);
  EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
}

TEST(SmallScreen, TheCassetteWindowScrollsItsInsertAreaUnderTwoToolbarRows) {
  TEveryWindow all(QStringLiteral(RS_SOURCE_DIR "/examples/sample.mus"));
  TCassetteInsert& cassette = *all.cassette;
  cassette.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&cassette));
  EXPECT_TRUE(screenfit::ToolBarOverflow(&cassette).isEmpty())
      << screenfit::ToolBarOverflow(&cassette).join(' ').toStdString();
  // The tape controls have a row of their own under the commands.
  const auto* tapeBar = cassette.findChild<QToolBar*>(QStringLiteral("TapeBar"));
  ASSERT_NE(tapeBar, nullptr);
  EXPECT_TRUE(tapeBar->isVisible());
  EXPECT_EQ(cassette.TimeEdit()->parentWidget(), tapeBar);
  EXPECT_GT(tapeBar->y(), cassette.Button("OptimizeButton")->parentWidget()->y());

  auto* scroller = cassette.findChild<QScrollArea*>(QStringLiteral("InsertScroller"));
  ASSERT_NE(scroller, nullptr);
  QWidget* area = scroller->widget();
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(area->objectName(), "InsertArea");
  // The insert keeps its size; the view onto it is what shrinks.
  EXPECT_EQ(area->size(),
            QSize(cassette.InsertArranger()->AreaWidth(), cassette.InsertArranger()->AreaHeight()));
  QScrollBar* bar = scroller->verticalScrollBar();
  ASSERT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->maximum(), area->height() - scroller->viewport()->height());
  EXPECT_FALSE(scroller->horizontalScrollBar()->isVisible());

  // Scrolled to the end, the front flap is partly above the view: the window's own part there
  // takes a drop, the flap's shown part does not.
  TAlbumSelector* albums = all.form->AlbumSelector1();
  SetTag(albums, albums->RecordOfRow(albums->FixedRows()));
  bar->setValue(bar->maximum());
  const QWidget* flap = cassette.FrontFlap();
  const QPoint viewTop = scroller->viewport()->mapTo(&cassette, QPoint(0, 0));
  const QPoint flapTop = flap->mapTo(&cassette, QPoint(0, 0));
  ASSERT_LT(flapTop.y(), viewTop.y());
  ASSERT_GT(flapTop.y() + flap->height(), viewTop.y() + 4);
  const QPoint shown(viewTop.x() + 20, viewTop.y() + 2);
  const QPoint above(viewTop.x() + 20, viewTop.y() - 2);
  EXPECT_FALSE(cassette.TakesWindowDrag(QEvent::DragMove, albums, shown));
  EXPECT_FALSE(cassette.TakesWindowDrag(QEvent::Drop, albums, shown));
  EXPECT_TRUE(cassette.TakesWindowDrag(QEvent::DragMove, albums, above));
  EXPECT_TRUE(cassette.TakesWindowDrag(QEvent::Drop, albums, above));
  // Tab to the front flap brings it back into view.
  cassette.Side1Flap()->setFocus();
  EXPECT_TRUE(QTest::qWaitForWindowActive(&cassette));
  QTest::keyClick(cassette.Side1Flap(), Qt::Key_Tab, Qt::ShiftModifier);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
  ASSERT_EQ(QApplication::focusWidget(), flap);
  EXPECT_EQ(bar->value(), 0);
}

TEST(SmallScreen, TheReportLayoutGridNarrowsAndScrollsToColumnsOfTheirUsualWidths) {
  TEveryWindow all(QStringLiteral(RS_SOURCE_DIR "/examples/sample.mus"));
  TReportDlg& report = *all.report;
  report.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&report));
  QTableWidget* grid = report.Layout();
  EXPECT_LT(grid->width(), 520);
  // The columns are as wide as in a grid of the usual width (one never shown), so their labels
  // fit as they do on a larger screen, and the listing prints the same.
  EXPECT_EQ(report.LayoutGridWidth(), 520 - 2 * grid->frameWidth());
  const TReportDlg usual(all.form->ReelsmithDB());
  ASSERT_EQ(usual.Layout()->width(), 520);
  const std::vector<TReportLayoutColumn> columns = report.Columns();
  const std::vector<TReportLayoutColumn> usualColumns = usual.Columns();
  ASSERT_EQ(columns.size(), usualColumns.size());
  ASSERT_GE(columns.size(), 3u);
  int total = 0;
  for (size_t i = 0; i < columns.size(); ++i) {
    EXPECT_EQ(columns[i].label, usualColumns[i].label);
    EXPECT_EQ(columns[i].width, usualColumns[i].width) << columns[i].label.toStdString();
    total += columns[i].width;
  }
  EXPECT_GT(total, grid->viewport()->width());
  // The last column is reached by scrolling.
  QScrollBar* bar = grid->horizontalScrollBar();
  ASSERT_TRUE(bar->isVisible());
  bar->setValue(bar->maximum());
  const int last = grid->horizontalHeader()->logicalIndex(int(columns.size()) - 1);
  EXPECT_LE(grid->columnViewportPosition(last) + grid->columnWidth(last),
            grid->viewport()->width());
}

TEST(SmallScreen, TheAboutBoxShowsItsPictureSmallerButTellsTheWholeOne) {
  TAboutBox about(BuiltInProductPicture());
  about.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
  const QSize shown = about.Image->pixmap().deviceIndependentSize().toSize();
  EXPECT_LT(shown.height(), 260);
  EXPECT_NEAR(double(shown.width()) / shown.height(), 420.0 / 260.0, 0.02);
  // Drawn for the screen's pixels.
  EXPECT_EQ(about.Image->pixmap().devicePixelRatio(), 2.0);
  EXPECT_EQ(about.Request().picture.size(), QSize(420, 260));
}

}  // namespace
