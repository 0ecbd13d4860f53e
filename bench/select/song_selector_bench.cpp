// Refreshing the songs selector on a full catalogue of 15,000 songs: the fetch into record objects
// and the fill of the grid, through the library loaded at run time as the program loads it. The
// reference is the fetch alone, which the refresh cannot beat.
//
// Finding text that occurs nowhere in those 15,000 songs, and in 15,000 accented titles. The
// reference is the find as it was, which knew only ASCII letters.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QString>
#include <QtGlobal>

#include <QCoreApplication>
#include <QStringList>

#include <memory>

#include "client/database.h"
#include "select/find_text.h"
#include "select/song_selector.h"
#include "../qt_benchmark_main.h"

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

// The ASCII-only find: lower-cases A to Z, and only ASCII letters and digits make words.
namespace ascii_reference {

bool IsAsciiAlnum(QChar c) {
  const char16_t u = c.unicode();
  return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

QString AsciiLower(const QString& text) {
  QString out = text;
  for (QChar& c : out) {
    const char16_t u = c.unicode();
    if (u >= u'A' && u <= u'Z') c = QChar(static_cast<char16_t>(u - u'A' + u'a'));
  }
  return out;
}

bool TextContains(const QString& text, const QString& pattern, bool wholeWord) {
  if (pattern.isEmpty()) return false;
  for (qsizetype at = text.indexOf(pattern, 0, Qt::CaseSensitive); at >= 0;
       at = text.indexOf(pattern, at + 1, Qt::CaseSensitive)) {
    if (!wholeWord) return true;
    const qsizetype end = at + pattern.size();
    const bool startsWord = at == 0 || !IsAsciiAlnum(text[at - 1]);
    const bool endsWord = end >= text.size() || !IsAsciiAlnum(text[end]);
    if (startsWord && endsWord) return true;
  }
  return false;
}

// The selector's search loop as it was: from the row below the current one, down.
bool Find(TStringGrid& grid, const QString& text, TFindOptions options) {
  const bool matchCase = (options & frMatchCase) != 0;
  const bool wholeWord = (options & frWholeWord) != 0;
  const QString pattern = matchCase ? text : AsciiLower(text);
  for (int row = grid.Row() + 1; row <= grid.RowCount() - 1; ++row) {
    if (row % 64 == 0) QCoreApplication::processEvents();
    const QString cell = grid.Cells(grid.FixedCols(), row);
    if (TextContains(matchCase ? cell : AsciiLower(cell), pattern, wholeWord)) return true;
  }
  return false;
}

}  // namespace ascii_reference

// The three ways of finding, as the benchmarks' argument.
constexpr TFindOptions kFindModes[] = {frDown, frDown | frWholeWord, frDown | frMatchCase};
const char* const kFindModeNames[] = {"any case", "whole word", "match case"};

std::unique_ptr<TSongSelector> NewShownSelector() {
  auto selector = std::make_unique<TSongSelector>();
  selector->SetDataSource(&Catalogue());
  selector->resize(320, 600);
  selector->show();
  QApplication::processEvents();
  selector->Refresh();
  selector->FocusCell(selector->FixedCols(), selector->FixedRows());
  return selector;
}

void BM_SongSelectorFindNoMatch(benchmark::State& state) {
  auto selector = NewShownSelector();
  const TFindOptions options = kFindModes[state.range(0)];
  for (auto _ : state) benchmark::DoNotOptimize(selector->Find("Nowhere", options));
  state.SetLabel(kFindModeNames[state.range(0)]);
  state.counters["rows"] = selector->RowCount();
}
BENCHMARK(BM_SongSelectorFindNoMatch)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_Reference_AsciiSongSelectorFindNoMatch(benchmark::State& state) {
  auto selector = NewShownSelector();
  const TFindOptions options = kFindModes[state.range(0)];
  for (auto _ : state)
    benchmark::DoNotOptimize(ascii_reference::Find(*selector, "Nowhere", options));
  state.SetLabel(kFindModeNames[state.range(0)]);
}
BENCHMARK(BM_Reference_AsciiSongSelectorFindNoMatch)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond);

// 15,000 titles in which most words carry an accent, as a catalogue of Spanish, French and
// German music would.
const QStringList& AccentedTitles() {
  static const QStringList titles = [] {
    const char* const words[] = {"Canción", "Señor", "Élan",   "Straße", "Über",   "Café",
                                 "Noël",    "Déjà",  "Mañana", "Größe",  "Garçon", "Æther"};
    QStringList out;
    unsigned seed = 54321;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    for (int i = 0; i < kAlbums * kSongsPerAlbum; ++i) {
      out << QString("%1 %2 %3 %4")
                 .arg(QString::fromUtf8(words[(next() >> 8) % 12]),
                      QString::fromUtf8(words[(next() >> 8) % 12]))
                 .arg((next() >> 8) % 100000)
                 .arg(QString::fromUtf8(words[(next() >> 8) % 12]));
    }
    return out;
  }();
  return titles;
}

void BM_FindTextAccentedNoMatch(benchmark::State& state) {
  const QStringList& titles = AccentedTitles();
  for (auto _ : state) {
    TFindText finder("Nowhere", kFindModes[state.range(0)]);
    bool found = false;
    for (const QString& title : titles) found |= finder.FoundIn(title);
    benchmark::DoNotOptimize(found);
  }
  state.SetLabel(kFindModeNames[state.range(0)]);
}
BENCHMARK(BM_FindTextAccentedNoMatch)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_Reference_AsciiFindTextAccentedNoMatch(benchmark::State& state) {
  const QStringList& titles = AccentedTitles();
  const TFindOptions options = kFindModes[state.range(0)];
  const bool matchCase = (options & frMatchCase) != 0;
  const bool wholeWord = (options & frWholeWord) != 0;
  for (auto _ : state) {
    const QString pattern = matchCase ? QString("Nowhere") : ascii_reference::AsciiLower("Nowhere");
    bool found = false;
    for (const QString& title : titles) {
      found |= ascii_reference::TextContains(matchCase ? title : ascii_reference::AsciiLower(title),
                                             pattern, wholeWord);
    }
    benchmark::DoNotOptimize(found);
  }
  state.SetLabel(kFindModeNames[state.range(0)]);
}
BENCHMARK(BM_Reference_AsciiFindTextAccentedNoMatch)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunQtBenchmarks(argc, argv, [] {
    gDb.reset();
  });
}
