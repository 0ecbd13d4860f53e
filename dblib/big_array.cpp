#include "big_array.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "assertions.h"

namespace {

// Computed in 64 bits: a count near INT32_MAX must not overflow on the way.
int32_t SegCount(int32_t itemCnt) {
  return static_cast<int32_t>((int64_t{itemCnt} + SEGMENT_ITEMS - 1) / SEGMENT_ITEMS);
}

int32_t LastSegCount(int32_t itemCnt) {
  const int32_t rest = itemCnt % SEGMENT_ITEMS;
  return rest ? rest : SEGMENT_ITEMS;
}

// Allocates the header and the segments of either array kind; null (and nothing left
// behind) when memory runs out.
template <typename Array, typename Item>
Array* AllocArray(int32_t itemCnt, bool zeroFill) {
  if (itemCnt <= 0) itemCnt = 1;
  const int32_t segCnt = SegCount(itemCnt);
  const size_t header = offsetof(Array, segs) + sizeof(Item*) * static_cast<size_t>(segCnt);
  auto* a = static_cast<Array*>(std::malloc(header));
  if (!a) return nullptr;
  a->itemCnt = itemCnt;
  a->segCnt = segCnt;
  a->lastSegCnt = LastSegCount(itemCnt);
  for (int32_t s = 0; s < segCnt; ++s) {
    const size_t n = static_cast<size_t>(s == segCnt - 1 ? a->lastSegCnt : SEGMENT_ITEMS);
    void* seg = zeroFill ? std::calloc(n, sizeof(Item)) : std::malloc(n * sizeof(Item));
    if (!seg) {
      for (int32_t k = 0; k < s; ++k) std::free(a->segs[k]);
      std::free(a);
      return nullptr;
    }
    a->segs[s] = static_cast<Item*>(seg);
  }
  return a;
}

template <typename Array>
void FreeArray(Array* a) {
  if (!a) return;
  for (int32_t s = 0; s < a->segCnt; ++s) std::free(a->segs[s]);
  std::free(a);
}

int32_t SegItems(const BigArray* ba, int32_t seg) {
  return seg == ba->segCnt - 1 ? ba->lastSegCnt : SEGMENT_ITEMS;
}

struct Cursor {
  int32_t seg;
  int32_t pos;
  void* item;
};

}  // namespace

BigArray* BigArrayAlloc(int32_t itemCnt) noexcept {
  return AllocArray<BigArray, void*>(itemCnt, true);
}

int32_t BigArrayFree(BigArray* ba) noexcept {
  FreeArray(ba);
  return 1;
}

void* BAGet(BigArray* ba, int32_t index) noexcept {
  RS_ASSERT(index < ba->itemCnt);
  return ba->segs[index >> 10][index & (SEGMENT_ITEMS - 1)];
}

void* BASet(BigArray* ba, int32_t index, void* item) {
  RS_ASSERT(index < ba->itemCnt);
  ba->segs[index >> 10][index & (SEGMENT_ITEMS - 1)] = item;
  return item;
}

void BASort(BigArray* dest, BigArray* ba, BACompare cmp) {
  RS_ASSERT(dest->itemCnt >= ba->itemCnt);
  const auto less = [cmp](void* const& a, void* const& b) { return cmp(&a, &b) < 0; };
  for (int32_t s = 0; s < ba->segCnt; ++s)
    std::sort(ba->segs[s], ba->segs[s] + SegItems(ba, s), less);

  // Merge the sorted segments: the cursor table stays ordered by current item.
  auto* cursors =
      static_cast<Cursor*>(rs::XAlloc(sizeof(Cursor) * static_cast<size_t>(ba->segCnt)));
  int32_t live = ba->segCnt;
  for (int32_t s = 0; s < live; ++s) cursors[s] = Cursor{s, 0, ba->segs[s][0]};
  std::stable_sort(cursors, cursors + live,
                   [cmp](const Cursor& a, const Cursor& b) { return cmp(&a.item, &b.item) < 0; });

  for (int32_t k = 0; k < ba->itemCnt; ++k) {
    Cursor& first = cursors[0];
    dest->segs[k >> 10][k & (SEGMENT_ITEMS - 1)] = first.item;
    ++first.pos;
    if (first.pos >= SegItems(ba, first.seg)) {
      std::memmove(cursors, cursors + 1, sizeof(Cursor) * static_cast<size_t>(--live));
      continue;
    }
    first.item = ba->segs[first.seg][first.pos];
    // Move the first cursor before the first later cursor whose item is not smaller
    // (cmp <= 0 stops). The later cursors are in order, so a binary search finds the
    // cursor a scan from the second would stop at.
    int32_t stop = 1;
    if (live > 1 && cmp(&first.item, &cursors[1].item) > 0) {
      int32_t hi = live;
      stop = 2;
      while (stop < hi) {
        const int32_t mid = stop + (hi - stop) / 2;
        if (cmp(&first.item, &cursors[mid].item) > 0)
          stop = mid + 1;
        else
          hi = mid;
      }
      const Cursor moved = first;
      std::memmove(cursors, cursors + 1, sizeof(Cursor) * static_cast<size_t>(stop - 1));
      cursors[stop - 1] = moved;
    }
  }
  std::free(cursors);
}

BigWordArray* BigWordArrayAlloc(int32_t itemCnt) {
  return AllocArray<BigWordArray, uint16_t>(itemCnt, false);
}

void BigWordArrayFree(BigWordArray* wa) { FreeArray(wa); }

uint16_t BWAGet(BigWordArray* ba, int32_t index) {
  RS_ASSERT(index < ba->itemCnt);
  return ba->segs[index >> 10][index & (SEGMENT_ITEMS - 1)];
}

void BWASet(BigWordArray* ba, int32_t index, uint16_t value) {
  RS_ASSERT(index < ba->itemCnt);
  ba->segs[index >> 10][index & (SEGMENT_ITEMS - 1)] = value;
}

int32_t BWARead(BigWordArray* wa, std::FILE* stream) {
  unsigned char bytes[SEGMENT_ITEMS * 2];
  int32_t read = 0;
  for (int32_t s = 0; s < wa->segCnt; ++s) {
    const int32_t want = s == wa->segCnt - 1 ? wa->lastSegCnt : SEGMENT_ITEMS;
    const size_t got = std::fread(bytes, 2, static_cast<size_t>(want), stream);
    for (size_t i = 0; i < got; ++i)
      wa->segs[s][i] = static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    read += static_cast<int32_t>(got);
    if (got < static_cast<size_t>(want)) break;
  }
  return read;
}
