// Refreshing the songs selector on a full catalogue of 15,000 songs: the fetch into record objects
// and the fill of the grid, through the library loaded at run time as the program loads it. The
// reference is the fetch alone, which the refresh cannot beat.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QString>
#include <QtGlobal>

#include <memory>

#include "client/database.h"
#include "select/song_selector.h"

namespace {

constexpr int kAlbums = 1500;
constexpr int kSongsPerAlbum = 10;
constexpr int kArtists = 700;

// Released before main returns, while the library and the application are still there.
std::unique_ptr<TReelsmithDB> gDb;

TReelsmithDB& Catalogue() {
  if (!gDb) {
    gDb = std::make_unique<TReelsmithDB>();
    gDb->Clear();
    gDb->SetDeferEvents(true);
    unsigned seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    for (int a = 0; a < kAlbums; ++a) {
      auto album = TReelsmithAlbum::CreateNew(gDb.get(), QString("Album %1").arg(next() % 100000),
                                              "", "", 1, 0, 0);
      auto artist = TReelsmithArtist::CreateNew(gDb.get(), QString("Artist %1").arg(a % kArtists));
      album->BeginAddSong();
      for (int s = 0; s < kSongsPerAlbum; ++s) {
        // Titles in no particular order and times from none to ten minutes.
        album->AddSong(QString("Song %1 %2").arg(next() % 100000).arg(s),
                       static_cast<int>((next() >> 8) % 601), *artist, s + 1);
      }
      album->FinishAddSong();
    }
    gDb->ResequenceArtists();
    gDb->ResequenceAlbums();
    gDb->ResequenceSongs();
    gDb->SetDeferEvents(false);
  }
  return *gDb;
}

void BM_SongSelectorRefresh(benchmark::State& state) {
  TReelsmithDB& db = Catalogue();
  TSongSelector selector;
  selector.SetDataSource(&db);
  selector.resize(320, 600);
  selector.show();
  QApplication::processEvents();
  for (auto _ : state) selector.Refresh();
  state.counters["songs"] = selector.Records().Count();
}
BENCHMARK(BM_SongSelectorRefresh)->Unit(benchmark::kMillisecond);

void BM_Reference_FetchAllSongsOnly(benchmark::State& state) {
  TReelsmithDB& db = Catalogue();
  for (auto _ : state) {
    TOwnerList<TReelsmithSong> songs = db.GetAllSongs();
    benchmark::DoNotOptimize(songs[songs.Count() - 1]);
  }
}
BENCHMARK(BM_Reference_FetchAllSongsOnly)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  gDb.reset();
  return 0;
}
