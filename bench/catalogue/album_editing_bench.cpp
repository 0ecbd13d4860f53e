// Storing an edited album of 100 songs by 100 artists in a full catalogue (15,000 artists and
// songs): through the library alone, and the whole Save Changes of the catalogue window with the
// change events and the selectors' refresh. The reference in the same run is one refresh of all
// three selectors, which a store must not repeat per event.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QtGlobal>

#include <memory>

#include "../catalogue_writer.h"
#include "catalogue/album_editor.h"
#include "album/album_store.h"
#include "catalogue/catalogue_window.h"
#include "client/database.h"
#include "select/album_selector.h"
#include "select/artist_selector.h"
#include "select/song_selector.h"
#include "shell/file_dialogs.h"
#include "shell/message_dialog.h"
#include "../qt_benchmark_main.h"

namespace {

constexpr int kSongs = 100;

std::unique_ptr<QTemporaryDir> gDir;
std::unique_ptr<TReelsmithForm> gForm;

TAlbumContents BigAlbum() {
  TAlbumContents album;
  album.title = QStringLiteral("The Long Album");
  album.medium = 1;
  for (int i = 0; i < kSongs; ++i)
    album.songs.push_back({QString("Long Song %1").arg(i), QString("Guest %1").arg(i), 180 + i, false});
  return album;
}

// Loads the catalogue of 14,900 one-song albums into the library and adds the long album:
// 15,000 artists and songs. Every component shares the library's one catalogue.
void Reset(TReelsmithDB& db) {
  db.Clear();
  db.SetFileName(gDir->filePath("base.mus"));
  if (!db.Load()) qFatal("cannot load the benchmark catalogue");
  std::unique_ptr<TReelsmithAlbum> none;
  TAlbumStore(db).Store(BigAlbum(), nullptr, none);
}

// A window on that catalogue.
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
    WriteBenchmarkCatalogue(db, 15000 - kSongs, 0, gDir->filePath("base.mus"));
    Reset(db);
    QApplication::processEvents();
  }
  return *gForm;
}

std::unique_ptr<TReelsmithAlbum> FindLongAlbum(TReelsmithDB& db) {
  TOwnerList<TReelsmithAlbum> all = db.GetAllAlbums();
  for (int i = 0; i < all.Count(); ++i)
    if (all[i]->DisplayName() == QStringLiteral("The Long Album")) return all.Extract(i);
  return nullptr;
}

// The library's part: a component no control listens to stores the album in place of itself.
void BM_StoreEditedAlbumThroughTheLibrary(benchmark::State& state) {
  Form();
  // A new component starts the library's catalogue afresh, so it loads its own; destroying it
  // empties the catalogue again.
  auto owned = std::make_unique<TReelsmithDB>();
  TReelsmithDB& quiet = *owned;
  quiet.setObjectName(QStringLiteral("QuietComponent"));
  Reset(quiet);
  const TAlbumContents contents = BigAlbum();
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TReelsmithAlbum> old = FindLongAlbum(quiet);
    std::unique_ptr<TReelsmithAlbum> restored;
    state.ResumeTiming();
    TAlbumStore(quiet).Store(contents, old.get(), restored);
  }
  state.counters["songs"] = quiet.SongCount();
  state.counters["artists"] = quiet.ArtistCount();
  owned.reset();
  // The window's selectors held records of the catalogue the quiet component replaced.
  Reset(*gForm->ReelsmithDB());
}
BENCHMARK(BM_StoreEditedAlbumThroughTheLibrary)->Unit(benchmark::kMillisecond);

void BM_SaveChangesInTheWindow(benchmark::State& state) {
  TReelsmithForm& form = Form();
  TReelsmithDB& db = *form.ReelsmithDB();
  TMessageRecorder messages;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TReelsmithAlbum> shown = FindLongAlbum(db);
    db.SetCurrentAlbum(shown.get());
    form.AlbumEditor()->EditAlbum();
    state.ResumeTiming();
    const bool saved = form.AlbumEditor()->SaveChanges();
    state.PauseTiming();
    if (!saved) {
      state.SkipWithError(messages.Asked().empty() ? "save refused"
                                                   : qPrintable(messages.Asked().back().text));
      break;
    }
    db.SetCurrentAlbum(nullptr);
    shown.reset();
    state.ResumeTiming();
  }
  state.counters["messages"] = static_cast<double>(messages.Asked().size());
}
BENCHMARK(BM_SaveChangesInTheWindow)->Unit(benchmark::kMillisecond);

void BM_Reference_RefreshAllThreeSelectors(benchmark::State& state) {
  TReelsmithForm& form = Form();
  for (auto _ : state) {
    form.AlbumSelector1()->Refresh();
    form.ArtistSelector1()->Refresh();
    form.SongSelector1()->Refresh();
  }
}
BENCHMARK(BM_Reference_RefreshAllThreeSelectors)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunQtBenchmarks(argc, argv, [] {
    gForm.reset();
    gDir.reset();
  });
}
