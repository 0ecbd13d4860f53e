#pragma once
// Segmented arrays: fixed-size arrays of handles (or 16-bit words) cut into segments
// of SEGMENT_ITEMS so that no single allocation holds more than 1024 items.
#include <cstdint>
#include <cstdio>

#include "reelsmithdb.h"

constexpr int32_t SEGMENT_ITEMS = 1024;

struct BigArray {
  int32_t itemCnt;      // slots, at least 1
  int32_t segCnt;       // ceil(itemCnt / 1024)
  int32_t lastSegCnt;   // slots in the last segment (1..1024)
  void** segs[1];       // segCnt segment pointers (allocated to size)
};

struct BigWordArray {
  int32_t itemCnt;
  int32_t segCnt;
  int32_t lastSegCnt;
  uint16_t* segs[1];
};

// REQUIRES: 0 <= index < ba->itemCnt (assertion "index < ba->itemCnt").
void* BASet(BigArray* ba, int32_t index, void* item);

// Sorts src into dest slots 0..src->itemCnt-1; dest slots beyond stay untouched and
// src is left with each segment sorted on its own. cmp receives the addresses of two
// slots. REQUIRES: dest->itemCnt >= src->itemCnt.
using BACompare = int (*)(const void* a, const void* b);
void BASort(BigArray* dest, BigArray* src, BACompare cmp);

BigWordArray* BigWordArrayAlloc(int32_t itemCnt);
void BigWordArrayFree(BigWordArray* wa);
uint16_t BWAGet(BigWordArray* wa, int32_t index);
void BWASet(BigWordArray* wa, int32_t index, uint16_t value);
// Reads every item from the stream, little-endian, segment by segment; returns the
// number of items read (less than itemCnt on a short stream).
int32_t BWARead(BigWordArray* wa, std::FILE* stream);
