// Loading and saving a catalogue file at the library's limit of 15,000 artists, albums
// and songs. The reference benchmarks read the same file's bytes, and write and sync
// them the way a save does, so that the library's figures can be read against this
// machine's file system.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../tests/dblib/catalogue_writer.h"
#include "reelsmithdb.h"

namespace {

constexpr int kRecords = 15000;

// Titles and names of ordinary lengths, each album with one song by its own artist.
rstest::MusCatalogue Catalogue() {
  rstest::MusCatalogue c;
  char text[64];
  for (int k = 0; k < kRecords; ++k) {
    std::snprintf(text, sizeof text, "Artist number %05d", k);
    c.artists.push_back(text);
    std::snprintf(text, sizeof text, "The album called %05d", k);
    c.albums.push_back({text, static_cast<uint16_t>(1 + k % 6), 0, 0, "", ""});
    std::snprintf(text, sizeof text, "A song with title %05d", k);
    c.songs.push_back({text, static_cast<uint16_t>(100 + k % 500), static_cast<uint16_t>(k),
                       static_cast<uint16_t>(k), 1, k % 7 == 0});
  }
  return c;
}

// The test file, written once per process into a folder of its own.
class BenchFiles {
 public:
  BenchFiles() {
    char tmpl[] = "/tmp/catalogue_file_bench-XXXXXX";
    if (!mkdtemp(tmpl)) std::abort();
    dir_ = tmpl;
    const std::vector<uint8_t> bytes = rstest::WriteMus(Catalogue(), 5);
    std::FILE* f = std::fopen(source().c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
    std::fclose(f);
    size_ = bytes.size();
  }
  ~BenchFiles() {
    for (const char* name : {"/catalogue.mus", "/saved.mus", "/raw.mus", "/rsh.rs9", "/raw.tmp"})
      std::remove((dir_ + name).c_str());
    rmdir(dir_.c_str());
  }
  std::string source() const { return dir_ + "/catalogue.mus"; }
  std::string file(const char* name) const { return dir_ + "/" + name; }
  size_t size() const { return size_; }

 private:
  std::string dir_;
  size_t size_ = 0;
};

BenchFiles& Files() {
  static BenchFiles files;
  return files;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::vector<uint8_t> bytes;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return bytes;
  std::fseek(f, 0, SEEK_END);
  bytes.resize(static_cast<size_t>(std::ftell(f)));
  std::fseek(f, 0, SEEK_SET);
  const size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  bytes.resize(got);
  return bytes;
}

void BM_RawReadOfTheFile(benchmark::State& state) {
  const std::string path = Files().source();
  for (auto _ : state) benchmark::DoNotOptimize(ReadAll(path).size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Files().size()));
}

void BM_LoadDb(benchmark::State& state) {
  const std::string path = Files().source();
  for (auto _ : state) {
    CleanupDb();
    if (!LoadDb(path.c_str())) state.SkipWithError(GetErrorText());
  }
  if (GetSongCount() != kRecords || GetAlbumCount() != kRecords || GetArtistCount() != kRecords)
    state.SkipWithError("the load did not give 15,000 of each");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Files().size()));
  CleanupDb();
}

// The bytes of the file written to a temporary file, synced, and renamed over the
// target: the file system work a save cannot avoid.
void BM_RawWriteSyncAndRename(benchmark::State& state) {
  const std::vector<uint8_t> bytes = ReadAll(Files().source());
  const std::string temp = Files().file("raw.tmp");
  const std::string target = Files().file("raw.mus");
  for (auto _ : state) {
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0 || write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
        fsync(fd) != 0 || close(fd) != 0 || std::rename(temp.c_str(), target.c_str()) != 0)
      state.SkipWithError("raw write failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void BM_SaveDb(benchmark::State& state) {
  CleanupDb();
  if (!LoadDb(Files().source().c_str())) state.SkipWithError(GetErrorText());
  const std::string target = Files().file("saved.mus");
  for (auto _ : state) {
    SetFileName(target.c_str());  // marks the catalogue changed, so every save writes
    if (!SaveDb()) state.SkipWithError(GetErrorText());
  }
  if (ReadAll(target) != ReadAll(Files().source()))
    state.SkipWithError("the saved file differs from the loaded one");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Files().size()));
  CleanupDb();
}

}  // namespace

BENCHMARK(BM_RawReadOfTheFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadDb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawWriteSyncAndRename)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveDb)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
