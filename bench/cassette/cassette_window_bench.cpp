// The cassette window's two heavy user commands: dropping an album of 200 songs on the cassette
// until the side lists show it, and the whole Print Insert command (print dialog answered, 16 +
// 16 songs, a 1200 dpi PDF over a tiled 16 x 16 picture). "bytes" is the size of the PDF written.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtGlobal>

#include <memory>

#include "cassette/cassette_insert_window.h"
#include "cassette/cassette_list.h"
#include "cassette/song_arrangement.h"
#include "client/album_record.h"
#include "client/artist_record.h"
#include "client/database.h"
#include "select/music_drag.h"
#include "shell/message_dialog.h"
#include "shell/print_dialogs.h"
#include "../qt_benchmark_main.h"

namespace {

std::unique_ptr<QTemporaryDir> gDir;
std::unique_ptr<TReelsmithDB> gDb;
std::unique_ptr<TCassetteInsert> gWindow;

void SetUpOnce() {
  if (gWindow) return;
  gDir = std::make_unique<QTemporaryDir>();
  qputenv("XDG_CONFIG_HOME", gDir->path().toLocal8Bit());
  qputenv("XDG_DATA_HOME", gDir->path().toLocal8Bit());
  gDb = std::make_unique<TReelsmithDB>();
  gDb->Clear();
  gWindow = std::make_unique<TCassetteInsert>();
  gWindow->SetDataSource(gDb.get());
  gWindow->show();
  QApplication::processEvents();
}

std::unique_ptr<TReelsmithAlbum> NewAlbum(const QString& title, int songs, int seconds) {
  auto artist = TReelsmithArtist::CreateNew(gDb.get(), title + QStringLiteral(" Band"));
  auto album = TReelsmithAlbum::CreateNew(gDb.get(), title, QString(), QString(), 0, 0, 0);
  album->BeginAddSong();
  for (int i = 0; i < songs; ++i)
    album->AddSong(QString("%1 song %2").arg(title).arg(i + 1), seconds, *artist, i + 1);
  album->FinishAddSong();
  return album;
}

void BM_DropAlbumOf200SongsOnTheCassette(benchmark::State& state) {
  SetUpOnce();
  auto album = NewAlbum(QStringLiteral("Long Play"), 200, 150);
  QObject source;
  SetTag(&source, album.get());
  for (auto _ : state) {
    gWindow->OnSideDragDrop(gWindow.get(), &source, QPoint());
    QApplication::processEvents();  // the lists painted with their new entries
    state.PauseTiming();
    if (gWindow->SongArrangement()->SongList().Count() != 200) state.SkipWithError("not added");
    gWindow->ClearSongs();
    state.ResumeTiming();
  }
  SetTag(&source, nullptr);
}
BENCHMARK(BM_DropAlbumOf200SongsOnTheCassette)->Unit(benchmark::kMillisecond);

void BM_PrintInsertCommand(benchmark::State& state) {
  SetUpOnce();
  auto album = NewAlbum(QStringLiteral("Two Sides"), 32, 160);
  gWindow->SongArrangement()->SetTapeLength(2 * 16 * 160);
  gWindow->SongArrangement()->AddSongs(*album);
  if (gWindow->Side1Flap()->EntryCount() != 16 || gWindow->Side2Flap()->EntryCount() != 16) {
    state.SkipWithError("the sides do not hold 16 songs each");
    return;
  }
  QImage tile(16, 16, QImage::Format_RGB32);
  tile.fill(Qt::lightGray);
  gWindow->SetBackgroundPicture(tile, plTile);
  const QString file = gDir->filePath(QStringLiteral("insert.pdf"));
  TPrintDialogSeam seam([&file](const TPrintDialogRequest& request) {
    request.printer->setOutputFormat(QPrinter::PdfFormat);
    request.printer->setOutputFileName(file);
    request.printer->setResolution(1200);
    return true;
  });
  TMessageRecorder messages;
  for (auto _ : state) {
    state.PauseTiming();
    QFile::remove(file);
    state.ResumeTiming();
    gWindow->PrintInsert();
  }
  if (!messages.Asked().empty()) state.SkipWithError(qPrintable(messages.Asked().back().text));
  // The size of the last PDF written: proof that each iteration printed.
  state.counters["bytes"] = static_cast<double>(QFileInfo(file).size());
  gWindow->ClearSongs();
}
BENCHMARK(BM_PrintInsertCommand)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunQtBenchmarks(argc, argv, [] {
    gWindow.reset();
    gDb.reset();
    gDir.reset();
  });
}
