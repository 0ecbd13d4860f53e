#pragma once

#include <QString>

#include <vector>

// The find dialog's options, combined as a bit set.
enum TFindOption : unsigned {
  frDown = 1u << 0,
  frMatchCase = 1u << 1,
  frWholeWord = 1u << 2,
};
using TFindOptions = unsigned;

// Full Unicode case folding ("Straße" and "STRASSE" both become "strasse").
QString FoldCase(const QString& text);

// Answers whether the find dialog's text occurs in a cell's text, in any script.
// Both texts are compared in composed form (NFC), so an accent typed as a combining mark
// matches the accented letter. Without frMatchCase both are also case-folded; an occurrence
// must then start and end on whole characters of the text (the "s" of folded "ß" is no "s").
// With frWholeWord the characters before and after an occurrence must not be letters,
// numbers or combining marks, so an occurrence that ends before a mark is inside a word.
// An empty pattern occurs nowhere. frDown is ignored.
class TFindText {
 public:
  TFindText(const QString& pattern, TFindOptions options);

  // Uses scratch buffers kept between calls, so one object serves one search at a time.
  bool FoundIn(const QString& text);

 private:
  bool matchCase_;
  bool wholeWord_;
  QString pattern_;
  QString composed_;
  QString folded_;
  // folded_[i] came from the character that starts at origin_[i] of the composed text.
  std::vector<qsizetype> origin_;
};

// One-off form of TFindText::FoundIn.
bool TextContains(const QString& text, const QString& pattern, TFindOptions options);
