#include "select/find_text.h"

namespace {

bool IsAsciiAlnum(QChar c) {
  const char16_t u = c.unicode();
  return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

}  // namespace

QString AsciiLower(const QString& text) {
  QString out = text;
  for (QChar& c : out) {
    const char16_t u = c.unicode();
    if (u >= u'A' && u <= u'Z') c = QChar(static_cast<char16_t>(u - u'A' + u'a'));
  }
  return out;
}

bool TextContains(const QString& text, const QString& pattern, bool wholeWord) {
  if (pattern.isEmpty()) return false;
  for (qsizetype at = text.indexOf(pattern, 0, Qt::CaseSensitive); at >= 0;
       at = text.indexOf(pattern, at + 1, Qt::CaseSensitive)) {
    if (!wholeWord) return true;
    const qsizetype end = at + pattern.size();
    const bool startsWord = at == 0 || !IsAsciiAlnum(text[at - 1]);
    const bool endsWord = end >= text.size() || !IsAsciiAlnum(text[end]);
    if (startsWord && endsWord) return true;
  }
  return false;
}
