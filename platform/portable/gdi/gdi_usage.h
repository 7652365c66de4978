// GDI's object accounting, for leak checks in tests and benchmarks. Not Win32.
#pragma once

#include <cstddef>

namespace portable {

struct GdiUsage {
  size_t pens = 0, brushes = 0, fonts = 0, bitmaps = 0, dcs = 0;  // stock objects not counted
  size_t Total() const { return pens + brushes + fonts + bitmaps + dcs; }
};
// Live objects by kind; defined with the object table.
GdiUsage QueryGdiUsage();

}  // namespace portable
