// Segmented big arrays: allocation and segment layout, slot access,
// sorting with per-segment sort and cursor merge, and the 16-bit word arrays.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#include "big_array.h"
#include "reelsmithdb.h"

namespace {

std::string AssertText(const std::string& condition) {
  std::string re = "Assertion failed: ";
  for (char c : condition) {
    if (std::string(".[]{}()*+?^$|\\").find(c) != std::string::npos) re += '\\';
    re += c;
  }
  return re + ", module big_array\\.cpp, line [0-9]+";
}

void* Item(uintptr_t v) { return reinterpret_cast<void*>(v); }
uintptr_t Value(void* p) { return reinterpret_cast<uintptr_t>(p); }

int ByValue(const void* a, const void* b) {
  const uintptr_t x = Value(*static_cast<void* const*>(a));
  const uintptr_t y = Value(*static_cast<void* const*>(b));
  return x < y ? -1 : x > y ? 1 : 0;
}

int Descending(const void* a, const void* b) { return ByValue(b, a); }

BigArray* Filled(const std::vector<uintptr_t>& values) {
  BigArray* ba = BigArrayAlloc(static_cast<int32_t>(values.size()));
  for (size_t i = 0; i < values.size(); ++i) BASet(ba, static_cast<int32_t>(i), Item(values[i]));
  return ba;
}

std::vector<uintptr_t> Contents(BigArray* ba, int32_t n) {
  std::vector<uintptr_t> out;
  for (int32_t i = 0; i < n; ++i) out.push_back(Value(BAGet(ba, i)));
  return out;
}

TEST(BigArray, ZeroItemsGiveOneNullSlot) {
  BigArray* ba = BigArrayAlloc(0);
  ASSERT_NE(ba, nullptr);
  EXPECT_EQ(ba->itemCnt, 1);
  EXPECT_EQ(ba->segCnt, 1);
  EXPECT_EQ(ba->lastSegCnt, 1);
  EXPECT_EQ(BAGet(ba, 0), nullptr);
  EXPECT_EQ(BigArrayFree(ba), 1);
}

TEST(BigArray, SegmentLayoutAtTheBoundaries) {
  struct Case {
    int32_t items, segs, last;
  } cases[] = {{1, 1, 1},    {1023, 1, 1023}, {1024, 1, 1024},
               {1025, 2, 1}, {2048, 2, 1024}, {15000, 15, 15000 - 14 * 1024}};
  for (const Case& c : cases) {
    BigArray* ba = BigArrayAlloc(c.items);
    EXPECT_EQ(ba->itemCnt, c.items);
    EXPECT_EQ(ba->segCnt, c.segs) << c.items;
    EXPECT_EQ(ba->lastSegCnt, c.last) << c.items;
    BigArrayFree(ba);
  }
}

TEST(BigArray, FreshSlotsAreNullEverywhere) {
  BigArray* ba = BigArrayAlloc(3000);
  for (int32_t i = 0; i < 3000; ++i) ASSERT_EQ(BAGet(ba, i), nullptr) << i;
  BigArrayFree(ba);
}

TEST(BigArray, SlotsLiveInSegmentAndPosition) {
  BigArray* ba = BigArrayAlloc(1025);
  EXPECT_EQ(BASet(ba, 1024, Item(7)), Item(7));
  BASet(ba, 1023, Item(6));
  EXPECT_EQ(ba->segs[1][0], Item(7));  // slot 1024 is the first of the second segment
  EXPECT_EQ(ba->segs[0][1023], Item(6));
  EXPECT_EQ(BAGet(ba, 1024), Item(7));  // itemCnt - 1: the last slot of the last segment
  BigArrayFree(ba);
}

TEST(BigArray, FreeingNullIsHarmless) { EXPECT_EQ(BigArrayFree(nullptr), 1); }

TEST(BigArrayDeathTest, IndexAtTheEndIsAnAssertion) {
  BigArray* ba = BigArrayAlloc(5);
  EXPECT_DEATH(BAGet(ba, 5), AssertText("index < ba->itemCnt"));
  EXPECT_DEATH(BASet(ba, 5, nullptr), AssertText("index < ba->itemCnt"));
  BigArrayFree(ba);
}

TEST(BASort, SortsAcrossSegments) {
  std::mt19937 rng(7);
  for (int32_t n : {1, 2, 1023, 1024, 1025, 3000, 15000}) {
    std::vector<uintptr_t> values(static_cast<size_t>(n));
    for (auto& v : values) v = rng() % 5000 + 1;  // duplicates included
    BigArray* src = Filled(values);
    BigArray* dest = BigArrayAlloc(n);
    BASort(dest, src, ByValue);
    std::vector<uintptr_t> expected = values;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Contents(dest, n), expected) << n;
    BigArrayFree(src);
    BigArrayFree(dest);
  }
}

TEST(BASort, SourceKeepsItsItemsEachSegmentSortedOnItsOwn) {
  std::vector<uintptr_t> values;
  for (uintptr_t i = 0; i < 2500; ++i) values.push_back(2500 - i);
  BigArray* src = Filled(values);
  BigArray* dest = BigArrayAlloc(2500);
  BASort(dest, src, ByValue);
  for (int32_t s = 0; s < 3; ++s) {
    const int32_t begin = s * 1024, end = std::min(2500, begin + 1024);
    std::vector<uintptr_t> seg;
    for (int32_t i = begin; i < end; ++i) seg.push_back(Value(BAGet(src, i)));
    std::vector<uintptr_t> orig(values.begin() + begin, values.begin() + end);
    std::sort(orig.begin(), orig.end());
    EXPECT_EQ(seg, orig) << "segment " << s;
  }
  BigArrayFree(src);
  BigArrayFree(dest);
}

TEST(BASort, AlreadyOrderedSegmentsAreCopiedUnchanged) {
  std::vector<uintptr_t> values;
  for (uintptr_t i = 1; i <= 2100; ++i) values.push_back(i);
  BigArray* src = Filled(values);
  BigArray* dest = BigArrayAlloc(2100);
  BASort(dest, src, ByValue);
  EXPECT_EQ(Contents(dest, 2100), values);
  BigArrayFree(src);
  BigArrayFree(dest);
}

TEST(BASort, OneItemIsCopiedToSlotZero) {
  BigArray* src = Filled({42});
  BigArray* dest = BigArrayAlloc(1);
  BASort(dest, src, ByValue);
  EXPECT_EQ(BAGet(dest, 0), Item(42));
  BigArrayFree(src);
  BigArrayFree(dest);
}

TEST(BASort, LargerDestinationKeepsItsRemainingSlots) {
  BigArray* src = Filled({3, 1, 2});
  BigArray* dest = Filled({9, 9, 9, 8, 7});
  BASort(dest, src, Descending);
  EXPECT_EQ(Contents(dest, 5), (std::vector<uintptr_t>{3, 2, 1, 8, 7}));
  BigArrayFree(src);
  BigArrayFree(dest);
}

TEST(BASortDeathTest, SmallerDestinationIsAnAssertion) {
  BigArray* src = Filled({1, 2, 3});
  BigArray* dest = BigArrayAlloc(2);
  EXPECT_DEATH(BASort(dest, src, ByValue), AssertText("dest->itemCnt >= ba->itemCnt"));
  BigArrayFree(src);
  BigArrayFree(dest);
}

TEST(BigWordArray, ReadsLittleEndianSegmentBySegment) {
  const int32_t n = 2049;
  std::FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  for (int32_t i = 0; i < n; ++i) {
    std::fputc(i & 0xFF, f);
    std::fputc((i * 7 >> 8) & 0xFF, f);
  }
  std::rewind(f);
  BigWordArray* wa = BigWordArrayAlloc(n);
  EXPECT_EQ(wa->segCnt, 3);
  EXPECT_EQ(wa->lastSegCnt, 1);
  EXPECT_EQ(BWARead(wa, f), n);
  for (int32_t i = 0; i < n; ++i)
    ASSERT_EQ(BWAGet(wa, i), static_cast<uint16_t>((i & 0xFF) | (((i * 7 >> 8) & 0xFF) << 8))) << i;
  BigWordArrayFree(wa);
  std::fclose(f);
}

TEST(BigWordArray, ShortStreamReadsWhatIsThere) {
  std::FILE* f = std::tmpfile();
  for (int i = 0; i < 1500 * 2 + 1; ++i) std::fputc(1, f);  // 1500 items and a stray byte
  std::rewind(f);
  BigWordArray* wa = BigWordArrayAlloc(3000);
  EXPECT_EQ(BWARead(wa, f), 1500);
  EXPECT_EQ(BWAGet(wa, 1499), 0x0101);
  BigWordArrayFree(wa);
  std::fclose(f);
}

TEST(BigWordArray, SetAndGet) {
  BigWordArray* wa = BigWordArrayAlloc(0);
  EXPECT_EQ(wa->itemCnt, 1);
  BWASet(wa, 0, 0xBEEF);
  EXPECT_EQ(BWAGet(wa, 0), 0xBEEF);
  BigWordArrayFree(wa);
}

TEST(BigWordArrayDeathTest, IndexAtTheEndIsAnAssertion) {
  BigWordArray* wa = BigWordArrayAlloc(4);
  EXPECT_DEATH(BWAGet(wa, 4), AssertText("index < ba->itemCnt"));
  BigWordArrayFree(wa);
}

}  // namespace
