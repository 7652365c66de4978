// Products of two 64-bit numbers, kept whole: 32-bit targets have no 128-bit integers.
#pragma once

#include <cstdint>

namespace portable::gdi {

struct Wide {
  uint64_t hi = 0;
  uint64_t lo = 0;
  bool operator==(const Wide&) const = default;
};

inline Wide Multiply(uint64_t x, uint64_t y) {
  const uint64_t mask = 0xFFFFFFFFu;
  const uint64_t a = x >> 32, b = x & mask, c = y >> 32, d = y & mask;
  const uint64_t bd = b * d, ad = a * d, bc = b * c;
  const uint64_t mid = (bd >> 32) + (ad & mask) + (bc & mask);
  return Wide{a * c + (ad >> 32) + (bc >> 32) + (mid >> 32), (bd & mask) | (mid << 32)};
}

inline Wide Add(Wide x, Wide y) {
  const uint64_t lo = x.lo + y.lo;
  return Wide{x.hi + y.hi + (lo < x.lo ? 1u : 0u), lo};
}

// The minor offset of a line's pixel i: floor((2 * i * minor + steps) / (2 * steps)), the
// nearest whole pixel with exact halves rounded away from the start, for 0 <= i < steps and
// 0 <= minor <= steps. i * minor can outgrow 64 bits, and 32-bit targets have no 128-bit
// integers, so the rare long product is divided a bit at a time.
inline int64_t NearestOffset(int64_t i, int64_t minor, int64_t steps) {
  const uint64_t s = static_cast<uint64_t>(steps);
  uint64_t product = 0;
  uint64_t q = 0, r = 0;
  if (!__builtin_mul_overflow(static_cast<uint64_t>(i), static_cast<uint64_t>(minor), &product)) {
    q = product / s;
    r = product % s;
  } else {
    const Wide whole = Multiply(static_cast<uint64_t>(i), static_cast<uint64_t>(minor));
    const uint64_t hi = whole.hi, lo = whole.lo;
    // The quotient is at most `minor`, so it fits; the remainder stays below s.
    for (int bit = 127; bit >= 0; --bit) {
      const uint64_t carry = r >> 63;
      r = (r << 1) | ((bit >= 64 ? hi >> (bit - 64) : lo >> bit) & 1u);
      q <<= 1;
      if (carry != 0 || r >= s) {
        r -= s;
        q |= 1;
      }
    }
  }
  // (2 * r + s) / (2 * s) is 1 exactly when 2 * r >= s.
  return static_cast<int64_t>(q + (r >= s - r ? 1 : 0));
}

}  // namespace portable::gdi
