#include "app_test_environment.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QToolButton>

#include "catalogue/catalogue_window.h"
#include "catalogue/field_controls.h"
#include "catalogue/read_times_command.h"
#include "catalogue/songs_grid.h"
#include "cd/cd_player.h"
#include "cd/disc_images.h"
#include "cd/libcdio_device.h"
#include "cd/simulated_disc.h"
#include "platform/profile.h"
#include "shell/message_dialog.h"

namespace {

constexpr long kSecond = 75;

// Twelve tracks; the first is 245.999 seconds long.
std::vector<long> TwelveTracks() {
  std::vector<long> frames = {245 * kSecond + 74};
  for (int i = 2; i <= 12; ++i) frames.push_back((120 + i) * kSecond + 10);
  return frames;
}

class ReadTimesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QFile::remove(TProfile::ResolveFileName(QString::fromLatin1(kSettingsFileName)));
    TLibrarySearch search;
    search.Folders << QFileInfo(QStringLiteral(RS_LIB_PATH)).absolutePath();
    search.SystemSearch = false;
    form_ = std::make_unique<TReelsmithForm>(QStringList(), search);
    form_->IdleStep();
  }
  void TearDown() override {
    form_.reset();
    player_.reset();
  }
  // Gives the window a player over `device` and lets it poll once.
  void UsePlayer(std::unique_ptr<TCdAudioDevice> device) {
    player_ = std::make_unique<TCDPlayer>(std::move(device));
    form_->SetCDPlayer(player_.get());
    player_->CDTimerTimer();
  }
  TSimulatedCdDevice* UseDisc(const std::vector<long>& frames, const TCdText& text = {}) {
    auto device = std::make_unique<TSimulatedCdDevice>();
    TSimulatedCdDevice* disc = device.get();
    disc->InsertDisc(frames, text);
    UsePlayer(std::move(device));
    return disc;
  }
  bool Enabled(const char* action) const { return form_->Action(action)->isEnabled(); }
  void Command(const char* name) { form_->Action(name)->trigger(); }
  TSongsGrid* Grid() const { return form_->SongsGrid(); }
  QString Time(int n) const { return Grid()->Cells(3, n); }

  std::unique_ptr<TCDPlayer> player_;
  std::unique_ptr<TReelsmithForm> form_;
  TMessageRecorder messages_;
};

TEST_F(ReadTimesTest, CommandsFollowTheDeviceTheDiscAndEditing) {
  EXPECT_FALSE(Enabled("CDPlayerMenu"));
  UsePlayer(nullptr);
  EXPECT_FALSE(Enabled("CDPlayerMenu"));
  EXPECT_FALSE(form_->Button("CDPlayerButton")->isEnabled());
  EXPECT_EQ(form_->Action("CDPlayerMenu")->statusTip(),
            "There is no CD Audio device installed on your system.");
  form_->DisplayCDPlayer();
  EXPECT_FALSE(player_->isVisible());

  TSimulatedCdDevice* disc = UseDisc(TwelveTracks());
  EXPECT_TRUE(Enabled("CDPlayerMenu"));
  EXPECT_EQ(form_->Action("CDPlayerMenu")->statusTip(), "Display the Audio CD player.");
  EXPECT_FALSE(Enabled("ReadTimesfromCD"));  // not editing
  Command("NewAlbumMenu");
  EXPECT_TRUE(Enabled("ReadTimesfromCD"));
  EXPECT_TRUE(form_->Button("ReadCDButton")->isEnabled());
  // The player's poll tells the window when the disc goes.
  disc->Eject();
  player_->CDTimerTimer();
  EXPECT_FALSE(Enabled("ReadTimesfromCD"));
  EXPECT_FALSE(form_->Button("ReadCDButton")->isEnabled());

  Command("CDPlayerMenu");
  EXPECT_TRUE(player_->isVisible());
}

TEST_F(ReadTimesTest, TimesGoToTheRowsAndUntitledRowsGetTheTrackNumber) {
  UseDisc(TwelveTracks());
  Command("NewAlbumMenu");
  Grid()->SetSongTitle(1, QStringLiteral("Intro"));
  Grid()->SetSongArtist(1, QStringLiteral("Guest"));
  Command("ReadTimesfromCD");
  EXPECT_TRUE(messages_.Asked().empty());
  EXPECT_EQ(Grid()->SongTitle(1), "Intro");
  EXPECT_EQ(Grid()->SongArtist(1), "Guest");
  EXPECT_EQ(Grid()->SongTime(1), 245);  // 245.999 s is cut, not rounded
  EXPECT_EQ(Time(1), "4:05");
  EXPECT_EQ(Grid()->SongTitle(2), "2");
  EXPECT_EQ(Grid()->SongTime(2), 122);
  EXPECT_EQ(Grid()->SongTitle(12), "12");
  EXPECT_EQ(Grid()->SongTime(12), 132);
  EXPECT_EQ(Grid()->SongTitle(13), "");
  EXPECT_EQ(Time(13), "");
  EXPECT_EQ(Grid()->RowCount() - Grid()->FixedRows(), TSongsGrid::kEditRows);  // never adds rows
  // Nothing happens while no album is being edited.
  Command("CancelEditingMenu");
  form_->ReadCD();
  EXPECT_TRUE(messages_.Asked().empty());
}

TEST_F(ReadTimesTest, SongsAfterTheLastTrackAreClearedOnlyWhenTheUserAgrees) {
  UseDisc(TwelveTracks());
  Command("NewAlbumMenu");
  for (int n = 13; n <= 15; ++n) Grid()->SetSongTitle(n, QStringLiteral("Bonus %1").arg(n));
  Grid()->SetSongTime(15, 200);
  messages_.Answer(mrNo);
  Command("ReadTimesfromCD");
  ASSERT_EQ(messages_.Asked().size(), 1u);
  EXPECT_EQ(messages_.Asked()[0].text,
            "The CD has 12 tracks, but the album has songs in rows 13 to 15. Do you want to "
            "clear those rows?");
  EXPECT_EQ(messages_.Asked()[0].buttons, mbYesNo);
  EXPECT_EQ(Grid()->SongTitle(15), "Bonus 15");
  EXPECT_EQ(Grid()->SongTime(15), 200);
  EXPECT_EQ(Grid()->SongTime(12), 132);  // the times are written all the same

  messages_.Answer(mrYes);
  Command("ReadTimesfromCD");
  EXPECT_EQ(messages_.Asked().size(), 2u);
  for (int n = 13; n <= 15; ++n) {
    EXPECT_EQ(Grid()->SongTitle(n), "");
    EXPECT_EQ(Grid()->SongTime(n), 0);
  }
}

TEST_F(ReadTimesTest, TheClearingQuestionCountsOneTrackAndOneRowInTheSingular) {
  UseDisc({200 * kSecond});
  Command("NewAlbumMenu");
  for (int n = 2; n <= 4; ++n) Grid()->SetSongTitle(n, QStringLiteral("Song %1").arg(n));
  Command("ReadTimesfromCD");
  ASSERT_EQ(messages_.Asked().size(), 1u);
  EXPECT_EQ(messages_.Asked()[0].text,
            "The CD has 1 track, but the album has songs in rows 2 to 4. Do you want to clear "
            "those rows?");
  Command("CancelEditingMenu");

  UseDisc(TwelveTracks());
  Command("NewAlbumMenu");
  Grid()->SetSongTitle(13, QStringLiteral("Bonus"));
  Command("ReadTimesfromCD");
  ASSERT_EQ(messages_.Asked().size(), 2u);
  EXPECT_EQ(messages_.Asked()[1].text,
            "The CD has 12 tracks, but the album has songs in row 13. Do you want to clear that "
            "row?");
}

TEST_F(ReadTimesTest, DeviceErrorsAndRefusedRowsWarnInsteadOfWritingZero) {
  const QString warning = QString::fromLatin1(kUnableToReadCd);
  EXPECT_EQ(warning,
            "Unable to read CD. Please check that there is a CD in the drive and that no other "
            "application is using it.");
  TSimulatedCdDevice* disc = UseDisc(TwelveTracks());
  Command("NewAlbumMenu");
  disc->SetFailingTrack(5);
  Command("ReadTimesfromCD");
  ASSERT_EQ(messages_.Asked().size(), 1u);
  EXPECT_EQ(messages_.Asked()[0].text, warning);
  EXPECT_EQ(messages_.Asked()[0].type, mtWarning);
  EXPECT_EQ(Time(5), "");
  EXPECT_EQ(Time(1), "");  // nothing half-read is written

  // More tracks than the grid has rows: the rows there are written, then the warning.
  disc->SetFailingTrack(0);
  disc->InsertDisc(std::vector<long>(TSongsGrid::kEditRows + 1, 60 * kSecond));
  Command("ReadTimesfromCD");
  ASSERT_EQ(messages_.Asked().size(), 2u);
  EXPECT_EQ(messages_.Asked()[1].text, warning);
  EXPECT_EQ(Grid()->SongTime(TSongsGrid::kEditRows), 60);

  // The device cannot be opened afresh (another program took it): warned, and the player
  // sees the device closed at its next poll.
  disc->InsertDisc(TwelveTracks());
  player_->CDTimerTimer();
  disc->SetOpenFails(true);
  Command("ReadTimesfromCD");
  ASSERT_EQ(messages_.Asked().size(), 3u);
  EXPECT_EQ(messages_.Asked()[2].text, warning);
  player_->CDTimerTimer();
  EXPECT_EQ(player_->CDLabel()->text(), "In Use");
  EXPECT_FALSE(Enabled("ReadTimesfromCD"));
}

TEST_F(ReadTimesTest, DiscTitlesFillOnlyWhatIsEmpty) {
  TCdText text;
  text.title = QStringLiteral("Night Songs");
  text.performer = QStringLiteral("The Owls");
  text.trackTitles = QStringList{QStringLiteral("Overture"), QString(), QStringLiteral("Dusk")};
  UseDisc({100 * kSecond, 90 * kSecond, 80 * kSecond, 70 * kSecond}, text);
  Command("NewAlbumMenu");
  form_->FieldCtrl(1)->SetText(QStringLiteral("Owls, The"));
  Grid()->SetSongTitle(3, QStringLiteral("My Dusk"));
  Command("ReadTimesfromCD");
  EXPECT_EQ(form_->FieldCtrl(0)->Text(), "Night Songs");
  EXPECT_EQ(form_->FieldCtrl(1)->Text(), "Owls, The");
  EXPECT_EQ(Grid()->SongTitle(1), "Overture");
  EXPECT_EQ(Grid()->SongTitle(2), "2");
  EXPECT_EQ(Grid()->SongTitle(3), "My Dusk");
  EXPECT_EQ(Grid()->SongTitle(4), "4");
}

TEST_F(ReadTimesTest, ReadsTheImageNowInTheDriveEvenWhenItLooksUnchanged) {
  QTemporaryDir dir;
  using cdtest::Audio;
  const QString base = dir.filePath(QStringLiteral("disc"));
  const QString cue = cdtest::WriteCueImage(
      base, {Audio(200 * kSecond, QStringLiteral("Aaaa")), Audio(100 * kSecond)},
      QStringLiteral("First"));
  UsePlayer(std::make_unique<TLibcdioDevice>(cue));
  ASSERT_TRUE(player_->IsReady());
  const QDateTime stamp = QFileInfo(cue).lastModified();
  // Another disc whose sheet has the same size and time: only reading afresh sees it.
  ASSERT_FALSE(cdtest::WriteCueImage(
                   base, {Audio(150 * kSecond, QStringLiteral("Bbbb")), Audio(150 * kSecond)},
                   QStringLiteral("Other"))
                   .isEmpty());
  QFile file(cue);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  ASSERT_TRUE(file.setFileTime(stamp, QFileDevice::FileModificationTime));
  file.close();
  Command("NewAlbumMenu");
  Command("ReadTimesfromCD");
  EXPECT_TRUE(messages_.Asked().empty());
  EXPECT_EQ(Grid()->SongTime(1), 150);
  EXPECT_EQ(Grid()->SongTitle(1), "Bbbb");
  EXPECT_EQ(form_->FieldCtrl(0)->Text(), "Other");
}

}  // namespace
