#pragma once
// The one process-wide catalogue and the operations the other modules share.
#include <cstdint>

#include "album.h"
#include "artist.h"
#include "reelsmithdb.h"
#include "album_fields.h"
#include "song.h"

namespace rs {
class OrderIndex;
}

constexpr int MAX_RECORDS = 15000;  // per kind; files with more are refused
constexpr int FILE_NAME_SIZE = 255;
constexpr int ERROR_TEXT_SIZE = 512;

struct Catalogue {
  HARTIST artistList = nullptr;
  HALBUM albumList = nullptr;
  HSONG songList = nullptr;
  uint16_t artistCnt = 0;
  uint16_t albumCnt = 0;
  uint16_t songCnt = 0;
  HSONG addSongList = nullptr;  // pending songs of an open batch, by title
  bool dbChanged = false;
  char dbFileName[FILE_NAME_SIZE] = {};
  char errorText[ERROR_TEXT_SIZE] = {};
  bool sortByTime = false;
  FieldDefs fieldDefs = {};
  int32_t addSongCnt = 0;  // songs pending in the open batch (counted against the limit)
  rs::OrderIndex* order = nullptr;  // catalogue.cpp's ordering index (ordering_index.h); follows the lists
};

// The library's one catalogue.
Catalogue& Db();

// Stores the message (cut to 511 characters) for GetErrorText.
void ReportError(const char* message);

// Code that builds or swaps the list heads directly (loading, merging) calls this
// afterwards, so that the ordering index is rebuilt from the lists as they now are.
//
// The ordering index (ordering_index.h) keeps a collation key per record and may leave artist
// and album numbers to be renumbered on their next read (IGetArtistNum/IGetAlbumNum
// do it). What a caller that handles lists itself must keep to:
//  - Build a loaded catalogue's lists directly, set every num to its list position,
//    then call ListsReplaced() before any other catalogue operation.
//  - To set the lists aside: copy the three heads and counts, clear them in Db(), and
//    call ListsReplaced() (loading another file calls it too). That brings the numbers
//    of the set-aside records up to date and detaches them from the index; from then
//    on they are plain records that nothing else touches.
//  - Free set-aside (or any detached) lists only with FreeRecordLists(), never record
//    by record; it also forgets the index of a list it frees. To put set-aside lists
//    back, store their heads and counts in Db() and call ListsReplaced() again.
//  - Before relinking records that are in the lists in place, call ListsReplaced(),
//    and again afterwards.
//  - Never change the title or name of a record in a list except through AddArtist
//    (whose case-only respelling keeps the order); edit an album by deleting and
//    adding it.
// The index also notices heads or counts that changed behind its back and then
// rebuilds, but only ListsReplaced() is a guarantee.
void ListsReplaced();

// Frees every record reachable from the three list heads (and nothing else), taking
// them out of the ordering index first. Counts and Db()'s heads are left to the caller.
void FreeRecordLists(HARTIST artists, HALBUM albums, HSONG songs);

// Removes every artist without songs and renumbers the rest 0, 1, 2, ...
void PruneSonglessArtists();
