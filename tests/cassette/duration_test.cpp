#include "cassette/duration.h"

#include <gtest/gtest.h>

#include "cassette_test_environment.h"

namespace {

using cassette_test::TSeparatorSetting;

// The duration in seconds, or -1 when the text does not parse.
int Parse(const QString& text) {
  int minutes = -7, seconds = -7;
  if (!ParseDuration(text, minutes, seconds)) return -1;
  return minutes * 60 + seconds;
}

TEST(Duratn, FormatsMinutesSeparatorAndTwoDigitSeconds) {
  EXPECT_EQ(FormatDuration(0), "0:00");
  EXPECT_EQ(FormatDuration(65), "1:05");
  EXPECT_EQ(FormatDuration(599), "9:59");
  EXPECT_EQ(FormatDuration(5400), "90:00");
  EXPECT_EQ(FormatDuration(6000), "100:00");
  // A side made negative by short songs and a negative gap.
  EXPECT_EQ(FormatDuration(-5), "-0:05");
  EXPECT_EQ(FormatDuration(-65), "-1:05");
}

TEST(Duratn, ParsesTheTextForms) {
  EXPECT_EQ(Parse("1:35"), 95);
  EXPECT_EQ(Parse(" 90:00 "), 5400);
  EXPECT_EQ(Parse(":07"), 7);
  EXPECT_EQ(Parse("07"), 7);
  EXPECT_EQ(Parse("0:00"), 0);
  EXPECT_EQ(Parse("001:05"), 65);
  EXPECT_EQ(Parse("100:00"), 6000);
  for (int seconds : {0, 1, 59, 60, 599, 3599, 5400, 65535}) {
    EXPECT_EQ(Parse(FormatDuration(seconds)), seconds);
  }
}

TEST(Duratn, RefusesMalformedText) {
  for (const char* text : {"", "   ", "1:5", "1:60", "1:2:03", "1.35", "a1:35", "1:355", "130",
                           "1: 35", "1:3a5", "-1:00", "1:35x"}) {
    EXPECT_EQ(Parse(text), -1) << text;
  }
}

TEST(Duratn, MinutesBeyondAnIntOfSecondsAreRefused) {
  // The largest duration an int holds is 35791394:07; leading zeros do not count.
  EXPECT_EQ(Parse("35791393:59"), 35791393 * 60 + 59);
  EXPECT_EQ(Parse("000000000000000000001:05"), 65);
  EXPECT_EQ(Parse("35791394:00"), -1);
  EXPECT_EQ(Parse("99999999999999999999:00"), -1);
  EXPECT_EQ(Parse("1:000000000000000000001"), -1);
}

TEST(Duratn, UsesTheSeparatorOfTheSettingsReadAfreshEachTime) {
  TSeparatorSetting separator(".");
  EXPECT_EQ(FormatDuration(95), "1.35");
  EXPECT_EQ(Parse("1.35"), 95);
  EXPECT_EQ(Parse("1:35"), -1);
  EXPECT_TRUE(IsTimeChar(u'.'));
  EXPECT_FALSE(IsTimeChar(u':'));

  separator.Set(":");
  EXPECT_EQ(FormatDuration(95), "1:35");
  EXPECT_EQ(Parse("1.35"), -1);
  EXPECT_TRUE(IsTimeChar(u':'));
  EXPECT_FALSE(IsTimeChar(u'.'));
}

TEST(Duratn, TimeCharactersAreDigitsAndASingleCharacterSeparator) {
  for (char16_t c = u'0'; c <= u'9'; ++c) EXPECT_TRUE(IsTimeChar(c));
  EXPECT_FALSE(IsTimeChar(u'a'));
  EXPECT_FALSE(IsTimeChar(u' '));
  EXPECT_FALSE(IsTimeChar(0x0660));  // ARABIC-INDIC DIGIT ZERO: beyond 8 bits

  {
    // A separator of two characters never matches one typed character.
    TSeparatorSetting separator("h.");
    EXPECT_FALSE(IsTimeChar(u'h'));
    EXPECT_FALSE(IsTimeChar(u'.'));
    EXPECT_EQ(FormatDuration(65), "1h.05");
    EXPECT_EQ(Parse("1h.05"), -1);
    EXPECT_EQ(Parse("05"), 5);
  }
  {
    // A separator beyond 8 bits is written, but never typed.
    TSeparatorSetting separator(QString(QChar(0xFF1A)));
    EXPECT_FALSE(IsTimeChar(0xFF1A));
    EXPECT_EQ(Parse(QString("1") + QChar(0xFF1A) + "05"), 65);
  }
}

}  // namespace
