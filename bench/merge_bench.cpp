// Merging a file of 7,500 albums, songs and artists into a catalogue of the same size,
// whose titles and names interleave with the file's. Loading the same file into an
// empty catalogue is the reference: the merge adds the 7,500 records in memory to that.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "reelsmithdb.h"

namespace {

constexpr int kRecords = 7500;

// One album per k with one song by an artist of its own; `tag` keeps the two sides
// apart while their titles interleave.
void BuildCatalogue(char tag) {
  CleanupDb();
  char text[32];
  for (int k = 0; k < kRecords; ++k) {
    const int key = (k * 7919) % kRecords;  // not in title order
    std::snprintf(text, sizeof text, "Title %05d %c", key, tag);
    HALBUM album = AddAlbum(text, "", "", 1 + k % 6, 0, 0);
    BeginAddSong();
    std::snprintf(text, sizeof text, "Artist %05d %c", key, tag);
    HARTIST artist = AddArtist(text);
    std::snprintf(text, sizeof text, "Song %05d %c", key, tag);
    AddSong(text, 60 + k % 600, artist, album, 1);
    FinishAddSong();
  }
  ResequenceSongs();
}

// The file to merge, written once by the library and removed at exit.
class MergeFile {
 public:
  MergeFile() {
    char tmpl[] = "/tmp/rs-merge-bench-XXXXXX";
    if (mkdtemp(tmpl)) dir_ = tmpl;
    path_ = dir_ + "/other.mus";
    BuildCatalogue('b');
    SetFileName(path_.c_str());
    ok_ = SaveDb() == 1;
    CleanupDb();
  }
  ~MergeFile() {
    std::remove(path_.c_str());
    rmdir(dir_.c_str());
  }
  MergeFile(const MergeFile&) = delete;
  MergeFile& operator=(const MergeFile&) = delete;
  const char* path() const { return path_.c_str(); }
  bool ok() const { return ok_; }

 private:
  std::string dir_;
  std::string path_;
  bool ok_ = false;
};

const MergeFile& File() {
  static const MergeFile file;
  return file;
}

void BM_MergeDb(benchmark::State& state) {
  if (!File().ok()) return state.SkipWithError("could not write the file to merge");
  for (auto _ : state) {
    state.PauseTiming();
    BuildCatalogue('a');
    state.ResumeTiming();
    if (MergeDb(File().path()) != 1) return state.SkipWithError(GetErrorText());
  }
  if (GetAlbumCount() != 2 * kRecords || GetArtistCount() != 2 * kRecords ||
      GetSongCount() != 2 * kRecords)
    state.SkipWithError("the merge lost records");
  CleanupDb();
}

// Reference: loading the same file into an empty catalogue.
void BM_Reference_LoadDb(benchmark::State& state) {
  if (!File().ok()) return state.SkipWithError("could not write the file to merge");
  for (auto _ : state) {
    state.PauseTiming();
    CleanupDb();
    state.ResumeTiming();
    if (LoadDb(File().path()) != 1) return state.SkipWithError(GetErrorText());
  }
  CleanupDb();
}

BENCHMARK(BM_MergeDb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reference_LoadDb)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
