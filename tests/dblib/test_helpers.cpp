#include "test_helpers.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace rstest {

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "rstest-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void ResetCatalogue() {
  CleanupDb();
  SetSortByTime(0);
}

namespace {
template <typename H, typename Getter>
std::vector<std::string> Collect(int32_t count, int32_t (*query)(BigArray*), Getter get) {
  std::vector<std::string> out;
  BigArray* ba = BigArrayAlloc(count);
  int32_t n = query(ba);
  char buf[256];
  for (int32_t i = 0; i < n; ++i) out.emplace_back(get(static_cast<H>(BAGet(ba, i)), buf, 256));
  BigArrayFree(ba);
  return out;
}
}  // namespace

std::vector<std::string> AlbumTitles() {
  return Collect<HALBUM>(GetAlbumCount(), GetAllAlbums, GETALBUMTITLE);
}
std::vector<std::string> ArtistNames() {
  return Collect<HARTIST>(GetArtistCount(), GetAllArtists, GETARTISTNAME);
}
std::vector<std::string> SongTitles() {
  return Collect<HSONG>(GetSongCount(), GetAllSongs, GETSONGTITLE);
}

HALBUM AddAlbumWithSongs(const char* title,
                         const std::vector<std::tuple<std::string, int, std::string>>& songs) {
  HALBUM album = AddAlbum(title, "", "", 1, 0, 0);
  BeginAddSong();
  int track = 1;
  for (const auto& [song, seconds, artist] : songs)
    AddSong(song.c_str(), seconds, AddArtist(artist.c_str()), album, track++);
  FinishAddSong();
  ResequenceSongs();
  return album;
}

}  // namespace rstest
