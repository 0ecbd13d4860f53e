#include "app_test_environment.h"

#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cdio/logging.h>

#include <cstdlib>

#include "cd/cd_audio_source.h"
#include "cd/cd_player.h"
#include "cd/libcdio_device.h"
#include "cd/libcdio_log.h"
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

// Sources on which libcdio logs an error, which by its own handler would end the program.
TEST_F(LibcdioDeviceTest, AFolderALonelyBinOrADamagedTocIsNoDiscAndNotTheEnd) {
  const QString folder = Base("folder.cue");
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString lonely = Base("lonely.bin");
  ASSERT_TRUE(cdtest::WriteSparseBin(lonely, 1000));
  // The data file's byte offset lies far past its end.
  const QString toc = Base("damaged.toc");
  ASSERT_TRUE(cdtest::WriteSparseBin(Base("damaged.bin"), 1000));
  ASSERT_TRUE(cdtest::WriteText(toc, QStringLiteral("CD_DA\nTRACK AUDIO\nDATAFILE \"%1\" "
                                                    "#99999999 00:00:00\n")
                                         .arg(Base("damaged.bin"))));
  struct Case {
    QString path;
    const char* logged;
  };
  for (const Case& c : {Case{folder, "Is a directory"}, Case{lonely, "not recognized as a CUE"},
                        Case{toc, "too small"}}) {
    SCOPED_TRACE(c.path.toStdString());
    TLibcdioDevice device(c.path);
    QString message;
    try {
      device.Open();
    } catch (const ECdError& e) {
      message = e.Message();
    }
    EXPECT_TRUE(device.LastError().contains(QLatin1String(c.logged)))
        << device.LastError().toStdString();
    // Either the open fails and says why, or the disc is not ready.
    if (!message.isEmpty())
      EXPECT_TRUE(message.contains(device.LastError())) << message.toStdString();
    else
      EXPECT_EQ(device.Mode(), cmNotReady);
    EXPECT_THROW(ReadDiscContents(device), ECdError);

    // The player shows such a source as it shows a missing one.
    TCDPlayer player(std::make_unique<TLibcdioDevice>(c.path));
    player.CDTimerTimer();
    EXPECT_FALSE(player.IsReady());
    EXPECT_TRUE(player.CDLabel()->text() == "In Use" || player.CDLabel()->text() == "Not Ready")
        << player.CDLabel()->text().toStdString();
  }
}

TEST_F(LibcdioDeviceTest, AnImageTurnedIntoAFolderWhileThePlayerPollsIsNotReady) {
  const QString cue = cdtest::WriteCueImage(Base("disc"), kAlbum);
  TCDPlayer player(std::make_unique<TLibcdioDevice>(cue));
  int changes = 0;
  player.OnReadyChanged = [&changes] { ++changes; };
  player.CDTimerTimer();
  ASSERT_TRUE(player.IsReady());
  EXPECT_EQ(player.TrackCount(), 3);

  // Without the data file beside it, libcdio logs an error reading the folder.
  ASSERT_TRUE(QFile::remove(cue));
  ASSERT_TRUE(QFile::remove(Base("disc.bin")));
  ASSERT_TRUE(QDir().mkpath(cue));
  for (int poll = 0; poll < 3; ++poll) {
    player.CDTimerTimer();
    EXPECT_FALSE(player.IsReady()) << poll;
    EXPECT_EQ(player.CDLabel()->text(), "Not Ready") << poll;
  }
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(player.TrackCount(), 0);
  const auto* device = dynamic_cast<const TLibcdioDevice*>(player.Device());
  ASSERT_NE(device, nullptr);
  EXPECT_TRUE(device->LastError().contains(QLatin1String("Is a directory")))
      << device->LastError().toStdString();

  // A disc under the name again is read on the next poll.
  ASSERT_TRUE(QDir().rmdir(cue));
  ASSERT_FALSE(cdtest::WriteCueImage(Base("disc"), {Audio(30 * 75), Audio(20 * 75)}).isEmpty());
  player.CDTimerTimer();
  EXPECT_TRUE(player.IsReady());
  EXPECT_EQ(player.TrackCount(), 2);
}

TEST(LibcdioLogTest, ErrorsAreKeptOnceAndWarningsAreNot) {
  InstallLibcdioLogHandler();
  TakeLibcdioError();
  cdio_log(CDIO_LOG_WARN, "a warning");
  EXPECT_EQ(TakeLibcdioError(), "");
  cdio_log(CDIO_LOG_ERROR, "first %d", 1);
  cdio_log(CDIO_LOG_ERROR, "second %d", 2);
  EXPECT_EQ(TakeLibcdioError(), "second 2");
  EXPECT_EQ(TakeLibcdioError(), "");
}

// A fresh process, so that nothing before the drive enumeration has installed the handler.
TEST(LibcdioLogDeathTest, DriveEnumerationInstallsTheHandlerFirst) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        qunsetenv("REELSMITH_CD");
        CdAudioSource();
        cdio_log(CDIO_LOG_ERROR, "logged after the enumeration");
        std::fprintf(stderr, "still running\n");
        std::fflush(stderr);
        // Without running the exit handlers, which the application object does not survive.
        std::_Exit(TakeLibcdioError() == "logged after the enumeration" ? 0 : 2);
      },
      testing::ExitedWithCode(0), "still running");
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
