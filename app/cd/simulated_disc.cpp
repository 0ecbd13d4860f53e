#include "cd/simulated_disc.h"

TSimulatedCdDevice::TSimulatedCdDevice() : TClockedCdDevice([this] { return now_; }) {}

void TSimulatedCdDevice::InsertDisc(const std::vector<long>& trackFrames, const TCdText& text) {
  // A real disc's first track starts after a two-second lead-in.
  std::vector<long> starts{150};
  for (long frames : trackFrames) starts.push_back(starts.back() + frames);
  disc_ = starts;
  text_ = text;
  doorOpen_ = false;
}

void TSimulatedCdDevice::RemoveDisc() {
  disc_.clear();
  text_ = {};
}

void TSimulatedCdDevice::Open() {
  ++openCount_;
  if (openFails_) {
    open_ = false;
    throw ECdError(QStringLiteral("The CD audio device is in use."));
  }
  open_ = true;
  MediaState();
}

TClockedCdDevice::TMedia TSimulatedCdDevice::MediaState() {
  if (doorOpen_) {
    ClearTableOfContents();
    return TMedia::DoorOpen;
  }
  SetTableOfContents(disc_);
  return disc_.empty() ? TMedia::NoDisc : TMedia::Ready;
}

long TSimulatedCdDevice::TrackFrames(int track) {
  if (failingTrack_ > 0 && track >= failingTrack_)
    throw ECdError(QStringLiteral("Track %1 cannot be read.").arg(track));
  return TClockedCdDevice::TrackFrames(track);
}

TCdText TSimulatedCdDevice::Text() {
  TrackCount();  // raises without a disc
  return text_;
}

void TSimulatedCdDevice::Eject() {
  if (!open_) throw ECdError(QStringLiteral("The CD audio device is not open."));
  doorOpen_ = true;
  MediaState();
}

void TSimulatedCdDevice::Play() {
  if (doorOpen_ && !disc_.empty()) doorOpen_ = false;
  TClockedCdDevice::Play();
}
