#pragma once
// Reading the catalogue in memory back into the test writer's model, so that a loaded
// catalogue can be compared with the model its file was written from.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <sstream>
#include <string>

#include "catalogue.h"
#include "catalogue_writer.h"

namespace rstest {

// The catalogue the files in tests/data hold (their catalogue.json), in Windows-1252.
inline MusCatalogue FixtureCatalogue() {
  MusCatalogue c;
  c.artists = {"Ada Quill", "Bram Ossory", "\xC9lan Vital"};
  c.albums = {{"Harbour Lights", 1, 2, 1, "Corner shop", ""},
              {"Quiet Se\xF1or", 2, 0, 2, "", ""},
              {"[Singles]", 5, 1, 0, "Fair", ""}};
  c.songs = {{"After Rain", 245, 0, 0, 1, false},     {"Blue Hour", 185, 0, 0, 2, true},
             {"Caf\xE9 Window", 312, 2, 0, 3, false}, {"Dusk", 59, 1, 1, 1, false},
             {"Everglow", 6000, 1, 1, 2, false},      {"Fr\xEDo", 0, 2, 2, 1, false}};
  c.fields.choiceName[0] = "Genre";
  c.fields.choiceName[1] = "Condition";
  c.fields.textName[0] = "Bought at";
  c.fields.choiceCount[0] = 3;
  c.fields.choiceCount[1] = 2;
  c.fields.textState[0] = 1;
  c.fields.choices[0] = {"Jazz", "Rock", "Folk"};
  c.fields.choices[1] = {"Mint", "Worn"};
  return c;
}

// What loading a file of this version written from c gives: version 1 holds no field
// definitions, album texts, choice values or used flags; versions 2 to 4 hold 10
// choices of at most 14 characters per field.
inline MusCatalogue ExpectedAfterLoad(MusCatalogue c, int version) {
  if (version == 1) {
    c.fields = MusFields{};
    for (auto& a : c.albums) {
      a.choice1 = a.choice2 = 1;
      a.text1.clear();
      a.text2.clear();
    }
    for (auto& s : c.songs) s.used = false;
  } else if (version < 5) {
    for (auto& list : c.fields.choices) {
      if (list.size() > 10) list.resize(10);
      for (auto& choice : list)
        if (choice.size() > 14) choice.resize(14);
    }
  }
  return c;
}

// The catalogue in memory in the model's terms (artist and album indexes are list
// positions).
inline MusCatalogue Snapshot() {
  const Catalogue& db = Db();
  MusCatalogue c;
  std::map<HARTIST, uint16_t> artistIndex;
  std::map<HALBUM, uint16_t> albumIndex;
  for (HARTIST a = db.artistList; a; a = a->next) {
    artistIndex[a] = static_cast<uint16_t>(c.artists.size());
    c.artists.push_back(a->name);
  }
  for (HALBUM a = db.albumList; a; a = a->next) {
    albumIndex[a] = static_cast<uint16_t>(c.albums.size());
    c.albums.push_back({a->title, static_cast<uint16_t>(a->media),
                        static_cast<uint16_t>(a->choice1), static_cast<uint16_t>(a->choice2),
                        a->text1, a->text2});
  }
  for (HSONG s = db.songList; s; s = s->next)
    c.songs.push_back({s->title, static_cast<uint16_t>(s->time), artistIndex.at(s->artist),
                       albumIndex.at(s->album), static_cast<uint16_t>(s->track),
                       s->usedOnTape != 0});
  const FieldDefs& d = db.fieldDefs;
  for (int i = 0; i < 2; ++i) {
    c.fields.choiceName[i] = d.choiceName[i];
    c.fields.textName[i] = d.textName[i];
    c.fields.choiceCount[i] = d.choiceCount[i];
    c.fields.textState[i] = d.textState[i];
    int last = MAX_CHOICES - 1;
    while (last >= 0 && !d.choices[i][last][0]) --last;
    for (int k = 0; k <= last; ++k) c.fields.choices[i].push_back(d.choices[i][k]);
  }
  return c;
}

// One line per item, so that a failed comparison shows which item differs.
inline std::string Describe(const MusCatalogue& c) {
  std::ostringstream out;
  for (const auto& a : c.artists) out << "artist " << a << "\n";
  for (const auto& a : c.albums)
    out << "album " << a.title << " | media " << a.media << " | choices " << a.choice1 << ","
        << a.choice2 << " | texts " << a.text1 << "," << a.text2 << "\n";
  for (const auto& s : c.songs)
    out << "song " << s.title << " | " << s.seconds << "s | artist " << s.artist << " | album "
        << s.album << " | track " << s.track << (s.used ? " | used" : "") << "\n";
  for (int i = 0; i < 2; ++i) {
    out << "choice field " << c.fields.choiceName[i] << " count " << c.fields.choiceCount[i] << ":";
    for (const auto& ch : c.fields.choices[i]) out << " [" << ch << "]";
    out << "\ntext field " << c.fields.textName[i] << " state " << c.fields.textState[i] << "\n";
  }
  return out.str();
}

// The lists and chains agree with each other and with the counts.
inline void ExpectConsistentCatalogue() {
  const Catalogue& db = Db();
  int32_t n = 0;
  for (HARTIST a = db.artistList; a; a = a->next, ++n) {
    EXPECT_EQ(a->num, n);
    EXPECT_NE(a->firstSong, nullptr) << "songless artist " << a->name;
    for (HSONG s = a->firstSong; s; s = s->nextSongByArtist) EXPECT_EQ(s->artist, a);
  }
  EXPECT_EQ(n, db.artistCnt);
  n = 0;
  for (HALBUM a = db.albumList; a; a = a->next, ++n) {
    EXPECT_EQ(a->num, n);
    for (HSONG s = a->firstSong; s && s->nextSongOnAlbum; s = s->nextSongOnAlbum)
      EXPECT_LE(s->track, s->nextSongOnAlbum->track);
  }
  EXPECT_EQ(n, db.albumCnt);
  n = 0;
  for (HSONG s = db.songList; s; s = s->next) ++n;
  EXPECT_EQ(n, db.songCnt);
}

inline bool FieldDefsAreEmpty() {
  static const FieldDefs kEmpty{};
  return std::memcmp(&Db().fieldDefs, &kEmpty, sizeof kEmpty) == 0;
}

}  // namespace rstest
