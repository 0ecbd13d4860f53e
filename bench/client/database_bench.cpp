// GetAllSongs into record objects for a full catalogue of 15,000 songs (150 albums of
// 100 songs), through the library loaded at run time as the program loads it. The
// reference is the same query reading the handles alone, without making objects.
#include <benchmark/benchmark.h>

#include <QString>

#include "client/database.h"

namespace {

constexpr int kAlbums = 150;
constexpr int kSongsPerAlbum = 100;

void BuildCatalogue(TReelsmithDB& db) {
  db.Clear();
  for (int a = 0; a < kAlbums; ++a) {
    auto album = TReelsmithAlbum::CreateNew(&db, QString("Album %1").arg(a), "", "", 1, 0, 0);
    auto artist = TReelsmithArtist::CreateNew(&db, QString("Artist %1").arg(a % 40));
    album->BeginAddSong();
    // Each album's titles sort before the last album's, so each batch joins at the head.
    for (int s = 0; s < kSongsPerAlbum; ++s)
      album->AddSong(
          QString("Song %1").arg((kAlbums - 1 - a) * kSongsPerAlbum + s, 5, 10, QChar('0')), 60 + s,
          *artist, s + 1);
    album->FinishAddSong();
  }
  db.ResequenceSongs();
}

void GetAllSongsIntoRecordObjects(benchmark::State& state, TReelsmithDB* db) {
  for (auto _ : state) {
    TOwnerList<TReelsmithSong> songs = db->GetAllSongs();
    benchmark::DoNotOptimize(songs[songs.Count() - 1]);
  }
  state.counters["songs"] = db->GetAllSongs().Count();
}

void Reference_GetAllSongsHandlesOnly(benchmark::State& state, TReelsmithDB* db) {
  auto count = reinterpret_cast<decltype(&::GetSongCount)>(db->Lookup("GetSongCount"));
  auto alloc = reinterpret_cast<decltype(&::BigArrayAlloc)>(db->Lookup("BigArrayAlloc"));
  auto fill = reinterpret_cast<decltype(&::GetAllSongs)>(db->Lookup("GetAllSongs"));
  auto get = reinterpret_cast<decltype(&::BAGet)>(db->Lookup("BAGet"));
  auto release = reinterpret_cast<decltype(&::BigArrayFree)>(db->Lookup("BigArrayFree"));
  for (auto _ : state) {
    const int n = count();
    BigArray* array = alloc(n);
    fill(array);
    for (int i = 0; i < n; ++i) benchmark::DoNotOptimize(get(array, i));
    release(array);
  }
}

}  // namespace

int main(int argc, char** argv) {
  // The component lives in main so that it releases the library before the process ends.
  TReelsmithDB db;
  BuildCatalogue(db);
  benchmark::RegisterBenchmark("GetAllSongsIntoRecordObjects", GetAllSongsIntoRecordObjects, &db)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("Reference_GetAllSongsHandlesOnly", Reference_GetAllSongsHandlesOnly,
                               &db)
      ->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
