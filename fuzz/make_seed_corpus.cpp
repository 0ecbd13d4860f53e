// Writes the seed corpus of the catalogue fuzz targets into the folder given: a small
// catalogue in every file version, a version 1 file that needs repair, a version 5 file
// without songs, files whose album arrays end at and just past a 1,024-item segment, and
// one with more strings than its 16-bit string count holds. Run by hand when the seeds
// should change.
#include <cstdio>
#include <string>
#include <vector>

#include "catalogue_writer.h"

namespace {

rstest::MusCatalogue Small() {
  rstest::MusCatalogue c;
  c.artists = {"Ann Arbor", "Bo Dane", "Cy Ro"};
  c.albums = {{"Blue Rooms", 1, 2, 1, "Attic", ""},
              {"Quiet", 3, 1, 0, "", ""},
              {"[Singles]", 5, 0, 2, "Shelf 2", ""}};
  c.songs = {{"Afterglow", 245, 0, 0, 1, false}, {"Bright", 185, 0, 0, 2, true},
             {"Candle", 312, 2, 0, 3, false},    {"Dune", 59, 1, 1, 1, false},
             {"Echo", 6000, 1, 1, 2, true},      {"Flint", 0, 2, 2, 1, false}};
  c.fields.choiceName[0] = "Genre";
  c.fields.choiceName[1] = "Condition";
  c.fields.textName[0] = "Stored at";
  c.fields.choiceCount[0] = 2;
  c.fields.choiceCount[1] = 2;
  c.fields.textState[0] = 1;
  c.fields.choices[0] = {"Jazz", "Folk"};
  c.fields.choices[1] = {"Mint", "Worn"};
  return c;
}

// albums albums with empty texts, and one song by one artist on the first.
rstest::MusCatalogue ManyAlbums(int albums) {
  rstest::MusCatalogue c;
  c.artists = {"Ann"};
  for (int i = 0; i < albums; ++i) c.albums.push_back({std::to_string(i), 1, 0, 0, "", ""});
  c.songs = {{"Song", 60, 0, 0, 1, false}};
  return c;
}

// 65,536 strings, the fewest bytes that get there: 15,000 unnamed artists (two bytes a
// string), 15,000 albums with empty titles and texts (four), and the rest as songs.
rstest::MusCatalogue ManyStrings() {
  rstest::MusCatalogue c;
  c.artists.assign(15000, "");
  c.albums.assign(15000, rstest::MusAlbum{"", 1, 0, 0, "", ""});
  const int songs = 65536 - 15000 - 3 * 15000;
  for (int i = 0; i < songs; ++i)
    c.songs.push_back({"", 1, static_cast<uint16_t>(i), static_cast<uint16_t>(i), 1, false});
  return c;
}

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = true;
  for (int v = 1; v <= 5; ++v)
    ok &= Write(dir + "/small-v" + std::to_string(v) + ".mus", rstest::WriteMus(Small(), v));
  rstest::MusCatalogue repair = Small();
  repair.songs.push_back({"Second Candle", 100, 1, 0, 3, false});
  ok &= Write(dir + "/repair-v1.mus", rstest::WriteMus(repair, 1));
  rstest::MusCatalogue noSongs = Small();
  noSongs.songs.clear();
  ok &= Write(dir + "/nosongs-v5.mus", rstest::WriteMus(noSongs, 5));
  ok &= Write(dir + "/albums-1024-v5.mus", rstest::WriteMus(ManyAlbums(1024), 5));
  ok &= Write(dir + "/albums-1025-v5.mus", rstest::WriteMus(ManyAlbums(1025), 5));
  ok &= Write(dir + "/strings-65536-v5.mus", rstest::WriteMus(ManyStrings(), 5));
  return ok ? 0 : 1;
}
