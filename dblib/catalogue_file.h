#pragma once
// Reading and writing catalogue files. LoadDb and SaveDb are exported (reelsmithdb.h);
// this is what the other library modules share with them.
#include <cstdint>
#include <string>

// Writes the catalogue as version 5 to fileName through the temporary file beside it,
// whether or not the catalogue changed. 1 on success (changed flag cleared); 0 on
// failure with the error text set, the temporary file removed and fileName untouched.
int32_t SaveDbTo(const char* fileName);

// Reads a file's three counts without loading it; 1 on success. Open, version and
// unknown-version failures report the loading messages; a file too short to hold its
// counts fails without a new error text. The catalogue is not touched.
// REQUIRES: artists, albums and songs are not null.
int32_t ReadDbCounts(const char* fileName, int32_t* artists, int32_t* albums, int32_t* songs);

// The temporary file a save to fileName writes first: the directory part of the name
// (up to and including its last '\', '/' or ':') followed by "rsh.rs9".
std::string TempFileNameFor(const char* fileName);
