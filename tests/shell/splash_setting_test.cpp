#include <QCheckBox>
#include <QFile>

#include "platform/profile.h"
#include "shell/about_box.h"
#include "shell/splash.h"
#include "shell/splash_setting.h"
#include "shell_test_environment.h"

namespace {

using SplashSetting = SettingsTest;

TEST_F(SplashSetting, TheSwitchTurnsTheSplashOffAndLeavesTheOtherArgumentsInOrder) {
  TStartUpChoice choice = ChooseStartUp({"my", "--no-splash", "songs.mus"}, true);
  EXPECT_FALSE(choice.showSplash);
  EXPECT_EQ(choice.arguments, QStringList({"my", "songs.mus"}));

  choice = ChooseStartUp({"songs.mus"}, true);
  EXPECT_TRUE(choice.showSplash);
  EXPECT_EQ(choice.arguments, QStringList({"songs.mus"}));

  choice = ChooseStartUp({}, false);
  EXPECT_FALSE(choice.showSplash);
  EXPECT_TRUE(choice.arguments.isEmpty());
  // Only the whole switch counts: a file name that merely contains it is a file name.
  choice = ChooseStartUp({"--no-splash.mus"}, true);
  EXPECT_TRUE(choice.showSplash);
  EXPECT_EQ(choice.arguments, QStringList({"--no-splash.mus"}));
}

TEST_F(SplashSetting, IsOnUntilTheAboutBoxTurnsItOffAndStoresItAtOnce) {
  EXPECT_TRUE(ShowSplashAtStartUp());
  {
    TAboutBox box(BuiltInProductPicture());
    EXPECT_TRUE(box.ShowSplash->isChecked());
    EXPECT_EQ(box.ShowSplash->text(), "&Show splash screen at start-up");
    box.ShowSplash->setChecked(false);
    // Stored without waiting for OK.
    EXPECT_FALSE(ShowSplashAtStartUp());
    EXPECT_EQ(TProfile(kSettingsFileName).ReadString("Options", "ShowSplash", ""), "0");
  }
  TAboutBox again(BuiltInProductPicture());
  EXPECT_FALSE(again.ShowSplash->isChecked());
  again.ShowSplash->setChecked(true);
  EXPECT_TRUE(ShowSplashAtStartUp());
}

}  // namespace
