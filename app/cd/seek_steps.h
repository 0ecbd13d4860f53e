#pragma once

#include <vector>

#include "cd/cd_audio_device.h"

// Where the player's fast forward and reverse buttons go, 10 seconds at a time.
struct TSeekTarget {
  TCdPosition position;
  bool play = true;  // false: the end of the disc was reached, so it stays stopped there
};

// 10 seconds on; past the track's end the next track's start. On the last track that is the
// end of the disc (a track after the last), where playing stops.
TSeekTarget FastForwardTarget(const TCdPosition& at, const std::vector<int>& trackSeconds);

// 10 seconds back, counted across the start of the track into the one before; never before the
// start of the disc.
TSeekTarget ReverseTarget(const TCdPosition& at, const std::vector<int>& trackSeconds);
