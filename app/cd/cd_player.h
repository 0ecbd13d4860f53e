#pragma once

#include <QElapsedTimer>
#include <QWidget>

#include <functional>
#include <memory>

#include "cd/cd_audio_device.h"

class QLabel;
class QTimer;
class QToolButton;
class TPlacement;

// "Reelsmith CD Player": plays audio CDs and shows the disc's track count and total time, or the
// track and time playing, in a lime-on-black display. It is also the program's one gateway to
// the CD audio device: the catalogue window asks it whether a disc is ready and reads the track
// times through it. Created hidden at start-up; lives until the program ends.
class TCDPlayer : public QWidget {
  Q_OBJECT

 public:
  // The settings file of the window's placement.
  static constexpr char kIniFileName[] = "ReelSmt.ini";

  // `device` null: there is no CD audio device, and the poll never runs.
  explicit TCDPlayer(std::unique_ptr<TCdAudioDevice> device, QWidget* parent = nullptr);
  // Saves the placement and closes the device.
  ~TCDPlayer() override;

  bool HasDevice() const { return device_ != nullptr; }
  TCdAudioDevice* Device() const { return device_.get(); }

  // The device is open and the last poll saw a disc (neither not ready nor the door open).
  bool IsReady() const;
  // The number of tracks when IsReady, else 0. Raises ECdError on a device error.
  int TrackCount();
  // Track `track`'s (from 1) whole seconds when IsReady, else 0. Raises ECdError.
  int TrackSeconds(int track);
  // The next poll redraws even when the mode did not change.
  void Refresh() { refresh_ = true; }

  // The poll (every 1000 ms while the timer runs, and once on showing).
  void CDTimerTimer();
  // Opens the device unless the last failed attempt asks to wait longer.
  void TryOpen();

  // The media bar's buttons, the small seek buttons and POWER.
  void PlayClick();
  void PauseClick();
  void StopClick();
  void NextClick();
  void PrevClick();
  void EjectClick();
  void FastForwardClick();
  void ReverseClick();
  void PowerButtonClick() { close(); }

  // Called after a poll in which IsReady changed.
  std::function<void()> OnReadyChanged;

  QLabel* CDLabel() const { return cdLabel_; }
  QLabel* TrackLabel() const { return trackLabel_; }
  QLabel* TimeLabel() const { return timeLabel_; }
  QToolButton* FastForward() const { return fastForward_; }
  QToolButton* Reverse() const { return reverse_; }
  QToolButton* PowerButton() const { return powerButton_; }
  // Play, Pause, Stop, Next, Prev, Eject by name ("Play", ...).
  QToolButton* MediaButton(const char* name) const;
  QTimer* CDTimer() const { return cdTimer_; }
  TPlacement* PlayerPlacement() const { return placement_; }
  TCdMode LastMode() const { return lastMode_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void FitDisplayFont();
  void Show(const QString& display, const QString& track, const QString& time);
  void ShowPosition();
  void ShowTotals();
  // Runs a device command, reports its failure in an error box, then polls.
  void Command(const std::function<void()>& action);
  std::vector<int> AllTrackSeconds();

  std::unique_ptr<TCdAudioDevice> device_;
  QLabel* cdLabel_ = nullptr;
  QLabel* trackLabel_ = nullptr;
  QLabel* timeLabel_ = nullptr;
  QToolButton* fastForward_ = nullptr;
  QToolButton* reverse_ = nullptr;
  QToolButton* powerButton_ = nullptr;
  QWidget* mediaPlayer_ = nullptr;
  QTimer* cdTimer_ = nullptr;
  TPlacement* placement_ = nullptr;

  bool opened_ = false;
  TCdMode lastMode_ = cmNotReady;
  bool pausedByUser_ = false;
  bool refresh_ = true;
  unsigned lastGeneration_ = 0;
  // Monotonic milliseconds since creation; the next open attempt waits for nextOpenTick_.
  QElapsedTimer clock_;
  qint64 nextOpenTick_ = 0;
};
