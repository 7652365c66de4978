#include "platform/portable/host_common/frame_pacer.h"

#include <gtest/gtest.h>

namespace portable {
namespace {

void ExpectRect(const RECT& r, LONG left, LONG top, LONG right, LONG bottom) {
  EXPECT_EQ(r.left, left);
  EXPECT_EQ(r.top, top);
  EXPECT_EQ(r.right, right);
  EXPECT_EQ(r.bottom, bottom);
}

TEST(DirtyRect, GrowsToTheBoundingBoxOfWhatChanged) {
  DirtyRect dirty;
  EXPECT_TRUE(dirty.Empty());
  dirty.Add(RECT{10, 20, 11, 21}, 100, 100);
  EXPECT_FALSE(dirty.Empty());
  ExpectRect(dirty.Bounds(), 10, 20, 11, 21);
  dirty.Add(RECT{50, 5, 60, 8}, 100, 100);
  ExpectRect(dirty.Bounds(), 10, 5, 60, 21);
  dirty.Add(RECT{12, 10, 13, 11}, 100, 100);  // inside: no change
  ExpectRect(dirty.Bounds(), 10, 5, 60, 21);
}

TEST(DirtyRect, ClipsToTheWindowAndIgnoresEmptyRects) {
  DirtyRect dirty;
  dirty.Add(RECT{-5, -5, 3, 4}, 100, 50);
  ExpectRect(dirty.Bounds(), 0, 0, 3, 4);
  dirty.Add(RECT{90, 40, 200, 300}, 100, 50);
  ExpectRect(dirty.Bounds(), 0, 0, 100, 50);

  DirtyRect other;
  other.Add(RECT{5, 5, 5, 9}, 100, 50);       // no width
  other.Add(RECT{8, 8, 4, 4}, 100, 50);       // inverted
  other.Add(RECT{100, 0, 120, 10}, 100, 50);  // right of the window
  other.Add(RECT{0, -10, 10, 0}, 100, 50);    // above it
  EXPECT_TRUE(other.Empty());
}

TEST(DirtyRect, ClearStartsAfresh) {
  DirtyRect dirty;
  dirty.AddAll(64, 48);
  ExpectRect(dirty.Bounds(), 0, 0, 64, 48);
  dirty.Clear();
  EXPECT_TRUE(dirty.Empty());
  dirty.Add(RECT{7, 7, 8, 8}, 64, 48);
  ExpectRect(dirty.Bounds(), 7, 7, 8, 8);
}

TEST(FramePacer, PeriodFollowsTheRefreshRate) {
  EXPECT_EQ(FramePacer(60).PeriodUs(), 16666u);
  EXPECT_EQ(FramePacer(144).PeriodUs(), 6944u);
  EXPECT_EQ(FramePacer(0).PeriodUs(), 16666u);  // unknown
  EXPECT_EQ(FramePacer(-3).PeriodUs(), 16666u);
}

TEST(FramePacer, AtMostOnePicturePerPeriod) {
  FramePacer pacer(50);  // 20 ms
  EXPECT_TRUE(pacer.Due(0));
  pacer.Presented(1000);
  EXPECT_FALSE(pacer.Due(1000));
  EXPECT_FALSE(pacer.Due(20999));
  EXPECT_EQ(pacer.WaitUs(15000), 6000u);
  EXPECT_TRUE(pacer.Due(21000));
  EXPECT_EQ(pacer.WaitUs(21000), 0u);
}

TEST(FramePacer, KeepsItsRhythmWhenAPictureIsALittleLate) {
  FramePacer pacer(50);
  pacer.Presented(0);
  pacer.Presented(25000);         // 5 ms late
  EXPECT_TRUE(pacer.Due(40000));  // the next slot is still at 40 ms
  EXPECT_FALSE(pacer.Due(39999));
  int pictures = 0;
  // Presenting whenever due over one second never exceeds the refresh rate.
  FramePacer steady(50);
  for (uint64_t t = 0; t < 1000000; t += 700) {
    if (steady.Due(t)) {
      steady.Presented(t);
      ++pictures;
    }
  }
  EXPECT_EQ(pictures, 50);
}

TEST(FramePacer, StartsAfreshAfterAnIdleSpell) {
  FramePacer pacer(50);
  pacer.Presented(0);
  pacer.Presented(500000);  // long after: the next slot counts from here
  EXPECT_FALSE(pacer.Due(519999));
  EXPECT_TRUE(pacer.Due(520000));
}

}  // namespace
}  // namespace portable
