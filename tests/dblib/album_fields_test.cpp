#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "album.h"
#include "reelsmithdb.h"
#include "test_helpers.h"

namespace {

std::string AssertText(const std::string& condition) {
  std::string re = "Assertion failed: ";
  for (char c : condition) {
    if (std::string(".[]{}()*+?^$|\\").find(c) != std::string::npos) re += '\\';
    re += c;
  }
  return re + ", module";
}

struct FieldInfo {
  std::string label;
  int32_t isChoice;
};

FieldInfo Info(int32_t field) {
  char buf[64];
  FieldInfo f{"", 7};  // 7: not written
  GetAlbumFieldInfo(field, buf, 21, &f.isChoice);
  f.label = buf;
  return f;
}

std::string ChoiceItem(int32_t field, int32_t index) {
  char buf[64];
  std::memset(buf, 'x', sizeof buf);
  GetAlbumChoiceFieldItem(field, index, buf, 51);
  return buf;
}

int32_t LeadingInt(const char* buf) {
  int32_t v;
  std::memcpy(&v, buf, sizeof v);
  return v;
}

// A choice field in use with the given choices in slots 0, 1, ...
void DefineChoiceField(int32_t i, const char* name, const std::vector<std::string>& choices) {
  for (size_t k = 0; k < choices.size(); ++k)
    SetUserChoiceFieldItem(i, static_cast<int32_t>(k), choices[k].c_str());
  SetUserChoiceFieldInfo(i, name, static_cast<int32_t>(choices.size()));
}

class Reellib : public ::testing::Test {
 protected:
  void SetUp() override { rstest::ResetCatalogue(); }
  void TearDown() override { rstest::ResetCatalogue(); }
};

TEST_F(Reellib, FixedFieldsComeFirstAndUnusedNumbersAreEmpty) {
  EXPECT_EQ(GetAlbumFieldCount(), 3);
  EXPECT_EQ(Info(0).label, "&Album");
  EXPECT_EQ(Info(0).isChoice, 0);
  EXPECT_EQ(Info(1).label, "A&rtist");
  EXPECT_EQ(Info(1).isChoice, 0);
  EXPECT_EQ(Info(2).label, "&Media");
  EXPECT_EQ(Info(2).isChoice, 1);
  EXPECT_EQ(Info(3).label, "");
  EXPECT_EQ(Info(3).isChoice, 7);
  EXPECT_EQ(Info(-1).isChoice, 7);
}

TEST_F(Reellib, UserFieldsInUseAreNumberedChoiceFieldsFirst) {
  SetUserTextFieldInfo(2, "Shelf", 1);
  EXPECT_EQ(GetAlbumFieldCount(), 4);
  EXPECT_EQ(Info(3).label, "Shelf");
  EXPECT_EQ(Info(3).isChoice, 0);

  DefineChoiceField(2, "Genre", {"Jazz", "Rock"});
  EXPECT_EQ(GetAlbumFieldCount(), 5);
  EXPECT_EQ(Info(3).label, "Genre");
  EXPECT_EQ(Info(3).isChoice, 1);
  EXPECT_EQ(ChoiceItem(3, 0), "Jazz");
  EXPECT_EQ(Info(4).label, "Shelf");

  DefineChoiceField(1, "Mood", {"Calm"});
  SetUserTextFieldInfo(1, "Note", 1);
  EXPECT_EQ(GetAlbumFieldCount(), 7);
  const char* expected[] = {"Mood", "Genre", "Note", "Shelf"};
  for (int32_t f = 3; f < 7; ++f) EXPECT_EQ(Info(f).label, expected[f - 3]) << "field " << f;
  EXPECT_EQ(Info(7).label, "");
  EXPECT_EQ(ChoiceItem(4, 1), "Rock");
  EXPECT_EQ(ChoiceItem(3, 0), "Calm");
  EXPECT_EQ(ChoiceItem(5, 0), "");  // a text field has no choices
  EXPECT_EQ(ChoiceItem(3, 50), "");
}

TEST_F(Reellib, MediaChoicesAreTheFixedList) {
  const char* media[] = {"CD", "LP", "Cassette", "DAT", "45", "3\" CD"};
  for (int32_t k = 0; k < 6; ++k) EXPECT_EQ(ChoiceItem(2, k), media[k]);
  EXPECT_EQ(ChoiceItem(2, 6), "");
  EXPECT_EQ(ChoiceItem(2, -1), "");
  EXPECT_EQ(ChoiceItem(0, 0), "");
  EXPECT_EQ(ChoiceItem(1, 0), "");
}

TEST_F(Reellib, SettersCutTextAndMarkTheCatalogueChanged) {
  char buf[64];
  int32_t count = 0;
  ASSERT_EQ(GetDbChanged(), 0);
  SetUserChoiceFieldItem(2, 49, std::string(60, 'c').c_str());
  EXPECT_EQ(GetDbChanged(), 1);
  GetUserChoiceFieldItem(2, 49, buf, 51);
  EXPECT_EQ(std::string(buf), std::string(50, 'c'));
  CleanupDb();
  DefineChoiceField(2, "ABCDEFGHIJKLMNOPQRSTUVWXY", {"a", "b", "c"});
  EXPECT_EQ(GetDbChanged(), 1);
  GetUserChoiceFieldInfo(2, buf, 21, &count);
  EXPECT_STREQ(buf, "ABCDEFGHIJKLMNOPQRST");
  EXPECT_EQ(count, 3);
  CleanupDb();
  SetUserTextFieldInfo(1, "Note", 1);
  EXPECT_EQ(GetDbChanged(), 1);
}

TEST_F(Reellib, ChoiceFieldWithoutNameCountOrFirstChoiceIsOutOfUse) {
  char buf[64];
  int32_t count = -1;
  DefineChoiceField(1, "Mood", {"Calm", "Loud"});
  SetUserChoiceFieldInfo(1, "Mood", 0);
  GetUserChoiceFieldInfo(1, buf, 21, &count);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(count, 0);
  GetUserChoiceFieldItem(1, 0, buf, 51);
  EXPECT_STREQ(buf, "");
  GetUserChoiceFieldItem(1, 1, buf, 51);
  EXPECT_STREQ(buf, "Loud");  // only the first slot is cleared

  SetUserChoiceFieldInfo(1, "Mood", 2);  // the first slot is empty now
  GetUserChoiceFieldInfo(1, buf, 21, &count);
  EXPECT_EQ(count, 0);

  DefineChoiceField(2, "", {"Jazz"});
  GetUserChoiceFieldInfo(2, buf, 21, &count);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(GetAlbumFieldCount(), 3);
}

TEST_F(Reellib, LoweringAChoiceCountResetsAlbumsBeyondIt) {
  DefineChoiceField(1, "Mood", {"a", "b", "c", "d", "e"});
  DefineChoiceField(2, "Genre", {"a", "b", "c", "d", "e"});
  HALBUM three = AddAlbum("Three", "", "", 0, 3, 5);
  HALBUM four = AddAlbum("Four", "", "", 0, 4, 5);
  HALBUM five = AddAlbum("Five", "", "", 0, 5, 5);
  SetUserChoiceFieldInfo(1, "Mood", 3);
  EXPECT_EQ(IGetAlbumChoice1(three), 3);
  EXPECT_EQ(IGetAlbumChoice1(four), 0);
  EXPECT_EQ(IGetAlbumChoice1(five), 0);
  for (HALBUM a : {three, four, five}) EXPECT_EQ(IGetAlbumChoice2(a), 5);
}

TEST_F(Reellib, TakingATextFieldOutOfUseErasesItsAlbumTexts) {
  SetUserTextFieldInfo(1, "Note", 1);
  SetUserTextFieldInfo(2, "Shelf", 1);
  HALBUM album = AddAlbum("A", "note", "shelf", 0, 0, 0);
  SetUserTextFieldInfo(1, "Note", 0);
  SetUserTextFieldInfo(1, "Note", 1);
  char buf[64];
  EXPECT_STREQ(IGetAlbumText1(album, buf, 64), "");
  EXPECT_STREQ(IGetAlbumText2(album, buf, 64), "shelf");
  SetUserTextFieldInfo(2, "", 1);  // no name: out of use
  EXPECT_STREQ(IGetAlbumText2(album, buf, 64), "");
}

TEST_F(Reellib, AlbumFieldTextAndIndexOfEveryKindOfField) {
  DefineChoiceField(2, "Genre", {"Jazz", "Rock"});
  SetUserTextFieldInfo(1, "Note", 1);
  HALBUM album = AddAlbum("Title", "note", "", 6, 0, 2);  // fields: 3 Genre, 4 Note
  char buf[64];
  std::memset(buf, 0x55, sizeof buf);
  GetAlbumFieldText(album, 0, buf, 50);
  EXPECT_STREQ(buf, "Title");
  std::memset(buf, 0x55, sizeof buf);
  GetAlbumFieldText(album, 2, buf, 50);
  EXPECT_EQ(LeadingInt(buf), 6);
  std::memset(buf, 0x55, sizeof buf);
  GetAlbumFieldText(album, 3, buf, 50);
  EXPECT_EQ(LeadingInt(buf), 2);
  GetAlbumFieldText(album, 4, buf, 50);
  EXPECT_STREQ(buf, "note");
  std::memset(buf, 0x55, sizeof buf);
  GetAlbumFieldText(album, 5, buf, 50);
  EXPECT_EQ(LeadingInt(buf), 0);

  EXPECT_EQ(GetAlbumFieldItemIndex(album, 2), 6);
  EXPECT_EQ(GetAlbumFieldItemIndex(album, 3), 2);
  EXPECT_EQ(GetAlbumFieldItemIndex(album, 4), 0);
  EXPECT_EQ(GetAlbumFieldItemIndex(album, 5), 0);
}

std::string ArtistField(HALBUM album) {
  char buf[64];
  GetAlbumFieldText(album, 1, buf, 50);
  return buf;
}

TEST_F(Reellib, ArtistFieldNamesTheOnlyArtistOfAnyLengthOfAlbum) {
  EXPECT_EQ(ArtistField(AddAlbum("Empty", "", "", 0, 0, 0)), "");
  EXPECT_EQ(ArtistField(rstest::AddAlbumWithSongs("Two", {{"a", 1, "X"}, {"b", 1, "Y"}})), "");

  // More songs than the 100 an album was once assumed to hold.
  std::vector<std::tuple<std::string, int, std::string>> songs;
  for (int k = 0; k < 150; ++k) songs.emplace_back("s" + std::to_string(k), 1, "Solo");
  EXPECT_EQ(ArtistField(rstest::AddAlbumWithSongs("Long", songs)), "Solo");
  std::get<2>(songs.back()) = "Guest";
  EXPECT_EQ(ArtistField(rstest::AddAlbumWithSongs("Long 2", songs)), "");
}

using ReellibDeathTest = Reellib;

TEST_F(ReellibDeathTest, ArgumentErrorsEndTheProcess) {
  char buf[64];
  int32_t v = 0;
  HALBUM album = AddAlbum("A", "", "", 0, 0, 0);
  const std::string nameSize = AssertText("bufSize >= FIELDNAME_SIZE + 1");
  const std::string choiceSize = AssertText("bufSize >= CHOICE_SIZE + 1");
  const std::string selector = AssertText("i == 1 || i == 2");
  const std::string slot = AssertText("index >= 0 && index < MAX_CHOICES");
  EXPECT_DEATH(GetAlbumFieldInfo(0, buf, 20, &v), nameSize);
  EXPECT_DEATH(GetUserTextFieldInfo(1, buf, 20, &v), nameSize);
  EXPECT_DEATH(GetUserChoiceFieldInfo(1, buf, 20, &v), nameSize);
  EXPECT_DEATH(GetUserTextFieldInfo(3, buf, 21, &v), selector);
  EXPECT_DEATH(SetUserTextFieldInfo(0, "x", 1), selector);
  EXPECT_DEATH(GetUserChoiceFieldInfo(0, buf, 21, &v), selector);
  EXPECT_DEATH(SetUserChoiceFieldInfo(3, "x", 1), selector);
  EXPECT_DEATH(GetUserChoiceFieldItem(1, 0, buf, 50), choiceSize);
  EXPECT_DEATH(GetUserChoiceFieldItem(3, 0, buf, 51), selector);
  EXPECT_DEATH(GetUserChoiceFieldItem(1, 50, buf, 51), slot);
  EXPECT_DEATH(SetUserChoiceFieldItem(2, -1, "x"), slot);
  EXPECT_DEATH(SetUserChoiceFieldItem(0, 0, "x"), selector);
  EXPECT_DEATH(GetAlbumChoiceFieldItem(2, 0, buf, 50), choiceSize);
  EXPECT_DEATH(GetAlbumFieldText(album, 0, buf, 49), AssertText("bufSize >= MAX_CHARS_PER_TITLE"));
  EXPECT_DEATH(GetAlbumFieldText(nullptr, 0, buf, 50), AssertText("halbum.h"));
}

}  // namespace
