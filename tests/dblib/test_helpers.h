#pragma once
// Helpers shared by the library tests.
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "reelsmithdb.h"

namespace rstest {

// A fresh, empty directory under the system temp folder, removed with its contents
// when the object goes out of scope.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// Empties the catalogue whatever its state (CleanupDb), clears sort-by-time.
void ResetCatalogue();

// Titles/names of a query's result, in order.
std::vector<std::string> AlbumTitles();
std::vector<std::string> ArtistNames();
std::vector<std::string> SongTitles();

// Adds an album with the given songs (title, seconds, artist) on tracks 1, 2, ...
HALBUM AddAlbumWithSongs(const char* title,
                         const std::vector<std::tuple<std::string, int, std::string>>& songs);

}  // namespace rstest
