// Starting on a catalogue of 15,000 albums, artists and songs: building the catalogue window
// (which loads the library), the first idle moment's load with the three selectors filled, and
// the first paint of the shown window. Peak memory of the whole process is reported beside it.
// The reference in the same run is the library's load of the same file alone.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QtGlobal>

#include <sys/resource.h>

#include <memory>

#include "catalogue/catalogue_window.h"
#include "../catalogue_writer.h"
#include "client/database.h"
#include "select/song_selector.h"
#include "../qt_benchmark_main.h"

namespace {

std::unique_ptr<QTemporaryDir> gDir;

QString FullCatalogue() {
  if (!gDir) {
    gDir = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", gDir->path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", gDir->path().toLocal8Bit());
    TReelsmithDB db;
    WriteBenchmarkCatalogue(db, 15000, 0, gDir->filePath("full.mus"));
  }
  return gDir->filePath("full.mus");
}

double PeakMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_StartWindowLoadAndShow(benchmark::State& state) {
  const QString file = FullCatalogue();
  int songs = 0;
  for (auto _ : state) {
    TReelsmithForm form({file});
    form.IdleStep();
    form.resize(900, 600);
    form.show();
    QApplication::processEvents();  // the first paint
    songs = form.SongSelector1()->Records().Count();
  }
  state.counters["songs"] = songs;
  state.counters["peak_MiB"] = PeakMiB();
}
BENCHMARK(BM_StartWindowLoadAndShow)->Unit(benchmark::kMillisecond);

void BM_Reference_LoadAlone(benchmark::State& state) {
  const QString file = FullCatalogue();
  TReelsmithDB db;
  for (auto _ : state) {
    db.Clear();
    db.SetFileName(file);
    if (!db.Load()) state.SkipWithError("load failed");
  }
  db.Clear();
}
BENCHMARK(BM_Reference_LoadAlone)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunQtBenchmarks(argc, argv, [] {
    gDir.reset();
  });
}
