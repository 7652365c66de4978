// When to show changed pixels: the changed area of a window, and at most one picture per
// display refresh.
#pragma once

#include <cstdint>

#include "../../win32.h"

namespace portable {

// The bounding box of the pixels changed since the last picture.
class DirtyRect {
 public:
  // Adds `rect`, clipped to a width x height window; empty or inverted rects add nothing.
  void Add(const RECT& rect, int width, int height);
  void AddAll(int width, int height) { Add(RECT{0, 0, width, height}, width, height); }
  bool Empty() const { return empty_; }
  const RECT& Bounds() const { return bounds_; }
  void Clear() { empty_ = true; }

 private:
  bool empty_ = true;
  RECT bounds_{0, 0, 0, 0};
};

// Spaces pictures at least one refresh period apart.
class FramePacer {
 public:
  // refreshHz <= 0 (unknown) counts as 60.
  explicit FramePacer(int refreshHz = 60);
  uint64_t PeriodUs() const { return periodUs_; }
  bool Due(uint64_t nowUs) const { return !presented_ || nowUs >= lastUs_ + periodUs_; }
  // Microseconds from `nowUs` until a picture may be shown again (0 when due).
  uint64_t WaitUs(uint64_t nowUs) const { return Due(nowUs) ? 0 : lastUs_ + periodUs_ - nowUs; }
  void Presented(uint64_t nowUs);

 private:
  uint64_t periodUs_;
  uint64_t lastUs_ = 0;
  bool presented_ = false;
};

}  // namespace portable
