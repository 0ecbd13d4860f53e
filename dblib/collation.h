#pragma once
// Locale-aware text comparison and upper-casing of Windows-1252 text, with ICU in
// the user's locale (LC_ALL, then LC_COLLATE, then LANG; ICU's root order if none).
#include <string>

namespace rs {

// Case-insensitive comparison (secondary strength): <0, 0, >0.
int CompareNoCase(const char* a, const char* b);
// Case-sensitive comparison (tertiary strength): <0, 0, >0.
int CompareCase(const char* a, const char* b);
// A byte string whose memcmp order equals CompareNoCase's order. May throw
// std::bad_alloc (the others end the process with "Out of memory" instead).
std::string SortKeyNoCase(const char* s);
// Upper-cases in place in the user's locale; characters whose upper case has no
// Windows-1252 form stay as they are. The length never changes.
void UpperCase(char* s);

// Windows-1252 -> UTF-16 for one byte. The five bytes Windows-1252 leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 controls of the same value, as the
// platform's own conversion does.
char16_t Cp1252ToUnicode(unsigned char c);
// UTF-16 -> Windows-1252 for one code unit; '?' when it has no Windows-1252 form.
unsigned char UnicodeToCp1252(char16_t u);

// Drops the cached collators so the next comparison reads the locale again
// (tests that change the locale call this). The collators live in a function-local
// cache of collation.cpp; it is the module's only state.
void ResetCollation();
// Changes whenever ResetCollation runs: sort keys made under an older generation
// may order differently and must be made again.
unsigned CollationGeneration();

}  // namespace rs
