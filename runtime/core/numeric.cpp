// The seeded linear congruential generator, colour packing, sine and cosine.
#include "numeric.h"

#include <cmath>

#include "../../platform/win32.h"

uint32_t RandomState = 0;
int32_t RandomSeeded = 0;

namespace {

void SeedAndStep() {
  if (RandomSeeded != 1) {
    // The tick count read as signed, halved with truncation toward zero.
    RandomState = static_cast<uint32_t>(static_cast<int32_t>(GetTickCount()) / 2);
    RandomSeeded = 1;
  }
  RandomState = RandomState * 214013u + 2531011u;
}

// Forces a value to single precision on its own, so no multiply-add is fused across steps.
float RoundSingle(float v) {
  volatile float rounded = v;
  return rounded;
}

// The double nearest to pi/180 (bit pattern 0x3F91DF46A2529D39).
constexpr double kRadiansPerDegree = 0x1.1DF46A2529D39p-6;

long double DegreesToRadians(long double degrees) {
  return degrees * static_cast<long double>(kRadiansPerDegree);
}

}  // namespace

float RandomReal(float a, float b) {
  SeedAndStep();
  uint32_t r = (RandomState >> 16) & 0x7FFF;
  float u = static_cast<float>(r) / 32768.0f;
  if (b > a) {
    float d = RoundSingle(b - a);
    float p = RoundSingle(d * u);
    return RoundSingle(p + a);
  }
  return RoundSingle(a * u);
}

int32_t RandomInt(int32_t a, int32_t b) {
  SeedAndStep();
  uint32_t r = (RandomState >> 16) & 0xFFFF;
  uint32_t ua = static_cast<uint32_t>(a);
  uint32_t m = b == 0 ? ua + 1u : static_cast<uint32_t>(b) - ua + 1u;
  // m = 0 stands for 2^32, the widest range of all: the remainder is r itself.
  uint32_t rem = m == 0 ? r : r % m;
  return static_cast<int32_t>(b == 0 ? rem : rem + ua);
}

int32_t RandomSeed(int32_t s) {
  RandomState = static_cast<uint32_t>(s);
  RandomSeeded = 1;
  return 0;
}

uint32_t RgbPack(int32_t red, int32_t green, int32_t blue) {
  // Unmasked on purpose: out-of-range components spill into their neighbours.
  return static_cast<uint32_t>(blue) << 16 | static_cast<uint32_t>(green) << 8 |
         static_cast<uint32_t>(red);
}

// The radian forms take the platform's double (or float) sine and cosine, correctly rounded
// in all but rare cases; they run four times per plotted point, so they stay cheap.
double CosRad(double angle) { return std::cos(angle); }
double SinRad(double angle) { return std::sin(angle); }
float CosRadSingle(float angle) { return std::cos(angle); }
float SinRadSingle(float angle) { return std::sin(angle); }
// The degree forms scale the angle and take the function in extended precision, rounding once.
double CosDeg(double angle) { return static_cast<double>(cosl(DegreesToRadians(angle))); }
double SinDeg(double angle) { return static_cast<double>(sinl(DegreesToRadians(angle))); }
float CosDegSingle(float angle) { return static_cast<float>(cosl(DegreesToRadians(angle))); }
float SinDegSingle(float angle) { return static_cast<float>(sinl(DegreesToRadians(angle))); }
