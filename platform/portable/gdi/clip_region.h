// A clipping region kept as a list of disjoint rectangles (right and bottom exclusive).
// Small by nature: a window's visible area minus a few excluded rectangles.
#pragma once

#include <cstdint>
#include <vector>

#include "../../win32.h"

namespace portable::gdi {

// A rectangle in 64-bit arithmetic, so that sums of 32-bit coordinates never overflow.
struct Box {
  int64_t left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return left >= right || top >= bottom; }
};

Box BoxFromRect(const RECT& r);
// Corners given in any order.
Box NormalizedBox(int64_t x1, int64_t y1, int64_t x2, int64_t y2);
Box Intersect(const Box& a, const Box& b);
// Clamped into 32-bit range.
RECT RectFromBox(const Box& b);

class Region {
 public:
  Region() = default;
  explicit Region(const Box& box);

  const std::vector<Box>& Boxes() const { return boxes_; }
  bool Empty() const { return boxes_.empty(); }
  Box Bounds() const;
  bool Contains(int64_t x, int64_t y) const;

  // Becomes `box` alone, keeping its storage.
  void Reset(const Box& box);
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
