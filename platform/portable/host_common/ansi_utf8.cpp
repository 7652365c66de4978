#include "ansi_utf8.h"

#include <cstdint>
#include <cstring>

namespace portable {

void AnsiToUtf8(const char* ansi, char* out, size_t outSize) {
  // Windows-1252 0x80..0x9F; 0 where the code page leaves a hole.
  static const uint16_t kHigh[32] = {
      0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  if (outSize == 0) return;
  size_t used = 0;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(ansi); ansi && *p; ++p) {
    unsigned code = *p;
    if (code >= 0x80 && code < 0xA0) code = kHigh[code - 0x80] ? kHigh[code - 0x80] : '?';
    char bytes[3];
    size_t n;
    if (code < 0x80) {
      bytes[0] = static_cast<char>(code);
      n = 1;
    } else if (code < 0x800) {
      bytes[0] = static_cast<char>(0xC0 | (code >> 6));
      bytes[1] = static_cast<char>(0x80 | (code & 0x3F));
      n = 2;
    } else {
      bytes[0] = static_cast<char>(0xE0 | (code >> 12));
      bytes[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      bytes[2] = static_cast<char>(0x80 | (code & 0x3F));
      n = 3;
    }
    if (used + n >= outSize) break;
    std::memcpy(out + used, bytes, n);
    used += n;
  }
  out[used] = '\0';
}

}  // namespace portable
