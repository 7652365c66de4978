// Copy and length move four bytes per step once their pointer is aligned.
#include "strings.h"

#include <cstring>

#include "heap.h"

namespace {

// Smallest page size of every system we run on; larger pages are multiples of it, so a word
// that stays inside one of these never crosses into an unmapped page.
constexpr uintptr_t kPageBytes = 4096;

bool WordWithinPage(const char* p) {
  return (reinterpret_cast<uintptr_t>(p) & (kPageBytes - 1)) <= kPageBytes - 4;
}

// Reads four bytes that may run past the end of the string (never past its page). The bytes
// beyond the terminator are never used, but AddressSanitizer would flag the read when the
// string ends close to the end of its allocation, so this one helper is left uninstrumented.
#if defined(__GNUC__) || defined(__clang__)
__attribute__((no_sanitize("address")))
#endif
void LoadWord(const char* p, unsigned char bytes[4]) {
  std::memcpy(bytes, p, 4);
}

bool WordHasZero(const unsigned char bytes[4]) {
  uint32_t w = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
               static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
  return ((w - 0x01010101u) & ~w & 0x80808080u) != 0;
}

}  // namespace

char* StringCopy(char* destination, const char* source) {
  char* d = destination;
  const char* s = source;
  while (reinterpret_cast<uintptr_t>(d) % 4 != 0) {
    *d = *s;
    if (*s == '\0') return destination;
    ++d;
    ++s;
  }
  for (;;) {
    unsigned char group[4] = {};
    if (WordWithinPage(s)) {
      LoadWord(s, group);
    } else {
      // The group straddles a page end: fetch it byte by byte, stopping at the terminator.
      for (int i = 0; i < 4; ++i) {
        group[i] = static_cast<unsigned char>(s[i]);
        if (group[i] == 0) break;
      }
    }
    if (!WordHasZero(group)) {
      std::memcpy(d, group, 4);
    } else {
      for (int i = 0; i < 4; ++i) {
        d[i] = static_cast<char>(group[i]);
        if (group[i] == 0) return destination;
      }
    }
    d += 4;
    s += 4;
  }
}

int32_t StringLength(const char* s) {
  const char* p = s;
  while (reinterpret_cast<uintptr_t>(p) % 4 != 0) {
    if (*p == '\0') return static_cast<int32_t>(p - s);
    ++p;
  }
  // Aligned words never straddle a page.
  for (;;) {
    unsigned char word[4];
    LoadWord(p, word);
    if (WordHasZero(word)) {
      for (int i = 0; i < 4; ++i) {
        if (word[i] == 0) return static_cast<int32_t>(p + i - s);
      }
    }
    p += 4;
  }
}

char* StringAppend(char* destination, const char* source) {
  StringCopy(destination + StringLength(destination), source);
  return destination;
}

char* StringUpperCopy(const char* s) {
  auto* block = static_cast<char*>(RuntimeHeapAlloc(StringLength(s) + 1));
  if (!block) return nullptr;
  StringCopy(block, s);
  CharUpperA(block);
  return block;
}
