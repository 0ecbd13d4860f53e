// The collection listing on a catalogue of 15,000 songs: the whole "Sorting..." phase (loading the
// records and sorting them by four keys, each key order), the load alone (so the sort's share is
// the difference), the longest gap between two event polls while sorting and while printing, how
// long Cancel takes to be answered, and printing the "Songs Only" listing to a PDF file.
// The reference is the literal algorithm: insertion after a binary search, with every comparison
// asking the records for their related records afresh.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>
#include <QtGlobal>

#include <algorithm>
#include <memory>
#include <vector>

#include "../../tests/reports/literal_report_sort.h"
#include "client/database.h"
#include <QComboBox>

#include "reports/report_dialog.h"
#include "reports/report_source.h"
#include "shell/print_dialogs.h"
#include "../qt_benchmark_main.h"

namespace {

constexpr int kAlbums = 1500;
constexpr int kSongsPerAlbum = 10;
constexpr int kArtists = 700;

const std::vector<std::vector<int>> kKeyOrders = {
    {8, 7, 1, 9}, {9, 1, 7, 8}, {7, 8, 9, 1}, {1, 9, 8, 7}};

// Released before main returns, while the library and the application are still there.
std::unique_ptr<TReelsmithDB> gDb;

TReelsmithDB& Catalogue() {
  if (!gDb) {
    gDb = std::make_unique<TReelsmithDB>();
    gDb->Clear();
    gDb->SetDeferEvents(true);
    unsigned seed = 4242;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    for (int a = 0; a < kAlbums; ++a) {
      auto album = TReelsmithAlbum::CreateNew(gDb.get(), QString("Album %1").arg(next() % 100000),
                                              "", "", 1 + static_cast<int>(next() % 3), 0, 0);
      album->BeginAddSong();
      for (int s = 0; s < kSongsPerAlbum; ++s) {
        auto artist = TReelsmithArtist::CreateNew(
            gDb.get(), QString("Artist %1").arg((a + s * (next() % 2)) % kArtists));
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

void SetKeys(TReelsmithReportSource& source, const std::vector<int>& codes) {
  source.SetSortByCount(static_cast<int>(codes.size()));
  for (size_t i = 0; i < codes.size(); ++i) source.SetSortBy(static_cast<int>(i), codes[i]);
}

const char* KeyLabel(int order) {
  static const char* const labels[] = {"song,artist,album,time", "time,album,artist,song",
                                       "artist,song,time,album", "album,time,song,artist"};
  return labels[order];
}

// Records the longest time between two zero-delay timer ticks, which run at every event poll.
class TPollGaps {
 public:
  TPollGaps() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const qint64 now = clock_.nsecsElapsed();
      if (last_ >= 0) longest_ = std::max(longest_, now - last_);
      last_ = now;
    });
  }
  void Start() {
    last_ = -1;
    longest_ = 0;
    clock_.start();
    timer_.start(0);
  }
  // The longest gap in milliseconds, counting from the start and up to now.
  double Stop() {
    const qint64 now = clock_.nsecsElapsed();
    longest_ = std::max(longest_, now - std::max<qint64>(last_, 0));
    timer_.stop();
    return static_cast<double>(longest_) / 1e6;
  }

 private:
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 last_ = -1;
  qint64 longest_ = 0;
};

void BM_SortingPhaseSongs(benchmark::State& state) {
  TReelsmithDB& db = Catalogue();
  const int order = static_cast<int>(state.range(0));
  double gap = 0;
  for (auto _ : state) {
    TReelsmithReportSource source(&db);
    source.SetSourceRecordType(rtSong);
    SetKeys(source, kKeyOrders[static_cast<size_t>(order)]);
    TPollGaps gaps;
    gaps.Start();
    source.Prepare();
    gap = std::max(gap, gaps.Stop());
    benchmark::DoNotOptimize(source.Count());
  }
  state.counters["longest_poll_gap_ms"] = gap;
  state.SetLabel(KeyLabel(order));
}
BENCHMARK(BM_SortingPhaseSongs)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// What Prepare spends before it sorts: the sort's own time is the phase minus this.
void BM_LoadAllSongs(benchmark::State& state) {
  TReelsmithDB& db = Catalogue();
  for (auto _ : state) benchmark::DoNotOptimize(report_reference::LoadRecords(db, rtSong).size());
}
BENCHMARK(BM_LoadAllSongs)->Unit(benchmark::kMillisecond);

void BM_Reference_LiteralSortSongs(benchmark::State& state) {
  TReelsmithDB& db = Catalogue();
  const int order = static_cast<int>(state.range(0));
  for (auto _ : state) {
    TReelsmithReportSource source(&db);
    source.SetSourceRecordType(rtSong);
    SetKeys(source, kKeyOrders[static_cast<size_t>(order)]);
    auto records = report_reference::LoadRecords(db, rtSong);
    report_reference::LiteralSort(source, records);
    benchmark::DoNotOptimize(records.data());
  }
  state.SetLabel(KeyLabel(order));
}
BENCHMARK(BM_Reference_LiteralSortSongs)
    ->DenseRange(0, 3)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// From the press on Cancel (a timer 30 ms into the sort) until Prepare returns.
void BM_CancelWhileSorting(benchmark::State& state) {
  TReelsmithDB& db = Catalogue();
  double longest = 0;
  for (auto _ : state) {
    TReelsmithReportSource source(&db);
    source.SetSourceRecordType(rtSong);
    SetKeys(source, kKeyOrders[0]);
    QElapsedTimer pressed;
    QTimer::singleShot(30, [&] {
      pressed.start();
      source.CancelSort();
    });
    source.Prepare();
    longest = std::max(longest, pressed.isValid() ? pressed.nsecsElapsed() / 1e6 : -1.0);
  }
  state.counters["cancel_answered_ms"] = longest;
}
BENCHMARK(BM_CancelWhileSorting)->Unit(benchmark::kMillisecond);

// The whole print command for "Songs Only" (sorting included) to a PDF file.
void BM_PrintSongsOnlyToPdf(benchmark::State& state) {
  TReelsmithDB& db = Catalogue();
  QTemporaryDir dir;
  TPrintDialogSeam seam([&](const TPrintDialogRequest& request) {
    request.printer->setOutputFormat(QPrinter::PdfFormat);
    request.printer->setOutputFileName(dir.filePath("songs.pdf"));
    return true;
  });
  double gap = 0;
  for (auto _ : state) {
    TReportDlg dialog(&db);
    dialog.ReportType()->setCurrentIndex(rtSongsOnly);
    TPollGaps gaps;
    gaps.Start();
    dialog.PrintClick();
    gap = std::max(gap, gaps.Stop());
  }
  state.counters["longest_poll_gap_ms"] = gap;
}
BENCHMARK(BM_PrintSongsOnlyToPdf)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunQtBenchmarks(argc, argv, [] {
    gDb.reset();
  });
}
