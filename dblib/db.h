#pragma once
// The one process-wide catalogue and the operations the other modules share.
#include <cstdint>

#include "album.h"
#include "artist.h"
#include "reelsmithdb.h"
#include "reellib.h"
#include "song.h"

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
};

// The library's one catalogue.
Catalogue& Db();

// Stores the message (cut to 511 characters) for GetErrorText.
void ReportError(const char* message);

// Code that builds or swaps the list heads directly (loading, merging) calls this
// afterwards, so that ordering caches are rebuilt from the lists as they now are.
void ListsReplaced();

// Frees every record reachable from the three list heads (and nothing else).
void FreeRecordLists(HARTIST artists, HALBUM albums, HSONG songs);

// Removes every artist without songs and renumbers the rest 0, 1, 2, ...
void PruneSonglessArtists();
