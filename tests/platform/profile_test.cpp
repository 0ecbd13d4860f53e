#include "platform/profile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/exceptions.h"

namespace {

// Points the settings directory at a fresh temporary folder for each test.
class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(home_.isValid());
    saved_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", home_.path().toUtf8());
    dir_ = home_.path() + "/reelsmith";
  }
  void TearDown() override {
    qputenv("XDG_CONFIG_HOME", saved_);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  }

  void WriteFile(const QByteArray& content) {
    ASSERT_TRUE(QDir().mkpath(dir_));
    QFile file(dir_ + "/reelsmt.ini");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }
  QByteArray FileContent() const {
    QFile file(dir_ + "/reelsmt.ini");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  QTemporaryDir home_;
  QByteArray saved_;
  QString dir_;
};

const QByteArray kHandWritten =
    "; Settings written by hand\n"
    "orphan=before any section\n"
    "[brand]\n"
    "  CAPTION =  My Tapes  \n"
    "bitmap=\n"
    "; a comment inside a section\n"
    "Quoted=\"  spaced  \"\n"
    "\n"
    "[CassetteInsert]\n"
    "layout=0x3\n"
    "TapeLength=0X1C20\n"
    "PerSongDelta=-4\n"
    "Bad=12abc\n"
    "Huge=99999999999\n"
    "AllBits=0xFFFFFFFF\n"
    "JustPrefix=0x\n"
    "SignedHex=0x-1\n"
    "layout=1\n"
    "[Brand]\n"
    "Caption=second section is never read\n";

TEST_F(ProfileTest, BareNamesOfAnyCaseAreOneFileInTheConfigFolder) {
  EXPECT_EQ(TProfile("ReelSmt.ini").FileName(), dir_ + "/reelsmt.ini");
  EXPECT_EQ(TProfile("reelsmt.ini").FileName(), dir_ + "/reelsmt.ini");
  EXPECT_EQ(TProfile("/tmp/x/Other.INI").FileName(), "/tmp/x/Other.INI");

  // A relative XDG_CONFIG_HOME is not a configuration folder; the home folder's is used.
  qputenv("XDG_CONFIG_HOME", "relative/path");
  EXPECT_EQ(TProfile::SettingsDir(), QDir::homePath() + "/.config/reelsmith");
  qunsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(TProfile::SettingsDir(), QDir::homePath() + "/.config/reelsmith");
}

TEST_F(ProfileTest, HandWrittenFileReadsWithoutRegardToCase) {
  WriteFile(kHandWritten);
  const TProfile ini("ReelSmt.ini");
  EXPECT_EQ(ini.ReadString("Brand", "Caption", "x"), "My Tapes");
  EXPECT_EQ(ini.ReadString("BRAND", "caption", "x"), "My Tapes");
  // Present but empty is empty, not the default.
  EXPECT_EQ(ini.ReadString("Brand", "Bitmap", "x"), "");
  EXPECT_EQ(ini.ReadString("Brand", "Quoted", "x"), "  spaced  ");
  EXPECT_EQ(ini.ReadString("Brand", "Missing", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadString("NoSuchSection", "Caption", "dflt"), "dflt");
  // Keys before the first section and comment lines belong to no section.
  EXPECT_EQ(ini.ReadString("", "orphan", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadString("Brand", "; a comment inside a section", "dflt"), "dflt");
}

TEST_F(ProfileTest, IntegersTakeHexAndFallBackToTheDefault) {
  WriteFile(kHandWritten);
  const TProfile ini("reelsmt.ini");
  EXPECT_EQ(ini.ReadInteger("cassetteinsert", "Layout", 7), 3);  // first of two keys counts
  EXPECT_EQ(ini.ReadInteger("CassetteInsert", "TapeLength", 0), 7200);
  EXPECT_EQ(ini.ReadInteger("CassetteInsert", "PerSongDelta", 0), -4);
  EXPECT_EQ(ini.ReadInteger("CassetteInsert", "AllBits", 0), -1);
  for (const char* malformed : {"Bad", "Huge", "JustPrefix", "SignedHex", "Missing"})
    EXPECT_EQ(ini.ReadInteger("CassetteInsert", malformed, 42), 42) << malformed;
  EXPECT_EQ(ini.ReadInteger("Brand", "Caption", 5), 5);
  EXPECT_EQ(ini.ReadInteger("Brand", "Bitmap", 5), 5);  // empty value

  EXPECT_TRUE(ini.ReadBool("CassetteInsert", "PerSongDelta", false));  // any non-zero
  EXPECT_TRUE(ini.ReadBool("CassetteInsert", "Missing", true));
  EXPECT_FALSE(ini.ReadBool("CassetteInsert", "Bad", false));
}

TEST_F(ProfileTest, LongValuesAreCutToTheBuffer) {
  const QByteArray longValue(2000, 'v');
  WriteFile("[S]\nK=" + longValue + "\n");
  const TProfile ini("reelsmt.ini");
  EXPECT_EQ(ini.ReadString("S", "K", ""), QString(1023, 'v'));
  EXPECT_EQ(ini.ReadString("S", "Missing", QString(1500, 'd')).size(), 1023);
}

TEST_F(ProfileTest, WritesKeepEveryOtherLine) {
  WriteFile(kHandWritten);
  TProfile ini("ReelSmt.ini");
  ini.WriteInteger("cassetteINSERT", "LAYOUT", 2);     // replaces the first key, keeps its spelling
  ini.WriteString("brand", "Splash", "pic.bmp");       // new key after the section's last key
  ini.WriteBool("Features", "MarkSongsOnTape", true);  // new section at the end
  ini.WriteString("Brand", "Quoted", "'single'");

  QByteArray expected = kHandWritten;
  expected.replace("layout=0x3\n", "layout=2\n");
  expected.replace("Quoted=\"  spaced  \"\n", "Quoted=\"'single'\"\nSplash=pic.bmp\n");
  expected += "\n[Features]\nMarkSongsOnTape=1\n";
  EXPECT_EQ(FileContent().toStdString(), expected.toStdString());

  EXPECT_EQ(ini.ReadInteger("CassetteInsert", "Layout", 0), 2);
  EXPECT_EQ(ini.ReadString("Brand", "Quoted", ""), "'single'");
  EXPECT_TRUE(ini.ReadBool("features", "marksongsontape", false));
}

TEST_F(ProfileTest, WritesCreateTheFolderAndKeepCrlfLines) {
  TProfile ini("reelsmt.ini");
  ini.WriteString("FileList", "AutoLoad", " /music/with blanks.mus ");
  EXPECT_EQ(ini.ReadString("FileList", "AutoLoad", ""), " /music/with blanks.mus ");
  ini.WriteString("FileList", "AutoLoad", "");
  EXPECT_EQ(ini.ReadString("FileList", "AutoLoad", "x"), "");

  WriteFile("[A]\r\nx=1\r\n");
  ini.WriteInteger("A", "y", 0x10);
  ini.WriteInteger("B", "z", -3);
  EXPECT_EQ(FileContent(), "[A]\r\nx=1\r\ny=16\r\n\r\n[B]\r\nz=-3\r\n");
}

TEST_F(ProfileTest, WriteReplacesTheFileInsteadOfOverwritingIt) {
  WriteFile(kHandWritten);
  // A second name for the old file sees the old content whole: the new content went into a
  // new file that was renamed over the path.
  const QString oldName = home_.path() + "/old.ini";
  ASSERT_EQ(::link(QFile::encodeName(dir_ + "/reelsmt.ini").constData(),
                   QFile::encodeName(oldName).constData()),
            0);
  const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
  ASSERT_TRUE(QFile::setPermissions(dir_ + "/reelsmt.ini", mode));
  TProfile("reelsmt.ini").WriteString("Brand", "Caption", "New");
  const QFile::Permissions ownerGroupOther(0x7077);
  EXPECT_EQ(QFile::permissions(dir_ + "/reelsmt.ini") & ownerGroupOther, mode);

  QFile old(oldName);
  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  EXPECT_EQ(old.readAll(), kHandWritten);
  EXPECT_EQ(TProfile("reelsmt.ini").ReadString("Brand", "Caption", ""), "New");
  EXPECT_EQ(QDir(dir_).entryList(QDir::Files), QStringList{"reelsmt.ini"});  // no leftovers
}

TEST_F(ProfileTest, FailedWriteRaisesAndLeavesTheFileWhole) {
  WriteFile(kHandWritten);
  TProfile ini("reelsmt.ini");
  const QString message = "Unable to write to " + dir_ + "/reelsmt.ini";

  // The disk fills up halfway through the new file.
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 100;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  try {
    ini.WriteString("Brand", "Caption", "x");
    ADD_FAILURE() << "write succeeded";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), message);
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(FileContent().toStdString(), kHandWritten.toStdString());
  EXPECT_EQ(QDir(dir_).entryList(QDir::Files), QStringList{"reelsmt.ini"});

  // Values and names the file cannot hold.
  EXPECT_THROW(ini.WriteString("Brand", "Caption", "two\nlines"), Exception);
  EXPECT_THROW(ini.WriteString("Brand", "Key=", "x"), Exception);
  EXPECT_THROW(ini.WriteString("Br]and", "Caption", "x"), Exception);
  EXPECT_EQ(FileContent().toStdString(), kHandWritten.toStdString());
}

TEST_F(ProfileTest, UnusableSettingsFolderGivesDefaultsAndWriteErrors) {
  // The settings folder's place is taken by a file.
  QFile blocker(dir_);
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  TProfile ini("reelsmt.ini");
  EXPECT_EQ(ini.ReadInteger("CassetteInsert", "Layout", 2), 2);
  EXPECT_THROW(ini.WriteInteger("CassetteInsert", "Layout", 1), Exception);

  // A settings file that cannot be read is never replaced.
  ASSERT_TRUE(QFile::remove(dir_));
  ASSERT_TRUE(QDir().mkpath(dir_ + "/reelsmt.ini"));
  EXPECT_EQ(ini.ReadString("Brand", "Caption", "d"), "d");
  EXPECT_THROW(ini.WriteString("Brand", "Caption", "x"), Exception);
  EXPECT_TRUE(QFileInfo(dir_ + "/reelsmt.ini").isDir());
}

TEST_F(ProfileTest, ReadOnlyFileIsNotReplaced) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  WriteFile(kHandWritten);
  ASSERT_TRUE(QFile::setPermissions(dir_ + "/reelsmt.ini", QFile::ReadOwner));
  EXPECT_THROW(TProfile("reelsmt.ini").WriteString("Brand", "Caption", "x"), Exception);
  EXPECT_EQ(FileContent().toStdString(), kHandWritten.toStdString());
}

TEST_F(ProfileTest, SystemProfileStandIns) {
  // The time separator: the settings file's own, else the locale's, else a colon.
  QLocale::setDefault(QLocale(QLocale::Finnish, QLocale::Finland));
  EXPECT_EQ(ReadSystemProfileString("win.ini", "INTL", "stime", "?"), ".");
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(TimeSeparator(), ":");
  TProfile("ReelSmt.ini").WriteString("Intl", "sTime", "h");
  EXPECT_EQ(ReadSystemProfileString("Win.Ini", "Intl", "sTime", "?"), "h");

  EXPECT_EQ(ReadSystemProfileString("System.ini", "MCI", "Other", "d"), "d");
  EXPECT_EQ(ReadSystemProfileString("Other.ini", "Intl", "sTime", "d"), "d");
}

}  // namespace

TEST_F(ProfileTest, WritingTheValueTheFileHoldsLeavesTheFileAlone) {
  WriteFile(kHandWritten);
  TProfile ini("reelsmt.ini");
  ini.WriteString("Brand", "Caption", "Same");
  struct stat before {};
  ASSERT_EQ(::stat(QFile::encodeName(dir_ + "/reelsmt.ini").constData(), &before), 0);
  ini.WriteString("Brand", "Caption", "Same");
  struct stat after {};
  ASSERT_EQ(::stat(QFile::encodeName(dir_ + "/reelsmt.ini").constData(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);  // every real write renames a new file over the path
  ini.WriteString("Brand", "Caption", "Other");
  ASSERT_EQ(::stat(QFile::encodeName(dir_ + "/reelsmt.ini").constData(), &after), 0);
  EXPECT_NE(after.st_ino, before.st_ino);
}
