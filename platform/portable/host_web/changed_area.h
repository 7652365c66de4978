// The bounding box of the pixels changed since the page last received them.
#pragma once

#include "../../win32.h"

namespace portable {

class ChangedArea {
 public:
  // Adds `rect`, clipped to a width x height window; empty or inverted rectangles add nothing.
  void Add(const RECT& rect, int width, int height);
  void AddAll(int width, int height) { Add(RECT{0, 0, width, height}, width, height); }
  bool Empty() const { return empty_; }
  const RECT& Bounds() const { return bounds_; }
  void Clear() { empty_ = true; }

 private:
  bool empty_ = true;
  RECT bounds_{0, 0, 0, 0};
};

}  // namespace portable
