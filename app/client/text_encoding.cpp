#include "client/text_encoding.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>

#include "platform/exceptions.h"

namespace {

// Code points of bytes 0x80 to 0x9F. Undefined bytes map to the C1 control of the same
// value, as the system's own conversion does.
constexpr char16_t kHighTable[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

char EncodeChar(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (int i = 0; i < 32; ++i)
    if (kHighTable[i] == c) return static_cast<char>(0x80 + i);
  return '?';
}

// Converts at most maxChars characters of text into out; returns the bytes written.
int Encode(QStringView text, char* out, int maxChars) {
  int n = 0;
  const qsizetype len = text.size();
  for (qsizetype i = 0; i < len && n < maxChars; ++i) {
    const QChar ch = text[i];
    char32_t c = ch.unicode();
    if (ch.isHighSurrogate() && i + 1 < len && text[i + 1].isLowSurrogate()) {
      ++i;  // one character outside the basic plane: one '?'
      c = 0x10000;
    }
    out[n++] = EncodeChar(c);
  }
  return n;
}

}  // namespace

QByteArray ToWindows1252(QStringView text) {
  QByteArray out(text.size(), Qt::Uninitialized);
  out.truncate(Encode(text, out.data(), static_cast<int>(text.size())));
  return out;
}

QString FirstUnstorableCharacter(QStringView text) {
  const qsizetype len = text.size();
  for (qsizetype i = 0; i < len; ++i) {
    const QChar ch = text[i];
    if (ch.isHighSurrogate() && i + 1 < len && text[i + 1].isLowSurrogate())
      return text.mid(i, 2).toString();
    // A lone surrogate has no form anywhere; '?' itself is stored as typed.
    if (ch.isSurrogate() || (ch != u'?' && EncodeChar(ch.unicode()) == '?')) return QString(ch);
  }
  return {};
}

QString UnstorableTextMessage(const QString& fieldName, const QString& character) {
  const char32_t code = character.isEmpty() ? 0 : character.toUcs4().value(0);
  return QStringLiteral(
             "%1 contains the character \"%2\" (U+%3), which the catalogue cannot "
             "store. The catalogue holds Western European text only.")
      .arg(fieldName, character,
           QStringLiteral("%1").arg(static_cast<uint>(code), 4, 16, QLatin1Char('0')).toUpper());
}

QString FromWindows1252(const char* bytes, int len) {
  // Sized to the text, not the buffer: a truncated string keeps its capacity, and the grids hold
  // one of these for every record of the catalogue.
  const int n = static_cast<int>(strnlen(bytes, static_cast<size_t>(std::max(len, 0))));
  QString out(n, Qt::Uninitialized);
  QChar* dst = out.data();
  for (int i = 0; i < n; ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    dst[i] = (b >= 0x80 && b < 0xA0) ? QChar(kHighTable[b - 0x80]) : QChar(b);
  }
  return out;
}

QString FromWindows1252(const char* zeroTerminated) {
  return FromWindows1252(zeroTerminated, static_cast<int>(std::strlen(zeroTerminated)));
}

TDbText::TDbText(QStringView text) { buf_[Encode(text, buf_, kDbBufferSize - 1)] = '\0'; }

QString TDbReadBuffer::Text() const { return FromWindows1252(buf_, kDbBufferSize); }

QByteArray DbFileName(const QString& fileName) {
  QByteArray bytes = QFile::encodeName(fileName);
  if (bytes.size() > kDbMaxFileNameBytes)
    throw Exception("The file name " + fileName + " is too long.");
  return bytes;
}

QString FromDbMessage(const char* zeroTerminated) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8(QByteArrayView(zeroTerminated));
  if (!utf8.hasError()) return text;
  return FromWindows1252(zeroTerminated);
}
