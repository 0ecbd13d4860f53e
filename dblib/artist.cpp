#include "artist.h"

#include <cstdlib>

HARTIST NewArtist() { return static_cast<HARTIST>(rs::XAllocZero(sizeof(ARTIST))); }

void FreeArtist(HARTIST a) { std::free(a); }
