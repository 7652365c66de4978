#include <cmath>
#include <cstring>
#include <limits>

#include "core_test_support.h"
#include "tests/kit/reference_random.h"

namespace {

uint32_t FloatBits(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  return bits;
}

using RandomTest = CoreTest;

TEST_F(RandomTest, FirstDrawsAfterSeedingWithZero) {
  EXPECT_EQ(RandomInt(9, 0), 8);
  EXPECT_EQ(RandomState, 0x00269EC3u);

  RandomSeed(0);
  EXPECT_EQ(RandomReal(1.0f, 65.0f), 1.07421875f);

  RandomSeed(0);
  EXPECT_EQ(RandomReal(0.0f, 0.0f), 0.0f);
}

TEST_F(RandomTest, SixteenBitOutputsFollowTheRecurrence) {
  const int32_t expected[] = {38, 7719, 54006, 2437, 41623, 11797};
  for (int32_t value : expected) EXPECT_EQ(RandomInt(0, 65535), value);
  EXPECT_EQ(RandomState, 0x2E15555Eu);
}

TEST_F(RandomTest, RealAndIntShareOneSequence) {
  RandomInt(0, 65535);  // 38
  // The second step's 15 bits are 7719.
  EXPECT_EQ(RandomReal(0.0f, 32768.0f), 7719.0f);
  // The third step's 16 bits are 54006, its 15 bits 21238.
  EXPECT_EQ(RandomReal(32768.0f, 0.0f), 21238.0f);
}

TEST_F(RandomTest, RealRoundsEachStepToSingle) {
  // Computed in double and rounded once, this draw would give 0x3FC69ECD.
  RandomSeed(1);
  EXPECT_EQ(FloatBits(RandomReal(0.3f, 1000.7f)), 0x3FC69ECEu);
  RandomSeed(2);
  EXPECT_EQ(FloatBits(RandomReal(0.3f, 1000.7f)), 0x3FD64066u);
}

TEST_F(RandomTest, RealWithBoundsNotAscendingScalesTheFirst) {
  EXPECT_EQ(RandomReal(5.0f, 2.0f), 5.0f * 38.0f / 32768.0f);
  RandomSeed(0);
  EXPECT_EQ(RandomReal(-8.0f, -8.0f), -8.0f * 38.0f / 32768.0f);
  RandomSeed(0);
  // A negative single bound is an ascending range: -8 + 8u.
  EXPECT_EQ(RandomReal(-8.0f, 0.0f), -8.0f + 8.0f * 38.0f / 32768.0f);
  RandomSeed(0);
  float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(RandomReal(4.0f, nan), 4.0f * 38.0f / 32768.0f);
}

TEST_F(RandomTest, RealStaysBelowTheUpperBound) {
  for (int i = 0; i < 2000; ++i) {
    float v = RandomReal(1.0f, 255.0f);
    ASSERT_GE(v, 1.0f);
    ASSERT_LT(v, 255.0f);
  }
}

TEST_F(RandomTest, IntOneBoundForm) {
  // r = 38, 7719, 54006
  EXPECT_EQ(RandomInt(5, 0), 38 % 6);
  EXPECT_EQ(RandomInt(0, 0), 0);
  EXPECT_EQ(RandomInt(65535, 0), 54006);
}

TEST_F(RandomTest, IntTwoBoundForm) {
  EXPECT_EQ(RandomInt(1, 6), 38 % 6 + 1);
  EXPECT_EQ(RandomInt(1, 6), 7719 % 6 + 1);
  EXPECT_EQ(RandomInt(1, 6), 54006 % 6 + 1);
  RandomSeed(0);
  EXPECT_EQ(RandomInt(-10, -1), 38 % 10 - 10);
  for (int i = 0; i < 50; ++i) ASSERT_EQ(RandomInt(7, 7), 7);
}

TEST_F(RandomTest, IntOverWideRangesReturnTheRawBits) {
  // Negative single bound: m = -4 read unsigned.
  EXPECT_EQ(RandomInt(-5, 0), 38);
  RandomSeed(0);
  EXPECT_EQ(RandomInt(100, 1000000), 138);
  RandomSeed(0);
  EXPECT_EQ(RandomInt(10, 5), 48);  // b below a - 1
  RandomSeed(0);
  EXPECT_EQ(RandomInt(INT32_MIN, INT32_MAX), INT32_MIN + 38);
}

TEST_F(RandomTest, IntWithEmptyModulusDoesNotFault) {
  EXPECT_EQ(RandomInt(-1, 0), 38);
  EXPECT_EQ(RandomInt(10, 9), 7719 + 10);
  EXPECT_EQ(RandomInt(INT32_MIN + 1, INT32_MIN), INT32_MIN + 1 + 54006);
}

TEST_F(RandomTest, UnseededDrawSeedsFromTheTickCount) {
  RandomSeeded = 0;
  RandomState = 12345;
  DWORD before = GetTickCount();
  RandomInt(0, 65535);
  DWORD after = GetTickCount();
  EXPECT_EQ(RandomSeeded, 1);
  bool matched = false;
  for (DWORD t = before; t != after + 1; ++t) {
    if (RandomState == kit::NextRandomState(kit::SeedFromTick(t))) matched = true;
  }
  EXPECT_TRUE(matched);
}

#if !defined(SPIRALS_SYSTEM_WIN32)
// Our layer's default clock is virtual, so the tick count can be moved past 2^31.
TEST_F(RandomTest, SeedingHalvesANegativeTickTowardZero) {
  DWORD now = GetTickCount();
  Sleep(0x80000003u - now);  // tick = 2^31 + 3, read as -2147483645
  ASSERT_EQ(GetTickCount(), 0x80000003u);
  RandomSeeded = 0;
  RandomInt(0, 65535);
  uint32_t seed = static_cast<uint32_t>(-1073741822);  // not -1073741823 (a shift)
  EXPECT_EQ(RandomState, kit::NextRandomState(seed));
  Sleep(0x80000000u - 3);  // back to the original tick modulo 2^32
  EXPECT_EQ(GetTickCount(), now);
}
#endif

TEST(RgbPack, PacksRedLowBlueHigh) {
  EXPECT_EQ(RgbPack(255, 0, 0), 0x0000FFu);
  EXPECT_EQ(RgbPack(0, 255, 0), 0x00FF00u);
  EXPECT_EQ(RgbPack(0, 0, 255), 0xFF0000u);
  EXPECT_EQ(RgbPack(1, 2, 3), 0x030201u);
  EXPECT_EQ(RgbPack(255, 255, 255), 0xFFFFFFu);
}

TEST(RgbPack, ComponentsOutOfRangeSpill) {
  EXPECT_EQ(RgbPack(256, 0, 0), 0x000100u);
  EXPECT_EQ(RgbPack(0, 256, 0), 0x010000u);
  EXPECT_EQ(RgbPack(0, 0, 256), 0x1000000u);
  EXPECT_EQ(RgbPack(300, 2, 0), 0x00032Cu);  // ORed, not added: 0x12C | 0x200
  EXPECT_EQ(RgbPack(-1, 0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(RgbPack(0, 0, -1), 0xFFFF0000u);
}

TEST(SineCosine, ExactValues) {
  EXPECT_EQ(CosDeg(180.0), -1.0);
  EXPECT_EQ(CosDeg(0.0), 1.0);
  EXPECT_EQ(SinRad(0.0), 0.0);
  EXPECT_EQ(CosRad(0.0), 1.0);
  EXPECT_EQ(SinDeg(90.0), 1.0);
  EXPECT_EQ(CosDegSingle(180.0f), -1.0f);
  EXPECT_EQ(SinRadSingle(0.0f), 0.0f);
  EXPECT_EQ(CosRadSingle(0.0f), 1.0f);
}

TEST(SineCosine, DegreesEvaluateInExtendedPrecision) {
  // In double arithmetic these give 0.49999999999999994 and 0.5000000000000001.
  EXPECT_EQ(SinDeg(30.0), 0.5);
  EXPECT_EQ(CosDeg(60.0), 0.5);
  EXPECT_EQ(SinDegSingle(30.0f), 0.5f);
  EXPECT_EQ(CosDegSingle(60.0f), 0.5f);
}

TEST(SineCosine, RadiansAgreeWithTheLibrary) {
  const double angles[] = {0.1, 1.0, 2.5, -3.0, 100.25, 1e6};
  for (double a : angles) {
    EXPECT_NEAR(CosRad(a), std::cos(a), 1e-15) << a;
    EXPECT_NEAR(SinRad(a), std::sin(a), 1e-15) << a;
    EXPECT_NEAR(CosRadSingle(static_cast<float>(a)), std::cos(static_cast<float>(a)), 1e-6f);
    EXPECT_NEAR(SinRadSingle(static_cast<float>(a)), std::sin(static_cast<float>(a)), 1e-6f);
  }
}

}  // namespace
