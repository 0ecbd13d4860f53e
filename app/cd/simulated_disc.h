#pragma once

#include <vector>

#include "cd/clocked_cd_device.h"

// A CD audio device with no hardware, for tests and demonstrations: the disc, the door and the
// clock are set by the caller.
class TSimulatedCdDevice : public TClockedCdDevice {
 public:
  TSimulatedCdDevice();

  // Puts a disc with tracks of these frame counts in the drive (the door closes); read on the
  // device's next look at the medium, as a real drive would.
  void InsertDisc(const std::vector<long>& trackFrames, const TCdText& text = {});
  void RemoveDisc();
  // Moves the device's clock on.
  void AdvanceMs(long long ms) { now_ += ms; }
  // Makes Open fail (a busy or missing device).
  void SetOpenFails(bool fails) { openFails_ = fails; }
  // Makes reading a track's length fail from track `track` on (0: never).
  void SetFailingTrack(int track) { failingTrack_ = track; }
  int OpenCount() const { return openCount_; }

  void Open() override;
  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }
  long TrackFrames(int track) override;
  TCdText Text() override;
  void Eject() override;
  // Playing with the door open closes it first, as a drive's tray does.
  void Play() override;

 protected:
  TMedia MediaState() override;

 private:
  long long now_ = 0;
  bool open_ = false;
  bool openFails_ = false;
  bool doorOpen_ = false;
  int failingTrack_ = 0;
  int openCount_ = 0;
  std::vector<long> disc_;  // starts and lead-out of the disc in the drive; empty: none
  TCdText text_;
};
