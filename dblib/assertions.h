#pragma once
// Programming errors and exhausted memory end the process; they are never reported
// by return value. Both print to stderr first so the cause is visible.

namespace rs {

[[noreturn]] void AssertFailed(const char* condition, const char* file, int line);
[[noreturn]] void OutOfMemory();

// malloc/calloc that end the process with "Out of memory" instead of returning null.
void* XAlloc(unsigned long size);
void* XAllocZero(unsigned long size);

}  // namespace rs

// The condition text, the module and the line are printed; then the process aborts.
#define RS_ASSERT(cond) ((cond) ? (void)0 : ::rs::AssertFailed(#cond, __FILE__, __LINE__))

// Handle verification as the record accessors name it: XVerify(h) is "h is not null".
#define XVerify(h) ((h) != nullptr)
