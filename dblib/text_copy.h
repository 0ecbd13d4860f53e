#pragma once
#include <cstring>

namespace rs {

// Copies at most size - 1 bytes of src and always terminates (size > 0).
// A null src is taken as the empty string.
inline char* CopyText(char* dst, int size, const char* src) {
  if (size <= 0) return dst;
  if (!src) src = "";
  size_t n = std::strlen(src);
  if (n > static_cast<size_t>(size - 1)) n = static_cast<size_t>(size - 1);
  std::memcpy(dst, src, n);
  dst[n] = '\0';
  return dst;
}

}  // namespace rs
