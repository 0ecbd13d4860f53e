// The catalogue core at the library's limit of 15,000 records of each kind.
//
// BM_Build*: 15,000 albums in random title order through the C interface, each
// followed by a batch of one song by a new artist (also random titles and names).
// "Indexed" is the library as shipped; "Walks" switches the ordering index off, so
// the library runs the literal list walks (the straightforward reference).
// Both runs build from the same titles and must give exactly the same lists; the
// benchmark fails if they do not. The "...Resequenced" variants also call
// ResequenceSongs after every batch, as the program does after storing an album.
//
// BM_BASort*: BASort of 15,000 song handles (per-segment sort and cursor merge).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "big_array.h"
#include "catalogue.h"
#include "ordering_index.h"
#include "reelsmithdb.h"

namespace {

constexpr int kRecords = 15000;

struct Titles {
  std::vector<std::string> albums, artists, songs;
};

std::string RandomTitle(std::mt19937& rng) {
  static const char* const words[] = {"love", "Night", "the",  "Blue",  "road", "Home", "of",
                                      "Fire", "heart", "Rain", "Dance", "sun",  "City", "dream",
                                      "Baby", "time",  "Moon", "gold",  "Song", "river"};
  std::string t;
  const int n = 1 + static_cast<int>(rng() % 4);
  for (int i = 0; i < n; ++i) {
    if (i) t += ' ';
    t += words[rng() % 20];
  }
  t += ' ';
  t += std::to_string(rng() % 100000);
  return t.substr(0, 49);
}

const Titles& RandomTitles() {
  static const Titles titles = [] {
    Titles t;
    std::mt19937 rng(2024);
    for (int k = 0; k < kRecords; ++k) {
      t.albums.push_back(RandomTitle(rng));
      t.artists.push_back(RandomTitle(rng) + " #" + std::to_string(k));  // always new
      t.songs.push_back(RandomTitle(rng));
    }
    return t;
  }();
  return titles;
}

void Build(bool resequence) {
  const Titles& t = RandomTitles();
  for (int k = 0; k < kRecords; ++k) {
    HALBUM album = AddAlbum(t.albums[k].c_str(), "", "", 1, 0, 0);
    BeginAddSong();
    AddSong(t.songs[k].c_str(), 180, AddArtist(t.artists[k].c_str()), album, 1);
    FinishAddSong();
    if (resequence) ResequenceSongs();
  }
}

// The lists with numbers, to compare the two builds.
std::string Lists() {
  std::string out;
  char text[64];
  for (HARTIST a = Db().artistList; a; a = IGetArtistNext(a))
    out += std::string(IArtistName(a)) + "#" + std::to_string(IGetArtistNum(a)) + "\n";
  for (HALBUM a = Db().albumList; a; a = IGetAlbumNext(a))
    out += std::string(GETALBUMTITLE(a, text, sizeof text)) + "#" +
           std::to_string(IGetAlbumNum(a)) + "\n";
  ResequenceSongs();
  for (HSONG s = Db().songList; s; s = IGetSongNext(s))
    out += std::string(ISongTitle(s)) + "#" + std::to_string(IGetSongNum(s)) + "\n";
  return out;
}

std::string& ListsOf(bool indexed) {
  static std::string lists[2];
  return lists[indexed];
}

void RunBuild(benchmark::State& state, bool indexed, bool resequence) {
  if (!std::getenv("LC_ALL")) setenv("LC_ALL", "en_US.UTF-8", 1);
  RandomTitles();
  CleanupDb();
  rs::SetOrderIndexEnabled(indexed);
  for (auto _ : state) {
    Build(resequence);
    state.PauseTiming();
    ListsOf(indexed) = Lists();
    CleanupDb();
    state.ResumeTiming();
  }
  rs::SetOrderIndexEnabled(true);
  const std::string& other = ListsOf(!indexed);
  if (!other.empty() && other != ListsOf(indexed))
    state.SkipWithError("lists differ from the walks");
  state.counters["records"] = kRecords;
}

void BM_BuildIndexed(benchmark::State& state) { RunBuild(state, true, false); }
void BM_BuildWalks(benchmark::State& state) { RunBuild(state, false, false); }
void BM_BuildIndexedResequenced(benchmark::State& state) { RunBuild(state, true, true); }

BENCHMARK(BM_BuildIndexed)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_BuildWalks)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_BuildIndexedResequenced)->Unit(benchmark::kMillisecond)->Iterations(1);

// BASort of 15,000 song handles ordered by playing time, then list position (the
// order GetAllSongs gives with sort-by-time), from a source in list order.
int ByTimeThenNum(const void* a, const void* b) {
  HSONG x = *static_cast<HSONG const*>(a), y = *static_cast<HSONG const*>(b);
  const int32_t tx = IGetSongTime(x), ty = IGetSongTime(y);
  if (tx != ty) return tx < ty ? -1 : 1;
  const int32_t nx = IGetSongNum(x), ny = IGetSongNum(y);
  return nx < ny ? -1 : nx > ny;
}

int ByHandle(const void* a, const void* b) {
  const auto x = *static_cast<void*const*>(a), y = *static_cast<void*const*>(b);
  return x < y ? -1 : x > y;
}

void RunSort(benchmark::State& state, BACompare cmp) {
  CleanupDb();
  std::mt19937 rng(7);
  HALBUM album = AddAlbum("Album", "", "", 1, 0, 0);
  HARTIST artist = AddArtist("Artist");
  BeginAddSong();
  for (int k = 0; k < kRecords; ++k)
    AddSong(RandomTitle(rng).c_str(), static_cast<int32_t>(rng() % 600), artist, album, k);
  FinishAddSong();
  ResequenceSongs();
  BigArray* master = BigArrayAlloc(kRecords);
  int32_t i = 0;
  for (HSONG s = Db().songList; s; s = IGetSongNext(s)) BASet(master, i++, s);
  BigArray* src = BigArrayAlloc(kRecords);
  BigArray* dest = BigArrayAlloc(kRecords);
  for (auto _ : state) {
    state.PauseTiming();
    for (int32_t k = 0; k < kRecords; ++k) BASet(src, k, BAGet(master, k));
    state.ResumeTiming();
    BASort(dest, src, cmp);
    benchmark::DoNotOptimize(BAGet(dest, 0));
  }
  for (int32_t k = 1; k < kRecords; ++k) {
    void* prev = BAGet(dest, k - 1);
    void* cur = BAGet(dest, k);
    if (cmp(&prev, &cur) > 0) state.SkipWithError("not sorted");
  }
  BigArrayFree(master);
  BigArrayFree(src);
  BigArrayFree(dest);
  CleanupDb();
}

void BM_BASortByTime(benchmark::State& state) { RunSort(state, ByTimeThenNum); }
void BM_BASortByHandle(benchmark::State& state) { RunSort(state, ByHandle); }

BENCHMARK(BM_BASortByTime)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BASortByHandle)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
