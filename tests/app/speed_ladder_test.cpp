// The two speed ladders: exact doubles after every press and the timer-1 restarts it makes.
#include <gtest/gtest.h>

#include <vector>

#include "app/handler.h"
#include "app/state.h"

namespace {

struct Press {
  double speed;
  std::vector<uint32_t> restarts;
};

std::vector<uint32_t> Restarts(const SpeedChange& c) {
  return std::vector<uint32_t>(c.restarts, c.restarts + c.restartCount);
}

void ExpectPress(const SpeedChange& got, double speed, std::vector<uint32_t> restarts) {
  EXPECT_EQ(got.speed, speed) << std::hexfloat << got.speed << " vs " << speed;
  EXPECT_EQ(Restarts(got), restarts);
}

TEST(RaiseSpeed, EveryBandFromItsEdges) {
  ExpectPress(raisedSpeed(5.0), 0x1.4666666666666p+2, {2000});  // 5.1
  ExpectPress(raisedSpeed(5.5), 6.0, {1000});
  ExpectPress(raisedSpeed(14.5), 15.0, {1000});
  ExpectPress(raisedSpeed(1.5), 0x1.999999999999ap+0, {2000});   // 1.6
  ExpectPress(raisedSpeed(1.0), 0x1.0cccccccccccdp+0, {4000});   // 1.05
  ExpectPress(raisedSpeed(0.75), 0x1.999999999999ap-1, {4000});  // 0.8
  ExpectPress(raisedSpeed(0.5), 0x1.0cccccccccccdp-1, {});       // 0.525, timer 1 unchanged
  ExpectPress(raisedSpeed(0.05), 0.05 + 0.025, {});
}

TEST(RaiseSpeed, NothingChangesFromFifteenUp) {
  ExpectPress(raisedSpeed(15.0), 15.0, {});
  ExpectPress(raisedSpeed(15.25), 15.25, {});
  ExpectPress(raisedSpeed(100.0), 100.0, {});
}

TEST(RaiseSpeed, WalkFromHalfAccumulatesRounding) {
  const std::vector<Press> walk = {
      {0x1.0cccccccccccdp-1, {}},     {0x1.2666666666667p-1, {4000}},
      {0x1.4000000000001p-1, {4000}}, {0x1.599999999999bp-1, {4000}},
      {0x1.7333333333335p-1, {4000}}, {0x1.8cccccccccccfp-1, {4000}},
      {0x1.a666666666669p-1, {4000}}, {0x1.c000000000003p-1, {4000}},
      {0x1.d99999999999dp-1, {4000}}, {0x1.f333333333337p-1, {4000}},
      {0x1.0666666666668p+0, {4000}}, {0x1.2000000000002p+0, {2000}},
      {0x1.399999999999cp+0, {2000}}, {0x1.5333333333336p+0, {2000}},
      {0x1.6ccccccccccd0p+0, {2000}}, {0x1.866666666666ap+0, {2000}},
  };
  double s = 0.5;
  for (size_t i = 0; i < walk.size(); ++i) {
    SCOPED_TRACE(i);
    const SpeedChange c = raisedSpeed(s);
    ExpectPress(c, walk[i].speed, walk[i].restarts);
    s = c.speed;
  }
}

TEST(RaiseSpeed, NeverPassesFifteenAndAHalf) {
  double s = 0.0;
  for (int i = 0; i < 500; ++i) s = raisedSpeed(s).speed;
  EXPECT_GE(s, 15.0);
  EXPECT_LT(s, 15.5);
}

TEST(LowerSpeed, EveryBandFromItsEdges) {
  ExpectPress(loweredSpeed(5.5), 5.25, {});
  ExpectPress(loweredSpeed(2.5), 2.25, {});
  ExpectPress(loweredSpeed(2.25), 0x1.e666666666666p+0, {3000});  // 2.0 then 1.9: two rows
  ExpectPress(loweredSpeed(2.0), 0x1.e666666666666p+0, {3000});
  ExpectPress(loweredSpeed(1.0), 0x1.ccccccccccccdp-1, {4000});  // 0.9
  ExpectPress(loweredSpeed(0.5), 0x1.ccccccccccccdp-2, {8000});  // 0.45
  ExpectPress(loweredSpeed(0.12), 0x1.1eb851eb851ebp-4, {8000});
}

TEST(LowerSpeed, RowsChainIntoTheNextBand) {
  // 1.05 - 0.1 is 0.9500000000000001, in the next band, which takes another 0.1.
  ExpectPress(loweredSpeed(1.05), 0x1.b333333333334p-1, {3000, 4000});
  // 0.55 - 0.1 = 0.45000000000000007, then - 0.05.
  ExpectPress(loweredSpeed(0.55), 0x1.999999999999bp-2, {4000, 8000});
  // 0.6 - 0.1 is exactly 0.5, the top of the last band.
  ExpectPress(loweredSpeed(0.6), 0x1.ccccccccccccdp-2, {4000, 8000});
}

TEST(LowerSpeed, NothingChangesAtOrBelowTheStep) {
  ExpectPress(loweredSpeed(0.1), 0.1, {});
  ExpectPress(loweredSpeed(0.075), 0.075, {});
  ExpectPress(loweredSpeed(0.0), 0.0, {});
}

TEST(LowerSpeed, WalkFromFiveAndAHalf) {
  const std::vector<Press> walk = {
      {5.25, {}},
      {5.0, {}},
      {4.75, {}},
      {4.5, {}},
      {4.25, {}},
      {4.0, {}},
      {3.75, {}},
      {3.5, {}},
      {3.25, {}},
      {3.0, {}},
      {2.75, {}},
      {2.5, {}},
      {2.25, {}},
      {0x1.e666666666666p+0, {3000}},
      {0x1.cccccccccccccp+0, {3000}},
      {0x1.b333333333332p+0, {3000}},
      {0x1.9999999999998p+0, {3000}},
      {0x1.7fffffffffffep+0, {3000}},
      {0x1.6666666666664p+0, {3000}},
      {0x1.4cccccccccccap+0, {3000}},
      {0x1.3333333333330p+0, {3000}},
      {0x1.1999999999996p+0, {3000}},
      {0x1.cccccccccccc6p-1, {3000, 4000}},
      {0x1.9999999999993p-1, {4000}},
      {0x1.6666666666660p-1, {4000}},
      {0x1.333333333332dp-1, {4000}},
      {0x1.cccccccccccc1p-2, {4000, 8000}},
      {0x1.999999999998ep-2, {8000}},
      {0x1.666666666665bp-2, {8000}},
      {0x1.3333333333328p-2, {8000}},
      {0x1.fffffffffffeap-3, {8000}},
      {0x1.9999999999984p-3, {8000}},
      {0x1.333333333331ep-3, {8000}},
      {0x1.999999999996fp-4, {8000}},
      {0x1.999999999996fp-4, {}},
  };
  double s = 5.5;
  for (size_t i = 0; i < walk.size(); ++i) {
    SCOPED_TRACE(i);
    const SpeedChange c = loweredSpeed(s);
    ExpectPress(c, walk[i].speed, walk[i].restarts);
    s = c.speed;
  }
  EXPECT_GT(s, 0.05);
}

TEST(SpeedLadders, ApplyToTheProgramSpeedWithTheWindowClosed) {
  // A closed record ignores the timer restarts; only the speed changes.
  mainWindow = WindowRecord{};
  speed = 5.0;
  raiseSpeed();
  EXPECT_EQ(speed, 0x1.4666666666666p+2);
  lowerSpeed();
  EXPECT_EQ(speed, 5.1 - 0.25);
  speed = 0.1;
  lowerSpeed();
  EXPECT_EQ(speed, 0.1);
}

TEST(DrawPeriod, HundredDivCurveSetting) {
  const uint32_t expected[] = {100, 50, 33, 25, 20, 16, 14, 12, 11, 10};
  for (int n = 1; n <= 10; ++n) EXPECT_EQ(drawPeriod(n), expected[n - 1]) << n;
}

}  // namespace
