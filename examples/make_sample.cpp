// Builds the sample catalogue through the library's C interface: about 40 albums and
// 500 songs with invented titles and artists, several media, two choice fields and
// one text field, a few compilations and a few bracketed singles collections. The
// content comes from a fixed pseudo-random sequence, so every run writes the same file.
//
//   make_sample <file.mus>            writes the catalogue
//   make_sample --compare <file.mus>  exits 0 when the file holds exactly that catalogue
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "reelsmithdb.h"

namespace {

// A small linear congruential generator; its sequence never changes.
class Sequence {
 public:
  uint32_t Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return state_ >> 8;
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
  template <typename T>
  const T& Pick(const std::vector<T>& v) {
    return v[static_cast<size_t>(Below(static_cast<int>(v.size())))];
  }

 private:
  uint32_t state_ = 20240611u;
};

const std::vector<std::string> kFirst = {"Ada",   "Bram", "Cleo", "Dario", "Edda", "Finn",
                                         "Greta", "Hugo", "Ines", "Jonas", "Kira", "Lenny",
                                         "Mara",  "Nils", "Oona", "Pavel", "Rosa", "Soren"};
const std::vector<std::string> kLast = {"Quill",  "Ossory", "Vale",  "Marlow", "Fenwick",
                                        "Thorne", "Lumen",  "Brask", "Oakes",  "Severin"};
const std::vector<std::string> kBands = {
    "The Paper Kites of Leith", "Harbour Static", "Velvet Pylon", "The Slow Lanterns",
    "Northbound Choir",         "Copper & Salt",  "Minor Orbit",  "Tin Cathedral"};
const std::vector<std::string> kAdjectives = {
    "Blue", "Quiet", "Electric", "Paper", "Golden", "Broken", "Silver", "Hollow", "Crimson",
    "Slow", "Late",  "Northern", "Empty", "Bright", "Wild",   "Frozen", "Tender", "Distant"};
const std::vector<std::string> kNouns = {
    "Harbour", "Window", "River",    "Lantern", "Highway", "Garden",  "Station", "Ocean",
    "Morning", "Letter", "Engine",   "Orchard", "Signal",  "Winter",  "Balcony", "Canyon",
    "Mirror",  "Tide",   "Carousel", "Meadow",  "Rooftop", "Compass", "Ember",   "Lighthouse"};
const std::vector<std::string> kShops = {"Corner Records", "Market stall", "Mail order",  "Gift",
                                         "Flea market",    "Airport shop", "Vinyl Vault", ""};
const std::vector<std::string> kGenres = {"Jazz", "Rock", "Folk",       "Blues",
                                          "Soul", "Pop",  "Electronic", "Classical"};
const std::vector<std::string> kConditions = {"Mint", "Good", "Worn"};

// Every draw is a statement of its own: the order in which the operands of one
// expression are evaluated differs between compilers, and the file must not.
std::string SongTitle(Sequence& seq) {
  const int form = seq.Below(4);
  const std::string first = form == 1 ? std::string() : seq.Pick(form == 2 ? kNouns : kAdjectives);
  const std::string second = seq.Pick(kNouns);
  switch (form) {
    case 0:
      return first + " " + second;
    case 1:
      return "The " + second + " Song";
    case 2:
      return first + " of " + second + "s";
    default:
      return "Under the " + first + " " + second;
  }
}

std::string ArtistName(Sequence& seq) {
  if (seq.Below(3) == 0) return seq.Pick(kBands);
  const std::string first = seq.Pick(kFirst);
  return first + " " + seq.Pick(kLast);
}

// Two words, adjective first.
std::string TwoWords(Sequence& seq) {
  const std::string adjective = seq.Pick(kAdjectives);
  return adjective + " " + seq.Pick(kNouns);
}

void DefineFields() {
  for (size_t k = 0; k < kGenres.size(); ++k)
    SetUserChoiceFieldItem(1, static_cast<int32_t>(k), kGenres[k].c_str());
  SetUserChoiceFieldInfo(1, "Genre", static_cast<int32_t>(kGenres.size()));
  for (size_t k = 0; k < kConditions.size(); ++k)
    SetUserChoiceFieldItem(2, static_cast<int32_t>(k), kConditions[k].c_str());
  SetUserChoiceFieldInfo(2, "Condition", static_cast<int32_t>(kConditions.size()));
  SetUserTextFieldInfo(1, "Bought at", 1);
}

// One album and its songs; a compilation draws a new artist for every song.
void AddOneAlbum(Sequence& seq, const std::string& title, bool compilation, int songs) {
  const int32_t media = 1 + seq.Below(6);
  const int32_t genre = seq.Below(5) == 0 ? 0 : 1 + seq.Below(static_cast<int>(kGenres.size()));
  const int32_t condition = 1 + seq.Below(static_cast<int>(kConditions.size()));
  const std::string shop = seq.Pick(kShops);
  HALBUM album = AddAlbum(title.c_str(), shop.c_str(), "", media, genre, condition);
  const std::string mainArtist = ArtistName(seq);
  BeginAddSong();
  for (int track = 1; track <= songs; ++track) {
    const std::string name = compilation ? ArtistName(seq) : mainArtist;
    const int32_t seconds = 95 + seq.Below(330);
    const std::string song = SongTitle(seq);
    AddSong(song.c_str(), seconds, AddArtist(name.c_str()), album, track);
  }
  FinishAddSong();
}

void BuildCatalogue() {
  CleanupDb();
  DefineFields();
  Sequence seq;
  for (int i = 0; i < 40; ++i) {
    std::string title;
    bool compilation = false;
    if (i % 13 == 6) {
      const char* collections[] = {"[Singles]", "[Radio Favourites]", "[7-inch Singles]"};
      title = collections[(i / 13) % 3];
      compilation = true;
    } else if (i % 9 == 4) {
      title = "Best of the " + TwoWords(seq) + "s";
      compilation = true;
    } else {
      title = TwoWords(seq);
      if (seq.Below(3) == 0) title += " " + std::to_string(1970 + seq.Below(50));
    }
    const int songs = 8 + seq.Below(10);
    AddOneAlbum(seq, title, compilation, songs);
  }
  ResequenceSongs();
  // Some songs have been put on a tape.
  BigArray* all = BigArrayAlloc(GetSongCount());
  const int32_t n = GetAllSongs(all);
  for (int32_t k = 0; k < n; ++k)
    if (seq.Below(7) == 0) SetSongUsedOnTape(static_cast<HSONG>(BAGet(all, k)), 1);
  BigArrayFree(all);
}

std::vector<unsigned char> ReadAll(const char* path) {
  std::vector<unsigned char> bytes;
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return bytes;
  unsigned char buf[4096];
  size_t got;
  while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + got);
  std::fclose(f);
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  const bool compare = argc == 3 && std::strcmp(argv[1], "--compare") == 0;
  if (!(argc == 2 || compare)) {
    std::fprintf(stderr, "usage: %s [--compare] <file.mus>\n", argv[0]);
    return 2;
  }
  BuildCatalogue();
  const std::string target = compare ? "make_sample_compare.mus" : argv[1];
  SetFileName(target.c_str());
  if (!SaveDb()) {
    std::fprintf(stderr, "%s: %s\n", target.c_str(), GetErrorText());
    return 1;
  }
  std::printf("%s: %d albums, %d artists, %d songs\n", target.c_str(), GetAlbumCount(),
              GetArtistCount(), GetSongCount());
  if (!compare) return 0;
  const bool same = ReadAll(target.c_str()) == ReadAll(argv[2]);
  std::remove(target.c_str());
  if (!same) std::fprintf(stderr, "%s differs from what the generator writes\n", argv[2]);
  return same ? 0 : 1;
}
