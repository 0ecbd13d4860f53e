// Printing a cassette insert to PDF at 1200 dpi: plain, over a tiled 16 x 16 picture on a card of
// two blocks per side, and over a 1 x 1 picture tiled at 1200 dpi; and Rearrange of 1,000 songs
// into the side lists. Each has a reference timed in the same run: a PDF job drawing the same
// text and frames directly, the picture drawn tile by tile, and filling the lists directly.
// The "bytes" counter is the size of the PDF written.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <memory>
#include <vector>

#include "cassette/cassette_list.h"
#include "cassette/insert_printer.h"
#include "cassette/insert_section.h"
#include "cassette/printer_helpers.h"
#include "cassette/song_arrangement.h"
#include "client/database.h"
#include "../qt_benchmark_main.h"

namespace {

QStringList Songs(const QString& prefix, int n) {
  QStringList lines;
  for (int i = 1; i <= n; ++i) lines << QString("%1 song number %2").arg(prefix).arg(i);
  return lines;
}

std::unique_ptr<QPrinter> PdfPrinter(const QString& file) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setOutputFileName(file);
  printer->setResolution(1200);
  return printer;
}

// An insert printer with flaps and songsPerSide songs on each side, Arial 10 point.
void Prepare(TInsertPrinter& insert, int songsPerSide) {
  for (TInsertSection* s : {insert.FrontFlap(), insert.EdgeFlap(), insert.Side1(), insert.Side2()})
    s->SetFont(QFont("Arial", 10));
  insert.FrontFlap()->SetLines({"Summer tape", "for the car"});
  insert.EdgeFlap()->SetLines({"Summer tape"});
  insert.Side1()->SetLines(Songs("A", songsPerSide));
  insert.Side2()->SetLines(Songs("B", songsPerSide));
  insert.SetScreenPixelsPerInch(96);
}

void RunPrint(benchmark::State& state, int songsPerSide, const QImage& picture) {
  QTemporaryDir dir;
  const QString file = dir.filePath("insert.pdf");
  TInsertPrinter insert;
  Prepare(insert, songsPerSide);
  for (auto _ : state) {
    auto printer = PdfPrinter(file);
    if (!insert.PrintCopies(*printer, picture, plTile)) state.SkipWithError("refused");
  }
  state.counters["bytes"] = double(QFileInfo(file).size());
}

QImage Picture(int size) {
  QImage picture(size, size, QImage::Format_RGB32);
  picture.fill(qRgb(200, 200, 200));
  for (int i = 0; i < size; ++i) picture.setPixel(i, i, qRgb(80, 80, 80));
  return picture;
}

void BM_PrintInsert16Plus16At1200(benchmark::State& state) { RunPrint(state, 16, QImage()); }
BENCHMARK(BM_PrintInsert16Plus16At1200)->Unit(benchmark::kMillisecond);

void BM_Reference_PdfJobSameTextAndFrames(benchmark::State& state) {
  QTemporaryDir dir;
  const QString file = dir.filePath("plain.pdf");
  const QStringList a = Songs("A", 16), b = Songs("B", 16);
  for (auto _ : state) {
    auto printer = PdfPrinter(file);
    QPainter painter(printer.get());
    painter.setFont(QFont("Arial", 10));
    FixPrinterFont(painter);
    const int lh = painter.fontMetrics().height();
    painter.drawRect(0, 0, 4800, 840);
    painter.drawRect(0, 840, 4800, 600);
    painter.drawRect(0, 1440, 2400, 3120);
    painter.drawRect(2400, 1440, 2400, 3120);
    painter.drawText(60, 100, "Summer tape");
    painter.drawText(60, 100 + lh, "for the car");
    painter.drawText(60, 940, "Summer tape");
    for (int i = 0; i < 16; ++i) {
      painter.drawText(60, 1540 + i * lh, a[i]);
      painter.drawText(2460, 1540 + i * lh, b[i]);
    }
  }
  state.counters["bytes"] = double(QFileInfo(file).size());
}
BENCHMARK(BM_Reference_PdfJobSameTextAndFrames)->Unit(benchmark::kMillisecond);

void BM_PrintInsertTiled16x16On2Plus2Blocks(benchmark::State& state) {
  RunPrint(state, 20, Picture(16));
}
BENCHMARK(BM_PrintInsertTiled16x16On2Plus2Blocks)->Unit(benchmark::kMillisecond);

void BM_PrintInsertTiled1x1At1200(benchmark::State& state) { RunPrint(state, 16, Picture(1)); }
BENCHMARK(BM_PrintInsertTiled1x1At1200)->Unit(benchmark::kMillisecond);

// The picture drawn once per tile over the 2+2 block song area, each tile converting it again.
void BM_Reference_TileByTile16x16On2Plus2Blocks(benchmark::State& state) {
  QTemporaryDir dir;
  const QString file = dir.filePath("tiles.pdf");
  const QImage picture = Picture(16);
  const int tile = 16 * 1200 / 96;
  for (auto _ : state) {
    auto printer = PdfPrinter(file);
    QPainter painter(printer.get());
    for (int y = 1440; y < 1440 + 6240; y += tile)
      for (int x = 0; x < 4800; x += tile)
        painter.drawImage(QRect(x, y, tile, tile), picture.copy(), picture.rect());
  }
  state.counters["bytes"] = double(QFileInfo(file).size());
}
BENCHMARK(BM_Reference_TileByTile16x16On2Plus2Blocks)->Unit(benchmark::kMillisecond);

// The songs of one cassette in a catalogue loaded at run time, with its three lists.
class TCassette {
 public:
  explicit TCassette(int songs) : db_(std::make_unique<TReelsmithDB>()) {
    arrangement_.SetSide1Ctrl(&side1_);
    arrangement_.SetSide2Ctrl(&side2_);
    arrangement_.SetExcessSongs(&excess_);
    arrangement_.SetSide1LengthPanel(&panel1_);
    arrangement_.SetSide2LengthPanel(&panel2_);
    arrangement_.SetDataSource(db_.get());
    arrangement_.SetTapeLength(5400);
    db_->Clear();
    auto artist = TReelsmithArtist::CreateNew(db_.get(), "Artist");
    for (int first = 0; first < songs; first += 100) {
      auto album =
          TReelsmithAlbum::CreateNew(db_.get(), QString("Album %1").arg(first), "", "", 0, 0, 0);
      album->BeginAddSong();
      for (int i = first; i < songs && i < first + 100; ++i)
        album->AddSong(QString("Song %1").arg(i), 120 + i % 240, *artist, i - first + 1);
      album->FinishAddSong();
      arrangement_.AddSongs(*album);
    }
  }
  TSongArrangement& Arrangement() { return arrangement_; }
  TCassetteList side1_, side2_, excess_;

 private:
  std::unique_ptr<TReelsmithDB> db_;
  QLabel panel1_, panel2_;
  TSongArrangement arrangement_;
};

void BM_Rearrange1000Songs(benchmark::State& state) {
  TCassette cassette(1000);
  for (auto _ : state) cassette.Arrangement().Rearrange();
  state.counters["excess"] = cassette.excess_.EntryCount();
}
BENCHMARK(BM_Rearrange1000Songs)->Unit(benchmark::kMillisecond);

// The same 1,000 entries put into the three lists directly, with no times fetched.
void BM_Reference_Fill1000ListEntries(benchmark::State& state) {
  TCassette cassette(1000);
  std::vector<std::pair<QString, TReelsmithSong*>> entries;
  for (TCassetteList* list : {&cassette.side1_, &cassette.side2_, &cassette.excess_})
    for (int i = 0; i < list->EntryCount(); ++i)
      entries.emplace_back(list->EntryText(i), list->EntrySong(i));
  const int n1 = cassette.side1_.EntryCount(), n2 = cassette.side2_.EntryCount();
  for (auto _ : state) {
    for (TCassetteList* list : {&cassette.side1_, &cassette.side2_, &cassette.excess_})
      list->ClearEntries();
    for (int i = 0; i < int(entries.size()); ++i) {
      TCassetteList& list = i < n1        ? cassette.side1_
                            : i < n1 + n2 ? cassette.side2_
                                          : cassette.excess_;
      list.AddEntry(entries[i].first, entries[i].second);
    }
  }
}
BENCHMARK(BM_Reference_Fill1000ListEntries)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
