// ANSI (Windows-1252) text helpers: length, comparison and upper-casing.
#include "ansi_text.h"

#include <cstdint>

unsigned char portable::UpperAnsi(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  // Latin-1 letters; 0xF7 is the division sign and has no capital.
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A:  // s caron
      return 0x8A;
    case 0x9C:  // oe ligature
      return 0x8C;
    case 0x9E:  // z caron
      return 0x8E;
    case 0xFF:  // y diaeresis
      return 0x9F;
    default:  // includes the micro sign 0xB5 and sharp s 0xDF, which keep their form
      return c;
  }
}

namespace {

using portable::UpperAnsi;

// Sort weight ignoring case, in the order Windows' string comparison uses for the ASCII
// range: punctuation and symbols, then digits, then letters. Bytes above 0x7F follow the
// letters in the order of their capitals (no accent folding); hyphen and apostrophe get no
// special weight.
int PrimaryWeight(unsigned char c) {
  if (c == 0) return 0;
  if (c >= '0' && c <= '9') return 0x200 + (c - '0');
  unsigned char upper = UpperAnsi(c);
  if (upper >= 'A' && upper <= 'Z') return 0x300 + (upper - 'A');
  if (c >= 0x80) return 0x400 + upper;
  return 0x100 + c;
}

int Sign(int v) { return (v > 0) - (v < 0); }

int Compare(LPCSTR a, LPCSTR b, bool ignoreCase) {
  if (!a || !b) return Sign((a != nullptr) - (b != nullptr));
  auto* x = reinterpret_cast<const unsigned char*>(a);
  auto* y = reinterpret_cast<const unsigned char*>(b);
  int caseOrder = 0;  // first difference in case only: lower case sorts first
  for (size_t i = 0;; ++i) {
    int d = PrimaryWeight(x[i]) - PrimaryWeight(y[i]);
    if (d != 0) return Sign(d);
    if (x[i] == 0) break;
    if (caseOrder == 0 && x[i] != y[i]) caseOrder = x[i] > y[i] ? -1 : 1;
  }
  return ignoreCase ? 0 : caseOrder;
}

}  // namespace

int WINAPI lstrcmpA(LPCSTR a, LPCSTR b) { return Compare(a, b, false); }

int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b) { return Compare(a, b, true); }

int WINAPI lstrlenA(LPCSTR s) {
  if (!s) return 0;
  int n = 0;
  while (s[n] != '\0') ++n;
  return n;
}
