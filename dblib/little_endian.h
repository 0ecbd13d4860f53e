#pragma once
// Little-endian encoding and checked file I/O for the binary file formats. Every read
// says whether all of its bytes came; every write failure is remembered, so a file is
// never taken as written unless each byte, the sync to disk and the close succeeded.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace rs {

inline uint16_t GetU16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (static_cast<unsigned>(p[1]) << 8));
}

inline void PutU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v & 0xFF);
  p[1] = static_cast<uint8_t>(v >> 8);
}

// Values beyond a 16-bit field are stored at the nearest end of its range.
inline uint16_t ClampU16(int32_t v) {
  return static_cast<uint16_t>(v < 0 ? 0 : (v > 0xFFFF ? 0xFFFF : v));
}

// Sequential reads from a stdio stream the caller owns.
class LeReader {
 public:
  explicit LeReader(std::FILE* f) : f_(f) {}
  bool Bytes(void* dst, size_t n) { return std::fread(dst, 1, n, f_) == n; }
  bool U8(uint8_t& v) { return Bytes(&v, 1); }
  bool U16(uint16_t& v) {
    uint8_t b[2];
    if (!Bytes(b, 2)) return false;
    v = GetU16(b);
    return true;
  }
  // Steps over n bytes by reading them, so that stepping past the end fails.
  bool Skip(size_t n);

 private:
  std::FILE* f_;
};

// Buffered writes to a file it creates. The first failure sticks: later writes are
// dropped and Commit reports it.
class FileWriter {
 public:
  FileWriter();
  ~FileWriter();  // closes a file that was not committed (no sync)
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;

  // Creates (or truncates) path for writing; false when that fails.
  bool Create(const char* path);
  int fd() const { return fd_; }

  void Bytes(const void* data, size_t n);
  void U8(uint8_t v) { Bytes(&v, 1); }
  void U16(uint16_t v) {
    uint8_t b[2];
    PutU16(b, v);
    Bytes(b, 2);
  }

  // Writes what is buffered, syncs the file to disk and closes it. True only when
  // every write, the sync and the close succeeded.
  bool Commit();

 private:
  void Flush();

  int fd_ = -1;
  bool ok_ = true;
  std::vector<uint8_t> buf_;
  size_t used_ = 0;
};

}  // namespace rs
