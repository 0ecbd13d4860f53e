#pragma once
// Reading the tags and the playing time of one music file with TagLib. No Qt widgets and no
// catalogue: the folder scan calls it from its worker thread.
#include <QString>

#include <cstddef>
#include <string>

// What a music file says about itself; empty texts and zero numbers stand for a missing tag.
struct TMusicFileTags {
  QString title;
  QString artist;
  QString album;
  QString albumArtist;
  QString genre;
  int track = 0;
  int disc = 0;
  int year = 0;
  // Whole seconds, cut as CD times are.
  int seconds = 0;
  // False when the file has no audio properties TagLib could read (the time is then unknown).
  bool hasLength = false;
};

// True when the file name ends in one of the endings TagLib opens (compared ignoring case).
// Checked before a file is opened so that folders of other files cost no reading at all.
bool HasMusicFileEnding(const std::string& fileName);

// Reads the file at `path` (the file system's bytes). Answers an empty string on success, else
// why the file could not be read, in words for the preview's list of problems.
QString ReadMusicFile(const std::string& path, TMusicFileTags& tags);

// The same for the contents of a file held in memory (the fuzz target reads through it); the
// format is found from the contents alone.
QString ReadMusicData(const char* data, std::size_t size, TMusicFileTags& tags);

// TagLib writes its complaints about damaged files to stderr unless a listener takes them. The
// listener installed here drops them; installing it again does nothing. The readers above call
// it themselves.
void InstallTagLibListener();
