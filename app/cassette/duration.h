#pragma once

#include <QString>

// TimeSeparator() (the settings file's "Intl"/"sTime", else the locale's, else ":") lives with
// the profile module, which owns where settings come from; every routine below asks it afresh
// on each call, so a changed separator takes effect at once.
#include "platform/profile.h"

// Seconds as minutes, separator, two-digit seconds: 65 -> "1:05", 5400 -> "90:00". Minutes are
// not limited to 59. A negative value is written as "-" and the text of its magnitude.
QString FormatDuration(int seconds);

// Reads the text form back. Blanks (spaces only) around the text are ignored; the minutes may be
// empty or have any number of digits, and the separator may be left out when exactly two
// seconds digits are given ("30"). Answers false for anything else: no seconds digits or not
// exactly two, seconds over 59, a second separator, any other character, or minutes so many
// that the whole would not fit in an int of seconds. minutes and seconds are set either way.
bool ParseDuration(const QString& text, int& minutes, int& seconds);

// True for the digits and for a character that is the whole separator; false for any character
// beyond 8 bits.
bool IsTimeChar(char16_t c);
