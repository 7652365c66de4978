// A rectangle of four int32s, right and bottom excluded. The halves of the program that must
// not see each other's Win32 names (the Windows host's system side and its layer side, the
// Windows saver's system code and the application) pass rectangles as this, each side turning
// it into its own RECT where it needs one.
#pragma once

#include <cstdint>

struct PlainRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

// To and from a RECT of either side: anything with the four fields.
template <typename Rect>
Rect ToRect(const PlainRect& r) {
  return Rect{r.left, r.top, r.right, r.bottom};
}
template <typename Rect>
PlainRect ToPlainRect(const Rect& r) {
  return PlainRect{static_cast<int32_t>(r.left), static_cast<int32_t>(r.top),
                   static_cast<int32_t>(r.right), static_cast<int32_t>(r.bottom)};
}
