#include "cassette/duration.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

QString FormatDuration(int seconds) {
  if (seconds < 0) {
    const int64_t magnitude = -int64_t(seconds);
    return QStringLiteral("-%1%2%3")
        .arg(magnitude / 60)
        .arg(TimeSeparator())
        .arg(magnitude % 60, 2, 10, QLatin1Char('0'));
  }
  return QStringLiteral("%1%2%3")
      .arg(seconds / 60)
      .arg(TimeSeparator())
      .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

bool IsTimeChar(char16_t c) {
  if (c > 0xFF) return false;
  if (c >= u'0' && c <= u'9') return true;
  return QString(QChar(c)) == TimeSeparator();
}

bool ParseDuration(const QString& text, int& minutes, int& seconds) {
  const QString separator = TimeSeparator();
  int begin = 0, end = int(text.size());
  while (begin < end && text[begin] == QLatin1Char(' ')) ++begin;
  while (end > begin && text[end - 1] == QLatin1Char(' ')) --end;

  // Read from the right: seconds digits until the separator, then minutes digits.
  constexpr int64_t kMaxMinutes = (int64_t(INT_MAX) - 59) / 60;
  int64_t mins = 0, secs = 0, multiplier = 1;
  bool valid = true, separatorSeen = false, tooLarge = false;
  int secondsDigits = 0;
  for (int i = end - 1; i >= begin; --i) {
    const QChar c = text[i];
    if (QString(c) == separator) {
      if (separatorSeen) valid = false;
      separatorSeen = true;
      multiplier = 1;
    } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
      // The time characters other than the separator, which was matched above.
      const int digit = c.unicode() - u'0';
      // Leading zeros may be any in number; a significant digit past the range is too large.
      if (digit != 0 && multiplier > kMaxMinutes) {
        tooLarge = true;
      } else if (separatorSeen) {
        mins += digit * multiplier;
      } else {
        secs += digit * multiplier;
      }
      if (!separatorSeen) ++secondsDigits;
      if (multiplier <= kMaxMinutes) multiplier *= 10;
    } else {
      valid = false;
    }
  }
  if (mins > kMaxMinutes) tooLarge = true;
  if (tooLarge || secs > 59 || secondsDigits != 2) valid = false;
  minutes = tooLarge ? 0 : int(mins);
  seconds = int(secs);
  return valid;
}
