#include "assertions.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace rs {

void AssertFailed(const char* condition, const char* file, int line) {
  const char* slash = std::strrchr(file, '/');
  std::fprintf(stderr, "Assertion failed: %s, module %s, line %d\n", condition,
               slash ? slash + 1 : file, line);
  std::fflush(stderr);
  std::abort();
}

void OutOfMemory() {
  std::fputs("Out of memory\n", stderr);
  std::fflush(stderr);
  std::abort();
}

void* XAlloc(unsigned long size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) OutOfMemory();
  return p;
}

void* XAllocZero(unsigned long size) {
  void* p = std::calloc(1, size ? size : 1);
  if (!p) OutOfMemory();
  return p;
}

}  // namespace rs
