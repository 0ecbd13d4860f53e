#include "album.h"

#include <cstdlib>

HALBUM NewAlbum() { return static_cast<HALBUM>(rs::XAllocZero(sizeof(ALBUM))); }

void FreeAlbum(HALBUM a) { std::free(a); }
