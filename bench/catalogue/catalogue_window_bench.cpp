// The catalogue window on a catalogue of 15,000 albums, artists and songs, offscreen: opening a
// file until the three selectors are filled, a find without a match, merging 7,500 into 7,500
// and switching the song order. References in the same run: the load and the three selector
// refreshes done directly, which opening the file through the window cannot beat.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QtGlobal>

#include <memory>

#include "catalogue/catalogue_window.h"
#include "catalogue/find_window.h"
#include "../catalogue_writer.h"
#include "client/database.h"
#include "select/album_selector.h"
#include "select/artist_selector.h"
#include "select/selection_notebook.h"
#include "select/song_selector.h"
#include "shell/file_dialogs.h"
#include "shell/message_dialog.h"
#include "../qt_benchmark_main.h"

namespace {

// Released before main returns, while the application is still there.
std::unique_ptr<QTemporaryDir> gDir;
std::unique_ptr<TReelsmithForm> gForm;

TReelsmithForm& Form() {
  if (!gForm) {
    gDir = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", gDir->path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", gDir->path().toLocal8Bit());
    gForm = std::make_unique<TReelsmithForm>();
    gForm->IdleStep();
    gForm->resize(900, 600);
    gForm->show();
    TReelsmithDB& db = *gForm->ReelsmithDB();
    WriteBenchmarkCatalogue(db, 15000, 0, gDir->filePath("full.mus"));
    WriteBenchmarkCatalogue(db, 7500, 0, gDir->filePath("first.mus"));
    WriteBenchmarkCatalogue(db, 7500, 7500, gDir->filePath("second.mus"));
    QApplication::processEvents();
  }
  return *gForm;
}

QString File(const char* name) { return gDir->filePath(QString::fromLatin1(name)); }

// Every question answered No: a changed catalogue is dropped unsaved before the next open.
TModalResult AnswerNo(const TMessageRequest&) { return mrNo; }

void BM_OpenUntilSelectorsFilled(benchmark::State& state) {
  TReelsmithForm& form = Form();
  TMessageSeam no(AnswerNo);
  TFileDialogSeam answer([](const TFileDialogRequest&) { return File("full.mus"); });
  for (auto _ : state) {
    form.FileOpen();
    benchmark::DoNotOptimize(form.SongSelector1()->Records().Count());
  }
  state.counters["albums"] = form.AlbumSelector1()->Records().Count();
  state.counters["songs"] = form.SongSelector1()->Records().Count();
}
BENCHMARK(BM_OpenUntilSelectorsFilled)->Unit(benchmark::kMillisecond);

// The same work without the window: a component no control listens to loads the file, then the
// three selectors refresh once each.
void BM_Reference_LoadAndThreeRefreshes(benchmark::State& state) {
  TReelsmithForm& form = Form();
  TReelsmithDB quiet;
  quiet.setObjectName(QStringLiteral("QuietComponent"));
  for (auto _ : state) {
    quiet.Clear();
    quiet.SetFileName(File("full.mus"));
    if (!quiet.Load()) state.SkipWithError("load failed");
    form.AlbumSelector1()->Refresh();
    form.ArtistSelector1()->Refresh();
    form.SongSelector1()->Refresh();
  }
}
BENCHMARK(BM_Reference_LoadAndThreeRefreshes)->Unit(benchmark::kMillisecond);

void BM_FindWithoutMatchOnSongs(benchmark::State& state) {
  TReelsmithForm& form = Form();
  TMessageSeam no(AnswerNo);  // also answers "No match found."
  {
    TFileDialogSeam answer([](const TFileDialogRequest&) { return File("full.mus"); });
    form.FileOpen();
  }
  form.SelectionNoteBook()->setCurrentIndex(2);
  form.FindDialog()->SetFindText(QStringLiteral("no such title"));
  form.FindDialog()->SetOptions(frDown);
  for (auto _ : state) {
    form.SongSelector1()->SetRow(form.SongSelector1()->FixedRows());
    form.FindDialogFind();
  }
  state.counters["songs"] = form.SongSelector1()->Records().Count();
}
BENCHMARK(BM_FindWithoutMatchOnSongs)->Unit(benchmark::kMillisecond);

void BM_Merge7500Into7500(benchmark::State& state) {
  TReelsmithForm& form = Form();
  TMessageSeam no(AnswerNo);
  for (auto _ : state) {
    state.PauseTiming();
    {
      TFileDialogSeam answer([](const TFileDialogRequest&) { return File("first.mus"); });
      form.FileOpen();
    }
    state.ResumeTiming();
    TFileDialogSeam answer([](const TFileDialogRequest&) { return File("second.mus"); });
    form.MergeMenuClick();
  }
  state.counters["albums"] = form.AlbumSelector1()->Records().Count();
}
BENCHMARK(BM_Merge7500Into7500)->Unit(benchmark::kMillisecond);

void BM_SortToggle(benchmark::State& state) {
  TReelsmithForm& form = Form();
  {
    TMessageSeam no(AnswerNo);
    TFileDialogSeam answer([](const TFileDialogRequest&) { return File("full.mus"); });
    form.FileOpen();
  }
  bool byTime = false;
  for (auto _ : state) {
    byTime = !byTime;
    if (byTime)
      form.SortByTimeMenuClick();
    else
      form.SortAlphabeticallyMenuClick();
  }
}
BENCHMARK(BM_SortToggle)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunQtBenchmarks(argc, argv, [] {
    gForm.reset();
    gDir.reset();
  });
}
