#include "cd/clocked_cd_device.h"

#include <algorithm>
#include <chrono>
#include <utility>

long long TClockedCdDevice::SteadyClockMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

TClockedCdDevice::TClockedCdDevice(TClock clock) : clock_(std::move(clock)) {}

void TClockedCdDevice::SetTableOfContents(std::vector<long> starts) {
  if (starts.size() < 2) starts.clear();
  if (starts == starts_) return;
  starts_ = std::move(starts);
  ++generation_;
  play_ = TPlay::Stopped;
  frame_ = starts_.empty() ? 0 : starts_.front();
}

void TClockedCdDevice::RequireDisc() {
  if (!IsOpen()) throw ECdError(QStringLiteral("The CD audio device is not open."));
  if (MediaState() != TMedia::Ready || !HasTableOfContents())
    throw ECdError(QStringLiteral("There is no readable disc in the drive."));
}

void TClockedCdDevice::Advance() {
  const long long now = clock_();
  if (play_ == TPlay::Playing && !starts_.empty()) {
    const long long elapsed = now - clockMark_;
    frame_ += static_cast<long>(elapsed * kFramesPerSecond / 1000);
    // Keep the part of a frame not yet counted for the next call.
    const long long used = elapsed * kFramesPerSecond / 1000 * 1000 / kFramesPerSecond;
    clockMark_ += used;
    if (frame_ >= starts_.back()) {
      frame_ = starts_.back();
      play_ = TPlay::Stopped;
    }
    return;
  }
  clockMark_ = now;
}

TCdMode TClockedCdDevice::Mode() {
  if (!IsOpen()) return cmNotReady;
  switch (MediaState()) {
    case TMedia::DoorOpen:
      return cmOpen;
    case TMedia::NoDisc:
      return cmNotReady;
    case TMedia::Ready:
      break;
  }
  if (!HasTableOfContents()) return cmNotReady;
  Advance();
  switch (play_) {
    case TPlay::Playing:
      return cmPlaying;
    case TPlay::Paused:
      return cmPaused;
    case TPlay::Stopped:
      break;
  }
  return cmStopped;
}

int TClockedCdDevice::TrackCount() {
  RequireDisc();
  return static_cast<int>(starts_.size()) - 1;
}

long TClockedCdDevice::TrackFrames(int track) {
  RequireDisc();
  if (track < 1 || track >= static_cast<int>(starts_.size()))
    throw ECdError(QStringLiteral("The disc has no track %1.").arg(track));
  return starts_[static_cast<size_t>(track)] - starts_[static_cast<size_t>(track) - 1];
}

long TClockedCdDevice::TotalFrames() {
  RequireDisc();
  return starts_.back() - starts_.front();
}

long TClockedCdDevice::PositionFrame() {
  RequireDisc();
  Advance();
  return frame_ - starts_.front();
}

TCdPosition TClockedCdDevice::Position() {
  const long frame = PositionFrame() + starts_.front();
  // The last track whose start is not after the frame; the lead-out counts as the last track.
  const auto after = std::upper_bound(starts_.begin(), starts_.end() - 1, frame);
  const long track = std::max<long>(1, after - starts_.begin());
  const long into = frame - starts_[static_cast<size_t>(track) - 1];
  TCdPosition p;
  p.track = static_cast<int>(track);
  p.minutes = static_cast<int>(into / kFramesPerSecond / 60);
  p.seconds = static_cast<int>(into / kFramesPerSecond % 60);
  p.frames = static_cast<int>(into % kFramesPerSecond);
  return p;
}

long TClockedCdDevice::FrameOf(const TCdPosition& position) const {
  const int tracks = static_cast<int>(starts_.size()) - 1;
  if (position.track > tracks) return starts_.back();
  const int track = std::max(1, position.track);
  const long into =
      (static_cast<long>(position.minutes) * 60 + position.seconds) * kFramesPerSecond +
      position.frames;
  return std::clamp(starts_[static_cast<size_t>(track) - 1] + std::max(0L, into), starts_.front(),
                    starts_.back());
}

void TClockedCdDevice::Play() {
  RequireDisc();
  Advance();
  if (play_ == TPlay::Paused) {
    Resume();
    return;
  }
  if (frame_ >= starts_.back()) return;  // nothing left to play
  play_ = TPlay::Playing;
  clockMark_ = clock_();
  OnPlay(frame_, starts_.back());
}

void TClockedCdDevice::Pause() {
  RequireDisc();
  Advance();
  if (play_ != TPlay::Playing) return;
  play_ = TPlay::Paused;
  OnPause();
}

void TClockedCdDevice::Resume() {
  RequireDisc();
  Advance();
  if (play_ != TPlay::Paused) return;
  play_ = TPlay::Playing;
  clockMark_ = clock_();
  OnResume();
}

void TClockedCdDevice::Stop() {
  RequireDisc();
  Advance();
  if (play_ != TPlay::Stopped) OnStop();
  play_ = TPlay::Stopped;
}

void TClockedCdDevice::Seek(const TCdPosition& position) {
  Stop();
  frame_ = FrameOf(position);
}
