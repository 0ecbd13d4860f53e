// Optimize on a cassette of 200 songs on a 90:00 tape, through the arrangement as the window
// uses it (song times fetched from the library loaded at run time, the lists rebuilt after),
// with and without an exact fill. The reference is the plain exhaustive search on 24 songs
// with no exact fill, timed in the same run, beside the arrangement's search on those songs.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <QString>

#include <memory>
#include <random>
#include <vector>

#include "../../tests/cassette/fill_side_literal.h"
#include "cassette/cassette_list.h"
#include "cassette/song_arrangement.h"
#include "client/database.h"
#include "../qt_benchmark_main.h"

namespace {

// Times of 2:00 to 6:00; with exact fills of both sides for a 90:00 tape among them.
std::vector<int> TimesWithFills(int n) {
  std::mt19937 rng(7);
  std::vector<int> times;
  for (int i = 0; i < n; ++i) times.push_back(120 + int(rng() % 241));
  return times;
}

// Multiples of 7 seconds: no subset makes 2700 s, so no side can be filled exactly.
std::vector<int> TimesWithoutFill(int n) {
  std::mt19937 rng(11);
  std::vector<int> times;
  for (int i = 0; i < n; ++i) times.push_back(7 * (17 + int(rng() % 35)));
  return times;
}

// One catalogue and one arrangement with its lists, as the cassette window holds them.
class TCassette {
 public:
  TCassette() : db_(std::make_unique<TReelsmithDB>()) {
    arrangement_.SetSide1Ctrl(&side1_);
    arrangement_.SetSide2Ctrl(&side2_);
    arrangement_.SetExcessSongs(&excess_);
    arrangement_.SetSide1LengthPanel(&panel1_);
    arrangement_.SetSide2LengthPanel(&panel2_);
    arrangement_.SetDataSource(db_.get());
    arrangement_.SetTapeLength(5400);
  }

  // Puts songs of these times on the cassette, in this order (albums of 100 songs).
  void Fill(const std::vector<int>& times) {
    db_->Clear();
    albums_.clear();
    auto artist = TReelsmithArtist::CreateNew(db_.get(), "Artist");
    for (size_t first = 0; first < times.size(); first += 100) {
      auto album =
          TReelsmithAlbum::CreateNew(db_.get(), QString("Album %1").arg(first), "", "", 0, 0, 0);
      album->BeginAddSong();
      for (size_t i = first; i < times.size() && i < first + 100; ++i) {
        album->AddSong(QString("Song %1").arg(i, 3, 10, QChar('0')), times[i], *artist,
                       int(i - first + 1));
      }
      album->FinishAddSong();
      albums_.push_back(std::move(album));
    }
    Reset();
  }
  // Back to the order the songs were added in.
  void Reset() {
    arrangement_.ClearSongs();
    for (const auto& album : albums_) arrangement_.AddSongs(*album);
  }

  TSongArrangement& Arrangement() { return arrangement_; }
  QString Side1() const { return panel1_.text(); }
  QString Side2() const { return panel2_.text(); }

 private:
  std::unique_ptr<TReelsmithDB> db_;
  std::vector<std::unique_ptr<TReelsmithAlbum>> albums_;
  TCassetteList side1_, side2_, excess_;
  QLabel panel1_, panel2_;
  TSongArrangement arrangement_;
};

void RunOptimize(benchmark::State& state, const std::vector<int>& times) {
  TCassette cassette;
  cassette.Fill(times);
  for (auto _ : state) {
    state.PauseTiming();
    cassette.Reset();
    state.ResumeTiming();
    cassette.Arrangement().Optimize();
  }
  state.SetLabel(("side 1 " + cassette.Side1() + ", side 2 " + cassette.Side2()).toStdString());
}

void BM_Optimize200SongsWithExactFill(benchmark::State& state) {
  RunOptimize(state, TimesWithFills(200));
}
BENCHMARK(BM_Optimize200SongsWithExactFill)->Unit(benchmark::kMillisecond);

void BM_Optimize200SongsWithoutExactFill(benchmark::State& state) {
  RunOptimize(state, TimesWithoutFill(200));
}
BENCHMARK(BM_Optimize200SongsWithoutExactFill)->Unit(benchmark::kMillisecond);

void BM_OptimizedOrder24SongsWithoutExactFill(benchmark::State& state) {
  const std::vector<int> times = TimesWithoutFill(24);
  for (auto _ : state) {
    benchmark::DoNotOptimize(OptimizedOrder(times, 5400, 0, [] { return 1u; }));
  }
}
BENCHMARK(BM_OptimizedOrder24SongsWithoutExactFill)->Unit(benchmark::kMillisecond);

void BM_Reference_ExhaustiveSearch24SongsWithoutExactFill(benchmark::State& state) {
  const std::vector<int> times = TimesWithoutFill(24);
  for (auto _ : state) {
    literal::TExhaustiveOptimizer search(times, 0);
    benchmark::DoNotOptimize(search.Optimize(5400, [] { return 1u; }));
  }
}
BENCHMARK(BM_Reference_ExhaustiveSearch24SongsWithoutExactFill)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
