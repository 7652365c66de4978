// The floating-point set-up of start-up: whatever state the unit was left in, afterwards reals
// round to nearest with ties to even, no exception traps, no flag is pending, and on 32-bit x86
// the x87 unit carries the control word 0x033F (64-bit significand).
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstdint>

#include "app/curves.h"
#include "app/startup.h"

#if defined(__i386__) || defined(__x86_64__)
#include <xmmintrin.h>
#endif

namespace {

#if defined(__i386__) || defined(__x86_64__)
constexpr unsigned kMxcsrMasks = 0x1F80;     // the six exception mask bits
constexpr unsigned kMxcsrRounding = 0x6000;  // 00 is round to nearest
constexpr unsigned kMxcsrFlags = 0x003F;     // sticky exception flags

uint16_t X87ControlWord() {
  uint16_t word = 0;
  __asm__ __volatile__("fnstcw %0" : "=m"(word));
  return word;
}
#if defined(__i386__)
constexpr uint16_t kX87Reserved = 0x0040;

uint16_t X87StatusWord() {
  uint16_t word = 0;
  __asm__ __volatile__("fnstsw %0" : "=m"(word));
  return word;
}
#endif
void LoadX87ControlWord(uint16_t word) { __asm__ __volatile__("fnclex\n\tfldcw %0" : : "m"(word)); }

// Saves the whole state and puts it back, so the rest of the suite runs as it found it.
class FloatingPoint : public ::testing::Test {
 protected:
  void SetUp() override {
    savedMxcsr_ = _mm_getcsr();
    savedControl_ = X87ControlWord();
  }
  void TearDown() override {
    LoadX87ControlWord(savedControl_);
    _mm_setcsr(savedMxcsr_);
  }
  // Rounding toward zero on both units, 53-bit x87 precision, the SSE denormal exception
  // unmasked and a pending inexact flag: everything the set-up must undo. Nothing here touches a
  // denormal, so nothing traps before it runs.
  static void Disturb() {
    LoadX87ControlWord(0x0E7F);
    _mm_setcsr((kMxcsrMasks & ~0x0100u) | kMxcsrRounding | 0x0020);
  }

 private:
  unsigned savedMxcsr_ = 0;
  uint16_t savedControl_ = 0;
};

TEST_F(FloatingPoint, SseRoundsToNearestWithEveryExceptionMaskedAndNoFlagPending) {
  Disturb();
  setupFloatingPoint();
  const unsigned mxcsr = _mm_getcsr();
  EXPECT_EQ(mxcsr & kMxcsrMasks, kMxcsrMasks) << std::hex << mxcsr;
  EXPECT_EQ(mxcsr & kMxcsrRounding, 0u) << std::hex << mxcsr;
  EXPECT_EQ(mxcsr & kMxcsrFlags, 0u) << std::hex << mxcsr;
  EXPECT_EQ(std::fegetround(), FE_TONEAREST);
}

TEST_F(FloatingPoint, ConversionsRoundHalfwayCasesToEvenAfterTheSetUp) {
  Disturb();
  setupFloatingPoint();
  volatile double half = 2.5;
  volatile double threeHalves = -3.5;
  EXPECT_EQ(std::nearbyint(half), 2.0);
  EXPECT_EQ(std::nearbyint(threeHalves), -4.0);
  EXPECT_EQ(nearestClamped(half, -10, 10), 2);
  EXPECT_EQ(nearestClamped(2.5000001, -10, 10), 3);
  // Toward zero would have left 0.9999999 at 0.
  EXPECT_EQ(nearestClamped(0.9999999, -10, 10), 1);
}

#if defined(__i386__)
TEST_F(FloatingPoint, X87CarriesTheControlWord033F) {
  Disturb();
  ASSERT_EQ(X87ControlWord(), 0x0E7F);
  setupFloatingPoint();
  // Bit 6 is reserved and always reads back as 1, so the loaded 0x033F reads 0x037F.
  EXPECT_EQ(X87ControlWord() & ~kX87Reserved, 0x033F);
  EXPECT_EQ(X87StatusWord() & 0x3F, 0) << "no exception flag pending";
}

TEST_F(FloatingPoint, X87KeepsA64BitSignificandAfterTheSetUp) {
  Disturb();
  setupFloatingPoint();
  // 2^-60 survives an addition to 1 only with the 64-bit significand (53 bits would lose it).
  volatile long double one = 1.0L;
  volatile long double tiny = 0x1p-60L;
  volatile long double sum = one + tiny;
  EXPECT_NE(sum - one, 0.0L);
}
#endif

#endif  // x86

}  // namespace
