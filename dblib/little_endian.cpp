#include "little_endian.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace rs {

namespace {
constexpr size_t kWriteBuffer = 64 * 1024;
}

bool LeReader::Skip(size_t n) {
  uint8_t scratch[512];
  while (n > 0) {
    const size_t part = n < sizeof scratch ? n : sizeof scratch;
    if (!Bytes(scratch, part)) return false;
    n -= part;
  }
  return true;
}

FileWriter::FileWriter() : buf_(kWriteBuffer) {}

FileWriter::~FileWriter() {
  if (fd_ >= 0) ::close(fd_);
}

bool FileWriter::Create(const char* path) {
  fd_ = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  ok_ = fd_ >= 0;
  used_ = 0;
  return ok_;
}

void FileWriter::Bytes(const void* data, size_t n) {
  if (!ok_) return;
  const auto* p = static_cast<const uint8_t*>(data);
  while (n > 0) {
    if (used_ == buf_.size()) {
      Flush();
      if (!ok_) return;
    }
    const size_t room = buf_.size() - used_;
    const size_t part = n < room ? n : room;
    std::memcpy(buf_.data() + used_, p, part);
    used_ += part;
    p += part;
    n -= part;
  }
}

void FileWriter::Flush() {
  size_t done = 0;
  while (ok_ && done < used_) {
    const ssize_t w = ::write(fd_, buf_.data() + done, used_ - done);
    if (w > 0) {
      done += static_cast<size_t>(w);
    } else if (w < 0 && errno == EINTR) {
      continue;
    } else {
      ok_ = false;  // a full disk shows as a short write or an error here
    }
  }
  used_ = 0;
}

bool FileWriter::Commit() {
  if (fd_ < 0) return false;
  Flush();
  if (ok_ && ::fsync(fd_) != 0) ok_ = false;
  if (::close(fd_) != 0) ok_ = false;
  fd_ = -1;
  return ok_;
}

}  // namespace rs
