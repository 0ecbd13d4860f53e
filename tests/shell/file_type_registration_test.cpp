#include "shell/file_type_registration.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <sys/stat.h>

#include "app_test_environment.h"
#include "shell/file_type_texts.h"
#include "shell/mime_apps_list.h"
#include "shell/register_switch.h"

namespace {

QByteArray ReadAll(const QString& fileName) {
  QFile file(fileName);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& fileName, const QByteArray& content) {
  QDir().mkpath(QFileInfo(fileName).absolutePath());
  QFile file(fileName);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  ASSERT_EQ(file.write(content), content.size());
}

// A replaced file gets a new inode, so an unchanged inode means the file was left alone.
ino_t Inode(const QString& fileName) {
  struct stat info {};
  return ::stat(QFile::encodeName(fileName).constData(), &info) == 0 ? info.st_ino : 0;
}

TEST(DesktopExecProgram, QuotesThePathWithBothEscapeLevels) {
  EXPECT_EQ(DesktopExecProgram("/usr/bin/reelsmith"), "\"/usr/bin/reelsmith\"");
  EXPECT_EQ(DesktopExecProgram("/opt/My Tapes/reelsmith"), "\"/opt/My Tapes/reelsmith\"");
  // '$' '`' '"' take one backslash from the quoting rule, which the string escape then doubles;
  // a backslash becomes four; '%' would start a field code.
  EXPECT_EQ(DesktopExecProgram("/a$b`c\"d/e"), R"("/a\\$b\\`c\\"d/e")");
  EXPECT_EQ(DesktopExecProgram("/a\\b"), R"("/a\\\\b")");
  EXPECT_EQ(DesktopExecProgram("/100%/reelsmith"), "\"/100%%/reelsmith\"");
  EXPECT_EQ(DesktopExecProgram("/tmp/Caf\u00e9 ;&|<>'#~/x"), "\"/tmp/Caf\u00e9 ;&|<>'#~/x\"");
}

TEST(DesktopExecProgram, KeepsLongPathsWhole) {
  const QString path = "/" + QString(300, QLatin1Char('d')) + "/reelsmith";
  EXPECT_EQ(DesktopExecProgram(path), "\"" + path + "\"");
}

TEST(DesktopExecProgram, RefusesWhatAnEntryCannotHold) {
  EXPECT_FALSE(DesktopExecProgram(""));
  EXPECT_FALSE(DesktopExecProgram("bin/reelsmith"));
  EXPECT_FALSE(DesktopExecProgram("/tmp/two\nlines/reelsmith"));
  EXPECT_FALSE(DesktopExecProgram("/tmp/tab\there"));
  EXPECT_FALSE(DesktopExecProgram(QString("/tmp/") + QChar(0xd800) + "x"));
}

TEST(FileTypeTexts, MatchTheFilesThatAreInstalled) {
  const QByteArray package =
      MimePackageText(kCatalogueMediaType, "Reelsmith Database", "reelsmith", ".mus").value();
  EXPECT_EQ(package, ReadAll(RS_SOURCE_DIR "/app/desktop/reelsmith.xml"));

  QByteArray entry = ReadAll(RS_SOURCE_DIR "/app/desktop/reelsmith.desktop.in");
  ASSERT_TRUE(entry.contains("Exec=@RS_DESKTOP_EXEC@ %f\n"));
  entry.replace("@RS_DESKTOP_EXEC@", "\"/usr/bin/reelsmith\"");
  EXPECT_EQ(DesktopEntryText("Reelsmith", "/usr/bin/reelsmith", "reelsmith", kCatalogueMediaType),
            entry);
}

TEST(FileTypeTexts, EscapeTextAndRefuseBadNames) {
  const QByteArray package =
      MimePackageText("application/x-a", "Tapes & <Reels>", "a", ".mus").value();
  EXPECT_TRUE(package.contains("<comment>Tapes &amp; &lt;Reels&gt;</comment>"));
  EXPECT_FALSE(MimePackageText("application/x-a", "Reels", "a", "mus"));
  EXPECT_FALSE(MimePackageText("application/x-a", "Reels", "a", "."));
  EXPECT_FALSE(MimePackageText("application/x-a", "Reels", "a", ".m*s"));
  EXPECT_FALSE(MimePackageText("application/x-a", "Reels", "a", "./mus"));
  EXPECT_FALSE(MimePackageText("application/x-a", "two\nlines", "a", ".mus"));
  EXPECT_FALSE(MimePackageText("application", "Reels", "a", ".mus"));
  EXPECT_FALSE(DesktopEntryText("Reelsmith", "/bin/r", "reel smith", "application/x-a"));
  EXPECT_FALSE(DesktopEntryText("Reelsmith", "/bin/r", "reelsmith", "application/x a"));
}

TEST(MimeAppsList, ReplacesOnlyTheTypesLine) {
  const QByteArray before =
      "# mine\n"
      "[Added Associations]\n"
      "application/x-reelsmith-catalogue=other.desktop;\n"
      "\n"
      "[Default Applications]\n"
      "text/plain = gedit.desktop;\n"
      "Application/X-Reelsmith-Catalogue = other.desktop;\n"
      "image/png=\xff\xfe-not-utf8.desktop;\n"
      "[Removed Associations]\n";
  EXPECT_TRUE(HasDefaultApplication(before, kCatalogueMediaType));
  QByteArray expected = before;
  expected.replace("Application/X-Reelsmith-Catalogue = other.desktop;",
                   "application/x-reelsmith-catalogue=reelsmith.desktop;");
  EXPECT_EQ(WithDefaultApplication(before, kCatalogueMediaType, "reelsmith.desktop"), expected);
}

TEST(MimeAppsList, AddsTheLineToTheSectionOrANewOne) {
  const QByteArray withSection =
      "[Default Applications]\r\ntext/plain=gedit.desktop;\r\n\r\n[Removed Associations]\r\n";
  EXPECT_FALSE(HasDefaultApplication(withSection, kCatalogueMediaType));
  EXPECT_EQ(WithDefaultApplication(withSection, kCatalogueMediaType, "reelsmith.desktop"),
            "[Default Applications]\r\ntext/plain=gedit.desktop;\r\n"
            "application/x-reelsmith-catalogue=reelsmith.desktop;\r\n"
            "\r\n[Removed Associations]\r\n");

  // The type under another section is no default; a file without a final line break gets one.
  const QByteArray without = "[Added Associations]\napplication/x-reelsmith-catalogue=a.desktop;";
  EXPECT_FALSE(HasDefaultApplication(without, kCatalogueMediaType));
  EXPECT_EQ(WithDefaultApplication(without, kCatalogueMediaType, "reelsmith.desktop"),
            without +
                "\n\n[Default Applications]\n"
                "application/x-reelsmith-catalogue=reelsmith.desktop;\n");
  EXPECT_EQ(WithDefaultApplication("", kCatalogueMediaType, "reelsmith.desktop"),
            "[Default Applications]\napplication/x-reelsmith-catalogue=reelsmith.desktop;\n");

  // An empty list names no application.
  EXPECT_FALSE(HasDefaultApplication(
      "[Default Applications]\napplication/x-reelsmith-catalogue= ; \n", kCatalogueMediaType));
}

TEST(MimeAppsList, TheDefaultSectionEndsAtTheNextHeader) {
  // The type under sections after the defaults belongs to them, not to the user's defaults.
  const QByteArray before =
      "[Default Applications]\n"
      "text/plain=gedit.desktop;\n"
      "\n"
      "[Added Associations]\n"
      "application/x-reelsmith-catalogue=other.desktop;\n"
      "image/png=gimp.desktop;\n"
      "[X-Custom]\n"
      "application/x-reelsmith-catalogue=third.desktop;\n";
  EXPECT_FALSE(HasDefaultApplication(before, kCatalogueMediaType));
  QByteArray expected = before;
  expected.replace("text/plain=gedit.desktop;\n",
                   "text/plain=gedit.desktop;\n"
                   "application/x-reelsmith-catalogue=reelsmith.desktop;\n");
  EXPECT_EQ(WithDefaultApplication(before, kCatalogueMediaType, "reelsmith.desktop"), expected);
}

TEST(RegisterSwitch, IsExactlyOneArgument) {
  char program[] = "reelsmith";
  char flag[] = "-register";
  char upper[] = "-Register";
  char longer[] = "-register more";
  char* one[] = {program, flag, nullptr};
  char* two[] = {program, flag, flag, nullptr};
  char* capital[] = {program, upper, nullptr};
  char* text[] = {program, longer, nullptr};
  EXPECT_TRUE(IsRegisterSwitch(2, one));
  EXPECT_FALSE(IsRegisterSwitch(1, one));
  EXPECT_FALSE(IsRegisterSwitch(3, two));
  EXPECT_FALSE(IsRegisterSwitch(2, capital));
  EXPECT_FALSE(IsRegisterSwitch(2, text));
}

TEST(FileNameText, RefusesBytesThatAreNotUtf8) {
  EXPECT_EQ(FileNameText("/opt/Caf\xc3\xa9/reelsmith"), "/opt/Caf\u00e9/reelsmith");
  EXPECT_EQ(FileNameText("/opt/Caf\xe9/reelsmith"), "");
  EXPECT_TRUE(RunningProgramPath().endsWith("/shell_file_type_registration_test"));
}

// Private XDG folders, and a PATH whose two cache tools log their calls and write a cache file.
class RegistrationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root_.isValid());
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "PATH"})
      saved_.emplace_back(name, qgetenv(name));
    data_ = root_.filePath("data");
    config_ = root_.filePath("config");
    tools_ = root_.filePath("tools");
    qputenv("XDG_DATA_HOME", QFile::encodeName(data_));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_));
    qputenv("PATH", QFile::encodeName(tools_));
    FakeTool("update-mime-database", ": > \"$1/mime.cache\"");
    FakeTool("update-desktop-database", ": > \"$2/mimeinfo.cache\"");
  }
  void TearDown() override {
    for (const auto& [name, value] : saved_) qputenv(name, value);
  }

  void FakeTool(const QString& name, const QString& script) {
    const QString path = tools_ + "/" + name;
    WriteAll(path, ("#!/bin/sh\necho \"" + name + " $*\" >> \"" + root_.filePath("tools.log") +
                    "\"\n" + script + "\n")
                       .toUtf8());
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  QByteArray ToolLog() const { return ReadAll(root_.filePath("tools.log")); }

  QString Package() const { return data_ + "/mime/packages/reelsmith.xml"; }
  QString Entry() const { return data_ + "/applications/reelsmith.desktop"; }
  QString MimeApps() const { return config_ + "/mimeapps.list"; }

  QTemporaryDir root_;
  QString data_, config_, tools_;
  std::vector<std::pair<const char*, QByteArray>> saved_;
};

TEST_F(RegistrationTest, WritesEveryFileOnceAndRenewsTheCaches) {
  QString error;
  ASSERT_EQ(RegisterReelsmithFileType("/opt/My Tapes/reelsmith", false, &error), 0)
      << error.toStdString();
  EXPECT_EQ(ReadAll(Package()), ReadAll(RS_SOURCE_DIR "/app/desktop/reelsmith.xml"));
  EXPECT_TRUE(ReadAll(Entry()).contains("\nExec=\"/opt/My Tapes/reelsmith\" %f\n"));
  EXPECT_EQ(ReadAll(MimeApps()),
            "[Default Applications]\napplication/x-reelsmith-catalogue=reelsmith.desktop;\n");
  EXPECT_EQ(ReadAll(data_ + "/icons/hicolor/48x48/apps/reelsmith.png"),
            ReadAll(RS_SOURCE_DIR "/app/resources/icons/reelsmith_48.png"));
  EXPECT_EQ(ReadAll(data_ + "/icons/hicolor/scalable/apps/reelsmith.svg"),
            ReadAll(RS_SOURCE_DIR "/app/resources/icons/reelsmith.svg"));
  EXPECT_EQ(ToolLog(), "update-mime-database " + QFile::encodeName(data_) +
                           "/mime\nupdate-desktop-database -q " + QFile::encodeName(data_) +
                           "/applications\n");

  // A second run with the same values touches nothing and runs no tool.
  const QStringList files = {Package(), Entry(), MimeApps(),
                             data_ + "/icons/hicolor/16x16/apps/reelsmith.png"};
  std::vector<ino_t> inodes;
  for (const QString& file : files) inodes.push_back(Inode(file));
  const QByteArray log = ToolLog();
  ASSERT_EQ(RegisterReelsmithFileType("/opt/My Tapes/reelsmith", true, &error), 0)
      << error.toStdString();
  for (int i = 0; i < files.size(); ++i)
    EXPECT_EQ(Inode(files[i]), inodes[i]) << files[i].toStdString();
  EXPECT_EQ(ToolLog(), log);

  // A moved program rewrites only the desktop entry and renews only its cache.
  ASSERT_EQ(RegisterReelsmithFileType("/usr/local/bin/reelsmith", false, &error), 0)
      << error.toStdString();
  EXPECT_TRUE(ReadAll(Entry()).contains("\nExec=\"/usr/local/bin/reelsmith\" %f\n"));
  EXPECT_EQ(Inode(Package()), inodes[0]);
  EXPECT_EQ(ToolLog(),
            log + "update-desktop-database -q " + QFile::encodeName(data_) + "/applications\n");
}

TEST_F(RegistrationTest, StartUpKeepsTheUsersDefaultAndTheSwitchReplacesIt) {
  const QByteArray mine =
      "[Added Associations]\ntext/plain=kate.desktop;\n\n[Default Applications]\n"
      "application/x-reelsmith-catalogue=hexedit.desktop;\n";
  WriteAll(MimeApps(), mine);
  ASSERT_EQ(RegisterReelsmithFileType("/usr/bin/reelsmith", false), 0);
  EXPECT_EQ(ReadAll(MimeApps()), mine);
  ASSERT_EQ(RegisterReelsmithFileType("/usr/bin/reelsmith", true), 0);
  QByteArray expected = mine;
  EXPECT_EQ(ReadAll(MimeApps()), expected.replace("hexedit", "reelsmith"));
}

TEST_F(RegistrationTest, StartUpSetsTheDefaultWhenTheUsersTypeLinesAreInOtherSections) {
  const QByteArray mine =
      "# kept\n"
      "[Default Applications]\n"
      "text/plain=kate.desktop;\n"
      "[Added Associations]\n"
      "application/x-reelsmith-catalogue=hexedit.desktop;\n"
      "[Removed Associations]\n"
      "text/html=firefox.desktop;\n";
  WriteAll(MimeApps(), mine);
  ASSERT_EQ(RegisterReelsmithFileType("/usr/bin/reelsmith", false), 0);
  QByteArray expected = mine;
  expected.replace("text/plain=kate.desktop;\n",
                   "text/plain=kate.desktop;\n"
                   "application/x-reelsmith-catalogue=reelsmith.desktop;\n");
  EXPECT_EQ(ReadAll(MimeApps()), expected);
}

TEST_F(RegistrationTest, WritesThroughALinkedList) {
  const QString real = root_.filePath("dotfiles/mimeapps.list");
  WriteAll(real, "[Default Applications]\n");
  QDir().mkpath(config_);
  ASSERT_TRUE(QFile::link(real, MimeApps()));
  ASSERT_EQ(RegisterReelsmithFileType("/usr/bin/reelsmith", false), 0);
  EXPECT_TRUE(QFileInfo(MimeApps()).isSymLink());
  EXPECT_EQ(ReadAll(real),
            "[Default Applications]\napplication/x-reelsmith-catalogue=reelsmith.desktop;\n");
}

TEST_F(RegistrationTest, WritesNothingForAPathTheEntryCannotHold) {
  for (const QString& path :
       {QString("/tmp/two\nlines/reelsmith"), QString("reelsmith"), QString()}) {
    QString error;
    EXPECT_EQ(RegisterReelsmithFileType(path, true, &error), EINVAL);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(data_)) << path.toStdString();
    EXPECT_FALSE(QFileInfo::exists(config_)) << path.toStdString();
  }
  EXPECT_EQ(RegisterFileType("Reel smith", "Reelsmith Database", ".mus", "/usr/bin/reelsmith",
                             kCatalogueMediaType, true),
            EINVAL);
  EXPECT_FALSE(QFileInfo::exists(data_));
}

TEST_F(RegistrationTest, ReportsFilesThatCannotBeWritten) {
  WriteAll(data_, "a file, not a folder");
  QString error;
  EXPECT_EQ(RegisterReelsmithFileType("/usr/bin/reelsmith", true, &error), EIO);
  EXPECT_EQ(error, "Unable to write to " + Package());
  EXPECT_FALSE(QFileInfo::exists(MimeApps()));  // no default for an entry that is not there
  EXPECT_EQ(ToolLog(), "");

  // A list that cannot be read is never replaced.
  QFile::remove(data_);
  QDir().mkpath(MimeApps());
  EXPECT_EQ(RegisterReelsmithFileType("/usr/bin/reelsmith", true, &error), EIO);
  EXPECT_EQ(error, "Unable to read " + MimeApps());
  EXPECT_TRUE(QFileInfo(MimeApps()).isDir());
}

TEST_F(RegistrationTest, ReportsAFailedCacheTool) {
  FakeTool("update-mime-database", "echo 'bad package' >&2; exit 3");
  QString error;
  EXPECT_EQ(RegisterReelsmithFileType("/usr/bin/reelsmith", true, &error), EIO);
  EXPECT_EQ(error, "update-mime-database failed: bad package");

  // Without the tools the files alone are the registration; the cache is renewed once the
  // tools are there, though nothing changed.
  QFile::remove(tools_ + "/update-mime-database");
  QFile::remove(tools_ + "/update-desktop-database");
  QFile::remove(data_ + "/applications/mimeinfo.cache");
  EXPECT_EQ(RegisterReelsmithFileType("/usr/bin/reelsmith", true, &error), 0)
      << error.toStdString();
  FakeTool("update-mime-database", ": > \"$1/mime.cache\"");
  const QByteArray log = ToolLog();
  EXPECT_EQ(RegisterReelsmithFileType("/usr/bin/reelsmith", true, &error), 0)
      << error.toStdString();
  EXPECT_EQ(ToolLog(), log + "update-mime-database " + QFile::encodeName(data_) + "/mime\n");
}

}  // namespace
