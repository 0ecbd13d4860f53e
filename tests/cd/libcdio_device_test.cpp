#include "app_test_environment.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "cd/libcdio_device.h"
#include "cd/track_times.h"
#include "disc_images.h"

namespace {

using cdtest::Audio;
using cdtest::Data;
using cdtest::TTestTrack;

// 245.99 seconds, three minutes, and 61.4 seconds.
const std::vector<TTestTrack> kAlbum = {Audio(245 * 75 + 74), Audio(180 * 75), Audio(61 * 75 + 30)};

std::vector<int> SecondsOf(const std::vector<TTestTrack>& tracks) {
  std::vector<int> seconds;
  for (const TTestTrack& t : tracks) seconds.push_back(static_cast<int>(t.frames / 75));
  return seconds;
}

std::vector<int> ReadSeconds(TCdAudioDevice& device) {
  return ReadDiscContents(device).trackSeconds;
}

class LibcdioDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  QString Base(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
  QTemporaryDir dir_;
};

TEST_F(LibcdioDeviceTest, CueImageGivesEachTracksWholeSecondsCut) {
  TLibcdioDevice device(cdtest::WriteCueImage(Base("album"), kAlbum));
  device.Open();
  EXPECT_EQ(device.Mode(), cmStopped);
  EXPECT_EQ(device.TrackCount(), 3);
  EXPECT_EQ(device.TrackFrames(1), 245 * 75 + 74);
  EXPECT_EQ(ReadSeconds(device), std::vector<int>({245, 180, 61}));
  EXPECT_EQ(device.TotalFrames(), cdtest::TotalFrames(kAlbum));
  EXPECT_THROW(device.TrackFrames(4), ECdError);
  EXPECT_TRUE(device.Text().title.isEmpty());
}

TEST_F(LibcdioDeviceTest, TocImageOfTheSameDiscReadsTheSame) {
  TLibcdioDevice device(cdtest::WriteTocImage(Base("album"), kAlbum));
  device.Open();
  EXPECT_EQ(ReadSeconds(device), SecondsOf(kAlbum));
  EXPECT_EQ(device.TotalFrames(), cdtest::TotalFrames(kAlbum));
}

TEST_F(LibcdioDeviceTest, DataTrackOfAMixedDiscCountsAsATrack) {
  const std::vector<TTestTrack> mixed = {Data(40 * 75 + 10), Audio(120 * 75), Audio(59 * 75 + 74)};
  TLibcdioDevice device(cdtest::WriteCueImage(Base("mixed"), mixed));
  device.Open();
  EXPECT_EQ(device.TrackCount(), 3);
  EXPECT_EQ(ReadSeconds(device), std::vector<int>({40, 120, 59}));
}

TEST_F(LibcdioDeviceTest, CueSheetTitlesAreTheDiscText) {
  const std::vector<TTestTrack> tracks = {Audio(100 * 75, QStringLiteral("Overture")),
                                          Audio(90 * 75), Audio(80 * 75, QStringLiteral("Finale"))};
  TLibcdioDevice device(cdtest::WriteCueImage(Base("titled"), tracks, QStringLiteral("Night Songs"),
                                              QStringLiteral("The Owls")));
  device.Open();
  const TCdText text = device.Text();
  EXPECT_EQ(text.title, "Night Songs");
  EXPECT_EQ(text.performer, "The Owls");
  EXPECT_EQ(text.trackTitles, QStringList({"Overture", "", "Finale"}));
}

TEST_F(LibcdioDeviceTest, DamagedOrMissingImagesAreNoDisc) {
  const QString good = cdtest::WriteCueImage(Base("good"), kAlbum);
  struct Case {
    const char* name;
    QString cue;
  };
  const Case cases[] = {
      {"missing_bin", QStringLiteral("FILE \"nowhere.bin\" BINARY\n  TRACK 01 AUDIO\n"
                                     "    INDEX 01 00:00:00\n")},
      {"garbage", QStringLiteral("\x01\x02 this is not a cue sheet\n\xff\n")},
      {"empty", QString()},
      {"no_track", QStringLiteral("FILE \"good.bin\" BINARY\n")},
      {"backwards", QStringLiteral("FILE \"good.bin\" BINARY\n  TRACK 01 AUDIO\n"
                                   "    INDEX 01 02:00:00\n  TRACK 02 AUDIO\n"
                                   "    INDEX 01 01:00:00\n")},
      {"past_the_end", QStringLiteral("FILE \"good.bin\" BINARY\n  TRACK 01 AUDIO\n"
                                      "    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n"
                                      "    INDEX 01 70:00:00\n")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = dir_.filePath(QString::fromLatin1(c.name) + QStringLiteral(".cue"));
    ASSERT_TRUE(cdtest::WriteText(path, c.cue));
    // Libcdio also tries the cue sheet's name with .bin: let it find data there.
    if (std::string(c.name) != "missing_bin") {
      ASSERT_TRUE(cdtest::WriteSparseBin(Base(c.name) + QStringLiteral(".bin"), 1000));
    }
    TLibcdioDevice device(path);
    bool opened = true;
    try {
      device.Open();
    } catch (const ECdError&) {
      opened = false;
    }
    EXPECT_FALSE(opened && device.Mode() != cmNotReady)
        << "mode " << device.Mode() << " tracks " << (opened ? device.TrackCount() : -1);
    EXPECT_THROW(ReadDiscContents(device), ECdError);
  }
  TLibcdioDevice missing(dir_.filePath(QStringLiteral("absent.cue")));
  EXPECT_THROW(missing.Open(), ECdError);
  EXPECT_EQ(missing.Mode(), cmNotReady);
}

TEST_F(LibcdioDeviceTest, AnotherImageUnderTheSameNameIsAnotherDisc) {
  const QString cue = cdtest::WriteCueImage(Base("disc"), kAlbum);
  TLibcdioDevice device(cue);
  device.Open();
  device.Play();
  const unsigned before = device.ContentsGeneration();
  ASSERT_TRUE(!cdtest::WriteCueImage(Base("disc"), {Audio(30 * 75), Audio(20 * 75)}).isEmpty());
  // A new disc is read on the device's next look and starts stopped at its beginning.
  EXPECT_EQ(device.Mode(), cmStopped);
  EXPECT_NE(device.ContentsGeneration(), before);
  EXPECT_EQ(device.TrackCount(), 2);
  EXPECT_EQ(ReadSeconds(device), std::vector<int>({30, 20}));

  QFile::remove(cue);
  EXPECT_EQ(device.Mode(), cmNotReady);
  EXPECT_THROW(device.TrackCount(), ECdError);
}

TEST_F(LibcdioDeviceTest, EjectOpensTheDoorAndPlayLoadsTheImageAgain) {
  TLibcdioDevice device(cdtest::WriteCueImage(Base("disc"), kAlbum));
  device.Open();
  device.Eject();
  EXPECT_EQ(device.Mode(), cmOpen);
  EXPECT_THROW(device.TrackCount(), ECdError);
  device.Play();
  EXPECT_EQ(device.Mode(), cmPlaying);
  EXPECT_EQ(device.TrackCount(), 3);
}

// cd-info (libcdio-utils) lists each track's start sector and the lead-out.
std::vector<int> CdInfoSeconds(const QString& program, const QString& image) {
  QProcess p;
  p.start(program, {QStringLiteral("--no-header"), QStringLiteral("--no-device-info"),
                    QStringLiteral("--no-cddb"), QStringLiteral("--no-analyze"),
                    QStringLiteral("--no-disc-mode"), image});
  if (!p.waitForFinished(30000)) return {};
  const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
  static const QRegularExpression row(QStringLiteral(R"(^\s*(\d+): \d\d:\d\d:\d\d\s+(\d+)\s)"),
                                      QRegularExpression::MultilineOption);
  std::vector<long> starts;
  for (auto it = row.globalMatch(out); it.hasNext();)
    starts.push_back(it.next().captured(2).toLong());
  std::vector<int> seconds;
  for (size_t i = 1; i < starts.size(); ++i)
    seconds.push_back(static_cast<int>((starts[i] - starts[i - 1]) / 75));
  return seconds;
}

TEST_F(LibcdioDeviceTest, CdInfoReadsTheSameTimes) {
  const QString cdInfo = QStandardPaths::findExecutable(QStringLiteral("cd-info"));
  if (cdInfo.isEmpty()) GTEST_SKIP() << "cd-info (libcdio-utils) is not installed";
  const std::vector<TTestTrack> mixed = {Data(40 * 75 + 10), Audio(120 * 75), Audio(59 * 75 + 74)};
  for (const QString& image : {cdtest::WriteCueImage(Base("album"), kAlbum),
                               cdtest::WriteTocImage(Base("album_toc"), kAlbum),
                               cdtest::WriteCueImage(Base("mixed"), mixed)}) {
    SCOPED_TRACE(image.toStdString());
    TLibcdioDevice device(image);
    device.Open();
    EXPECT_EQ(ReadSeconds(device), CdInfoSeconds(cdInfo, image));
  }
}

}  // namespace
