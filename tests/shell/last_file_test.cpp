#include "shell/last_file.h"

#include "platform/profile.h"
#include "shell_test_environment.h"

namespace {

using AutoFileTest = SettingsTest;

TEST_F(AutoFileTest, RemembersTheLastFileInTheSettingsFile) {
  TAutoFile autoFile;
  EXPECT_EQ(autoFile.GetLastFile(), "");  // no settings file named: nothing, no error
  autoFile.SetLastFile("/music/a.mus");
  EXPECT_FALSE(QFile::exists(TProfile("reelsmt.ini").FileName()));

  autoFile.SetIniFileName("ReelSmt.ini");
  EXPECT_EQ(autoFile.GetLastFile(), "");
  autoFile.SetLastFile("/music/My Tapes.mus");
  EXPECT_EQ(TProfile("reelsmt.ini").ReadString("FileList", "AutoLoad", ""), "/music/My Tapes.mus");

  TAutoFile other;
  other.SetIniFileName("reelsmt.ini");
  EXPECT_EQ(other.GetLastFile(), "/music/My Tapes.mus");
}

TEST_F(AutoFileTest, EmptyEntryMeansNoLastFile) {
  TProfile ini("reelsmt.ini");
  ini.WriteString("FileList", "AutoLoad", "/music/a.mus");
  TAutoFile autoFile;
  autoFile.SetIniFileName("ReelSmt.ini");
  autoFile.SetLastFile("");
  EXPECT_EQ(autoFile.GetLastFile(), "");

  // A hand-written empty key counts the same.
  ini.WriteString("filelist", "autoload", "");
  EXPECT_EQ(autoFile.GetLastFile(), "");
}

}  // namespace
