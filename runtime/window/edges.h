// The far edge of a rectangle given by origin and extent.
#pragma once

#include <cstdint>

// origin + extent, clamped to 32 bits whatever the caller passes.
inline int32_t EdgeOf(int32_t origin, int32_t extent) {
  const int64_t edge = static_cast<int64_t>(origin) + extent;
  if (edge > INT32_MAX) return INT32_MAX;
  if (edge < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(edge);
}
