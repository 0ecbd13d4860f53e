#include <gtest/gtest.h>

#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include "select/find_text.h"

namespace {

constexpr TFindOptions kAnyCase = 0;
constexpr TFindOptions kWord = frWholeWord;
constexpr TFindOptions kCase = frMatchCase;

TEST(FindText, AsciiWholeWordNeedsNoLetterOrDigitOnEitherSide) {
  EXPECT_TRUE(TextContains("the cat sat", "cat", kWord));
  EXPECT_TRUE(TextContains("cat", "cat", kWord));
  EXPECT_TRUE(TextContains("(cat)", "cat", kWord));
  EXPECT_FALSE(TextContains("cats", "cat", kWord));
  EXPECT_FALSE(TextContains("bobcat", "cat", kWord));
  EXPECT_FALSE(TextContains("cat9", "cat", kWord));
  // A later occurrence counts when an earlier one is inside a word.
  EXPECT_TRUE(TextContains("bobcat and cat", "cat", kWord));
  EXPECT_TRUE(TextContains("bobcat", "cat", kAnyCase));
  EXPECT_FALSE(TextContains("anything", "", kAnyCase));
}

TEST(FindText, AsciiCaseIsIgnoredUnlessMatched) {
  EXPECT_TRUE(TextContains("The Cat", "cAT", kAnyCase));
  EXPECT_TRUE(TextContains("The Cat", "Cat", kCase));
  EXPECT_FALSE(TextContains("The Cat", "cat", kCase));
  EXPECT_TRUE(TextContains("The Cat", "CAT", kWord));
  EXPECT_FALSE(TextContains("The Cat", "CAT", kWord | kCase));
}

TEST(FindText, AccentedAndNonLatinTitlesFoldTheirCase) {
  EXPECT_TRUE(TextContains("Élan Vital", "élan", kAnyCase));
  EXPECT_TRUE(TextContains("Élan Vital", "élan", kWord));
  EXPECT_TRUE(TextContains("Quiet Señor", "SEÑOR", kAnyCase));
  EXPECT_TRUE(TextContains("Straße der Lieder", "STRASSE", kWord));  // full folding: ß is ss
  EXPECT_TRUE(TextContains("STRASSE", "straße", kAnyCase));
  EXPECT_FALSE(TextContains("ß", "s", kAnyCase));  // half a folded character is no match
  EXPECT_TRUE(TextContains("Группа крови", "ГРУППА", kWord));
  EXPECT_TRUE(TextContains("ΚΟΣΜΟΣ", "κοσμος", kAnyCase));  // final sigma
  EXPECT_TRUE(TextContains("Ωδή στη χαρά", "ΩΔΉ", kWord));
  EXPECT_EQ(FoldCase("ÉCOLE Straße"), "école strasse");
}

TEST(FindText, FoldingAgreesWithIcuAcrossLatinOneAndBeyond) {
  // The common characters take a shortcut past ICU; it must give ICU's answer.
  for (char16_t u = 1; u < 0x600; ++u) {
    if (QChar::isSurrogate(u)) continue;
    UChar expected[8];
    UErrorCode error = U_ZERO_ERROR;
    const int32_t n = u_strFoldCase(expected, 8, &u, 1, U_FOLD_CASE_DEFAULT, &error);
    ASSERT_TRUE(U_SUCCESS(error));
    EXPECT_EQ(FoldCase(QString(QChar(u))), QString(reinterpret_cast<const QChar*>(expected), n))
        << "U+" << std::hex << int(u);
  }
}

TEST(FindText, MatchCaseComparesAsTyped) {
  EXPECT_FALSE(TextContains("Élan Vital", "élan", kCase));
  EXPECT_TRUE(TextContains("Élan Vital", "Élan", kCase | kWord));
  EXPECT_FALSE(TextContains("Quiet Señor", "SEÑOR", kCase));
  EXPECT_TRUE(TextContains("Quiet Señor", "Señor", kCase));
  EXPECT_FALSE(TextContains("Straße", "STRASSE", kCase));
  EXPECT_FALSE(TextContains("Группа крови", "группа", kCase));
  EXPECT_TRUE(TextContains("Группа крови", "крови", kCase | kWord));
}

TEST(FindText, LettersAndDigitsOfEveryScriptBindAWord) {
  EXPECT_FALSE(TextContains("Quiet Señor", "Se", kWord));
  EXPECT_TRUE(TextContains("Quiet Señor", "Se", kAnyCase));
  EXPECT_TRUE(TextContains("¡Señor!", "señor", kWord));
  EXPECT_FALSE(TextContains("Café", "caf", kWord));
  EXPECT_FALSE(TextContains("東京ラプソディ", "東京", kWord));  // kana are letters too
  EXPECT_TRUE(TextContains("東京 ラプソディ", "東京", kWord));
  EXPECT_FALSE(TextContains("Track٣", "track", kWord));  // an Arabic-Indic digit
  EXPECT_TRUE(TextContains("Track – 3", "track", kWord));
}

TEST(FindText, CombiningAccentsBelongToTheirLetter) {
  // "Café" with the accent as a combining mark: found by either way of typing it.
  const QString cafe = QString::fromUtf8("Cafe\xCC\x81 Society");
  EXPECT_TRUE(TextContains(cafe, "café", kWord));
  EXPECT_TRUE(TextContains(cafe, QString::fromUtf8("CAFE\xCC\x81"), kWord));
  EXPECT_TRUE(TextContains(cafe, "Café", kCase | kWord));
  EXPECT_TRUE(TextContains("Élan Vital", QString::fromUtf8("E\xCC\x81lan"), kCase));
  // q with a tilde has no composed form: the mark stays and keeps "Tuq" inside the word.
  const QString tuq = QString::fromUtf8("Tuq\xCC\x83 Song");
  EXPECT_TRUE(TextContains(tuq, "tuq", kAnyCase));
  EXPECT_FALSE(TextContains(tuq, "tuq", kWord));
  EXPECT_TRUE(TextContains(tuq, QString::fromUtf8("TUQ\xCC\x83"), kWord));
  EXPECT_TRUE(TextContains(tuq, "song", kWord));
}

TEST(FindText, OneFinderServesManyTexts) {
  TFindText finder("señor", kWord);
  EXPECT_FALSE(finder.FoundIn("Señorita"));
  EXPECT_TRUE(finder.FoundIn("Quiet Señor"));
  EXPECT_FALSE(finder.FoundIn("Quiet Sir"));
  EXPECT_TRUE(finder.FoundIn(QString::fromUtf8("SEN\xCC\x83OR")));
}

}  // namespace
