#pragma once
// List queries into big arrays. The exported queries are declared in reelsmithdb.h;
// this header holds what other modules share with them.
#include "reelsmithdb.h"

// Number of songs on the album (0 for null): the capacity its album queries need.
int32_t CountSongsOnAlbum(HALBUM album);
