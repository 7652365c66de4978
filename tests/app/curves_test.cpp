// The curve set: rounding, radius scale, reset and reseed values after a known seed, and the
// drawing step's slot rotation, angle advance, point formula and semaphore unit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "app/curves.h"
#include "app_state_reset.h"
#include "app/state.h"
#include "runtime/core/heap.h"
#include "runtime/core/numeric.h"
#include "tests/kit/reference_random.h"

namespace {

// The generator as the program must use it, step by step in single precision.
using ReferenceGenerator = kit::ReferenceRandom;

class Curves : public ::testing::Test {
 protected:
  void SetUp() override { ResetAppState(); }

  // Units the semaphore holds, taken and given back.
  static int SemaphoreUnits() {
    int units = 0;
    while (units < 20 && WaitForSingleObject(drawSemaphore, 0) == WAIT_OBJECT_0) ++units;
    if (units > 0) ReleaseSemaphore(drawSemaphore, units, nullptr);
    return units;
  }
};

TEST(Nearest, TiesGoToEven) {
  EXPECT_EQ(nearestClamped(0.5, -100, 100), 0);
  EXPECT_EQ(nearestClamped(1.5, -100, 100), 2);
  EXPECT_EQ(nearestClamped(2.5, -100, 100), 2);
  EXPECT_EQ(nearestClamped(-2.5, -100, 100), -2);
  EXPECT_EQ(nearestClamped(-3.5, -100, 100), -4);
  EXPECT_EQ(nearestClamped(2.4999999, -100, 100), 2);
  EXPECT_EQ(nearestClamped(2.5000001, -100, 100), 3);
}

// The rounding written out agrees with the C library's nearbyint, at the edges of the band
// it handles itself and on random doubles of every size.
TEST(Nearest, RoundHalfEvenIsNearbyint) {
  const double edges[] = {0.0,
                          -0.0,
                          0.5,
                          -0.5,
                          0x1p51 - 0.5,
                          -(0x1p51 - 0.5),
                          0x1p51,
                          0x1p51 + 1,
                          0x1p52 - 0.5,
                          0x1p52 + 1,
                          0x1p53 + 2,
                          4503599627370495.5,
                          1e300,
                          std::numeric_limits<double>::denorm_min(),
                          0.49999999999999994};
  for (double v : edges) {
    EXPECT_EQ(roundHalfEven(v), std::nearbyint(v)) << v;
    EXPECT_EQ(std::signbit(roundHalfEven(v)), std::signbit(std::nearbyint(v))) << v;
  }
  std::mt19937_64 random(8);
  for (int i = 0; i < 100000; ++i) {
    uint64_t bits = random();
    double v;
    std::memcpy(&v, &bits, sizeof v);
    if (std::isnan(v)) continue;
    ASSERT_EQ(roundHalfEven(v), std::nearbyint(v)) << v;
    const double modest = std::ldexp(static_cast<double>(random() >> 11), -20) - 0x1p32;
    ASSERT_EQ(roundHalfEven(modest), std::nearbyint(modest)) << modest;
  }
}

TEST(Nearest, OutOfRangeAndNonFiniteAreClampedNotUndefined) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(nearestClamped(1e300, -7, 9), 9);
  EXPECT_EQ(nearestClamped(-1e300, -7, 9), -7);
  EXPECT_EQ(nearestClamped(inf, -7, 9), 9);
  EXPECT_EQ(nearestClamped(-inf, -7, 9), -7);
  EXPECT_EQ(nearestClamped(std::nan(""), -7, 9), -7);
  EXPECT_EQ(nearestCoordinate(5e9), 0x40000000);
  EXPECT_EQ(nearestCoordinate(-5e9), -0x40000000);
  EXPECT_EQ(nearestCoordinate(1023.5), 1024);
}

TEST(RadiusScale, FollowsWidthDiv400) {
  EXPECT_EQ(radiusScale(0), 0.2);
  EXPECT_EQ(radiusScale(399), 0.2);
  EXPECT_EQ(radiusScale(400), 1.2);
  EXPECT_EQ(radiusScale(799), 1.2);
  EXPECT_EQ(radiusScale(800), 2.2);
  EXPECT_EQ(radiusScale(1200), 3.2);
}

TEST_F(Curves, ResetGivesRadiiAnglesAndParityFromTheGenerator) {
  curves.colour[2] = 12345.0;
  curves.bigRadius[4] = -1.0;
  RandomSeed(777);
  ReferenceGenerator g{777};
  resetCurves(3);
  for (int i = 0; i <= 3; ++i) {
    SCOPED_TRACE(i);
    const float band = static_cast<float>(5 * i);
    float a = g.Real(1, band);
    float b = g.Real(1, 65);
    EXPECT_EQ(curves.bigRadius[i], static_cast<double>(a + b));
    a = g.Real(1, band);
    b = g.Real(1, 45);
    EXPECT_EQ(curves.smallRadius[i], static_cast<double>(a + b));
    a = g.Real(1, band);
    b = g.Real(1, 35);
    EXPECT_EQ(curves.penDistance[i], static_cast<double>(a + b));
    EXPECT_EQ(curves.angle[i], static_cast<double>(g.Real(1, static_cast<float>(300 * i)) + 25.0f));
    EXPECT_EQ(curves.variantFlag[i], i % 2);
    EXPECT_GE(curves.smallRadius[i], 0.2);
  }
  EXPECT_EQ(RandomState, g.state) << "seven draws per slot, no more";
  EXPECT_EQ(curves.colour[2], 12345.0);
  EXPECT_EQ(curves.bigRadius[4], -1.0);
}

TEST_F(Curves, ResetOfSlotZeroAddsLessThanOne) {
  RandomSeed(0);
  resetCurves(10);
  EXPECT_GE(curves.angle[0], 25.0);
  EXPECT_LT(curves.angle[0], 26.0);
  // After seed 0 the first output is 38: R(1, 0) = 38/32768.
  ReferenceGenerator g{0};
  const float first = g.Real(1, 0);
  EXPECT_EQ(first, 38.0f / 32768.0f);
  EXPECT_EQ(curves.bigRadius[0], static_cast<double>(first + g.Real(1, 65)));
  for (int i = 0; i < CURVE_SLOTS; ++i) EXPECT_EQ(curves.variantFlag[i], i % 2) << i;
}

TEST_F(Curves, ReseedScalesRadiiByWidthAndPacksColours) {
  for (int width : {399, 400, 1023}) {
    SCOPED_TRACE(width);
    clientWidth = width;
    curves.angle[1] = 31.0;
    curves.variantFlag[1] = 1;
    RandomSeed(4242);
    ReferenceGenerator g{4242};
    reseedCurves(2);
    const int32_t selector = g.Nearest(1, 3);
    EXPECT_EQ(variantSelector, selector);
    const double f = (width / 400) + 0.2;
    for (int i = 0; i <= 2; ++i) {
      SCOPED_TRACE(i);
      const int32_t c1 = g.Nearest(1, 255);
      const int32_t c2 = g.Nearest(1, 255);
      const int32_t c3 = g.Nearest(1, 255);
      EXPECT_EQ(curves.colour[i], static_cast<double>(c1 + 256 * c3 + 65536 * c2));
      const float offset = static_cast<float>(3 * i);
      const float big = g.Real(1, 65) + offset;
      const float small = g.Real(1, 45) + offset;
      const float pen = g.Real(1, 35) + offset;
      EXPECT_EQ(curves.bigRadius[i], static_cast<double>(big) * f);
      EXPECT_EQ(curves.smallRadius[i], static_cast<double>(small) * f);
      EXPECT_EQ(curves.penDistance[i], static_cast<double>(pen) * f);
    }
    EXPECT_EQ(RandomState, g.state);
    EXPECT_EQ(curves.angle[1], 31.0);
    EXPECT_EQ(curves.variantFlag[1], 1);
    EXPECT_EQ(curves.colour[3], 0.0);
  }
}

TEST_F(Curves, VariantSelectorIsOneForAQuarterOfOutputs) {
  int ones = 0;
  RandomSeed(99);
  for (int i = 0; i < 4000; ++i) {
    reseedCurves(0);
    ASSERT_GE(variantSelector, 1);
    ASSERT_LE(variantSelector, 3);
    ones += variantSelector == 1;
  }
  EXPECT_GT(ones, 850);
  EXPECT_LT(ones, 1150);
}

TEST_F(Curves, StepsAlternateWithOneCurveAndRestartAfterLowering) {
  lastCurve = 1;
  const int32_t expected[] = {1, 0, 1, 0};
  for (int32_t slot : expected) {
    drawStep();
    EXPECT_EQ(currentSlot, slot);
  }
  lastCurve = 9;
  for (int32_t slot = 1; slot <= 7; ++slot) drawStep();
  EXPECT_EQ(currentSlot, 7);
  lastCurve = 4;  // a digit key below the current slot
  drawStep();
  EXPECT_EQ(currentSlot, 0);
}

TEST_F(Curves, StepAdvancesFourHundredPointsWithTheExactFormula) {
  for (int32_t selector : {1, 2}) {
    SCOPED_TRACE(selector);
    variantSelector = selector;
    clientWidth = 1001;
    clientHeight = 701;
    speed = 1.5;
    curves.angle[1] = 25.75;
    curves.bigRadius[1] = 40.5;
    curves.smallRadius[1] = 12.25;
    curves.penDistance[1] = 20.125;
    curves.variantFlag[1] = 1;
    currentSlot = 0;
    double t = 25.75;
    for (int i = 0; i < 400; ++i) t = t + speed * 0.01132;
    drawStep();
    EXPECT_EQ(currentSlot, 1);
    EXPECT_EQ(curves.angle[1], t);
    const double sum = 40.5 + 12.25;
    const double phase = (sum / 12.25) * t;
    const double pen = 20.125 * CosRad(phase);
    const double x = selector == 1 ? sum * CosRad(t) - pen + 500 : sum * CosRad(t) + pen + 500;
    EXPECT_EQ(curves.x[1], x);
    EXPECT_EQ(curves.y[1], sum * SinRad(t) - 20.125 * SinRad(phase) + 350);
  }
}

TEST_F(Curves, UnseededSlotGivesNoFinitePointAndTheUnitComesBack) {
  ASSERT_EQ(SemaphoreUnits(), 10);
  ASSERT_EQ(WaitForSingleObject(drawSemaphore, 0), static_cast<DWORD>(WAIT_OBJECT_0));
  currentSlot = 5;
  lastCurve = 9;
  drawStep();  // slot 6 was never seeded: radius 0
  EXPECT_EQ(currentSlot, 6);
  EXPECT_FALSE(std::isfinite(curves.x[6]) && std::isfinite(curves.y[6]));
  EXPECT_EQ(SemaphoreUnits(), 10);
  drawStep();  // a release on a full semaphore changes nothing
  EXPECT_EQ(SemaphoreUnits(), 10);
}

}  // namespace
