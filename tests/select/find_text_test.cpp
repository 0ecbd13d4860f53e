#include <gtest/gtest.h>

#include "select/find_text.h"

namespace {

TEST(FindText, WholeWordNeedsNoLetterOrDigitOnEitherSide) {
  EXPECT_TRUE(TextContains("the cat sat", "cat", true));
  EXPECT_TRUE(TextContains("cat", "cat", true));
  EXPECT_TRUE(TextContains("(cat)", "cat", true));
  EXPECT_FALSE(TextContains("cats", "cat", true));
  EXPECT_FALSE(TextContains("bobcat", "cat", true));
  EXPECT_FALSE(TextContains("cat9", "cat", true));
  // A later occurrence counts when an earlier one is inside a word.
  EXPECT_TRUE(TextContains("bobcat and cat", "cat", true));
  EXPECT_TRUE(TextContains("bobcat", "cat", false));
}

TEST(FindText, EmptyTextFindsNothingAndCaseFoldingIsAsciiOnly) {
  EXPECT_FALSE(TextContains("anything", "", false));
  EXPECT_EQ(AsciiLower(QString::fromUtf8("ÉCOLE Abc")), QString::fromUtf8("École abc"));
  EXPECT_FALSE(TextContains("Cat", "cat", false));  // comparison itself is exact
}

}  // namespace
