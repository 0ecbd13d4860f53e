#include "select/find_text.h"

#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>

namespace {

static_assert(sizeof(UChar) == sizeof(QChar), "ICU and Qt share UTF-16 code units");

const UChar* Units(const QString& text, qsizetype at = 0) {
  return reinterpret_cast<const UChar*>(text.constData() + at);
}

// The text in composed form: `text` itself when it is already composed, else `scratch`
// filled with it. Nothing below U+0300 changes under NFC, which spares the usual catalogue
// text a call into ICU.
const QString& Composed(const QString& text, QString& scratch) {
  bool below = true;
  for (const QChar c : text) {
    if (c.unicode() >= 0x300) {
      below = false;
      break;
    }
  }
  if (below) return text;
  UErrorCode error = U_ZERO_ERROR;
  const UNormalizer2* nfc = unorm2_getNFCInstance(&error);
  const auto length = static_cast<int32_t>(text.size());
  if (U_FAILURE(error) || unorm2_spanQuickCheckYes(nfc, Units(text), length, &error) == length ||
      U_FAILURE(error))
    return text;
  scratch.resize(text.size() + 16);
  int32_t needed =
      unorm2_normalize(nfc, Units(text), length, reinterpret_cast<UChar*>(scratch.data()),
                       static_cast<int32_t>(scratch.size()), &error);
  if (error == U_BUFFER_OVERFLOW_ERROR) {
    error = U_ZERO_ERROR;
    scratch.resize(needed);
    needed = unorm2_normalize(nfc, Units(text), length, reinterpret_cast<UChar*>(scratch.data()),
                              needed, &error);
  }
  if (U_FAILURE(error)) return text;
  scratch.resize(needed);
  return scratch;
}

// Folds one character at a time so that every folded unit remembers where its character
// starts; full folding may turn one character into up to three.
void FoldWithOrigins(const QString& text, QString& out, std::vector<qsizetype>& origin) {
  out.resize(0);
  origin.clear();
  out.reserve(text.size());
  origin.reserve(static_cast<size_t>(text.size()));
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n;) {
    const char16_t u = text[i].unicode();
    // Latin-1, the bulk of catalogue text, folds by adding 0x20 to the capitals, except for
    // micro sign and sharp s, which go to ICU with the rest.
    if (u < 0x100 && u != 0xB5 && u != 0xDF) {
      const bool capital = (u >= u'A' && u <= u'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7);
      out.append(QChar(capital ? static_cast<char16_t>(u + 0x20) : u));
      origin.push_back(i);
      ++i;
      continue;
    }
    const qsizetype length =
        QChar::isHighSurrogate(u) && i + 1 < n && text[i + 1].isLowSurrogate() ? 2 : 1;
    UChar folded[8];
    UErrorCode error = U_ZERO_ERROR;
    int32_t units = u_strFoldCase(folded, 8, Units(text, i), static_cast<int32_t>(length),
                                  U_FOLD_CASE_DEFAULT, &error);
    if (U_FAILURE(error)) {
      units = static_cast<int32_t>(length);
      for (qsizetype k = 0; k < length; ++k) folded[k] = text[i + k].unicode();
    }
    out.append(reinterpret_cast<const QChar*>(folded), units);
    origin.insert(origin.end(), static_cast<size_t>(units), i);
    i += length;
  }
}

bool IsWordCharacter(UChar32 c) {
  return (U_GET_GC_MASK(c) & (U_GC_L_MASK | U_GC_N_MASK | U_GC_M_MASK)) != 0;
}

bool WordCharacterBefore(const QString& text, qsizetype at) {
  if (at <= 0) return false;
  UChar32 c = text[at - 1].unicode();
  if (U16_IS_TRAIL(c) && at >= 2 && U16_IS_LEAD(text[at - 2].unicode()))
    c = U16_GET_SUPPLEMENTARY(text[at - 2].unicode(), c);
  return IsWordCharacter(c);
}

bool WordCharacterAt(const QString& text, qsizetype at) {
  if (at >= text.size()) return false;
  UChar32 c = text[at].unicode();
  if (U16_IS_LEAD(c) && at + 1 < text.size() && U16_IS_TRAIL(text[at + 1].unicode()))
    c = U16_GET_SUPPLEMENTARY(c, text[at + 1].unicode());
  return IsWordCharacter(c);
}

}  // namespace

QString FoldCase(const QString& text) {
  QString out;
  std::vector<qsizetype> origin;
  FoldWithOrigins(text, out, origin);
  return out;
}

TFindText::TFindText(const QString& pattern, TFindOptions options)
    : matchCase_((options & frMatchCase) != 0), wholeWord_((options & frWholeWord) != 0) {
  QString scratch;
  pattern_ = Composed(pattern, scratch);
  if (!matchCase_) pattern_ = FoldCase(pattern_);
}

bool TFindText::FoundIn(const QString& text) {
  if (pattern_.isEmpty()) return false;
  const QString& composed = Composed(text, composed_);
  if (!matchCase_) FoldWithOrigins(composed, folded_, origin_);
  const QString& searched = matchCase_ ? composed : folded_;
  for (qsizetype at = searched.indexOf(pattern_, 0, Qt::CaseSensitive); at >= 0;
       at = searched.indexOf(pattern_, at + 1, Qt::CaseSensitive)) {
    const qsizetype end = at + pattern_.size();
    qsizetype first = at;
    qsizetype last = end;
    if (!matchCase_) {
      if (at > 0 && origin_[at - 1] == origin_[at]) continue;
      if (end < searched.size() && origin_[end] == origin_[end - 1]) continue;
      first = origin_[at];
      last = end < searched.size() ? origin_[end] : composed.size();
    }
    if (!wholeWord_) return true;
    if (!WordCharacterBefore(composed, first) && !WordCharacterAt(composed, last)) return true;
  }
  return false;
}

bool TextContains(const QString& text, const QString& pattern, TFindOptions options) {
  return TFindText(pattern, options).FoundIn(text);
}
