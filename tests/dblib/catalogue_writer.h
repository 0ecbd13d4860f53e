#pragma once
// A catalogue file writer for the tests, written from the format description and
// sharing no code with the library, so that the library's reader is checked against a
// second reading of the format. It writes every version, including the old layouts
// the library only reads, and tells where each part of a file starts so that tests can
// damage files on purpose.
#include <cstdint>
#include <string>
#include <vector>

namespace rstest {

struct MusAlbum {
  std::string title;
  uint16_t media = 1;
  uint16_t choice1 = 0;
  uint16_t choice2 = 0;
  std::string text1;
  std::string text2;
};

struct MusSong {
  std::string title;
  uint16_t seconds = 0;
  uint16_t artist = 0;  // index into MusCatalogue::artists
  uint16_t album = 0;   // index into MusCatalogue::albums
  uint16_t track = 1;
  bool used = false;
};

struct MusFields {
  std::string choiceName[2];
  std::string textName[2];
  uint16_t choiceCount[2] = {0, 0};
  uint16_t textState[2] = {0, 0};
  std::vector<std::string> choices[2];
};

struct MusCatalogue {
  std::vector<std::string> artists;
  std::vector<MusAlbum> albums;
  std::vector<MusSong> songs;
  MusFields fields;
};

class MusBytes {
 public:
  void U8(uint8_t v) { b_.push_back(v); }
  void U16(uint16_t v) {
    b_.push_back(static_cast<uint8_t>(v & 0xFF));
    b_.push_back(static_cast<uint8_t>(v >> 8));
  }
  // A NUL-terminated text in a slot of size bytes, padded with zeros.
  void Slot(const std::string& s, size_t size) {
    for (size_t i = 0; i < size; ++i) b_.push_back(i < s.size() && i + 1 < size ? s[i] : 0);
  }
  void Text(const std::string& s) {
    b_.insert(b_.end(), s.begin(), s.end());
    b_.push_back(0);
  }
  std::vector<uint8_t>& bytes() { return b_; }

 private:
  std::vector<uint8_t> b_;
};

inline size_t MusFieldBlockSize(int version) { return version == 5 ? 5192 : 392; }

// Offset of the three counts in a file of version 2 to 5.
inline size_t MusCountsOffset(int version) {
  return 1 + (version <= 3 ? 4 : 0) + MusFieldBlockSize(version);
}

// Offset of the first song record in a file of version 2 to 5.
inline size_t MusSongsOffset(int version, size_t albums) {
  return MusCountsOffset(version) + 6 + 6 * albums;
}

inline std::vector<uint8_t> WriteMus(const MusCatalogue& c, int version,
                                     const uint8_t skipped[4] = nullptr) {
  MusBytes out;
  out.U8(static_cast<uint8_t>(version));
  if (version == 1) {
    out.U16(static_cast<uint16_t>(c.artists.size()));
    for (const auto& a : c.artists) {
      out.U8(static_cast<uint8_t>(a.size() + 1));
      out.Text(a);
    }
    out.U16(static_cast<uint16_t>(c.albums.size()));
    for (const auto& a : c.albums) {
      out.U16(a.media);
      out.U8(static_cast<uint8_t>(a.title.size() + 1));
      out.Text(a.title);
    }
    out.U16(static_cast<uint16_t>(c.songs.size()));
    for (const auto& s : c.songs) {
      out.U16(s.seconds);
      out.U16(s.artist);
      out.U16(s.album);
      out.U16(s.track);
      out.U8(static_cast<uint8_t>(s.title.size() + 1));
      out.Text(s.title);
    }
    return out.bytes();
  }

  if (version <= 3) {
    static const uint8_t kDefault[4] = {0x12, 0x34, 0x56, 0x78};
    for (int i = 0; i < 4; ++i) out.U8(skipped ? skipped[i] : kDefault[i]);
  }
  const MusFields& f = c.fields;
  for (int i = 0; i < 2; ++i) out.Slot(f.choiceName[i], 21);
  for (int i = 0; i < 2; ++i) out.Slot(f.textName[i], 21);
  for (int i = 0; i < 2; ++i) out.U16(f.choiceCount[i]);
  for (int i = 0; i < 2; ++i) out.U16(f.textState[i]);
  const size_t slots = version == 5 ? 50 : 10;
  const size_t slotSize = version == 5 ? 51 : 15;
  for (int i = 0; i < 2; ++i)
    for (size_t k = 0; k < slots; ++k)
      out.Slot(k < f.choices[i].size() ? f.choices[i][k] : std::string(), slotSize);

  out.U16(static_cast<uint16_t>(c.artists.size()));
  out.U16(static_cast<uint16_t>(c.albums.size()));
  out.U16(static_cast<uint16_t>(c.songs.size()));
  for (const auto& a : c.albums) out.U16(a.media);
  for (const auto& a : c.albums) out.U16(a.choice1);
  for (const auto& a : c.albums) out.U16(a.choice2);
  for (const auto& s : c.songs) {
    out.U16(s.seconds);
    out.U16(s.artist);
    out.U16(s.album);
    out.U16(static_cast<uint16_t>(s.track | (s.used ? 0x8000 : 0)));
  }
  std::vector<uint8_t> lengths;
  auto text = [&](const std::string& s) {
    out.Text(s);
    lengths.push_back(static_cast<uint8_t>(s.size() + 1));
  };
  for (const auto& a : c.artists) text(a);
  for (const auto& a : c.albums) {
    text(a.title);
    text(a.text1);
    text(a.text2);
  }
  for (const auto& s : c.songs) text(s.title);
  for (uint8_t len : lengths) out.U8(len);
  out.U16(static_cast<uint16_t>(lengths.size() & 0xFFFF));
  return out.bytes();
}

}  // namespace rstest
