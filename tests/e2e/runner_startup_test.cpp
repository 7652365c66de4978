// Start-up through the runner: the first frame, the status line for a tick count, the
// summary lines, and byte-identical results for identical options.
#include <gtest/gtest.h>

#include "runner_support.h"

namespace e2e {
namespace {

TEST(RunnerStartup, FirstFrameIsBlackWithCurvesAtTheCentreAndWhiteText) {
  const RunOutput run = RunFull({});
  ASSERT_EQ(run.result.status, 0) << run.result.err;
  ASSERT_TRUE(run.summary.ok) << run.result.out;
  EXPECT_EQ(run.summary.time, 0u);
  EXPECT_EQ(run.summary.exitCode, 0);
  // The frame takes room from the full-screen window: the client area is smaller.
  EXPECT_GT(run.summary.clientWidth, 900);
  EXPECT_LT(run.summary.clientWidth, 1024);
  EXPECT_GT(run.summary.clientHeight, 600);
  EXPECT_LT(run.summary.clientHeight, 768);
  ASSERT_TRUE(run.imageOk);
  const Image& img = run.image;
  EXPECT_EQ(img.width, run.summary.clientWidth);
  EXPECT_EQ(img.height, run.summary.clientHeight);

  const int cx = img.width / 2;
  const int cy = img.height / 2;
  // Unscaled radii after the size event reach at most 115 + 95 + 85 pixels.
  EXPECT_GT(CountColoured(img, cx - 300, cy - 300, cx + 300, cy + 300), 200);
  int outside = 0;
  for (int y = 20; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) {
      const int dx = x - cx;
      const int dy = y - cy;
      if (dx * dx + dy * dy > 300 * 300 && img.At(x, y) != 0) ++outside;
    }
  EXPECT_EQ(outside, 0) << "black everywhere away from the curves and the status line";
  EXPECT_EQ(img.At(img.width - 1, img.height - 1), 0u);

  // White text on black at the top-left corner.
  int white = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 200; ++x) white += img.At(x, y) == 0xFFFFFF;
  EXPECT_GT(white, 100);
}

TEST(RunnerStartup, StatusLineFollowsTheTickCount) {
  for (uint32_t tick : {1000000u, 123457u, 4000001u, 3000000000u, 7u}) {
    SCOPED_TRACE(tick);
    RunPlan plan;
    plan.tickCount = tick;
    const RunOutput run = RunFull(plan);
    ASSERT_EQ(run.result.status, 0) << run.result.err;
    const StartValues v = StartValuesFor(tick);
    ASSERT_FALSE(run.text.empty());
    for (const TextLine& line : run.text) {
      EXPECT_EQ(line.ms, 0u);
      EXPECT_EQ(line.x, 0);
      EXPECT_EQ(line.y, 0);
      EXPECT_EQ(line.text, StatusText(v.speed, v.lastCurve));
    }
  }
}

TEST(RunnerStartup, CreationStartsTimersAndDrawsOnceThenPaintDrawsPerCurve) {
  RunPlan plan;
  plan.tickCount = 1000000;
  const RunOutput run = RunFull(plan);
  ASSERT_EQ(run.result.status, 0) << run.result.err;
  const StartValues v = StartValuesFor(plan.tickCount);
  // One status line from the creation's step, then one per step of the first paint.
  EXPECT_EQ(run.text.size(), static_cast<size_t>(1 + v.lastCurve));
  bool created = false;
  int paints = 0;
  for (const EventLine& e : run.events) {
    if (e.eventId == 1) created = true;
    if (e.eventId == 15) ++paints;
  }
  EXPECT_TRUE(created);
  EXPECT_EQ(paints, 1);
}

TEST(RunnerStartup, SameOptionsGiveIdenticalOutputs) {
  RunPlan plan;
  plan.tickCount = 555555;
  plan.runMs = 1500;
  plan.events = "200 key 53\n700 wheel 1\n900 key 32\n1200 lbutton 10 10\n";
  const RunOutput a = RunFull(plan);
  const RunOutput b = RunFull(plan);
  ASSERT_EQ(a.result.status, 0) << a.result.err;
  ASSERT_TRUE(a.imageOk);
  EXPECT_FALSE(a.pngBytes.empty());
  EXPECT_EQ(a.pngBytes, b.pngBytes);
  EXPECT_EQ(a.result.out, b.result.out);
  ASSERT_EQ(a.text.size(), b.text.size());
  ASSERT_EQ(a.events.size(), b.events.size());
  for (size_t i = 0; i < a.events.size(); ++i) {
    EXPECT_EQ(a.events[i].ms, b.events[i].ms);
    EXPECT_EQ(a.events[i].eventId, b.events[i].eventId);
  }
}

TEST(RunnerStartup, DifferentTickCountsDrawDifferentPictures) {
  RunPlan one;
  one.tickCount = 1000000;
  RunPlan two;
  two.tickCount = 1000002;
  const RunOutput a = RunFull(one);
  const RunOutput b = RunFull(two);
  ASSERT_TRUE(a.imageOk && b.imageOk);
  EXPECT_NE(a.pngBytes, b.pngBytes);
}

TEST(RunnerStartup, ScreenOptionSizesTheWindow) {
  RunPlan big;
  const RunOutput reference = RunFull(big);
  RunPlan small;
  small.screen = "640x480";
  const RunOutput run = RunFull(small);
  ASSERT_EQ(run.result.status, 0) << run.result.err;
  ASSERT_TRUE(run.summary.ok && reference.summary.ok);
  EXPECT_EQ(1024 - reference.summary.clientWidth, 640 - run.summary.clientWidth);
  EXPECT_EQ(768 - reference.summary.clientHeight, 480 - run.summary.clientHeight);
  ASSERT_TRUE(run.imageOk);
  EXPECT_EQ(run.image.width, run.summary.clientWidth);
}

}  // namespace
}  // namespace e2e
