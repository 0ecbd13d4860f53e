// Exporting a catalogue of 15,000 songs (1,500 albums of 10 songs, all four user fields
// in use) as a dBase table. Writing the same number of bytes in records of the same
// length is the reference: what the disk and the C library cost on this machine.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "reelsmithdb.h"

namespace {

constexpr int kAlbums = 1500;
constexpr int kSongsPerAlbum = 10;
constexpr int kRecordLength = 173 + 2 * 14 + 2 * 26;

void BuildCatalogue() {
  CleanupDb();
  for (int f = 1; f <= 2; ++f) {
    SetUserChoiceFieldItem(f, 0, "First choice");
    SetUserChoiceFieldItem(f, 1, "Second choice");
    SetUserChoiceFieldInfo(f, f == 1 ? "Genre" : "Condition", 2);
    SetUserTextFieldInfo(f, f == 1 ? "Bought at" : "Notes", 1);
  }
  char text[32];
  for (int b = 0; b < kAlbums; ++b) {
    std::snprintf(text, sizeof text, "Album %04d", b);
    HALBUM album = AddAlbum(text, "Corner shop", "Signed", 1 + b % 6, 1 + b % 2, 2 - b % 2);
    BeginAddSong();
    std::snprintf(text, sizeof text, "Artist %04d", b);
    HARTIST artist = AddArtist(text);
    for (int t = 1; t <= kSongsPerAlbum; ++t) {
      std::snprintf(text, sizeof text, "Song %04d-%02d", b, t);
      AddSong(text, 60 * t + b % 60, artist, album, t);
    }
    FinishAddSong();
  }
  ResequenceSongs();
}

class TempFile {
 public:
  TempFile() {
    char tmpl[] = "/tmp/rs-export-bench-XXXXXX";
    if (mkdtemp(tmpl)) dir_ = tmpl;
    path_ = dir_ + "/catalogue.dbf";
  }
  ~TempFile() {
    std::remove(path_.c_str());
    rmdir(dir_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const char* path() const { return path_.c_str(); }

 private:
  std::string dir_;
  std::string path_;
};

void BM_ExportToDBase(benchmark::State& state) {
  BuildCatalogue();
  if (GetSongCount() != kAlbums * kSongsPerAlbum)
    return state.SkipWithError("the catalogue was not built");
  TempFile file;
  for (auto _ : state)
    if (ExportToDBase(file.path()) != 1) return state.SkipWithError(GetErrorText());
  CleanupDb();
}

// Reference: the same bytes, one fwrite per record, through a buffer of the same size.
void BM_Reference_WriteSameBytes(benchmark::State& state) {
  TempFile file;
  const std::vector<char> record(kRecordLength, ' ');
  for (auto _ : state) {
    std::FILE* f = std::fopen(file.path(), "wb");
    if (!f) return state.SkipWithError("could not create the file");
    std::setvbuf(f, nullptr, _IOFBF, 1 << 16);
    for (int i = 0; i < kAlbums * kSongsPerAlbum; ++i)
      std::fwrite(record.data(), 1, record.size(), f);
    std::fclose(f);
  }
}

BENCHMARK(BM_ExportToDBase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reference_WriteSameBytes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
