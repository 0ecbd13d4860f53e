// The dBase III export: one table record per song, album by album in track order.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "album.h"
#include "artist.h"
#include "collation.h"
#include "catalogue.h"
#include "reelsmithdb.h"
#include "album_fields.h"
#include "song.h"

namespace {

constexpr int kDescriptorSize = 32;
constexpr int kDescriptorNameChars = 10;
constexpr int kMaxFields = 11;  // seven fixed fields and the four user fields
constexpr int kChoiceWidth = 14;
constexpr int kTextWidth = 26;
constexpr int kBaseHeaderLength = 32 + 7 * kDescriptorSize + 1;      // 257, with the 0x0D
constexpr int kBaseRecordLength = 1 + 6 + 50 + 50 + 8 + 2 + 50 + 6;  // 173, with the flag
constexpr int kMaxRecordLength = kBaseRecordLength + 2 * kChoiceWidth + 2 * kTextWidth;

enum class Content {
  kAlbumNum,
  kAlbumTitle,
  kArtist,
  kMedia,
  kChoice1,
  kChoice2,
  kText1,
  kText2,
  kSongTrack,
  kSongTitle,
  kSongTime
};

struct Field {
  char name[kDescriptorNameChars + 1];
  char type;  // 'C' or 'N'
  int width;
  Content content;
};

struct Layout {
  Field fields[kMaxFields];
  int count = 0;
  int headerLength = kBaseHeaderLength;
  int recordLength = kBaseRecordLength;
};

void AddField(Layout& layout, const char* name, char type, int width, Content content) {
  Field& f = layout.fields[layout.count++];
  // Upper-cased in the user's locale as a whole, then cut: the cut never splits a
  // character because the text is single-byte.
  char upper[FIELDNAME_SIZE + 1];
  rs::CopyText(upper, sizeof upper, name);
  rs::UpperCase(upper);
  std::memset(f.name, 0, sizeof f.name);
  rs::CopyText(f.name, sizeof f.name, upper);
  f.type = type;
  f.width = width;
  f.content = content;
}

Layout MakeLayout(const FieldDefs& defs) {
  Layout layout;
  AddField(layout, "ALBUMNUM", 'N', 6, Content::kAlbumNum);
  AddField(layout, "ALBUMTITLE", 'C', 50, Content::kAlbumTitle);
  AddField(layout, "ARTIST", 'C', 50, Content::kArtist);
  AddField(layout, "MEDIA", 'C', 8, Content::kMedia);
  const Content choice[2] = {Content::kChoice1, Content::kChoice2};
  const Content text[2] = {Content::kText1, Content::kText2};
  for (int i = 0; i < 2; ++i) {
    if (defs.choiceCount[i] == 0) continue;
    AddField(layout, defs.choiceName[i], 'C', kChoiceWidth, choice[i]);
    layout.headerLength += kDescriptorSize;
    layout.recordLength += kChoiceWidth;
  }
  for (int i = 0; i < 2; ++i) {
    if (defs.textState[i] == 0) continue;
    AddField(layout, defs.textName[i], 'C', kTextWidth, text[i]);
    layout.headerLength += kDescriptorSize;
    layout.recordLength += kTextWidth;
  }
  AddField(layout, "SONGTRACK", 'N', 2, Content::kSongTrack);
  AddField(layout, "SONGTITLE", 'C', 50, Content::kSongTitle);
  AddField(layout, "SONGTIME", 'C', 6, Content::kSongTime);
  return layout;
}

// Left-aligned in a blank-filled field, cut to its width.
void PutLeft(char* dst, int width, const char* text) {
  size_t n = std::strlen(text);
  if (n > static_cast<size_t>(width)) n = static_cast<size_t>(width);
  std::memcpy(dst, text, n);
}

// A formatted value that does not fit is shown as asterisks, the dBase mark for an
// overflowing number: cutting "100" to "10" or "1092:15" to "1092:1" would export a
// plausible but wrong value.
void PutFitted(char* dst, int width, const char* text, bool rightAligned) {
  const int n = static_cast<int>(std::strlen(text));
  if (n > width) {
    std::memset(dst, '*', static_cast<size_t>(width));
    return;
  }
  std::memcpy(dst + (rightAligned ? width - n : 0), text, static_cast<size_t>(n));
}

void PutNumber(char* dst, int width, long value) {
  char text[24];
  std::snprintf(text, sizeof text, "%ld", value);
  PutFitted(dst, width, text, true);
}

// The album's part of every record of its songs, read once per album.
struct AlbumValues {
  long number;
  char title[NAME_SIZE];
  const char* media;
  const char* choice[2];
  char text[2][ALBUM_TEXT_SIZE];
};

// A choice value outside the list's slots (possible through AddAlbum, which does not
// check it) exports blank rather than reading beyond the list.
const char* ChoiceText(const FieldDefs& defs, int field, int32_t value) {
  if (value < 1 || value > MAX_CHOICES) return "";
  return defs.choices[field][value - 1];
}

void ReadAlbum(HALBUM album, const FieldDefs& defs, AlbumValues& v) {
  v.number = static_cast<long>(IGetAlbumNum(album)) + 1;
  IGetAlbumTitle(album, v.title, sizeof v.title);
  const int32_t media = IGetAlbumMedia(album);
  v.media = media >= 1 && media <= MEDIA_COUNT ? kMediaNames[media - 1] : "";
  v.choice[0] = ChoiceText(defs, 0, IGetAlbumChoice1(album));
  v.choice[1] = ChoiceText(defs, 1, IGetAlbumChoice2(album));
  IGetAlbumText1(album, v.text[0], sizeof v.text[0]);
  IGetAlbumText2(album, v.text[1], sizeof v.text[1]);
}

void BuildRecord(const Layout& layout, const AlbumValues& album, HSONG song, long position,
                 char* rec) {
  std::memset(rec, ' ', static_cast<size_t>(layout.recordLength));
  char* p = rec + 1;  // after the blank "not deleted" flag
  for (int i = 0; i < layout.count; ++i) {
    const Field& f = layout.fields[i];
    switch (f.content) {
      case Content::kAlbumNum:
        PutNumber(p, f.width, album.number);
        break;
      case Content::kAlbumTitle:
        PutLeft(p, f.width, album.title);
        break;
      case Content::kArtist:
        PutLeft(p, f.width, IArtistName(IGetSongArtist(song)));
        break;
      case Content::kMedia:
        PutLeft(p, f.width, album.media);
        break;
      case Content::kChoice1:
        PutLeft(p, f.width, album.choice[0]);
        break;
      case Content::kChoice2:
        PutLeft(p, f.width, album.choice[1]);
        break;
      case Content::kText1:
        PutLeft(p, f.width, album.text[0]);
        break;
      case Content::kText2:
        PutLeft(p, f.width, album.text[1]);
        break;
      case Content::kSongTrack:
        PutNumber(p, f.width, position);
        break;
      case Content::kSongTitle:
        PutLeft(p, f.width, ISongTitle(song));
        break;
      case Content::kSongTime: {
        const int32_t t = IGetSongTime(song);
        char text[32];
        std::snprintf(text, sizeof text, "%2d:%02d", static_cast<int>(t / 60),
                      static_cast<int>(t % 60));
        PutFitted(p, f.width, text, false);
        break;
      }
    }
    p += f.width;
  }
}

void PutLe16(unsigned char* p, uint32_t v) {
  p[0] = static_cast<unsigned char>(v & 0xFF);
  p[1] = static_cast<unsigned char>((v >> 8) & 0xFF);
}

void PutLe32(unsigned char* p, uint32_t v) {
  PutLe16(p, v & 0xFFFF);
  PutLe16(p + 2, v >> 16);
}

bool Put(std::FILE* f, const void* data, size_t size) {
  return std::fwrite(data, 1, size, f) == size;
}

bool PutByte(std::FILE* f, unsigned value) {
  const unsigned char b = static_cast<unsigned char>(value);
  return Put(f, &b, 1);
}

bool WriteHeader(std::FILE* f, const Layout& layout, uint32_t recordCount) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  unsigned char count[4];
  unsigned char headerLength[2];
  unsigned char recordLength[2];
  PutLe32(count, recordCount);
  PutLe16(headerLength, static_cast<uint32_t>(layout.headerLength));
  PutLe16(recordLength, static_cast<uint32_t>(layout.recordLength));
  const unsigned char zeros[20] = {};
  return PutByte(f, 3) && PutByte(f, static_cast<unsigned>(local.tm_year % 100)) &&
         PutByte(f, static_cast<unsigned>(local.tm_mon + 1)) &&
         PutByte(f, static_cast<unsigned>(local.tm_mday)) && Put(f, count, sizeof count) &&
         Put(f, headerLength, sizeof headerLength) && Put(f, recordLength, sizeof recordLength) &&
         Put(f, zeros, sizeof zeros);
}

bool WriteDescriptors(std::FILE* f, const Layout& layout) {
  unsigned char block[kMaxFields * kDescriptorSize] = {};
  for (int i = 0; i < layout.count; ++i) {
    unsigned char* d = block + i * kDescriptorSize;
    std::memcpy(d, layout.fields[i].name, kDescriptorNameChars + 1);
    d[11] = static_cast<unsigned char>(layout.fields[i].type);
    d[16] = static_cast<unsigned char>(layout.fields[i].width);
  }
  return Put(f, block, static_cast<size_t>(layout.count) * kDescriptorSize) && PutByte(f, 0x0D);
}

bool WriteRecords(std::FILE* f, const Layout& layout, const FieldDefs& defs, HALBUM albums) {
  char rec[kMaxRecordLength];
  AlbumValues values;
  for (HALBUM album = albums; album; album = IGetAlbumNext(album)) {
    ReadAlbum(album, defs, values);
    // The songs come straight from the album's chain, already in track order, so an
    // album of any length exports whole.
    long position = 0;
    for (HSONG song = IGetAlbumFirstSong(album); song; song = IGetSongNextSongOnAlbum(song)) {
      BuildRecord(layout, values, song, ++position, rec);
      if (!Put(f, rec, static_cast<size_t>(layout.recordLength))) return false;
    }
  }
  return true;
}

}  // namespace

extern "C" RSDB_API int32_t ExportToDBase(const char* fileName) noexcept {
  std::FILE* f = fileName ? std::fopen(fileName, "wb") : nullptr;
  if (!f) {
    ReportError("Could not open file for writing.");
    return 0;
  }
  std::setvbuf(f, nullptr, _IOFBF, 1 << 16);
  const Catalogue& db = Db();
  const Layout layout = MakeLayout(db.fieldDefs);
  bool ok = WriteHeader(f, layout, db.songCnt) && WriteDescriptors(f, layout) &&
            WriteRecords(f, layout, db.fieldDefs, db.albumList) && PutByte(f, 0x1A);
  // Buffered data reaches the disk only at close, so a full disk may first show here.
  if (std::fclose(f) != 0) ok = false;
  if (!ok) {
    ReportError("Unable to write to file");
    return 0;
  }
  return 1;
}
