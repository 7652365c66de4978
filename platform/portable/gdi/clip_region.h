// A clipping region kept as a list of disjoint rectangles (right and bottom exclusive).
// Small by nature: a window's visible area minus a few excluded rectangles.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "../../win32.h"

namespace portable::gdi {

// A rectangle in 64-bit arithmetic, so that sums of 32-bit coordinates never overflow.
struct Box {
  int64_t left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return left >= right || top >= bottom; }
};

// Inline: every pixel drawn goes through several of these.
inline Box BoxFromRect(const RECT& r) { return Box{r.left, r.top, r.right, r.bottom}; }
// Corners given in any order.
inline Box NormalizedBox(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  return Box{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}
inline Box Intersect(const Box& a, const Box& b) {
  return Box{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
             std::min(a.bottom, b.bottom)};
}
// Clamped into 32-bit range.
inline RECT RectFromBox(const Box& b) {
  auto clamp32 = [](int64_t v) {
    return static_cast<LONG>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
  };
  return RECT{clamp32(b.left), clamp32(b.top), clamp32(b.right), clamp32(b.bottom)};
}

class Region {
 public:
  Region() = default;
  explicit Region(const Box& box);

  const std::vector<Box>& Boxes() const { return boxes_; }
  bool Empty() const { return boxes_.empty(); }
  Box Bounds() const;
  bool Contains(int64_t x, int64_t y) const {
    for (const Box& b : boxes_) {
      if (x >= b.left && x < b.right && y >= b.top && y < b.bottom) return true;
    }
    return false;
  }

  // Becomes `box` alone, keeping its storage.
  void Reset(const Box& box) {
    boxes_.clear();
    if (!box.Empty()) boxes_.push_back(box);
  }
  void IntersectBox(const Box& box);
  void SubtractBox(const Box& box);
  void IntersectRegion(const Region& other);

  // NULLREGION, SIMPLEREGION or COMPLEXREGION.
  int Complexity() const;

  bool operator==(const Region& other) const;

 private:
  std::vector<Box> boxes_;
};

}  // namespace portable::gdi
