// A 1024x768 screen at the normal scale: the windows open as they always have, the cassette
// window at the size its insert and toolbar ask for, without scrolling.
#include "app_test_environment.h"
#include "every_window.h"
#include "screen_fit.h"

#include <algorithm>

#include "cassette/time_edit.h"

#include <QLabel>
#include <QMenuBar>
#include <QScrollArea>
#include <QStatusBar>
#include <QTableWidget>

namespace {

// Set before the test environment makes the application object.
const bool kNormalScreen = [] {
  qputenv("QT_QPA_PLATFORM",
          "offscreen:configfile=" RS_SOURCE_DIR "/tests/shell/screen_1024x768.json");
  qunsetenv("QT_SCALE_FACTOR");
  return true;
}();

TEST(NormalScreen, TheCassetteWindowShowsItsWholeInsertUnderOneToolbarRow) {
  ASSERT_TRUE(kNormalScreen);
  ASSERT_EQ(QGuiApplication::primaryScreen()->availableGeometry().size(), QSize(1024, 768));
  TEveryWindow all;
  TCassetteInsert& cassette = *all.cassette;
  cassette.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&cassette));
  EXPECT_TRUE(screenfit::FitFaults(&cassette).isEmpty());
  cassette.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&cassette));
  EXPECT_EQ(cassette.findChild<QScrollArea*>(), nullptr);
  ASSERT_NE(cassette.centralWidget(), nullptr);
  EXPECT_EQ(cassette.centralWidget()->objectName(), "InsertArea");
  const QWidget* tapeBar = cassette.findChild<QToolBar*>(QStringLiteral("TapeBar"));
  EXPECT_TRUE(tapeBar == nullptr || !tapeBar->isVisible());
  EXPECT_TRUE(screenfit::ToolBarOverflow(&cassette).isEmpty());
  // One row of tools, wider than the insert, over the whole insert and the status line.
  const QWidget* tools = cassette.TimeEdit()->parentWidget();
  ASSERT_TRUE(tools->inherits("QToolBar"));
  EXPECT_EQ(cassette.Button("OptimizeButton")->parentWidget(), tools);
  const QSize area(cassette.InsertArranger()->AreaWidth(), cassette.InsertArranger()->AreaHeight());
  EXPECT_EQ(cassette.centralWidget()->size(), area);
  EXPECT_EQ(cassette.width(), std::max(tools->sizeHint().width(), area.width()));
  EXPECT_EQ(cassette.height(), cassette.menuBar()->height() + tools->height() + area.height() +
                                   cassette.statusBar()->height());
}

TEST(NormalScreen, TheReportGridAndTheAboutPictureKeepTheirSizes) {
  TEveryWindow all(QStringLiteral(RS_SOURCE_DIR "/examples/sample.mus"));
  all.report->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(all.report.get()));
  EXPECT_EQ(all.report->Layout()->size(), QSize(520, 64));
  all.about->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(all.about.get()));
  EXPECT_EQ(all.about->Image->pixmap().size(), QSize(420, 260));
  EXPECT_EQ(all.about->Image->pixmap().devicePixelRatio(), 1.0);
}

}  // namespace
