#include "app_test_environment.h"

#include "import/music_folder_scan.h"
#include "music_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <string>

namespace {

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

class MusicFolderScanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(templates_.isValid());
    ASSERT_TRUE(root_.isValid());
    ASSERT_TRUE(musictest::MakeTemplates(templates_.path()).contains(QStringLiteral("flac")));
  }
  QString Flac() const { return templates_.path() + QStringLiteral("/s.flac"); }
  QString Root(const QString& rest = QString()) const {
    return rest.isEmpty() ? root_.path() : root_.path() + QLatin1Char('/') + rest;
  }

  QTemporaryDir templates_;
  QTemporaryDir root_;
};

TEST_F(MusicFolderScanTest, ReadsSubfoldersAndCountsWhatItPassesOver) {
  musictest::TTags t;
  t.title = QStringLiteral("One");
  ASSERT_TRUE(musictest::WriteTagged(Flac(), Root(QStringLiteral("a/b/one.flac")), t));
  ASSERT_TRUE(musictest::WriteTagged(Flac(), Root(QStringLiteral("top.FLAC")), t));
  WriteBytes(Root(QStringLiteral("a/cover.jpg")), QByteArray(100, 'j'));
  WriteBytes(Root(QStringLiteral("a/empty.mp3")), QByteArray());
  WriteBytes(Root(QStringLiteral("a/b/damaged.ogg")), QByteArray(3000, '\x7f'));
  // A pipe that looks like music is never opened: opening it would wait for a writer.
  ASSERT_EQ(mkfifo(QFile::encodeName(Root(QStringLiteral("a/pipe.mp3"))).constData(), 0600), 0);
  // A link back up makes a loop; a dangling link names nothing.
  ASSERT_EQ(symlink("..", QFile::encodeName(Root(QStringLiteral("a/b/up"))).constData()), 0);
  ASSERT_EQ(
      symlink("nowhere.mp3", QFile::encodeName(Root(QStringLiteral("a/gone.mp3"))).constData()), 0);

  TMusicFolderScan scan;
  const TFolderScanResult r = scan.Run(Root());
  EXPECT_FALSE(r.cancelled);
  ASSERT_EQ(r.files.size(), 2u);
  EXPECT_EQ(r.files[0].shownPath, QStringLiteral("top.FLAC"));
  EXPECT_EQ(r.files[0].folderPath, QString());
  EXPECT_EQ(r.files[1].shownPath, QStringLiteral("a/b/one.flac"));
  EXPECT_EQ(r.files[1].folderPath, QStringLiteral("a/b"));
  EXPECT_EQ(r.files[1].folderName, QStringLiteral("b"));
  EXPECT_EQ(r.files[1].baseName, QStringLiteral("one"));
  EXPECT_EQ(r.files[1].tags.title, QStringLiteral("One"));
  EXPECT_EQ(r.otherFiles, 2);  // the picture and the pipe
  QStringList skipped;
  for (const TSkippedEntry& s : r.skipped) skipped << s.shownPath + QStringLiteral(": ") + s.reason;
  skipped.sort();
  EXPECT_EQ(skipped.size(), 4) << skipped.join(QLatin1Char('\n')).toStdString();
  EXPECT_TRUE(skipped.contains(QStringLiteral("a/empty.mp3: empty file")));
  EXPECT_TRUE(skipped.contains(QStringLiteral("a/gone.mp3: cannot be read")));
  EXPECT_TRUE(skipped.contains(QStringLiteral("a/b/up: link to a folder already read")));
  EXPECT_TRUE(skipped.filter(QStringLiteral("a/b/damaged.ogg: ")).size() == 1);
}

TEST_F(MusicFolderScanTest, FileNamesThatAreNotUtf8AreReadAndShownWithAReplacement) {
  const std::string folder = QFile::encodeName(Root()).toStdString();
  const std::string name = folder + "/caf\xe9 \xff.flac";  // Latin-1 bytes, not UTF-8
  musictest::TTags t;
  ASSERT_TRUE(musictest::WriteTagged(Flac(), Root(QStringLiteral("x.flac")), t));
  ASSERT_EQ(rename((folder + "/x.flac").c_str(), name.c_str()), 0);
  TMusicFolderScan scan;
  const TFolderScanResult r = scan.Run(Root());
  ASSERT_EQ(r.files.size(), 1u);
  EXPECT_EQ(r.files[0].path, name);
  EXPECT_TRUE(r.files[0].baseName.contains(QChar(0xfffd)));
  EXPECT_EQ(r.files[0].tags.seconds, musictest::kTemplateSeconds);
}

// What a scan of the folder passes over, as "path: reason" lines. The super-user reads every
// folder, so then the scan runs in a child process that has become the unprivileged "nobody".
QString SkippedByAnOrdinaryUser(const QString& folder) {
  auto skipped = [&folder] {
    TMusicFolderScan scan;
    const TFolderScanResult r = scan.Run(folder);
    QStringList lines;
    for (const TSkippedEntry& s : r.skipped) lines << s.shownPath + QStringLiteral(": ") + s.reason;
    return lines.join(QLatin1Char('\n'));
  };
  if (geteuid() != 0) return skipped();
  int fds[2];
  if (pipe(fds) != 0) return QStringLiteral("no pipe");
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    const QByteArray out = (setgid(65534) == 0 && setuid(65534) == 0)
                               ? skipped().toUtf8()
                               : QByteArrayLiteral("could not become nobody");
    const bool written =
        write(fds[1], out.constData(), static_cast<size_t>(out.size())) == out.size();
    _exit(written ? 0 : 1);
  }
  close(fds[1]);
  QByteArray out;
  char buf[512];
  for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) out.append(buf, n);
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return QString::fromUtf8(out);
}

TEST_F(MusicFolderScanTest, UnreadableFolderIsPassedOver) {
  QDir().mkpath(Root(QStringLiteral("locked")));
  QDir().mkpath(Root(QStringLiteral("open")));
  // Others may enter the chosen folder and the open one, nobody the locked one.
  ASSERT_EQ(chmod(QFile::encodeName(Root()).constData(), 0755), 0);
  ASSERT_EQ(chmod(QFile::encodeName(Root(QStringLiteral("open"))).constData(), 0755), 0);
  ASSERT_EQ(chmod(QFile::encodeName(Root(QStringLiteral("locked"))).constData(), 0), 0);
  const QString skipped = SkippedByAnOrdinaryUser(Root());
  chmod(QFile::encodeName(Root(QStringLiteral("locked"))).constData(), 0700);
  EXPECT_EQ(skipped, QStringLiteral("locked: folder cannot be read"));
}

TEST_F(MusicFolderScanTest, MissingFolderIsOneProblem) {
  TMusicFolderScan scan;
  const TFolderScanResult r = scan.Run(Root(QStringLiteral("not/there")));
  EXPECT_TRUE(r.files.empty());
  ASSERT_EQ(r.skipped.size(), 1u);
  EXPECT_EQ(r.skipped[0].reason, QStringLiteral("folder cannot be read"));
}

TEST_F(MusicFolderScanTest, HundredThousandOtherFilesAreOnlyCounted) {
  const std::string folder = QFile::encodeName(Root()).toStdString();
  for (int i = 0; i < 100000; ++i) {
    const std::string name = folder + "/f" + std::to_string(i) + (i % 2 ? ".txt" : ".jpg");
    const int fd = open(name.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    close(fd);
  }
  TMusicFolderScan scan;
  const TFolderScanResult r = scan.Run(Root());
  EXPECT_TRUE(r.files.empty());
  EXPECT_TRUE(r.skipped.empty());
  EXPECT_EQ(r.otherFiles, 100000);
  EXPECT_EQ(scan.EntriesSeen(), 100000);
}

TEST_F(MusicFolderScanTest, CancelledScanStopsAndSaysSo) {
  musictest::TTags t;
  ASSERT_TRUE(musictest::WriteTagged(Flac(), Root(QStringLiteral("a.flac")), t));
  TMusicFolderScan scan;
  scan.Cancel();
  const TFolderScanResult r = scan.Run(Root());
  EXPECT_TRUE(r.cancelled);
  EXPECT_TRUE(r.files.empty());
}

}  // namespace
