#pragma once

#include <functional>
#include <vector>

#include "cd/cd_audio_device.h"

// The play state of a CD audio device kept by a clock: while playing, the position advances
// with the time passed. Libcdio cannot play most drives and no disc image on Linux, so both the
// libcdio device and the simulated disc keep their position this way; a drive that can play
// also hears the commands (the On... hooks).
class TClockedCdDevice : public TCdAudioDevice {
 public:
  // Milliseconds from a fixed point; never goes back.
  using TClock = std::function<long long()>;
  // A monotonic clock (std::chrono::steady_clock).
  static long long SteadyClockMs();

  explicit TClockedCdDevice(TClock clock = SteadyClockMs);

  TCdMode Mode() override;
  int TrackCount() override;
  long TrackFrames(int track) override;
  long TotalFrames() override;
  TCdPosition Position() override;
  unsigned ContentsGeneration() const override { return generation_; }
  void Play() override;
  void Pause() override;
  void Resume() override;
  void Stop() override;
  void Seek(const TCdPosition& position) override;

  // The frame the position is at, counted from the first track's start.
  long PositionFrame();

 protected:
  enum class TMedia { Ready, NoDisc, DoorOpen };
  // The state of the medium, after whatever the device must do to learn it (a changed disc is
  // read afresh here).
  virtual TMedia MediaState() = 0;
  // Commands for a drive that plays by itself, from and to absolute frames; none by default.
  virtual void OnPlay(long /*from*/, long /*to*/) {}
  virtual void OnPause() {}
  virtual void OnResume() {}
  virtual void OnStop() {}

  // The disc's table of contents: each track's first frame, then the lead-out. The same
  // contents keep the play state; other contents (or none) stop at the disc's start.
  void SetTableOfContents(std::vector<long> starts);
  void ClearTableOfContents() { SetTableOfContents({}); }
  bool HasTableOfContents() const { return starts_.size() >= 2; }

 private:
  enum class TPlay { Stopped, Playing, Paused };
  void RequireDisc();
  long FrameOf(const TCdPosition& position) const;
  // Brings the clock's frame up to now; playing past the lead-out stops there.
  void Advance();

  TClock clock_;
  std::vector<long> starts_;
  TPlay play_ = TPlay::Stopped;
  long frame_ = 0;  // absolute frame at clockMark_
  long long clockMark_ = 0;
  unsigned generation_ = 0;
};
