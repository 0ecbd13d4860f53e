#pragma once
// Locale-aware text comparison and upper-casing of Windows-1252 text, with ICU in
// the user's locale (LC_ALL, then LC_COLLATE, then LANG; ICU's root order if none).
#include <string>

namespace rs {

// Case-insensitive comparison (secondary strength): <0, 0, >0.
int CompareNoCase(const char* a, const char* b);
// Case-sensitive comparison (tertiary strength): <0, 0, >0.
int CompareCase(const char* a, const char* b);
// A byte string whose memcmp order equals CompareNoCase's order.
std::string SortKeyNoCase(const char* s);
// Upper-cases in place in the user's locale; characters whose upper case has no
// Windows-1252 form stay as they are. The length never changes.
void UpperCase(char* s);

// Windows-1252 <-> UTF-16 for one byte / one code unit. Unmappable -> '?'.
char16_t Cp1252ToUnicode(unsigned char c);

// Drops the cached collators so the next comparison reads the locale again
// (tests that change the locale call this).
void ResetCollation();

}  // namespace rs
