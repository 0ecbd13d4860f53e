#include "collation.h"

#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "assertions.h"

namespace rs {
namespace {

// Windows-1252 0x80..0x9F; the undefined bytes map to the C1 control of that value.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

// The ICU locale name of the user's collation locale: LC_ALL, then LC_COLLATE, then
// LANG (the first one set and non-empty), without ".codeset" and "@modifier".
// "C", "POSIX" and nothing set give ICU's root order.
std::string UserLocale() {
  const char* value = nullptr;
  for (const char* var : {"LC_ALL", "LC_COLLATE", "LANG"}) {
    const char* v = std::getenv(var);
    if (v && *v) {
      value = v;
      break;
    }
  }
  std::string name = value ? value : "";
  name = name.substr(0, name.find_first_of(".@"));
  if (name.empty() || name == "C" || name == "POSIX") return "root";
  return name;
}

// The module's one piece of state: the collators, opened on first use.
struct Collation {
  UCollator* noCase = nullptr;    // secondary strength
  UCollator* withCase = nullptr;  // tertiary strength
  std::string locale;
  bool localeRead = false;
  unsigned generation = 0;
  ~Collation() {  // unloading the library must not leave the collators unreachable
    if (noCase) ucol_close(noCase);
    if (withCase) ucol_close(withCase);
  }
};

Collation& Cache() {
  static Collation cache;
  return cache;
}

const std::string& Locale() {
  Collation& c = Cache();
  if (!c.localeRead) {
    c.locale = UserLocale();
    c.localeRead = true;
  }
  return c.locale;
}

UCollator* Open(UCollationStrength strength) {
  UErrorCode status = U_ZERO_ERROR;
  UCollator* coll = ucol_open(Locale().c_str(), &status);
  if (status == U_MEMORY_ALLOCATION_ERROR) OutOfMemory();
  if (U_FAILURE(status)) {
    status = U_ZERO_ERROR;
    coll = ucol_open("root", &status);
    if (U_FAILURE(status)) OutOfMemory();  // root always exists; only memory can fail
  }
  ucol_setStrength(coll, strength);
  return coll;
}

UCollator* NoCase() {
  Collation& c = Cache();
  if (!c.noCase) c.noCase = Open(UCOL_SECONDARY);
  return c.noCase;
}

UCollator* WithCase() {
  Collation& c = Cache();
  if (!c.withCase) c.withCase = Open(UCOL_TERTIARY);
  return c.withCase;
}

// Windows-1252 text decoded to UTF-16, on the stack for the usual short texts.
class Utf16 {
 public:
  explicit Utf16(const char* s) {
    if (!s) s = "";
    const size_t n = std::strlen(s);
    UChar* out = small_;
    if (n > sizeof(small_) / sizeof(small_[0])) {
      try {
        big_.resize(n);
      } catch (const std::bad_alloc&) {
        OutOfMemory();  // comparisons are called from exports: nothing may be thrown
      }
      out = reinterpret_cast<UChar*>(&big_[0]);
    }
    for (size_t i = 0; i < n; ++i) out[i] = Cp1252ToUnicode(static_cast<unsigned char>(s[i]));
    data_ = out;
    len_ = static_cast<int32_t>(n);
  }
  const UChar* data() const { return data_; }
  int32_t length() const { return len_; }

 private:
  UChar small_[256];
  std::u16string big_;
  const UChar* data_;
  int32_t len_;
};

int Compare(UCollator* coll, const char* a, const char* b) {
  const Utf16 ua(a), ub(b);
  return static_cast<int>(ucol_strcoll(coll, ua.data(), ua.length(), ub.data(), ub.length()));
}

}  // namespace

char16_t Cp1252ToUnicode(unsigned char c) {
  return c >= 0x80 && c <= 0x9F ? kHigh[c - 0x80] : static_cast<char16_t>(c);
}

unsigned char UnicodeToCp1252(char16_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<unsigned char>(u);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == u) return static_cast<unsigned char>(0x80 + i);
  return '?';
}

int CompareNoCase(const char* a, const char* b) { return Compare(NoCase(), a, b); }

int CompareCase(const char* a, const char* b) { return Compare(WithCase(), a, b); }

std::string SortKeyNoCase(const char* s) {
  const Utf16 u(s);
  uint8_t small[512];
  int32_t need = ucol_getSortKey(NoCase(), u.data(), u.length(), small, sizeof(small));
  if (need <= static_cast<int32_t>(sizeof(small)))
    return std::string(reinterpret_cast<const char*>(small), need > 0 ? need - 1 : 0);
  std::string key(static_cast<size_t>(need), '\0');
  ucol_getSortKey(NoCase(), u.data(), u.length(), reinterpret_cast<uint8_t*>(&key[0]), need);
  key.resize(static_cast<size_t>(need - 1));  // drop the terminating zero
  return key;
}

void UpperCase(char* s) {
  if (!s) return;
  const char* locale = Locale().c_str();
  for (; *s; ++s) {
    const UChar in = Cp1252ToUnicode(static_cast<unsigned char>(*s));
    UChar out[4];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = u_strToUpper(out, 4, &in, 1, locale, &status);
    if (U_FAILURE(status) || n != 1 || out[0] == in) continue;
    const unsigned char c = UnicodeToCp1252(out[0]);
    if (c != '?') *s = static_cast<char>(c);
  }
}

void ResetCollation() {
  Collation& c = Cache();
  if (c.noCase) ucol_close(c.noCase);
  if (c.withCase) ucol_close(c.withCase);
  c.noCase = nullptr;
  c.withCase = nullptr;
  c.localeRead = false;
  ++c.generation;
}

unsigned CollationGeneration() { return Cache().generation; }

}  // namespace rs
