#pragma once

#include <QString>

#include <vector>

#include "cd/cd_audio_device.h"

// What the read-times command takes from a disc.
struct TDiscContents {
  std::vector<int> trackSeconds;  // whole seconds of tracks 1, 2, ...
  TCdText text;
};

// Reads the disc now in the device: the device is opened afresh first, so a disc changed since
// the last look is the one read. Raises ECdError when the disc cannot be read.
TDiscContents ReadDiscContents(TCdAudioDevice& device);

// One song row of the album being edited, as the plan needs it.
struct TAlbumRow {
  QString title;
  QString artist;
  int seconds = 0;  // as the songs grid parses it: 0 blank, -1 not a time
  bool onTape = false;
  bool HoldsAnything() const {
    return !title.isEmpty() || !artist.isEmpty() || seconds != 0 || onTape;
  }
};

// Which rows of the album get which titles and times from a disc.
struct TTrackTimesPlan {
  struct TWrite {
    int row = 0;    // song row from 1
    QString title;  // empty: the row keeps its title
    int seconds = 0;
  };
  std::vector<TWrite> writes;
  // Rows from here to the last are blanked (title, artist, time); beyond the last row: none.
  int clearFrom = 0;
  // Some of those rows hold something the user typed or stored, so clearing them needs a yes.
  bool clearingLosesSongs = false;
  // Non-empty where the album's own field is empty and the disc names one.
  QString albumTitle;
  QString albumArtist;
};

// Track i goes to row i: its time always, and a title only where the row has none (the disc's
// track title when it carries one, else the track number). `rows` are the album's song rows
// 1 to the last; writes may reach beyond them (the grid then refuses them).
TTrackTimesPlan PlanTrackTimes(const TDiscContents& disc, const std::vector<TAlbumRow>& rows,
                               const QString& albumTitle, const QString& albumArtist);
