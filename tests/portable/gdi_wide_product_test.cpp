// Whole 128-bit products and the line rounding built on them, held against the compiler's own
// 128-bit integers (which the 64-bit Linux build has and 32-bit targets lack).
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "platform/portable/gdi/clip_region.h"
#include "platform/portable/gdi/wide_product.h"

namespace {

using portable::gdi::Wide;
using u128 = unsigned __int128;

u128 Whole(Wide w) { return (static_cast<u128>(w.hi) << 64) | w.lo; }

int64_t ReferenceOffset(int64_t i, int64_t minor, int64_t steps) {
  const u128 num = static_cast<u128>(2) * static_cast<u128>(i) * static_cast<u128>(minor) +
                   static_cast<u128>(steps);
  return static_cast<int64_t>(num / (2 * static_cast<u128>(steps)));
}

TEST(WideProduct, MultiplyAndAddAreExactAtTheEdges) {
  const uint64_t edges[] = {
      0, 1, 2, 0xFFFFFFFFu, 0x100000000u, 0x7FFFFFFFFFFFFFFFu, 0xFFFFFFFFFFFFFFFFu};
  for (uint64_t x : edges) {
    for (uint64_t y : edges) {
      const Wide p = portable::gdi::Multiply(x, y);
      EXPECT_TRUE(Whole(p) == static_cast<u128>(x) * y) << x << " * " << y;
      const Wide sum = portable::gdi::Add(p, Wide{0, y});
      EXPECT_TRUE(Whole(sum) == static_cast<u128>(x) * y + y) << x << " * " << y << " + " << y;
    }
  }
}

TEST(WideProduct, LineOffsetsRoundAsTheExactRatioDoes) {
  std::mt19937_64 random(20261208);
  // Short lines take the 64-bit path, lines beyond 2^32 pixels the long division.
  for (int64_t limit : {int64_t{1000}, int64_t{1} << 40, int64_t{1} << 62}) {
    std::uniform_int_distribution<int64_t> any(1, limit);
    for (int n = 0; n < 2000; ++n) {
      const int64_t steps = any(random);
      const int64_t minor = std::uniform_int_distribution<int64_t>(0, steps)(random);
      const int64_t i = std::uniform_int_distribution<int64_t>(0, steps - 1)(random);
      ASSERT_EQ(portable::gdi::NearestOffset(i, minor, steps), ReferenceOffset(i, minor, steps))
          << "i " << i << ", minor " << minor << ", steps " << steps;
    }
  }
  // An exact half rounds up; the last pixel of a full diagonal lands on the diagonal.
  EXPECT_EQ(portable::gdi::NearestOffset(1, 1, 2), 1);
  const int64_t big = int64_t{1} << 61;
  EXPECT_EQ(portable::gdi::NearestOffset(big - 1, big, big), big - 1);
}

TEST(WideProduct, RegionsOfHugeBoxesStillTellOneRectangleFromTwo) {
  using portable::gdi::Box;
  using portable::gdi::Region;
  const int64_t far = int64_t{1} << 40;
  Region whole(Box{-far, -far, far, far});
  EXPECT_EQ(whole.Complexity(), SIMPLEREGION);
  Region hole = whole;
  hole.SubtractBox(Box{0, 0, 1, 1});
  EXPECT_EQ(hole.Complexity(), COMPLEXREGION);
}

}  // namespace
