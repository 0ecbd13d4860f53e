#pragma once
// The album field definitions: two user choice fields and two user text fields. The
// struct maps byte for byte onto the 5,192-byte block of the catalogue file (its
// 16-bit values are converted to little-endian by the file code).
#include <cstdint>

#include "reelsmithdb.h"

constexpr int FIELDNAME_SIZE = 20;
constexpr int CHOICE_SIZE = 50;
constexpr int MAX_CHOICES = 50;
constexpr int MAX_CHARS_PER_TITLE = 50;
constexpr int FIELD_DEFS_SIZE = 5192;
constexpr int MEDIA_COUNT = 6;

struct FieldDefs {
  char choiceName[2][FIELDNAME_SIZE + 1];  // offsets 0, 21
  char textName[2][FIELDNAME_SIZE + 1];    // offsets 42, 63
  uint16_t choiceCount[2];                 // offsets 84, 86; 0 = not in use
  uint16_t textState[2];                   // offsets 88, 90; non-zero = in use
  char choices[2][MAX_CHOICES][CHOICE_SIZE + 1];  // offsets 92, 2642
};
static_assert(sizeof(FieldDefs) == FIELD_DEFS_SIZE, "field definitions must match the file block");

// The fixed media list; index 0 is media value 1.
extern const char* const kMediaNames[MEDIA_COUNT];

// Clears names and counts of fields that cannot be in use, then brings every album in
// line: choices beyond a count become 0, texts of fields out of use become empty.
void ValidateFieldDefs();
