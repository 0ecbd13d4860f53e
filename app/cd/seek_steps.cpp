#include "cd/seek_steps.h"

#include <algorithm>

namespace {

constexpr int kStepSeconds = 10;

TCdPosition At(int track, int seconds, int frames) {
  TCdPosition p;
  p.track = track;
  p.minutes = seconds / 60;
  p.seconds = seconds % 60;
  p.frames = frames;
  return p;
}

int Length(const std::vector<int>& trackSeconds, int track) {
  return track >= 1 && track <= static_cast<int>(trackSeconds.size())
             ? trackSeconds[static_cast<size_t>(track) - 1]
             : 0;
}

}  // namespace

TSeekTarget FastForwardTarget(const TCdPosition& at, const std::vector<int>& trackSeconds) {
  const int count = static_cast<int>(trackSeconds.size());
  int track = at.track;
  int s = at.minutes * 60 + at.seconds + kStepSeconds;
  if (s > Length(trackSeconds, track)) {
    ++track;
    s = 0;
  }
  TSeekTarget target;
  if (track > count) {
    target.position = At(count + 1, 0, 0);
    target.play = false;
    return target;
  }
  target.position = At(track, s, at.frames);
  return target;
}

TSeekTarget ReverseTarget(const TCdPosition& at, const std::vector<int>& trackSeconds) {
  const int t = at.minutes * 60 + at.seconds;
  const int s = t - kStepSeconds;
  TSeekTarget target;
  if (t >= kStepSeconds) {
    target.position = At(at.track, s, at.frames);
  } else if (at.track <= 1) {
    target.position = At(1, 0, 0);
  } else {
    const int before = at.track - 1;
    target.position = At(before, std::max(0, Length(trackSeconds, before) + s), at.frames);
  }
  return target;
}
