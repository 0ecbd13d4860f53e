// Locale-aware comparison and upper-casing of Windows-1252 text with ICU.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <random>
#include <string>

#include "collation.h"

namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

// Pins the locale variables for one test and restores them afterwards.
class Collate : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 3; ++i) {
      const char* v = std::getenv(kVars[i]);
      saved_[i] = v ? std::optional<std::string>(v) : std::nullopt;
    }
    Use("en_US.UTF-8", nullptr, nullptr);
  }
  void TearDown() override {
    for (int i = 0; i < 3; ++i) Set(kVars[i], saved_[i] ? saved_[i]->c_str() : nullptr);
    rs::ResetCollation();
  }
  static void Set(const char* var, const char* value) {
    if (value)
      setenv(var, value, 1);
    else
      unsetenv(var);
  }
  static void Use(const char* all, const char* collate, const char* lang) {
    Set("LC_ALL", all);
    Set("LC_COLLATE", collate);
    Set("LANG", lang);
    rs::ResetCollation();
  }
  // "ä" before "z" in English and root order, after "z" in Swedish.
  static bool Swedish() { return rs::CompareNoCase("\xE4", "z") > 0; }

 private:
  static constexpr const char* kVars[3] = {"LC_ALL", "LC_COLLATE", "LANG"};
  std::optional<std::string> saved_[3];
};

TEST_F(Collate, CaseInsensitiveComparisonIgnoresOnlyCase) {
  EXPECT_EQ(rs::CompareNoCase("The Beatles", "the beatles"), 0);
  EXPECT_LT(rs::CompareNoCase("apple", "Banana"), 0);  // unlike a byte comparison
  EXPECT_GT(rs::CompareNoCase("banana", "Apple"), 0);
  EXPECT_NE(rs::CompareNoCase("resume", "r\xE9sum\xE9"), 0);  // accents still count
  EXPECT_LT(rs::CompareNoCase("r\xE9sum\xE9", "rf"), 0);
  EXPECT_LT(rs::CompareNoCase("", "a"), 0);
  EXPECT_EQ(rs::CompareNoCase(nullptr, ""), 0);
}

TEST_F(Collate, CaseSensitiveComparisonSeesCase) {
  EXPECT_NE(rs::CompareCase("The Beatles", "the beatles"), 0);
  EXPECT_EQ(rs::CompareCase("same", "same"), 0);
  EXPECT_LT(rs::CompareCase("apple", "Banana"), 0);  // letters first, case second
}

TEST_F(Collate, BracketSortsBeforeDigitsAndLetters) {
  EXPECT_LT(rs::CompareNoCase("[Singles]", "0"), 0);
  EXPECT_LT(rs::CompareNoCase("[Singles]", "Abbey Road"), 0);
  EXPECT_LT(rs::CompareNoCase("9", "a"), 0);
}

TEST_F(Collate, Windows1252CharactersCompareAsTheirUnicode) {
  EXPECT_EQ(rs::CompareNoCase("\x8A", "\x9A"), 0);  // Š and š
  EXPECT_EQ(rs::CompareNoCase("\x8C", "\x9C"), 0);  // Œ and œ
  EXPECT_EQ(rs::CompareNoCase("\x9F", "\xFF"), 0);  // Ÿ and ÿ
  EXPECT_NE(rs::CompareCase("\x8A", "\x9A"), 0);
  EXPECT_LT(rs::CompareNoCase("\x8A"
                              "a",
                              "t"),
            0);  // Š near S, not after every ASCII letter
}

TEST_F(Collate, DecodingTableCoversTheWholeHighRange) {
  EXPECT_EQ(rs::Cp1252ToUnicode('A'), u'A');
  EXPECT_EQ(rs::Cp1252ToUnicode(0x80), u'\u20AC');
  EXPECT_EQ(rs::Cp1252ToUnicode(0x85), u'\u2026');
  EXPECT_EQ(rs::Cp1252ToUnicode(0x8A), u'\u0160');
  EXPECT_EQ(rs::Cp1252ToUnicode(0x96), u'\u2013');
  EXPECT_EQ(rs::Cp1252ToUnicode(0x99), u'\u2122');
  EXPECT_EQ(rs::Cp1252ToUnicode(0x9F), u'\u0178');
  EXPECT_EQ(rs::Cp1252ToUnicode(0xA0), u'\u00A0');
  EXPECT_EQ(rs::Cp1252ToUnicode(0xE9), u'\u00E9');
  EXPECT_EQ(rs::Cp1252ToUnicode(0xFF), u'\u00FF');
  for (unsigned char undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
    EXPECT_EQ(rs::Cp1252ToUnicode(undefined), static_cast<char16_t>(undefined));
  for (int c = 0; c < 256; ++c)  // the table is a bijection
    EXPECT_EQ(rs::UnicodeToCp1252(rs::Cp1252ToUnicode(static_cast<unsigned char>(c))), c);
  EXPECT_EQ(rs::UnicodeToCp1252(u'\u0100'), '?');
}

TEST_F(Collate, UpperCaseKeepsTheLengthAndWindows1252) {
  char text[] = "abc \xE9\xFF\x9A\x9C\xDF\xB5 xyz";  // é ÿ š œ ß µ
  rs::UpperCase(text);
  EXPECT_STREQ(text, "ABC \xC9\x9F\x8A\x8C\xDF\xB5 XYZ");  // ß and µ have no single form
}

TEST_F(Collate, UpperCaseFollowsTheLocale) {
  Use("tr_TR.UTF-8", nullptr, nullptr);
  char text[] = "i";
  rs::UpperCase(text);  // Turkish dotted capital I is not in Windows-1252: unchanged
  EXPECT_STREQ(text, "i");
  Use("en_US.UTF-8", nullptr, nullptr);
  rs::UpperCase(text);
  EXPECT_STREQ(text, "I");
}

TEST_F(Collate, LocaleComesFromLcAllThenLcCollateThenLang) {
  Use("sv_SE.UTF-8", "en_US.UTF-8", "en_US.UTF-8");
  EXPECT_TRUE(Swedish());
  Use(nullptr, "sv_SE.UTF-8", "en_US.UTF-8");
  EXPECT_TRUE(Swedish());
  Use(nullptr, nullptr, "sv_SE.UTF-8");
  EXPECT_TRUE(Swedish());
  Use("en_US.UTF-8", "sv_SE.UTF-8", "sv_SE.UTF-8");
  EXPECT_FALSE(Swedish());
  Use("", "", "sv_SE");  // empty variables count as unset
  EXPECT_TRUE(Swedish());
}

TEST_F(Collate, CodesetAndModifierAreStripped) {
  Use("sv_SE.ISO-8859-1@euro", nullptr, nullptr);
  EXPECT_TRUE(Swedish());
  Use("sv_SE@euro", nullptr, nullptr);
  EXPECT_TRUE(Swedish());
}

TEST_F(Collate, CPosixAndNothingGiveTheRootOrder) {
  for (const char* root : {"C", "POSIX", "C.UTF-8"}) {
    Use(root, "sv_SE.UTF-8", nullptr);
    EXPECT_FALSE(Swedish()) << root;
    EXPECT_EQ(rs::CompareNoCase("ABC", "abc"), 0) << root;
    EXPECT_LT(rs::CompareNoCase("apple", "Banana"), 0) << root;
  }
  Use(nullptr, nullptr, nullptr);
  EXPECT_FALSE(Swedish());
  EXPECT_LT(rs::CompareNoCase("[x]", "1"), 0);
}

TEST_F(Collate, ResetCollationStartsANewGeneration) {
  const unsigned before = rs::CollationGeneration();
  rs::ResetCollation();
  EXPECT_NE(rs::CollationGeneration(), before);
}

TEST_F(Collate, SortKeysOrderAsTheComparison) {
  std::mt19937 rng(11);
  const char alphabet[] = "aAbB eE\xE9\xC9[]-'09\x8A\x9A\xE4z";
  auto random = [&] {
    std::string s;
    const int n = static_cast<int>(rng() % 6);
    for (int i = 0; i < n; ++i) s += alphabet[rng() % (sizeof alphabet - 1)];
    return s;
  };
  for (const char* locale : {"en_US.UTF-8", "sv_SE.UTF-8", "C"}) {
    Use(locale, nullptr, nullptr);
    for (int i = 0; i < 3000; ++i) {
      const std::string a = random(), b = random();
      const std::string ka = rs::SortKeyNoCase(a.c_str()), kb = rs::SortKeyNoCase(b.c_str());
      ASSERT_EQ(Sign(ka.compare(kb)), Sign(rs::CompareNoCase(a.c_str(), b.c_str())))
          << locale << " '" << a << "' '" << b << "'";
    }
  }
}

TEST_F(Collate, LongTextsCompareWhole) {
  const std::string a = std::string(400, 'x') + "a", b = std::string(400, 'X') + "b";
  EXPECT_LT(rs::CompareNoCase(a.c_str(), b.c_str()), 0);
  EXPECT_LT(rs::SortKeyNoCase(a.c_str()), rs::SortKeyNoCase(b.c_str()));
}

}  // namespace
