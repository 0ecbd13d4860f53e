#include "app_test_environment.h"

#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "cd/cd_player.h"
#include "cd/seek_steps.h"
#include "cd/simulated_disc.h"
#include "platform/profile.h"
#include "shell/message_dialog.h"

#include <iomanip>

// Positions read as the display shows them in failure messages.
inline void PrintTo(const TCdPosition& p, std::ostream* os) {
  *os << "track " << p.track << " at " << p.minutes << ':' << std::setw(2) << std::setfill('0')
      << p.seconds << " and " << p.frames << " frames";
}

namespace {

constexpr long kSecond = 75;

// Tracks of 200, 180 and 245.99 seconds: 10:25 in all.
const std::vector<long> kDisc = {200 * kSecond, 180 * kSecond, 245 * kSecond + 74};

class CdPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto device = std::make_unique<TSimulatedCdDevice>();
    disc_ = device.get();
    disc_->InsertDisc(kDisc);
    player_ = std::make_unique<TCDPlayer>(std::move(device));
    player_->OnReadyChanged = [this] { ++readyChanges_; };
  }
  void Tick() { player_->CDTimerTimer(); }
  QString Display() const { return player_->CDLabel()->text(); }
  QString Small() const {
    return player_->TrackLabel()->text() + QLatin1Char('|') + player_->TimeLabel()->text();
  }
  // Plays from `track` at `seconds` into it.
  void PlayAt(int track, int seconds) {
    player_->PlayClick();
    disc_->Seek(TCdPosition{track, seconds / 60, seconds % 60, 0});
    disc_->Play();
    Tick();
  }

  TSimulatedCdDevice* disc_ = nullptr;
  std::unique_ptr<TCDPlayer> player_;
  int readyChanges_ = 0;
  TMessageRecorder messages_;
};

TEST_F(CdPlayerTest, StoppedDiscShowsTrackCountAndTotalTime) {
  EXPECT_TRUE(player_->CDTimer()->isActive());  // polls from creation, hidden
  EXPECT_EQ(Small(), "TRACK|PLAYING TIME");
  Tick();
  EXPECT_TRUE(player_->IsReady());
  EXPECT_EQ(readyChanges_, 1);
  EXPECT_EQ(Display(), " 3   10:25");
  EXPECT_EQ(Small(), "TRACKS|TOTAL TIME");
  EXPECT_EQ(player_->TrackCount(), 3);
  EXPECT_EQ(player_->TrackSeconds(3), 245);
  EXPECT_FALSE(player_->FastForward()->isEnabled());
  EXPECT_FALSE(player_->Reverse()->isEnabled());
}

TEST_F(CdPlayerTest, PlayPauseStopAndTheButtonsPoll) {
  Tick();
  player_->PlayClick();
  EXPECT_EQ(player_->LastMode(), cmPlaying);
  EXPECT_EQ(Display(), " 1    0:00");
  EXPECT_EQ(Small(), "TRACK|PLAYING TIME");
  EXPECT_TRUE(player_->FastForward()->isEnabled());
  disc_->AdvanceMs(65500);
  Tick();
  EXPECT_EQ(Display(), " 1    1:05");
  disc_->AdvanceMs(200 * 1000);  // into track 2
  Tick();
  EXPECT_EQ(Display(), " 2    1:05");

  player_->PauseClick();
  EXPECT_EQ(player_->LastMode(), cmPaused);
  EXPECT_FALSE(player_->FastForward()->isEnabled());
  disc_->AdvanceMs(30000);
  Tick();
  EXPECT_EQ(Display(), " 2    1:05");
  player_->PauseClick();  // pause again plays on
  EXPECT_EQ(player_->LastMode(), cmPlaying);

  player_->StopClick();
  EXPECT_EQ(player_->LastMode(), cmStopped);
  EXPECT_EQ(Display(), " 3   10:25");
  EXPECT_EQ(disc_->Position(), TCdPosition{});  // the totals rewind to the start
}

TEST_F(CdPlayerTest, PauseThenStoppedKeepsThePlaceAndTheDisplay) {
  Tick();
  PlayAt(2, 40);
  player_->PauseClick();
  // Some drives report a paused disc as stopped.
  disc_->Stop();
  Tick();
  EXPECT_EQ(player_->LastMode(), cmStopped);
  EXPECT_EQ(Display(), " 2    0:40");
  EXPECT_EQ(disc_->Position().track, 2);
}

TEST_F(CdPlayerTest, NextAndPrevMoveByTracks) {
  Tick();
  PlayAt(1, 30);
  player_->NextClick();
  EXPECT_EQ(Display(), " 2    0:00");
  EXPECT_EQ(player_->LastMode(), cmPlaying);
  player_->NextClick();
  player_->NextClick();  // no track after the last: stays
  EXPECT_EQ(Display(), " 3    0:00");
  player_->PrevClick();  // at a track's start: the one before
  EXPECT_EQ(Display(), " 2    0:00");
  disc_->AdvanceMs(50000);
  player_->PrevClick();  // later in a track: its start
  EXPECT_EQ(Display(), " 2    0:00");
}

TEST_F(CdPlayerTest, FastForwardStepsTenSecondsAndOverTheTrackEnd) {
  Tick();
  PlayAt(1, 100);
  player_->FastForwardClick();
  EXPECT_EQ(Display(), " 1    1:50");
  PlayAt(1, 195);  // five seconds before the end
  player_->FastForwardClick();
  EXPECT_EQ(Display(), " 2    0:00");
  EXPECT_EQ(player_->LastMode(), cmPlaying);
}

TEST_F(CdPlayerTest, FastForwardOntoTheLastTracksEndStaysOnItAndPlays) {
  Tick();
  PlayAt(3, 235);  // track 3 lasts 245 whole seconds
  player_->FastForwardClick();
  EXPECT_EQ(Display(), " 3    4:05");
  EXPECT_EQ(player_->LastMode(), cmPlaying);
  EXPECT_EQ(disc_->Mode(), cmPlaying);
}

// The steps on their own, where a track's end and the next track's start are told apart.
TEST(SeekSteps, FastForwardLeavesATrackOnlyBeyondItsEnd) {
  const std::vector<int> lengths = {200, 180, 245};
  const TSeekTarget onEnd = FastForwardTarget(TCdPosition{1, 3, 10, 12}, lengths);
  EXPECT_EQ(onEnd.position, (TCdPosition{1, 3, 20, 12}));
  EXPECT_TRUE(onEnd.play);
  const TSeekTarget beyond = FastForwardTarget(TCdPosition{1, 3, 11, 12}, lengths);
  EXPECT_EQ(beyond.position, (TCdPosition{2, 0, 0, 12}));
  EXPECT_TRUE(beyond.play);
  const TSeekTarget lastEnd = FastForwardTarget(TCdPosition{3, 3, 55, 0}, lengths);
  EXPECT_EQ(lastEnd.position, (TCdPosition{3, 4, 5, 0}));
  EXPECT_TRUE(lastEnd.play);
  EXPECT_FALSE(FastForwardTarget(TCdPosition{3, 3, 56, 0}, lengths).play);
}

TEST(SeekSteps, ReverseAtTenSecondsGoesToTheTracksStart) {
  const std::vector<int> lengths = {200, 180, 245};
  EXPECT_EQ(ReverseTarget(TCdPosition{2, 0, 10, 40}, lengths).position, (TCdPosition{2, 0, 0, 40}));
  // Below ten seconds the step counts back into the track before.
  EXPECT_EQ(ReverseTarget(TCdPosition{2, 0, 9, 40}, lengths).position, (TCdPosition{1, 3, 19, 40}));
  EXPECT_EQ(ReverseTarget(TCdPosition{3, 0, 0, 0}, lengths).position, (TCdPosition{2, 2, 50, 0}));
  EXPECT_EQ(ReverseTarget(TCdPosition{1, 0, 10, 5}, lengths).position, (TCdPosition{1, 0, 0, 5}));
  EXPECT_EQ(ReverseTarget(TCdPosition{1, 0, 9, 5}, lengths).position, (TCdPosition{1, 0, 0, 0}));
}

TEST_F(CdPlayerTest, FastForwardOnTheLastTrackStopsAtTheEndOfTheDisc) {
  Tick();
  PlayAt(3, 240);
  player_->FastForwardClick();
  EXPECT_EQ(player_->LastMode(), cmStopped);
  EXPECT_EQ(Display(), " 3   10:25");
  // Nothing plays on afterwards.
  disc_->AdvanceMs(5000);
  Tick();
  EXPECT_EQ(disc_->Mode(), cmStopped);
}

TEST_F(CdPlayerTest, ReverseCountsBackAcrossTrackStartsButNotBeforeTheDisc) {
  Tick();
  PlayAt(1, 6);
  player_->ReverseClick();
  EXPECT_EQ(Display(), " 1    0:00");
  EXPECT_EQ(player_->LastMode(), cmPlaying);
  PlayAt(3, 4);
  player_->ReverseClick();  // 180 - 10 + 4 seconds into track 2
  EXPECT_EQ(Display(), " 2    2:54");
  PlayAt(2, 70);
  player_->ReverseClick();
  EXPECT_EQ(Display(), " 2    1:00");
  // Only while playing.
  player_->StopClick();
  player_->ReverseClick();
  EXPECT_EQ(disc_->Position(), TCdPosition{});
}

TEST_F(CdPlayerTest, PlayingToTheEndStopsAndShowsTheTotals) {
  Tick();
  PlayAt(3, 240);
  disc_->AdvanceMs(10000);
  Tick();
  EXPECT_EQ(player_->LastMode(), cmStopped);
  EXPECT_EQ(Display(), " 3   10:25");
}

TEST_F(CdPlayerTest, EjectOpensTheDoorAndAnotherDiscIsNoticed) {
  Tick();
  player_->EjectClick();
  EXPECT_EQ(Display(), "Open");
  EXPECT_EQ(Small(), "|");
  EXPECT_FALSE(player_->IsReady());
  EXPECT_EQ(readyChanges_, 2);
  EXPECT_EQ(player_->TrackCount(), 0);
  disc_->InsertDisc({60 * kSecond, 61 * kSecond});
  Tick();
  EXPECT_EQ(Display(), " 2    2:01");
  EXPECT_TRUE(player_->IsReady());
  // Swapped while stopped: the mode stays the same but the display follows the new disc.
  disc_->InsertDisc({30 * kSecond});
  Tick();
  EXPECT_EQ(Display(), " 1    0:30");
  disc_->RemoveDisc();
  Tick();
  EXPECT_EQ(Display(), "Not Ready");
  EXPECT_FALSE(player_->IsReady());
}

TEST_F(CdPlayerTest, BusyDeviceShowsInUseUntilItOpens) {
  auto device = std::make_unique<TSimulatedCdDevice>();
  TSimulatedCdDevice* disc = device.get();
  disc->InsertDisc(kDisc);
  disc->SetOpenFails(true);
  TCDPlayer player(std::move(device));
  player.CDTimerTimer();
  EXPECT_EQ(player.CDLabel()->text(), "In Use");
  EXPECT_EQ(player.TrackLabel()->text(), "");
  EXPECT_FALSE(player.IsReady());
  disc->SetOpenFails(false);
  // The next attempt waits in proportion to the failed one's length.
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        player.CDTimerTimer();
        return player.IsReady();
      },
      5000));
  EXPECT_EQ(player.CDLabel()->text(), " 3   10:25");
}

TEST_F(CdPlayerTest, NoDeviceNeverPollsAndIsNeverReady) {
  TCDPlayer player(nullptr);
  EXPECT_FALSE(player.HasDevice());
  EXPECT_FALSE(player.CDTimer()->isActive());
  player.show();
  EXPECT_FALSE(player.CDTimer()->isActive());
  EXPECT_FALSE(player.IsReady());
  EXPECT_EQ(player.TrackCount(), 0);
  EXPECT_EQ(player.TrackSeconds(1), 0);
}

TEST_F(CdPlayerTest, ShowingFitsTheControlsAndClosingStopsThePoll) {
  player_->CDTimer()->stop();
  player_->show();
  EXPECT_TRUE(player_->CDTimer()->isActive());
  EXPECT_EQ(Display(), " 3   10:25");  // one poll at once
  EXPECT_EQ(player_->windowTitle(), "Reelsmith CD Player");
  const QRect bar = player_->MediaButton("Eject")->parentWidget()->geometry();
  EXPECT_GE(player_->width(), bar.right());
  EXPECT_EQ(player_->minimumSize(), player_->maximumSize());  // not resizable
  player_->PowerButton()->click();
  EXPECT_FALSE(player_->isVisible());
  EXPECT_FALSE(player_->CDTimer()->isActive());
}

TEST_F(CdPlayerTest, PlacementKeepsThePositionAndNeverShowsTheWindow) {
  player_->move(140, 130);
  player_->show();
  player_.reset();
  const TProfile settings(QString::fromLatin1(TCDPlayer::kIniFileName));
  const int left =
      settings.ReadInteger(QStringLiteral("CDPlayer"), QStringLiteral("PlaceNormPosL"), -1);
  const int top =
      settings.ReadInteger(QStringLiteral("CDPlayer"), QStringLiteral("PlaceNormPosT"), -1);
  EXPECT_GE(left, 140);
  EXPECT_GE(top, 130);
  TCDPlayer again(std::make_unique<TSimulatedCdDevice>());
  EXPECT_FALSE(again.isVisible());
  EXPECT_EQ(again.pos(), QPoint(left, top));
}

TEST(ClockedCdDevice, PositionFollowsTheClockOnlyWhilePlaying) {
  TSimulatedCdDevice disc;
  disc.InsertDisc(kDisc);
  EXPECT_EQ(disc.Mode(), cmNotReady);  // not open yet
  EXPECT_THROW(disc.TrackCount(), ECdError);
  disc.Open();
  disc.Play();
  disc.AdvanceMs(2500);
  EXPECT_EQ(disc.Position(), (TCdPosition{1, 0, 2, 37}));
  disc.AdvanceMs(10);  // parts of a frame add up
  disc.AdvanceMs(10);
  EXPECT_EQ(disc.Position().frames, 39);
  disc.Pause();
  disc.AdvanceMs(60000);
  EXPECT_EQ(disc.Position(), (TCdPosition{1, 0, 2, 39}));
  disc.Seek(TCdPosition{9, 0, 0, 0});  // after the last track: the end
  EXPECT_EQ(disc.PositionFrame(), disc.TotalFrames());
  disc.Play();
  EXPECT_EQ(disc.Mode(), cmStopped);
  disc.Seek(TCdPosition{2, 99, 0, 0});  // past the end of the disc: cut to it
  EXPECT_EQ(disc.PositionFrame(), disc.TotalFrames());
}

}  // namespace
