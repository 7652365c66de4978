// CharUpperA: USER32's upper-casing, with Windows-1252 capitals.
#include <cstdint>

#include "../kernel/ansi_text.h"

using portable::UpperAnsi;

LPSTR WINAPI CharUpperA(LPSTR text) {
  auto value = reinterpret_cast<uintptr_t>(text);
  if ((value >> 16) == 0) {
    // Not a pointer: a single character in the low byte, returned upper-cased.
    return reinterpret_cast<LPSTR>(static_cast<uintptr_t>(UpperAnsi(value & 0xFF)));
  }
  for (unsigned char* p = reinterpret_cast<unsigned char*>(text); *p; ++p) *p = UpperAnsi(*p);
  return text;
}
