#include "app_test_environment.h"

#include "import/music_file_reader.h"
#include "music_files.h"

#include <QFile>
#include <QTemporaryDir>

#include <string>

namespace {

std::string Bytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

class MusicFileReaderTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new QTemporaryDir;
    formats_ = musictest::MakeTemplates(dir_->path());
  }
  static void TearDownTestSuite() { delete dir_; }
  static QString Template(const QString& ending) {
    return dir_->path() + QStringLiteral("/s.") + ending;
  }
  static QTemporaryDir* dir_;
  static QStringList formats_;
};
QTemporaryDir* MusicFileReaderTest::dir_ = nullptr;
QStringList MusicFileReaderTest::formats_;

TEST_F(MusicFileReaderTest, EveryFormatGivesItsTagsAndWholeSeconds) {
  ASSERT_EQ(formats_.size(), 8) << formats_.join(QLatin1Char(' ')).toStdString();
  for (const QString& ending : formats_) {
    SCOPED_TRACE(ending.toStdString());
    const QString path = dir_->path() + QStringLiteral("/tagged/song.") + ending;
    musictest::TTags t;
    t.title = QStringLiteral("Caf\u00e9 \u00e0 l'\u00e9t\u00e9");
    t.artist = QStringLiteral("\u0411\u0430\u0439\u043a\u0430\u043b");  // not Latin
    t.album = QStringLiteral("Noch einmal \u00fcber");
    t.albumArtist = QStringLiteral("Various");
    t.genre = QStringLiteral("Jazz");
    t.track = 7;
    t.disc = 2;
    t.year = 1999;
    ASSERT_TRUE(musictest::WriteTagged(Template(ending), path, t));
    TMusicFileTags tags;
    ASSERT_EQ(ReadMusicFile(Bytes(path), tags), QString());
    EXPECT_EQ(tags.title, t.title);
    EXPECT_EQ(tags.artist, t.artist);
    EXPECT_EQ(tags.album, t.album);
    EXPECT_EQ(tags.genre, t.genre);
    EXPECT_EQ(tags.track, 7);
    EXPECT_EQ(tags.year, 1999);
    // RIFF files keep album artist and disc only where TagLib maps them.
    if (ending != QLatin1String("wav")) {
      EXPECT_EQ(tags.albumArtist, t.albumArtist);
      EXPECT_EQ(tags.disc, 2);
    }
    EXPECT_TRUE(tags.hasLength);
    EXPECT_EQ(tags.seconds, musictest::kTemplateSeconds);
  }
}

TEST_F(MusicFileReaderTest, UntaggedFileHasEmptyTagsAndItsLength) {
  ASSERT_TRUE(formats_.contains(QStringLiteral("flac")));
  TMusicFileTags tags;
  ASSERT_EQ(ReadMusicFile(Bytes(Template(QStringLiteral("flac"))), tags), QString());
  EXPECT_TRUE(tags.title.isEmpty());
  EXPECT_TRUE(tags.album.isEmpty());
  EXPECT_EQ(tags.track, 0);
  EXPECT_EQ(tags.disc, 0);
  EXPECT_EQ(tags.seconds, musictest::kTemplateSeconds);
}

TEST_F(MusicFileReaderTest, DamagedAndForeignFilesAreRefusedWithAReason) {
  for (const QString& ending : formats_) {
    SCOPED_TRACE(ending.toStdString());
    QFile source(Template(ending));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray whole = source.readAll();
    // The first bytes only: the header is cut short.
    const QString cut = dir_->path() + QStringLiteral("/cut.") + ending;
    QFile out(cut);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(whole.left(12));
    out.close();
    TMusicFileTags tags;
    const QString reason = ReadMusicFile(Bytes(cut), tags);
    // Twelve bytes hold no audio: either the file is refused or it has no playing time.
    EXPECT_FALSE(reason.isEmpty() && tags.seconds > 0);
  }
  const QString text = dir_->path() + QStringLiteral("/notes.mp3");
  QFile notes(text);
  ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
  notes.write(QByteArray(4000, 'x'));
  notes.close();
  TMusicFileTags tags;
  EXPECT_FALSE(ReadMusicFile(Bytes(text), tags).isEmpty());
  EXPECT_FALSE(
      ReadMusicFile(Bytes(dir_->path() + QStringLiteral("/missing.flac")), tags).isEmpty());
  EXPECT_FALSE(ReadMusicData("fLaC\0\0\0\x22", 8, tags).isEmpty());
}

TEST(MusicFileEnding, KnowsTheMusicEndingsIgnoringCase) {
  for (const char* name :
       {"a.mp3", "b.FLAC", "c.Ogg", "d.opus", "e.m4a", "f.wav", "g.aiff", "h.wma", "x.y.mp3"})
    EXPECT_TRUE(HasMusicFileEnding(name)) << name;
  for (const char* name : {"a.txt", "mp3", "a.", "cover.jpg", "a.mp3.part", ".flac2", ""})
    EXPECT_FALSE(HasMusicFileEnding(name)) << name;
}

}  // namespace
