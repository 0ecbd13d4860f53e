#pragma once

#include <QString>

// The find dialog's options, combined as a bit set.
enum TFindOption : unsigned {
  frDown = 1u << 0,
  frMatchCase = 1u << 1,
  frWholeWord = 1u << 2,
};
using TFindOptions = unsigned;

// Lower-cases the ASCII letters A to Z only, as the search always did.
QString AsciiLower(const QString& text);

// Answers whether `pattern` occurs in `text`. Both are compared as given, so a search without
// match case lower-cases both first (AsciiLower). With wholeWord an occurrence counts only when
// the character before it and the one after it (where there are such) are not ASCII letters or
// digits; every occurrence is tried in turn. An empty pattern occurs nowhere.
bool TextContains(const QString& text, const QString& pattern, bool wholeWord);
