// Loads arbitrary bytes as a catalogue file. Whatever the bytes, LoadDb must return 0 or
// 1 without a sanitizer finding, and leave lists that agree with each other and with
// their counts; a failed load leaves nothing behind.
#include <cstdint>
#include <cstdio>

#include "catalogue.h"
#include "catalogue_consistency.h"
#include "reelsmithdb.h"
#include "work_folder.h"

using rsfuzz::Require;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  rsfuzz::PrepareWorkFolder(argc, argv, "load_catalogue_fuzz");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  rsfuzz::InWorkFolder here;
  rsfuzz::WriteInput("input.mus", data, size);

  CleanupDb();
  const int32_t result = LoadDb("input.mus");
  Require(result == 0 || result == 1, "LoadDb returns 0 or 1");
  rsfuzz::CheckCatalogue();
  if (result == 0)
    Require(!Db().artistList && !Db().albumList && !Db().songList, "a failed load keeps nothing");
  // A repair saves at once, so even a repaired load ends unchanged.
  Require(result == 0 || GetDbChanged() == 0, "a load leaves the catalogue unchanged");

  std::remove("muserror.txt");
  CleanupDb();
  return 0;
}
