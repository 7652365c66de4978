// How runs end (ESC, the close button, the end of the run time), a resize, and the runner's
// refusal of malformed events files and options.
#include <gtest/gtest.h>

#include "runner_support.h"

namespace e2e {
namespace {

bool EndsWithSummary(const std::string& out) { return ParseSummary(out).ok; }

TEST(RunnerLifecycle, EscapeEndsTheProgramWithExitCodeZero) {
  RunPlan plan;
  plan.runMs = 5000;
  plan.events = "1234 key 27\n2000 key 107\n";
  const RunOutput run = RunFull(plan);
  EXPECT_EQ(run.result.status, 0) << run.result.err;
  ASSERT_TRUE(run.summary.ok) << run.result.out;
  EXPECT_EQ(run.summary.exitCode, 0);
  EXPECT_EQ(run.summary.time, 1234u) << "the program ended itself before the run time";
  // The handler sees the destruction inside the key event, one level deeper.
  bool destroyInsideKey = false;
  for (const EventLine& e : run.events) {
    EXPECT_LE(e.ms, 1234u);
    if (e.eventId == 2 && e.ms == 1234 && e.depth >= 2) destroyInsideKey = true;
  }
  EXPECT_TRUE(destroyInsideKey);
  // The last picture is kept though the window is gone.
  ASSERT_TRUE(run.imageOk);
  EXPECT_EQ(run.image.width, run.summary.clientWidth);
  EXPECT_GT(CountColoured(run.image, 0, 20, run.image.width, run.image.height), 0);
}

TEST(RunnerLifecycle, CloseButtonEndsTheProgramLikewise) {
  RunPlan plan;
  plan.runMs = 3000;
  plan.events = "777 close\n";
  const RunOutput run = RunFull(plan);
  EXPECT_EQ(run.result.status, 0) << run.result.err;
  ASSERT_TRUE(run.summary.ok);
  EXPECT_EQ(run.summary.time, 777u);
  EXPECT_EQ(run.summary.exitCode, 0);
  int closeRequests = 0;
  for (const EventLine& e : run.events) closeRequests += e.eventId == 32770;
  EXPECT_EQ(closeRequests, 1);
  ASSERT_TRUE(run.imageOk);
}

TEST(RunnerLifecycle, RunTimeEndsThroughTheCloseButton) {
  RunPlan plan;
  plan.runMs = 250;
  const RunOutput run = RunFull(plan);
  EXPECT_EQ(run.result.status, 0) << run.result.err;
  ASSERT_TRUE(run.summary.ok);
  EXPECT_EQ(run.summary.time, 250u);
  int closeRequests = 0;
  for (const EventLine& e : run.events) {
    closeRequests += e.eventId == 32770;
    EXPECT_LE(e.ms, 250u);
  }
  EXPECT_EQ(closeRequests, 1);
}

TEST(RunnerLifecycle, ResizeChangesTheClientAreaAndResetsTheCurves) {
  const RunOutput reference = RunFull({});
  ASSERT_TRUE(reference.summary.ok);
  const int frameWidth = 1024 - reference.summary.clientWidth;
  const int frameHeight = 768 - reference.summary.clientHeight;
  RunPlan plan;
  plan.runMs = 600;
  plan.events = "321 resize 800 600\n";
  const RunOutput run = RunFull(plan);
  EXPECT_EQ(run.result.status, 0) << run.result.err;
  ASSERT_TRUE(run.summary.ok);
  EXPECT_EQ(run.summary.clientWidth, 800 - frameWidth);
  EXPECT_EQ(run.summary.clientHeight, 600 - frameHeight);
  ASSERT_TRUE(run.imageOk);
  EXPECT_EQ(run.image.width, run.summary.clientWidth);
  EXPECT_EQ(run.image.height, run.summary.clientHeight);
  bool sized = false;
  bool painted = false;
  for (const EventLine& e : run.events) {
    if (e.ms == 321 && e.eventId == 32777) sized = true;
    if (e.ms == 321 && e.eventId == 15) painted = true;
  }
  EXPECT_TRUE(sized);
  EXPECT_TRUE(painted) << "the size event clears the window; the paint redraws";
  // Curves are centred on the new client area.
  const int cx = run.image.width / 2;
  const int cy = run.image.height / 2;
  EXPECT_GT(CountColoured(run.image, cx - 300, cy - 300, cx + 300, cy + 300), 100);
}

TEST(RunnerLifecycle, MalformedEventsAreRefusedWithTheLineNumber) {
  const struct {
    const char* text;
    const char* line;
  } cases[] = {
      {"# comment\n\n10 keys 27\n", "line 3"},
      {"10 key\n", "line 1"},
      {"10 key 27 28\n", "line 1"},
      {"x key 27\n", "line 1"},
      {"-5 key 27\n", "line 1"},
      {"10 key 27\n20 wheel 0\n", "line 2"},
      {"10 wheel 1.5\n", "line 1"},
      {"10 lbutton 5\n", "line 1"},
      {"10 close now\n", "line 1"},
      {"10 resize 0 100\n", "line 1"},
      {"1 key 300\n", "line 1"},
      {"5\n", "line 1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    TempDir dir;
    WriteFile(dir.File("events"), c.text);
    const std::string png = dir.File("never.png");
    const RunResult r = RunHeadless({"--events", dir.File("events"), "--png", png});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(c.line), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "") << "nothing ran";
    EXPECT_TRUE(ReadFile(png).empty());
  }
}

TEST(RunnerLifecycle, CommentsBlankLinesAndOrderAreAccepted) {
  RunPlan plan;
  plan.runMs = 400;
  plan.events = "# speed up twice\n\n  300 key 107   # second\n200 key 107\n";
  const RunOutput run = RunFull(plan);
  ASSERT_EQ(run.result.status, 0) << run.result.err;
  int keys = 0;
  for (const EventLine& e : run.events) keys += e.eventId == 256;
  EXPECT_EQ(keys, 2);
}

TEST(RunnerLifecycle, InputsAtTimeZeroFollowStartUpAndLateOnesNeverCome) {
  RunPlan plan;
  plan.tickCount = 1000000;
  plan.runMs = 0;
  plan.events = "0 key 56\n1 key 27\n";
  const RunOutput run = RunFull(plan);
  ASSERT_EQ(run.result.status, 0) << run.result.err;
  ASSERT_TRUE(run.summary.ok);
  EXPECT_EQ(run.summary.time, 0u);
  const StartValues v = StartValuesFor(plan.tickCount);
  ASSERT_FALSE(run.text.empty());
  EXPECT_EQ(run.text.back().text, StatusText(v.speed, 8)) << "the 8 key, after the first paint";
  bool sawPaintBeforeKey = false;
  bool sawEscape = false;
  for (const EventLine& e : run.events) {
    if (e.eventId == 15) sawPaintBeforeKey = true;
    if (e.eventId == 256 && e.param1 == 56) {
      EXPECT_TRUE(sawPaintBeforeKey);
    }
    if (e.eventId == 256 && e.param1 == 27) sawEscape = true;
  }
  EXPECT_FALSE(sawEscape) << "an input after the run time is never delivered";
}

TEST(RunnerLifecycle, BadOptionsPrintUsageAndExitTwo) {
  const std::vector<std::vector<std::string>> cases = {
      {"--bogus"},
      {"--tick-count"},
      {"--tick-count", "-1"},
      {"--screen", "100"},
      {"--screen", "0x100"},
      {"--run-ms", "abc"},
      {"--run-ms", "-5"},
      {"--events", "/nonexistent/file"},
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(args[0]);
    const RunResult r = RunHeadless(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("usage: spirals-headless"), std::string::npos) << r.err;
    EXPECT_FALSE(EndsWithSummary(r.out));
  }
}

}  // namespace
}  // namespace e2e
