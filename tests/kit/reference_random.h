// The runtime's random generator, restated once for the tests: a linear congruential generator
// x' = x * 214013 + 2531011 (mod 2^32), seeded with the tick count read as signed and halved
// toward zero.
#pragma once

#include <cmath>
#include <cstdint>

namespace kit {

constexpr uint32_t NextRandomState(uint32_t x) { return x * 214013u + 2531011u; }

constexpr uint32_t SeedFromTick(uint32_t tick) {
  return static_cast<uint32_t>(static_cast<int32_t>(tick) / 2);
}

// The generator as the program uses it, one draw at a time.
struct ReferenceRandom {
  uint32_t state;

  uint32_t Next() { return state = NextRandomState(state); }
  // A RandomInt draw: the high 16 bits of the next state.
  uint32_t NextHigh16() { return (Next() >> 16) & 0xFFFF; }
  // A RandomReal draw in single precision: 15 bits of the next state over 32768.
  float NextUnit() { return static_cast<float>((Next() >> 16) & 0x7FFF) / 32768.0f; }
  float Real(float a, float b) {
    const float u = NextUnit();
    if (b > a) {
      const float d = b - a;
      const float p = d * u;
      return p + a;
    }
    return a * u;
  }
  int32_t Nearest(float a, float b) { return static_cast<int32_t>(std::nearbyint(Real(a, b))); }
};

}  // namespace kit
