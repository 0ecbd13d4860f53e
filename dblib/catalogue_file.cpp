// Catalogue files: LoadDb reads versions 1 to 5 (repairing damaged version 1 files),
// SaveDb writes version 5 through a temporary file that replaces the target in one
// rename. The layouts are described in doc/catalogue_format.md.
#include "catalogue_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "big_array.h"
#include "catalogue.h"
#include "little_endian.h"
#include "assertions.h"

namespace {

const char kMsgUnsaved[] = "Save the currently loaded database before loading a new one.";
const char kMsgCannotOpen[] = "Could not open database file.  Check file name.";
const char kMsgCannotRead[] = "Could not read database file.";
const char kMsgNewerVersion[] = "You need a newer version of Reelsmith to read the data file.";
const char kMsgTooBig[] = "The database is too big to be loaded into memory.";
const char kMsgRepaired[] =
    "Your music file was corrupt.  It has been fixed.  See the file MUSERROR.TXT for details.";
const char kMsgCannotWrite[] = "Unable to write to the file.";
const char kMsgCannotReplace[] = "Unable to save your data to this file.";

const char kTempName[] = "rsh.rs9";
const char kRepairLog[] = "muserror.txt";

constexpr int kCurrentVersion = 5;
constexpr size_t kNameSlot = FIELDNAME_SIZE + 1;      // 21
constexpr size_t kChoiceSlot = CHOICE_SIZE + 1;       // 51
constexpr size_t kValuesOffset = 4 * kNameSlot;       // 84: the four 16-bit values
constexpr size_t kChoicesOffset = kValuesOffset + 8;  // 92: the choice lists
constexpr size_t kOldFieldDefsSize = 392;             // versions 2 to 4
constexpr int kOldChoices = 10;
constexpr size_t kOldChoiceSlot = 15;
constexpr int kSongsPerBlock = 100;
constexpr size_t kSongRecordSize = 8;
constexpr size_t kStringChunk = 2048;  // a chunk of whole strings stays below this
constexpr uint16_t kUsedOnTapeBit = 0x8000;
constexpr uint16_t kTrackMask = 0x7FFF;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

struct WordArrayFree {
  void operator()(BigWordArray* wa) const { BigWordArrayFree(wa); }
};
using WordArrayPtr = std::unique_ptr<BigWordArray, WordArrayFree>;

// ---- Field definitions ---------------------------------------------------------------

// Copies a fixed text slot. Its last byte becomes the terminator, so that a slot
// without one cannot make a later read run past it.
void TakeSlot(char* dst, const uint8_t* src, size_t size) {
  std::memcpy(dst, src, size);
  dst[size - 1] = '\0';
}

// The program walks a choice list up to its count, and a list has 50 slots.
uint16_t TakeChoiceCount(uint16_t count) { return count > MAX_CHOICES ? MAX_CHOICES : count; }

// The names and the four values, laid out alike in the old and the current block.
void DecodeFieldHead(const uint8_t* p, FieldDefs& d) {
  for (int i = 0; i < 2; ++i) {
    TakeSlot(d.choiceName[i], p + i * kNameSlot, kNameSlot);
    TakeSlot(d.textName[i], p + (2 + i) * kNameSlot, kNameSlot);
    d.choiceCount[i] = TakeChoiceCount(rs::GetU16(p + kValuesOffset + 2 * i));
    d.textState[i] = rs::GetU16(p + kValuesOffset + 4 + 2 * i);
  }
}

void DecodeFieldDefs(const uint8_t* p, FieldDefs& d) {
  DecodeFieldHead(p, d);
  for (int f = 0; f < 2; ++f)
    for (int c = 0; c < MAX_CHOICES; ++c)
      TakeSlot(d.choices[f][c], p + kChoicesOffset + (f * MAX_CHOICES + c) * kChoiceSlot,
               kChoiceSlot);
}

// The old block holds 10 choices of at most 14 characters per field; slots 10 to 49
// stay empty.
void DecodeOldFieldDefs(const uint8_t* p, FieldDefs& d) {
  d = FieldDefs{};
  DecodeFieldHead(p, d);
  for (int f = 0; f < 2; ++f)
    for (int c = 0; c < kOldChoices; ++c)
      TakeSlot(d.choices[f][c], p + kChoicesOffset + (f * kOldChoices + c) * kOldChoiceSlot,
               kOldChoiceSlot);
}

void EncodeFieldDefs(const FieldDefs& d, uint8_t* p) {
  for (int i = 0; i < 2; ++i) {
    std::memcpy(p + i * kNameSlot, d.choiceName[i], kNameSlot);
    std::memcpy(p + (2 + i) * kNameSlot, d.textName[i], kNameSlot);
    rs::PutU16(p + kValuesOffset + 2 * i, d.choiceCount[i]);
    rs::PutU16(p + kValuesOffset + 4 + 2 * i, d.textState[i]);
  }
  for (int f = 0; f < 2; ++f)
    for (int c = 0; c < MAX_CHOICES; ++c)
      std::memcpy(p + kChoicesOffset + (f * MAX_CHOICES + c) * kChoiceSlot, d.choices[f][c],
                  kChoiceSlot);
}

// ---- Records being loaded ------------------------------------------------------------

// The records a reader builds, each list in file order. Adopt makes them the
// catalogue; records not adopted are freed with this object, so a reader that gives
// up half-way leaves nothing behind.
class NewLists {
 public:
  NewLists() = default;
  ~NewLists() {
    if (artists_ || albums_ || songs_) FreeRecordLists(artists_, albums_, songs_);
  }
  NewLists(const NewLists&) = delete;
  NewLists& operator=(const NewLists&) = delete;

  HARTIST AppendArtist() {
    HARTIST a = NewArtist();
    ISetArtistNum(a, artistCnt_++);
    ISetArtistPrev(a, lastArtist_);
    if (lastArtist_)
      ISetArtistNext(lastArtist_, a);
    else
      artists_ = a;
    lastArtist_ = a;
    return a;
  }

  HALBUM AppendAlbum() {
    HALBUM a = NewAlbum();
    ISetAlbumNum(a, albumCnt_++);
    ISetAlbumPrev(a, lastAlbum_);
    if (lastAlbum_)
      ISetAlbumNext(lastAlbum_, a);
    else
      albums_ = a;
    lastAlbum_ = a;
    return a;
  }

  void AppendSong(HSONG s) {
    ISetSongNum(s, songCnt_++);
    ISetSongPrev(s, lastSong_);
    if (lastSong_)
      ISetSongNext(lastSong_, s);
    else
      songs_ = s;
    lastSong_ = s;
  }

  // REQUIRES: the catalogue holds no records (each count is at most MAX_RECORDS).
  void Adopt() {
    Catalogue& db = Db();
    db.artistList = artists_;
    db.albumList = albums_;
    db.songList = songs_;
    db.artistCnt = static_cast<uint16_t>(artistCnt_);
    db.albumCnt = static_cast<uint16_t>(albumCnt_);
    db.songCnt = static_cast<uint16_t>(songCnt_);
    artists_ = nullptr;
    albums_ = nullptr;
    songs_ = nullptr;
    ListsReplaced();
  }

 private:
  HARTIST artists_ = nullptr;
  HARTIST lastArtist_ = nullptr;
  HALBUM albums_ = nullptr;
  HALBUM lastAlbum_ = nullptr;
  HSONG songs_ = nullptr;
  HSONG lastSong_ = nullptr;
  int32_t artistCnt_ = 0;
  int32_t albumCnt_ = 0;
  int32_t songCnt_ = 0;
};

// The strings come last in the file, so records register where each string goes, in
// file order, and are named once the strings have been read.
using TextSetter = void (*)(void* record, const char* text);
struct StringSink {
  void* record;
  TextSetter set;
};

void SetArtistName(void* r, const char* t) { ISetArtistName(static_cast<HARTIST>(r), t); }
void SetAlbumTitle(void* r, const char* t) { ISetAlbumTitle(static_cast<HALBUM>(r), t); }
void SetAlbumText1(void* r, const char* t) { ISetAlbumText1(static_cast<HALBUM>(r), t); }
void SetAlbumText2(void* r, const char* t) { ISetAlbumText2(static_cast<HALBUM>(r), t); }
void SetSongTitle(void* r, const char* t) { ISetSongTitle(static_cast<HSONG>(r), t); }

// Reads the string data from start in chunks of whole strings below kStringChunk bytes
// and hands each string to its sink. A string ends at its first NUL or its length.
// REQUIRES: sinks.size() == lengths.size().
bool ReadStrings(std::FILE* f, long start, const std::vector<uint8_t>& lengths,
                 const std::vector<StringSink>& sinks) {
  if (std::fseek(f, start, SEEK_SET) != 0) return false;
  rs::LeReader r(f);
  uint8_t chunk[kStringChunk];
  char text[256];
  size_t i = 0;
  while (i < lengths.size()) {
    size_t end = i;
    size_t bytes = 0;
    while (end < lengths.size() && bytes + lengths[end] < kStringChunk) bytes += lengths[end++];
    if (!r.Bytes(chunk, bytes)) return false;
    const uint8_t* p = chunk;
    for (; i < end; ++i) {
      std::memcpy(text, p, lengths[i]);
      text[lengths[i]] = '\0';
      sinks[i].set(sinks[i].record, text);
      p += lengths[i];
    }
  }
  return true;
}

enum class Outcome { kOk, kDamaged, kTooBig };

bool TooBig(uint16_t count) { return count > MAX_RECORDS; }

// ---- Versions 2 to 5 -----------------------------------------------------------------

// Reads from just after the version byte. The field definitions replace the
// catalogue's as soon as they are read.
Outcome ReadV2to5(std::FILE* f, int version, NewLists& out) {
  rs::LeReader r(f);
  long pos = 1;
  if (version <= 3) {
    if (!r.Skip(4)) return Outcome::kDamaged;
    pos += 4;
  }
  const size_t defsSize = version == 5 ? FIELD_DEFS_SIZE : kOldFieldDefsSize;
  std::vector<uint8_t> block(defsSize);
  if (!r.Bytes(block.data(), defsSize)) return Outcome::kDamaged;
  FieldDefs defs{};
  if (version == 5)
    DecodeFieldDefs(block.data(), defs);
  else
    DecodeOldFieldDefs(block.data(), defs);
  Db().fieldDefs = defs;

  uint16_t a = 0, b = 0, s = 0;
  if (!r.U16(a) || !r.U16(b) || !r.U16(s)) return Outcome::kDamaged;
  pos += static_cast<long>(defsSize) + 6;
  if (a == 0 || b == 0 || s == 0) return Outcome::kOk;
  if (TooBig(a) || TooBig(b) || TooBig(s)) return Outcome::kTooBig;

  // The stored string count is 16 bits wide but may need 17, so the count comes from
  // the record counts and the stored value must agree with it modulo 65,536. The
  // string lengths must then account for every byte between the records and the table.
  const long n = a + 3L * b + s;
  const long recordsEnd = pos + 6L * b + static_cast<long>(kSongRecordSize) * s;
  if (std::fseek(f, 0, SEEK_END) != 0) return Outcome::kDamaged;
  const long fileSize = std::ftell(f);
  if (fileSize < recordsEnd + n + 2) return Outcome::kDamaged;
  std::vector<uint8_t> lengths(static_cast<size_t>(n));
  uint16_t storedN = 0;
  if (std::fseek(f, fileSize - 2 - n, SEEK_SET) != 0 || !r.Bytes(lengths.data(), lengths.size()) ||
      !r.U16(storedN))
    return Outcome::kDamaged;
  if (storedN != static_cast<uint16_t>(n & 0xFFFF)) return Outcome::kDamaged;
  long textBytes = 0;
  for (uint8_t len : lengths) textBytes += len;
  if (recordsEnd + textBytes + n + 2 != fileSize) return Outcome::kDamaged;
  if (std::fseek(f, pos, SEEK_SET) != 0) return Outcome::kDamaged;

  std::vector<StringSink> sinks;
  sinks.reserve(lengths.size());

  std::vector<HARTIST> artistAt(a);
  for (auto& artist : artistAt) {
    artist = out.AppendArtist();
    sinks.push_back({artist, SetArtistName});
  }

  WordArrayPtr media(BigWordArrayAlloc(b));
  WordArrayPtr choice1(BigWordArrayAlloc(b));
  WordArrayPtr choice2(BigWordArrayAlloc(b));
  if (!media || !choice1 || !choice2) rs::OutOfMemory();
  if (BWARead(media.get(), f) != b || BWARead(choice1.get(), f) != b ||
      BWARead(choice2.get(), f) != b)
    return Outcome::kDamaged;
  std::vector<HALBUM> albumAt(b);
  for (int32_t i = 0; i < b; ++i) {
    HALBUM album = out.AppendAlbum();
    ISetAlbumMedia(album, BWAGet(media.get(), i));
    ISetAlbumChoice1(album, BWAGet(choice1.get(), i));
    ISetAlbumChoice2(album, BWAGet(choice2.get(), i));
    sinks.push_back({album, SetAlbumTitle});
    sinks.push_back({album, SetAlbumText1});
    sinks.push_back({album, SetAlbumText2});
    albumAt[i] = album;
  }
  media.reset();
  choice1.reset();
  choice2.reset();

  uint8_t records[kSongsPerBlock * kSongRecordSize];
  for (int32_t first = 0; first < s; first += kSongsPerBlock) {
    const int32_t count = s - first < kSongsPerBlock ? s - first : kSongsPerBlock;
    if (!r.Bytes(records, count * kSongRecordSize)) return Outcome::kDamaged;
    for (int32_t k = 0; k < count; ++k) {
      const uint8_t* p = records + k * kSongRecordSize;
      const uint16_t artistIndex = rs::GetU16(p + 2);
      const uint16_t albumIndex = rs::GetU16(p + 4);
      if (artistIndex >= a || albumIndex >= b) return Outcome::kDamaged;
      const uint16_t trackAndUsed = rs::GetU16(p + 6);
      HSONG song = NewSong();
      ISetSongTime(song, rs::GetU16(p));
      ISetSongArtist(song, artistAt[artistIndex]);
      ISetSongAlbum(song, albumAt[albumIndex]);
      ISetSongTrack(song, trackAndUsed & kTrackMask);
      ISetSongUsedOnTape(song, (trackAndUsed & kUsedOnTapeBit) ? 1 : 0);
      LinkSongToArtist(artistAt[artistIndex], song);
      // Two songs on one track are both kept; files written here never hold them.
      LinkSongToAlbum(albumAt[albumIndex], song);
      out.AppendSong(song);
      sinks.push_back({song, SetSongTitle});
    }
  }

  if (!ReadStrings(f, fileSize - 2 - n - textBytes, lengths, sinks)) return Outcome::kDamaged;
  return Outcome::kOk;
}

// ---- Version 1 -----------------------------------------------------------------------

// A length byte, then that many bytes of text; the text ends at its first NUL.
bool ReadV1Text(rs::LeReader& r, char (&text)[256]) {
  uint8_t len = 0;
  if (!r.U8(len) || !r.Bytes(text, len)) return false;
  text[len] = '\0';
  return true;
}

bool AlbumHasTrack(HALBUM album, int32_t track) {
  for (HSONG s = IGetAlbumFirstSong(album); s; s = IGetSongNextSongOnAlbum(s))
    if (IGetSongTrack(s) == track) return true;
  return false;
}

// Reads from just after the version byte. Albums on which a second song claims a
// track already taken are returned in album order in damaged; those songs are dropped.
Outcome ReadV1(std::FILE* f, NewLists& out, std::vector<HALBUM>& damaged) {
  rs::LeReader r(f);
  char text[256];
  uint16_t count = 0;

  if (!r.U16(count)) return Outcome::kDamaged;
  if (TooBig(count)) return Outcome::kTooBig;
  std::vector<HARTIST> artistAt(count);
  for (auto& artist : artistAt) {
    if (!ReadV1Text(r, text)) return Outcome::kDamaged;
    artist = out.AppendArtist();
    ISetArtistName(artist, text);
  }

  if (!r.U16(count)) return Outcome::kDamaged;
  if (TooBig(count)) return Outcome::kTooBig;
  std::vector<HALBUM> albumAt(count);
  for (auto& album : albumAt) {
    uint16_t media = 0;
    if (!r.U16(media) || !ReadV1Text(r, text)) return Outcome::kDamaged;
    album = out.AppendAlbum();
    ISetAlbumTitle(album, text);
    ISetAlbumMedia(album, media);
    ISetAlbumChoice1(album, 1);
    ISetAlbumChoice2(album, 1);
  }

  if (!r.U16(count)) return Outcome::kDamaged;
  if (TooBig(count)) return Outcome::kTooBig;
  std::vector<bool> isDamaged(albumAt.size());
  for (uint16_t i = 0; i < count; ++i) {
    uint16_t time = 0, artistIndex = 0, albumIndex = 0, track = 0;
    if (!r.U16(time) || !r.U16(artistIndex) || !r.U16(albumIndex) || !r.U16(track) ||
        !ReadV1Text(r, text))
      return Outcome::kDamaged;
    if (artistIndex >= artistAt.size() || albumIndex >= albumAt.size()) return Outcome::kDamaged;
    HALBUM album = albumAt[albumIndex];
    if (AlbumHasTrack(album, track)) {
      isDamaged[albumIndex] = true;
      continue;
    }
    HSONG song = NewSong();
    ISetSongTitle(song, text);
    ISetSongTime(song, time);
    ISetSongArtist(song, artistAt[artistIndex]);
    ISetSongAlbum(song, album);
    ISetSongTrack(song, track);
    LinkSongToArtist(artistAt[artistIndex], song);
    LinkSongToAlbum(album, song);
    out.AppendSong(song);
  }
  for (size_t i = 0; i < albumAt.size(); ++i)
    if (isDamaged[i]) damaged.push_back(albumAt[i]);
  return Outcome::kOk;
}

// Appends the account of a repair to the log in the current directory. The repair
// goes ahead when the log cannot be written.
void WriteRepairLog(const char* fileName, const std::vector<HALBUM>& damaged) {
  FilePtr log(std::fopen(kRepairLog, "a"));
  if (!log) return;
  std::fputs("\nThe music file ", log.get());
  std::fputs(fileName, log.get());
  std::fputs(" was corrupted due to a bug in a\n", log.get());
  std::fputs("previous version of Reelsmith.  It has been fixed, but\n", log.get());
  std::fputs("some data has been lost:\n\n", log.get());
  for (HALBUM album : damaged)
    std::fprintf(log.get(), "All albums with the title \"%s\" have been lost.\n",
                 IAlbumTitle(album));
}

// Removes the damaged albums and writes the repaired catalogue over the file it came
// from (not over the file name last given for saving, which may name another file).
void RepairV1(const char* fileName, const std::vector<HALBUM>& damaged) {
  WriteRepairLog(fileName, damaged);
  for (HALBUM album : damaged) DeleteAlbum(album);
  PruneSonglessArtists();
  SaveDbTo(fileName);
  ReportError(kMsgRepaired);
}

int32_t LoadDbFrom(const char* fileName) {
  Catalogue& db = Db();
  if (db.dbChanged) {
    ReportError(kMsgUnsaved);
    return 0;
  }
  FilePtr f(fileName ? std::fopen(fileName, "rb") : nullptr);
  if (!f) {
    ReportError(kMsgCannotOpen);
    return 0;
  }
  uint8_t version = 0;
  if (std::fread(&version, 1, 1, f.get()) != 1) {
    ReportError(kMsgCannotRead);
    return 0;
  }
  if (version < 1 || version > kCurrentVersion) {
    ReportError(kMsgNewerVersion);
    return 0;
  }

  CleanupDb();  // the file's catalogue replaces whatever was there
  std::vector<HALBUM> damaged;
  {
    NewLists lists;
    const Outcome outcome =
        version == 1 ? ReadV1(f.get(), lists, damaged) : ReadV2to5(f.get(), version, lists);
    f.reset();
    if (outcome == Outcome::kDamaged) {
      db.fieldDefs = FieldDefs{};
      db.dbChanged = false;
      ReportError(kMsgCannotRead);
      return 0;
    }
    if (outcome == Outcome::kTooBig) {
      ReportError(kMsgTooBig);
      return 0;
    }
    lists.Adopt();
  }
  if (version > 1) ValidateFieldDefs();
  if (!damaged.empty()) {
    RepairV1(fileName, damaged);
    return 1;
  }
  PruneSonglessArtists();
  db.dbChanged = false;
  return 1;
}

// ---- Saving --------------------------------------------------------------------------

// The string data and its length table. Every text is written whole with its NUL.
class StringWriter {
 public:
  explicit StringWriter(rs::FileWriter& w, size_t expected) : w_(w) { lengths_.reserve(expected); }
  void Put(const char* text, size_t fieldSize) {
    const size_t len = strnlen(text, fieldSize - 1);
    w_.Bytes(text, len);
    w_.U8(0);
    lengths_.push_back(static_cast<uint8_t>(len + 1));
  }
  // The table and the string count, which is kept modulo 65,536.
  void Finish() {
    w_.Bytes(lengths_.data(), lengths_.size());
    w_.U16(static_cast<uint16_t>(lengths_.size() & 0xFFFF));
  }

 private:
  rs::FileWriter& w_;
  std::vector<uint8_t> lengths_;
};

void WriteCatalogue(rs::FileWriter& w) {
  const Catalogue& db = Db();
  w.U8(kCurrentVersion);
  std::vector<uint8_t> defs(FIELD_DEFS_SIZE);
  EncodeFieldDefs(db.fieldDefs, defs.data());
  w.Bytes(defs.data(), defs.size());

  // Songs refer to artists and albums by list position, which num holds; renumbering
  // here makes that so whatever edits came before.
  int32_t a = 0, b = 0, s = 0;
  for (HARTIST x = db.artistList; x; x = IGetArtistNext(x)) ISetArtistNum(x, a++);
  for (HALBUM x = db.albumList; x; x = IGetAlbumNext(x)) ISetAlbumNum(x, b++);
  for (HSONG x = db.songList; x; x = IGetSongNext(x)) ++s;
  w.U16(static_cast<uint16_t>(a));
  w.U16(static_cast<uint16_t>(b));
  w.U16(static_cast<uint16_t>(s));

  for (HALBUM x = db.albumList; x; x = IGetAlbumNext(x)) w.U16(rs::ClampU16(IGetAlbumMedia(x)));
  for (HALBUM x = db.albumList; x; x = IGetAlbumNext(x)) w.U16(rs::ClampU16(IGetAlbumChoice1(x)));
  for (HALBUM x = db.albumList; x; x = IGetAlbumNext(x)) w.U16(rs::ClampU16(IGetAlbumChoice2(x)));

  for (HSONG x = db.songList; x; x = IGetSongNext(x)) {
    uint8_t rec[kSongRecordSize];
    rs::PutU16(rec, rs::ClampU16(IGetSongTime(x)));
    rs::PutU16(rec + 2, static_cast<uint16_t>(IGetArtistNum(IGetSongArtist(x))));
    rs::PutU16(rec + 4, static_cast<uint16_t>(IGetAlbumNum(IGetSongAlbum(x))));
    // The track keeps to its 15 bits so that it can never set the used flag.
    uint16_t last = static_cast<uint16_t>(IGetSongTrack(x)) & kTrackMask;
    if (IGetSongUsedOnTape(x)) last |= kUsedOnTapeBit;
    rs::PutU16(rec + 6, last);
    w.Bytes(rec, sizeof rec);
  }

  StringWriter strings(w, static_cast<size_t>(a) + 3 * static_cast<size_t>(b) + s);
  char text[ALBUM_TEXT_SIZE];
  for (HARTIST x = db.artistList; x; x = IGetArtistNext(x)) strings.Put(IArtistName(x), NAME_SIZE);
  for (HALBUM x = db.albumList; x; x = IGetAlbumNext(x)) {
    strings.Put(IAlbumTitle(x), NAME_SIZE);
    strings.Put(IGetAlbumText1(x, text, sizeof text), sizeof text);
    strings.Put(IGetAlbumText2(x, text, sizeof text), sizeof text);
  }
  for (HSONG x = db.songList; x; x = IGetSongNext(x)) strings.Put(ISongTitle(x), NAME_SIZE);
  strings.Finish();
}

// The replacement takes over the permissions of the file it replaces.
void KeepPermissions(const std::string& target, int fd) {
  struct stat st;
  if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    const int rc = ::fchmod(fd, st.st_mode & 07777);
    (void)rc;  // the default permissions are an acceptable fallback
  }
}

// Makes the rename itself durable. Failing that, the save still happened.
void SyncDirectoryOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  const int rc = ::fsync(fd);
  (void)rc;
  ::close(fd);
}

}  // namespace

std::string TempFileNameFor(const char* fileName) {
  const std::string name = fileName ? fileName : "";
  const size_t cut = name.find_last_of("\\/:");
  return (cut == std::string::npos ? std::string() : name.substr(0, cut + 1)) + kTempName;
}

int32_t SaveDbTo(const char* fileName) {
  const std::string target = fileName ? fileName : "";
  std::string temp = TempFileNameFor(target.c_str());
  // A target that is itself called rsh.rs9 would be truncated by creating the temporary
  // file, so it gets a temporary file of another name beside it.
  if (temp == target) temp += '~';
  rs::FileWriter w;
  if (!w.Create(temp.c_str())) {
    ReportError(kMsgCannotWrite);
    return 0;
  }
  KeepPermissions(target, w.fd());
  WriteCatalogue(w);
  // Nothing is replaced until the new file is complete and on disk.
  if (!w.Commit()) {
    ::unlink(temp.c_str());
    ReportError(kMsgCannotWrite);
    return 0;
  }
  // One rename replaces the target, so there is no moment without a catalogue file.
  if (std::rename(temp.c_str(), target.c_str()) != 0) {
    ::unlink(temp.c_str());
    ReportError(kMsgCannotReplace);
    return 0;
  }
  SyncDirectoryOf(target);
  Db().dbChanged = false;
  return 1;
}

int32_t ReadDbCounts(const char* fileName, int32_t* artists, int32_t* albums, int32_t* songs) {
  FilePtr f(fileName ? std::fopen(fileName, "rb") : nullptr);
  if (!f) {
    ReportError(kMsgCannotOpen);
    return 0;
  }
  rs::LeReader r(f.get());
  uint8_t version = 0;
  if (!r.U8(version)) {
    ReportError(kMsgCannotRead);
    return 0;
  }
  uint16_t a = 0, b = 0, s = 0;
  if (version == 1) {
    uint8_t len = 0;
    uint16_t media = 0;
    if (!r.U16(a)) return 0;
    for (uint16_t i = 0; i < a; ++i)
      if (!r.U8(len) || !r.Skip(len)) return 0;
    if (!r.U16(b)) return 0;
    for (uint16_t i = 0; i < b; ++i)
      if (!r.U16(media) || !r.U8(len) || !r.Skip(len)) return 0;
    if (!r.U16(s)) return 0;
  } else if (version >= 2 && version <= kCurrentVersion) {
    const size_t skip =
        (version <= 3 ? 4 : 0) + (version == 5 ? FIELD_DEFS_SIZE : kOldFieldDefsSize);
    if (!r.Skip(skip) || !r.U16(a) || !r.U16(b) || !r.U16(s)) return 0;
  } else {
    ReportError(kMsgNewerVersion);
    return 0;
  }
  *artists = a;
  *albums = b;
  *songs = s;
  return 1;
}

extern "C" RSDB_API int32_t LoadDb(const char* fileName) noexcept {
  try {
    return LoadDbFrom(fileName);
  } catch (const std::bad_alloc&) {
    rs::OutOfMemory();
  }
}

extern "C" RSDB_API int32_t SaveDb() noexcept {
  try {
    if (!Db().dbChanged) return 1;
    return SaveDbTo(Db().dbFileName);
  } catch (const std::bad_alloc&) {
    rs::OutOfMemory();
  }
}
