#pragma once

#include <QString>
#include <QStringList>

#include "platform/exceptions.h"

// The seven states a CD audio device reports.
enum TCdMode {
  cmNotReady = 0,
  cmStopped = 1,
  cmPlaying = 2,
  cmRecording = 3,
  cmSeeking = 4,
  cmPaused = 5,
  cmOpen = 6,  // the door or tray is open
};

// A point on the disc: a track (from 1) and the time into that track.
struct TCdPosition {
  int track = 1;
  int minutes = 0;
  int seconds = 0;
  int frames = 0;  // 75 a second
  bool operator==(const TCdPosition& o) const {
    return track == o.track && minutes == o.minutes && seconds == o.seconds && frames == o.frames;
  }
};

// Titles the disc carries (CD-Text, or TITLE/PERFORMER in a cue sheet); empty when it has none.
struct TCdText {
  QString title;
  QString performer;
  // Track i's title at index i - 1; shorter than the track count when the disc names fewer.
  QStringList trackTitles;
};

// A failure of the CD audio device; its message is for the user.
class ECdError : public Exception {
 public:
  using Exception::Exception;
};

// The CD audio device the player and the track-time reader use: a drive, a disc image, or in
// tests a simulated disc. Every call that needs the disc raises ECdError when the device is not
// open or has no readable disc.
class TCdAudioDevice {
 public:
  static constexpr int kFramesPerSecond = 75;

  virtual ~TCdAudioDevice() = default;

  // Opens the source and reads the table of contents of the disc now in it. Opening an open
  // device reads the contents afresh (a drive may hold another disc by now); playback goes on
  // when the disc is the same. Raises ECdError when the source cannot be opened.
  virtual void Open() = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;

  // Never raises: a closed device is not ready.
  virtual TCdMode Mode() = 0;

  // Every track counts, data tracks too.
  virtual int TrackCount() = 0;
  // Frames from the start of `track` (from 1) to the start of the next one or the lead-out.
  virtual long TrackFrames(int track) = 0;
  // Frames from the first track's start to the lead-out.
  virtual long TotalFrames() = 0;
  virtual TCdText Text() = 0;
  // Changes whenever the contents read change (another disc, the door opened, the disc gone).
  virtual unsigned ContentsGeneration() const = 0;

  virtual TCdPosition Position() = 0;
  // Plays from the current position to the end of the disc.
  virtual void Play() = 0;
  virtual void Pause() = 0;
  virtual void Resume() = 0;
  // Stops and keeps the position.
  virtual void Stop() = 0;
  // Moves to `position` and leaves the device stopped there; a track after the last means the
  // end of the disc, and times past the end are cut to it.
  virtual void Seek(const TCdPosition& position) = 0;
  virtual void Eject() = 0;

  // Whole seconds of a track: its frames / 75, cut.
  int TrackSeconds(int track) { return static_cast<int>(TrackFrames(track) / kFramesPerSecond); }
};
