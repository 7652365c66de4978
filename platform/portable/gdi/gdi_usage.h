// GDI's object accounting and pixel read-back, for leak checks and picture comparisons in tests
// and benchmarks. Not Win32.
#pragma once

#include <cstddef>
#include <cstdint>

#include "../windef.h"

namespace portable {

struct GdiUsage {
  size_t pens = 0, brushes = 0, fonts = 0, bitmaps = 0, dcs = 0;  // stock objects not counted
  size_t Total() const { return pens + brushes + fonts + bitmaps + dcs; }
};
// Live objects by kind; defined with the object table.
GdiUsage QueryGdiUsage();

// The pixels of a bitmap (0x00RRGGBB, rows top first, `width` apart; a 1-bit bitmap holds
// only 0 and 0x00FFFFFF), for tests that compare pictures; all zero for any other handle.
// Valid until the bitmap is deleted.
struct BitmapPixels {
  int width = 0;
  int height = 0;
  int bitsPixel = 0;
  const uint32_t* pixels = nullptr;
};
BitmapPixels QueryBitmapPixels(HBITMAP bitmap);

}  // namespace portable
