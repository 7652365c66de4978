// Wheel events of the page as whole notches of 120, the remainder kept for the next event.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/portable/host_web/wheel_notches.h"

namespace {

using portable::WheelNotches;

TEST(WheelNotches, TheLegacyDeltaCountsFirst) {
  WheelNotches w;
  EXPECT_EQ(w.Add(WheelNotches::kPixels, -100, 120), 1);  // away from the user
  EXPECT_EQ(w.Add(WheelNotches::kPixels, 100, -120), -1);
  EXPECT_EQ(w.Add(WheelNotches::kPixels, -200, 240), 2);
  EXPECT_EQ(w.Add(WheelNotches::kPixels, 53, -120), -1);  // whatever the pixels say
  EXPECT_EQ(w.Pending(), 0);
}

TEST(WheelNotches, EveryDeltaModeWithoutTheLegacyDelta) {
  WheelNotches w;
  EXPECT_EQ(w.Add(WheelNotches::kPixels, -100, 0), 1);
  EXPECT_EQ(w.Add(WheelNotches::kLines, -3, 0), 1);
  EXPECT_EQ(w.Add(WheelNotches::kLines, 6, 0), -2);
  EXPECT_EQ(w.Add(WheelNotches::kPages, -1, 0), 1);
  EXPECT_EQ(w.Pending(), 0);
}

TEST(WheelNotches, SmallStepsAddUpToANotch) {
  WheelNotches w;
  EXPECT_EQ(w.Add(WheelNotches::kPixels, 0, 40), 0);
  EXPECT_EQ(w.Add(WheelNotches::kPixels, 0, 40), 0);
  EXPECT_DOUBLE_EQ(w.Pending(), 80);
  EXPECT_EQ(w.Add(WheelNotches::kPixels, 0, 50), 1);
  EXPECT_DOUBLE_EQ(w.Pending(), 10);
}

TEST(WheelNotches, TurningBackForgetsTheOtherDirection) {
  WheelNotches w;
  EXPECT_EQ(w.Add(WheelNotches::kPixels, 0, 100), 0);
  EXPECT_EQ(w.Add(WheelNotches::kPixels, 0, -100), 0);
  EXPECT_DOUBLE_EQ(w.Pending(), -100);
  EXPECT_EQ(w.Add(WheelNotches::kPixels, 0, -20), -1);
  EXPECT_DOUBLE_EQ(w.Pending(), 0);
}

TEST(WheelNotches, NothingAndNonsenseMakeNoNotches) {
  WheelNotches w;
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(w.Add(WheelNotches::kPixels, 0, 0), 0);
  EXPECT_EQ(w.Add(WheelNotches::kPixels, nan, 0), 0);
  EXPECT_EQ(w.Add(WheelNotches::kPixels, inf, 0), 0);
  EXPECT_EQ(w.Add(WheelNotches::kLines, -inf, nan), 0);
  EXPECT_EQ(w.Pending(), 0);
  // A NaN legacy delta falls back to deltaY.
  EXPECT_EQ(w.Add(WheelNotches::kLines, -3, nan), 1);
  // An unknown mode counts as pixels.
  EXPECT_EQ(w.Add(7, -100, 0), 1);
}

TEST(WheelNotches, OneEventMakesAtMostSixteenNotches) {
  WheelNotches w;
  EXPECT_EQ(w.Add(WheelNotches::kPixels, 0, 1e12), WheelNotches::kMaxPerEvent);
  EXPECT_EQ(w.Pending(), 0);
  EXPECT_EQ(w.Add(WheelNotches::kPages, 1e9, 0), -WheelNotches::kMaxPerEvent);
  EXPECT_EQ(w.Add(WheelNotches::kPixels, 0, 120), 1);
}

}  // namespace
