#pragma once
// Reading and writing catalogue files (LoadDb, SaveDb are exported).
#include <cstdint>
#include <cstdio>

// Reads versions 2 to 5 from an open file positioned after the version byte.
// Returns 1 on success, 0 on failure with the error text set.
int32_t LoadDbV2to5(std::FILE* f, int version, long fileSize);

// Writes the catalogue as version 5 to fileName (through the temporary file).
int32_t SaveDbTo(const char* fileName);

// Reads a file's three counts without loading it; 1 on success.
int32_t ReadDbCounts(const char* fileName, int32_t* artists, int32_t* albums, int32_t* songs);
