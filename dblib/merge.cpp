// Merging a catalogue file into the catalogue in memory: the file is loaded as the
// catalogue proper and the catalogue that was in memory is added into it album by album.
#include <cstring>

#include "album.h"
#include "artist.h"
#include "catalogue.h"
#include "catalogue_file.h"
#include "reelsmithdb.h"
#include "album_fields.h"
#include "assertions.h"
#include "song.h"

namespace {

// The catalogue that was in memory, held aside while the file is loaded. Its records are
// only read until the merge has succeeded, so a failure can always put it back whole.
struct SetAside {
  HARTIST artistList;
  HALBUM albumList;
  HSONG songList;
  uint16_t artistCnt;
  uint16_t albumCnt;
  uint16_t songCnt;
  bool dbChanged;
  FieldDefs fieldDefs;
};

void TakeAside(Catalogue& db, SetAside& aside) {
  aside.artistList = db.artistList;
  aside.albumList = db.albumList;
  aside.songList = db.songList;
  aside.artistCnt = db.artistCnt;
  aside.albumCnt = db.albumCnt;
  aside.songCnt = db.songCnt;
  aside.dbChanged = db.dbChanged;
  aside.fieldDefs = db.fieldDefs;
  db.artistList = nullptr;
  db.albumList = nullptr;
  db.songList = nullptr;
  db.artistCnt = db.albumCnt = db.songCnt = 0;
  db.dbChanged = false;
  std::memset(&db.fieldDefs, 0, sizeof db.fieldDefs);
  ListsReplaced();
}

// Frees whatever the failed merge built and restores the set-aside catalogue.
void PutBack(Catalogue& db, const SetAside& aside) {
  FreeRecordLists(db.artistList, db.albumList, db.songList);
  db.artistList = aside.artistList;
  db.albumList = aside.albumList;
  db.songList = aside.songList;
  db.artistCnt = aside.artistCnt;
  db.albumCnt = aside.albumCnt;
  db.songCnt = aside.songCnt;
  db.dbChanged = aside.dbChanged;
  db.fieldDefs = aside.fieldDefs;
  ListsReplaced();
}

// Adds a copy of a set-aside album with its songs. False when the catalogue refuses a
// record (only possible when the file changed between counting and loading).
bool AddAlbumCopy(HALBUM album) {
  char text1[ALBUM_TEXT_SIZE];
  char text2[ALBUM_TEXT_SIZE];
  IGetAlbumText1(album, text1, sizeof text1);
  IGetAlbumText2(album, text2, sizeof text2);
  HALBUM copy = AddAlbum(IAlbumTitle(album), text1, text2, IGetAlbumMedia(album),
                         IGetAlbumChoice1(album), IGetAlbumChoice2(album));
  if (!copy) return false;
  bool ok = true;
  BeginAddSong();
  for (HSONG song = IGetAlbumFirstSong(album); song; song = IGetSongNextSongOnAlbum(song)) {
    // Unifies with a loaded artist of that name, ignoring case, and spells it as here.
    HARTIST artist = AddArtist(IArtistName(IGetSongArtist(song)));
    if (!artist ||
        !AddSong(ISongTitle(song), IGetSongTime(song), artist, copy, IGetSongTrack(song))) {
      ok = false;
      break;
    }
  }
  FinishAddSong();
  return ok;
}

}  // namespace

extern "C" RSDB_API int32_t MergeDb(const char* fileName) noexcept {
  if (!fileName) fileName = "";
  int32_t artists = 0;
  int32_t albums = 0;
  int32_t songs = 0;
  if (!ReadDbCounts(fileName, &artists, &albums, &songs)) return 0;

  Catalogue& db = Db();
  // Songs of an open batch hang on the records being set aside, and loading would free
  // them under those records.
  RS_ASSERT(!XVerify(db.addSongList));
  if (db.albumCnt + albums > MAX_RECORDS || db.songCnt + songs > MAX_RECORDS ||
      db.artistCnt + artists > MAX_RECORDS) {
    ReportError("The combined database would be too big.");
    return 0;
  }

  SetAside aside;
  TakeAside(db, aside);
  if (!LoadDb(fileName)) {
    PutBack(db, aside);
    return 0;
  }

  for (HALBUM album = aside.albumList; album; album = IGetAlbumNext(album)) {
    if (!AddAlbumCopy(album)) {
      PutBack(db, aside);
      return 0;
    }
  }

  FreeRecordLists(aside.artistList, aside.albumList, aside.songList);
  db.fieldDefs = aside.fieldDefs;
  ValidateFieldDefs();
  db.dbChanged = true;
  return 1;
}
