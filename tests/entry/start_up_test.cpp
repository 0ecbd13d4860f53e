// The start-up windows with and without the splash screen, on a real catalogue.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app_test_environment.h"
#include "cassette/cassette_insert_window.h"
#include "catalogue/catalogue_window.h"
#include "client/database.h"
#include "entry/start_up.h"
#include "platform/profile.h"
#include "shell/colour_notice.h"
#include "shell/splash.h"
#include "shell/splash_setting.h"

namespace {

class StartUpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    QFile::remove(TProfile::ResolveFileName(QString::fromLatin1(kSettingsFileName)));
    catalogue_ = dir_.filePath("songs.mus");
    ASSERT_TRUE(QFile::copy(QStringLiteral(RS_SOURCE_DIR "/examples/sample.mus"), catalogue_));
    search_.Folders << QFileInfo(QStringLiteral(RS_LIB_PATH)).absolutePath();
    search_.SystemSearch = false;
  }

  QTemporaryDir dir_;
  QString catalogue_;
  TLibrarySearch search_;
  // The colour notice is due on the offscreen screen: answered, never waiting for a person.
  TColorNoticeSeam notice_{[](const TColorNoticeRequest&) { return false; }};
};

TEST_F(StartUpTest, WithoutTheSplashTheWindowShowsOnceTheCatalogueIsOpen) {
  TStartUpWindows windows({"--no-splash", catalogue_}, search_);
  EXPECT_EQ(windows.Splash(), nullptr);
  TReelsmithForm* form = windows.Form();
  ASSERT_NE(form, nullptr);
  EXPECT_FALSE(form->isVisible());
  ASSERT_TRUE(QTest::qWaitFor([&] { return form->isVisible(); }, 10000));
  // Shown only after the catalogue was opened, not before and not empty.
  EXPECT_EQ(QFileInfo(form->ReelsmithDB()->FileName()).fileName(), "songs.mus");
  EXPECT_TRUE(form->windowTitle().startsWith("songs.mus"));

  // The cassette window is made when first asked for, and the command works all the same.
  EXPECT_EQ(windows.CassetteInsert(), nullptr);
  QAction* cassette = form->Action("CassetteInsertMenu");
  ASSERT_NE(cassette, nullptr);
  EXPECT_TRUE(cassette->isEnabled());
  cassette->trigger();
  ASSERT_NE(windows.CassetteInsert(), nullptr);
  EXPECT_EQ(form->CassetteInsert(), windows.CassetteInsert());
  EXPECT_TRUE(windows.CassetteInsert()->isVisible());
  // The command shows the same window the next time.
  TCassetteInsert* made = windows.CassetteInsert();
  cassette->trigger();
  EXPECT_EQ(windows.CassetteInsert(), made);
}

TEST_F(StartUpTest, TheSettingTurnsTheSplashOffToo) {
  SetShowSplashAtStartUp(false);
  TStartUpWindows windows({catalogue_}, search_);
  EXPECT_EQ(windows.Splash(), nullptr);
  ASSERT_TRUE(QTest::qWaitFor([&] { return windows.Form()->isVisible(); }, 10000));
  EXPECT_EQ(QFileInfo(windows.Form()->ReelsmithDB()->FileName()).fileName(), "songs.mus");
}

TEST_F(StartUpTest, WithTheSplashTheWindowWaitsForTheHandOver) {
  TStartUpWindows windows({catalogue_}, search_);
  TSplashScreen* splash = windows.Splash();
  ASSERT_NE(splash, nullptr);
  EXPECT_TRUE(splash->isVisible());
  // The catalogue opens in the first idle moment, but the window stays hidden behind the splash.
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return !windows.Form()->ReelsmithDB()->FileName().isEmpty(); }, 10000));
  QCoreApplication::processEvents();
  EXPECT_FALSE(windows.Form()->isVisible());
  EXPECT_TRUE(splash->Timer()->isActive());
  splash->HandOver();
  EXPECT_TRUE(windows.Form()->isVisible());
  EXPECT_FALSE(splash->isVisible());
}

}  // namespace
