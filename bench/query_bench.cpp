// Whole-catalogue queries at the library's limit of 15,000 records of each kind.
// The reference benchmarks do comparable work on plain standard containers, so that
// the library's figures can be read against this machine's speed.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "reelsmithdb.h"

namespace {

constexpr int kRecords = 15000;

int SongTime(int k) { return (k * 7919) % 600; }

// One album, artist and song per k. Added in descending title order, so that every
// insertion lands at the head of its list and building stays quick.
void BuildCatalogue() {
  CleanupDb();
  char title[32];
  std::vector<std::pair<HALBUM, HARTIST>> owners(kRecords);
  for (int k = kRecords - 1; k >= 0; --k) {
    std::snprintf(title, sizeof title, "Record %05d", k);
    owners[k] = {AddAlbum(title, "", "", 1, 0, 0), AddArtist(title)};
  }
  BeginAddSong();
  for (int k = kRecords - 1; k >= 0; --k) {
    std::snprintf(title, sizeof title, "Song %05d", k);
    AddSong(title, SongTime(k), owners[k].second, owners[k].first, 1);
  }
  FinishAddSong();
  ResequenceSongs();
}

void RunQuery(benchmark::State& state, int32_t (*query)(BigArray*), int32_t sortByTime) {
  SetSortByTime(sortByTime);
  BigArray* ba = BigArrayAlloc(kRecords);
  for (auto _ : state) benchmark::DoNotOptimize(query(ba));
  if (query(ba) != kRecords) state.SkipWithError("query returned the wrong count");
  BigArrayFree(ba);
  SetSortByTime(0);
}

void BM_GetAllSongsByTime(benchmark::State& state) { RunQuery(state, GetAllSongs, 1); }
void BM_GetAllSongsByTitle(benchmark::State& state) { RunQuery(state, GetAllSongs, 0); }
void BM_GetAllAlbums(benchmark::State& state) { RunQuery(state, GetAllAlbums, 0); }
void BM_GetAllArtists(benchmark::State& state) { RunQuery(state, GetAllArtists, 0); }

struct Item {
  int time;
  int num;
};

// Reference: sorting 15,000 (time, number) pairs held by pointer with std::sort.
void BM_Reference_StdSortByTime(benchmark::State& state) {
  std::vector<Item> items(kRecords);
  for (int k = 0; k < kRecords; ++k) items[k] = {SongTime(k), k};
  std::vector<const Item*> order(kRecords);
  for (auto _ : state) {
    for (int k = 0; k < kRecords; ++k) order[k] = &items[k];
    std::sort(order.begin(), order.end(), [](const Item* a, const Item* b) {
      return a->time != b->time ? a->time < b->time : a->num < b->num;
    });
    benchmark::DoNotOptimize(order.data());
  }
}

// Reference: walking a linked chain of 15,000 nodes and storing each pointer.
void BM_Reference_ChainWalk(benchmark::State& state) {
  struct Node {
    Node* next;
    char payload[120];
  };
  std::vector<Node> nodes(kRecords);
  for (int k = 0; k + 1 < kRecords; ++k) nodes[k].next = &nodes[k + 1];
  nodes.back().next = nullptr;
  std::vector<Node*> out(kRecords);
  for (auto _ : state) {
    int i = 0;
    for (Node* n = &nodes[0]; n; n = n->next) out[i++] = n;
    benchmark::DoNotOptimize(out.data());
  }
}

BENCHMARK(BM_GetAllSongsByTime)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetAllSongsByTitle)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetAllAlbums)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetAllArtists)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Reference_StdSortByTime)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Reference_ChainWalk)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  BuildCatalogue();
  if (GetSongCount() != kRecords || GetAlbumCount() != kRecords || GetArtistCount() != kRecords) {
    std::fprintf(stderr, "catalogue build failed\n");
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
