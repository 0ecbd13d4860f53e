// Reads arbitrary bytes as a music file. The first byte picks the file's ending (so each of
// TagLib's format readers gets its turn, as the folder scan picks them by ending); the rest is
// the file. Whatever the bytes, the reader must answer the tags or a reason, never both, never
// crash, and what it answers must be within the bounds the grouping relies on.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "import/music_file_reader.h"

namespace {

const char* const kEndings[] = {"mp3", "flac", "ogg", "opus", "m4a", "wav", "aiff", "wma"};

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz: %s\n", what);
  std::abort();
}

std::string& Folder() {
  static std::string folder;
  return folder;
}

void RemoveFolder() { rmdir(Folder().c_str()); }

void CheckTags(const QString& reason, const TMusicFileTags& tags) {
  if (!reason.isEmpty()) {
    Require(tags.title.isEmpty() && tags.seconds == 0, "a refused file answers no tags");
    return;
  }
  Require(tags.seconds >= 0, "the playing time is not negative");
  Require(tags.seconds == 0 || tags.hasLength, "a playing time comes with its flag");
  Require(tags.track >= 0 && tags.track <= 9999, "track number in range");
  Require(tags.disc >= 0 && tags.disc <= 9999, "disc number in range");
  Require(tags.year >= 0 && tags.year <= 9999, "year in range");
  Require(
      tags.hasLength || !tags.title.isEmpty() || !tags.artist.isEmpty() || !tags.album.isEmpty(),
      "a file read has audio or a tag");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char name[] = "/tmp/music_tags_fuzz.XXXXXX";
  if (mkdtemp(name) == nullptr) std::abort();
  Folder() = name;
  std::atexit(RemoveFolder);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string ending = kEndings[data[0] % (sizeof kEndings / sizeof kEndings[0])];
  const char* bytes = reinterpret_cast<const char*>(data + 1);
  const size_t length = size - 1;

  const std::string path = Folder() + "/input." + ending;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  Require(f != nullptr, "the input file can be written");
  if (length > 0) Require(std::fwrite(bytes, 1, length, f) == length, "the input is written");
  std::fclose(f);
  TMusicFileTags tags;
  CheckTags(ReadMusicFile(path, tags), tags);
  std::remove(path.c_str());

  CheckTags(ReadMusicData(bytes, length, tags), tags);
  Require(HasMusicFileEnding("x." + ending), "the chosen ending is a music ending");
  return 0;
}
