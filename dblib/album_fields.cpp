// The album field definitions, the numbering of the fields the program shows, and
// each album's value for a field.
#include "album_fields.h"

#include <cstring>

#include "catalogue.h"
#include "assertions.h"
#include "text_copy.h"

const char* const kMediaNames[MEDIA_COUNT] = {"CD", "LP", "Cassette", "DAT", "45", "3\" CD"};

namespace {

constexpr int kFirstUserField = 3;

// What a field number 3 and up stands for; user fields not in use take no number.
enum class UserField { kNone, kChoice1, kChoice2, kText1, kText2 };

bool ChoiceInUse(const FieldDefs& d, int k) { return d.choiceCount[k] != 0; }
bool TextInUse(const FieldDefs& d, int k) { return d.textState[k] != 0; }

UserField ResolveField(int32_t field) {
  if (field < kFirstUserField) return UserField::kNone;
  const FieldDefs& d = Db().fieldDefs;
  int32_t n = field - kFirstUserField;
  const struct {
    bool inUse;
    UserField which;
  } order[] = {{ChoiceInUse(d, 0), UserField::kChoice1},
               {ChoiceInUse(d, 1), UserField::kChoice2},
               {TextInUse(d, 0), UserField::kText1},
               {TextInUse(d, 1), UserField::kText2}};
  for (const auto& f : order) {
    if (!f.inUse) continue;
    if (n == 0) return f.which;
    --n;
  }
  return UserField::kNone;
}

bool IsChoice(UserField f) { return f == UserField::kChoice1 || f == UserField::kChoice2; }
int ChoiceIndex(UserField f) { return f == UserField::kChoice1 ? 0 : 1; }
int TextIndex(UserField f) { return f == UserField::kText1 ? 0 : 1; }

void PutInt32(char* buf, int32_t value) { std::memcpy(buf, &value, sizeof value); }

// The name of the album's only artist, or empty when its songs have none or several.
// Walks the songs instead of collecting the artists, so that an album of any length
// needs no working storage.
void SoleArtistName(HALBUM album, char* buf, int32_t bufSize) {
  HARTIST sole = nullptr;
  for (HSONG s = IGetAlbumFirstSong(album); s; s = IGetSongNextSongOnAlbum(s)) {
    HARTIST artist = IGetSongArtist(s);
    if (sole && artist != sole) {
      buf[0] = '\0';
      return;
    }
    sole = artist;
  }
  if (sole)
    IGetArtistName(sole, buf, bufSize);
  else
    buf[0] = '\0';
}

// The stored state of a text field; a non-zero state must stay non-zero in 16 bits.
uint16_t TextState(int32_t enabled) {
  const auto state = static_cast<uint16_t>(enabled);
  return (enabled != 0 && state == 0) ? 1 : state;
}

}  // namespace

void ValidateFieldDefs() {
  FieldDefs& d = Db().fieldDefs;
  for (int k = 0; k < 2; ++k) {
    if (d.choiceName[k][0] == '\0' || d.choiceCount[k] == 0 || d.choices[k][0][0] == '\0') {
      d.choiceName[k][0] = '\0';
      d.choiceCount[k] = 0;
      d.choices[k][0][0] = '\0';
    }
    if (d.textName[k][0] == '\0' || d.textState[k] == 0) {
      d.textName[k][0] = '\0';
      d.textState[k] = 0;
    }
  }
  for (HALBUM a = Db().albumList; a; a = IGetAlbumNext(a)) {
    if (IGetAlbumChoice1(a) > d.choiceCount[0]) ISetAlbumChoice1(a, 0);
    if (IGetAlbumChoice2(a) > d.choiceCount[1]) ISetAlbumChoice2(a, 0);
    if (!TextInUse(d, 0)) ISetAlbumText1(a, "");
    if (!TextInUse(d, 1)) ISetAlbumText2(a, "");
  }
}

extern "C" RSDB_API int32_t GetAlbumFieldCount(void) noexcept {
  const FieldDefs& d = Db().fieldDefs;
  return kFirstUserField + ChoiceInUse(d, 0) + ChoiceInUse(d, 1) + TextInUse(d, 0) +
         TextInUse(d, 1);
}

extern "C" RSDB_API void GetAlbumFieldInfo(int32_t field, char* buf, int32_t bufSize,
                                           int32_t* isChoice) noexcept {
  RS_ASSERT(bufSize >= FIELDNAME_SIZE + 1);
  const char* label = "";
  int32_t choice = 0;
  bool known = true;
  const FieldDefs& d = Db().fieldDefs;
  switch (field) {
    case 0:
      label = "&Album";
      break;
    case 1:
      label = "A&rtist";
      break;
    case 2:
      label = "&Media";
      choice = 1;
      break;
    default: {
      const UserField f = ResolveField(field);
      if (f == UserField::kNone) {
        known = false;
      } else if (IsChoice(f)) {
        label = d.choiceName[ChoiceIndex(f)];
        choice = 1;
      } else {
        label = d.textName[TextIndex(f)];
      }
    }
  }
  rs::CopyText(buf, bufSize, label);
  if (known && isChoice) *isChoice = choice;
}

extern "C" RSDB_API void GetUserTextFieldInfo(int32_t i, char* buf, int32_t bufSize,
                                              int32_t* enabled) noexcept {
  RS_ASSERT(bufSize >= FIELDNAME_SIZE + 1);
  RS_ASSERT(i == 1 || i == 2);
  const FieldDefs& d = Db().fieldDefs;
  rs::CopyText(buf, bufSize, d.textName[i - 1]);
  if (enabled) *enabled = d.textState[i - 1];
}

extern "C" RSDB_API void SetUserTextFieldInfo(int32_t i, const char* name,
                                              int32_t enabled) noexcept {
  RS_ASSERT(i == 1 || i == 2);
  FieldDefs& d = Db().fieldDefs;
  rs::CopyText(d.textName[i - 1], FIELDNAME_SIZE + 1, name);
  d.textState[i - 1] = TextState(enabled);
  ValidateFieldDefs();
  Db().dbChanged = true;
}

extern "C" RSDB_API void GetUserChoiceFieldInfo(int32_t i, char* buf, int32_t bufSize,
                                                int32_t* count) noexcept {
  RS_ASSERT(bufSize >= FIELDNAME_SIZE + 1);
  RS_ASSERT(i == 1 || i == 2);
  const FieldDefs& d = Db().fieldDefs;
  rs::CopyText(buf, bufSize, d.choiceName[i - 1]);
  if (count) *count = d.choiceCount[i - 1];
}

extern "C" RSDB_API void SetUserChoiceFieldInfo(int32_t i, const char* name,
                                                int32_t count) noexcept {
  RS_ASSERT(i == 1 || i == 2);
  FieldDefs& d = Db().fieldDefs;
  rs::CopyText(d.choiceName[i - 1], FIELDNAME_SIZE + 1, name);
  d.choiceCount[i - 1] = static_cast<uint16_t>(count);
  ValidateFieldDefs();
  Db().dbChanged = true;
}

extern "C" RSDB_API void GetUserChoiceFieldItem(int32_t i, int32_t index, char* buf,
                                                int32_t bufSize) noexcept {
  RS_ASSERT(bufSize >= CHOICE_SIZE + 1);
  RS_ASSERT(i == 1 || i == 2);
  RS_ASSERT(index >= 0 && index < MAX_CHOICES);
  rs::CopyText(buf, bufSize, Db().fieldDefs.choices[i - 1][index]);
}

extern "C" RSDB_API void SetUserChoiceFieldItem(int32_t i, int32_t index,
                                                const char* text) noexcept {
  RS_ASSERT(i == 1 || i == 2);
  RS_ASSERT(index >= 0 && index < MAX_CHOICES);
  rs::CopyText(Db().fieldDefs.choices[i - 1][index], CHOICE_SIZE + 1, text);
  Db().dbChanged = true;
}

extern "C" RSDB_API void GetAlbumChoiceFieldItem(int32_t field, int32_t index, char* buf,
                                                 int32_t bufSize) noexcept {
  RS_ASSERT(bufSize >= CHOICE_SIZE + 1);
  buf[0] = '\0';
  if (index < 0) return;
  if (field == 2) {
    if (index < MEDIA_COUNT) rs::CopyText(buf, bufSize, kMediaNames[index]);
    return;
  }
  const UserField f = ResolveField(field);
  if (IsChoice(f) && index < MAX_CHOICES)
    rs::CopyText(buf, bufSize, Db().fieldDefs.choices[ChoiceIndex(f)][index]);
}

extern "C" RSDB_API int32_t GetAlbumFieldItemIndex(HALBUM album, int32_t field) noexcept {
  RS_VERIFY_ALBUM(album);
  if (field == 2) return IGetAlbumMedia(album);
  switch (ResolveField(field)) {
    case UserField::kChoice1:
      return IGetAlbumChoice1(album);
    case UserField::kChoice2:
      return IGetAlbumChoice2(album);
    default:
      return 0;
  }
}

extern "C" RSDB_API int32_t GetAlbumFieldText(HALBUM album, int32_t field, char* buf,
                                              int32_t bufSize) noexcept {
  RS_ASSERT(bufSize >= MAX_CHARS_PER_TITLE);
  RS_VERIFY_ALBUM(album);
  switch (field) {
    case 0:
      IGetAlbumTitle(album, buf, bufSize);
      return 1;
    case 1:
      SoleArtistName(album, buf, bufSize);
      return 1;
    case 2:
      PutInt32(buf, IGetAlbumMedia(album));
      return 1;
    default:
      break;
  }
  // An empty text, also for a number beyond the fields in use.
  PutInt32(buf, 0);
  switch (ResolveField(field)) {
    case UserField::kChoice1:
      PutInt32(buf, IGetAlbumChoice1(album));
      break;
    case UserField::kChoice2:
      PutInt32(buf, IGetAlbumChoice2(album));
      break;
    case UserField::kText1:
      IGetAlbumText1(album, buf, bufSize);
      break;
    case UserField::kText2:
      IGetAlbumText2(album, buf, bufSize);
      break;
    case UserField::kNone:
      break;
  }
  return 1;
}
