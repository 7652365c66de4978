// Keys, the wheel and the mouse through the runner: exact status texts after every input,
// timer periods seen in the event log, pause and resume, and clearing.
#include <gtest/gtest.h>

#include <sstream>

#include "runner_support.h"

namespace e2e {
namespace {

// A tick count whose start-up draws give this speed and curve setting.
uint32_t TickFor(double speed, int32_t lastCurve) {
  for (uint32_t tick = 1000000; tick < 1200000; tick += 2) {
    const StartValues v = StartValuesFor(tick);
    if (v.speed == speed && v.lastCurve == lastCurve) return tick;
  }
  ADD_FAILURE() << "no tick count for " << speed << " and " << lastCurve;
  return 0;
}

// The ladders as the controls describe them, row by row.
double Raise(double s, uint32_t* period) {
  if (s > 5 && s < 15) {
    s = s + 0.5;
    *period = 1000;
  }
  if (s > 1 && s <= 5) {
    s = s + 0.1;
    *period = 2000;
  }
  if (s > 0.5 && s <= 1) {
    s = s + 0.05;
    *period = 4000;
  }
  if (s <= 0.5) s = s + 0.025;
  return s;
}

double Lower(double s, uint32_t* period) {
  if (s > 2) s = s - 0.25;
  if (s > 1 && s <= 2) {
    s = s - 0.1;
    *period = 3000;
  }
  if (s > 0.5 && s <= 1) {
    s = s - 0.1;
    *period = 4000;
  }
  if (s > 0.1 && s <= 0.5) {
    s = s - 0.05;
    *period = 8000;
  }
  return s;
}

struct Input {
  uint64_t ms;
  std::string what;  // "key 107", "wheel -1", ...
  bool raise;
};

// Walks a ladder with keys and wheel notches; checks the text after every input and the
// reseed timer's ticks between inputs.
void WalkLadder(double startSpeed, const std::vector<Input>& inputs, uint64_t runMs) {
  const int32_t curve = 2;
  RunPlan plan;
  plan.tickCount = TickFor(startSpeed, curve);
  plan.runMs = runMs;
  std::ostringstream events;
  for (const Input& in : inputs) events << in.ms << ' ' << in.what << '\n';
  plan.events = events.str();
  const RunOutput run = RunFull(plan);
  ASSERT_EQ(run.result.status, 0) << run.result.err;

  double s = startSpeed;
  // The reseed timer ticks at anchor + k x period; a restart moves both.
  uint64_t anchor = 0;
  uint32_t period = 4000;
  std::vector<uint64_t> expectedTicks;
  for (const Input& in : inputs) {
    uint32_t restarted = 0;
    s = in.raise ? Raise(s, &restarted) : Lower(s, &restarted);
    if (restarted != 0) {
      for (uint64_t t : TickTimes(anchor, period, in.ms - 1)) expectedTicks.push_back(t);
      anchor = in.ms;
      period = restarted;
    }
    SCOPED_TRACE(in.ms);
    EXPECT_EQ(LastTextAtOrBefore(run.text, in.ms), StatusText(s, curve));
  }
  for (uint64_t t : TickTimes(anchor, period, runMs)) expectedTicks.push_back(t);
  EXPECT_EQ(TimerTimes(run.events, 1, 0, runMs), expectedTicks);
}

TEST(RunnerControls, RaisingFromFiveAndAHalfWithKeysAndWheel) {
  WalkLadder(5.5,
             {{1500, "key 107", true},
              {1700, "key 187", true},
              {4100, "wheel 1", true},
              {4300, "wheel -1", false},
              {6050, "key 109", false}},
             9000);
}

TEST(RunnerControls, LoweringThroughEveryBand) {
  std::vector<Input> inputs;
  uint64_t t = 300;
  for (int i = 0; i < 10; ++i, t += 130)
    inputs.push_back({t, i % 2 ? "key 189" : "wheel -1", false});
  for (int i = 0; i < 14; ++i, t += 170)
    inputs.push_back({t, i % 2 ? "key 109" : "key 189", false});
  WalkLadder(2.5, inputs, t + 9000);
}

TEST(RunnerControls, RaisingFromTheBottom) {
  std::vector<Input> inputs;
  uint64_t t = 250;
  for (int i = 0; i < 16; ++i, t += 310) inputs.push_back({t, i % 3 ? "key 107" : "wheel 1", true});
  WalkLadder(0.5, inputs, t + 5000);
}

TEST(RunnerControls, WheelOfTwoNotchesOrALetterOnlyReprintsTheLine) {
  RunPlan plan;
  plan.tickCount = TickFor(2.5, 3);
  plan.runMs = 700;
  plan.events = "300 wheel 2\n500 key 65\n";
  const RunOutput run = RunFull(plan);
  ASSERT_EQ(run.result.status, 0) << run.result.err;
  for (const TextLine& line : run.text) EXPECT_EQ(line.text, StatusText(2.5, 3));
  bool wheel = false;
  for (const EventLine& e : run.events)
    if (e.eventId == 522) {
      wheel = true;
      EXPECT_EQ(e.param1, 0x00F00000u);
      EXPECT_EQ(e.ms, 300u);
    }
  EXPECT_TRUE(wheel);
}

TEST(RunnerControls, DigitKeysSetCurvesAndTheDrawingTimer) {
  RunPlan plan;
  plan.tickCount = TickFor(1.5, 10);
  plan.runMs = 2000;
  plan.events = "403 key 53\n1007 key 99\n1500 key 49\n";
  const RunOutput run = RunFull(plan);
  ASSERT_EQ(run.result.status, 0) << run.result.err;
  EXPECT_EQ(TimerTimes(run.events, 2, 0, 402), TickTimes(0, 10, 402));
  EXPECT_EQ(TimerTimes(run.events, 2, 403, 1006), TickTimes(403, 20, 1006));     // key 5: 100 div 5
  EXPECT_EQ(TimerTimes(run.events, 2, 1007, 1499), TickTimes(1007, 33, 1499));   // numpad 3
  EXPECT_EQ(TimerTimes(run.events, 2, 1500, 2000), TickTimes(1500, 100, 2000));  // key 1
  EXPECT_EQ(LastTextAtOrBefore(run.text, 403), StatusText(1.5, 5));
  EXPECT_EQ(LastTextAtOrBefore(run.text, 1007), StatusText(1.5, 3));
  EXPECT_EQ(LastTextAtOrBefore(run.text, 2000), StatusText(1.5, 1));
}

TEST(RunnerControls, PauseShowsThePauseLineAndResumeRestoresDrawing) {
  RunPlan plan;
  plan.tickCount = TickFor(3.5, 4);
  plan.runMs = 1600;
  plan.events = "500 rbutton 100 100\n810 key 107\n1010 key 48\n1310 key 96\n";
  const RunOutput run = RunFull(plan);
  ASSERT_EQ(run.result.status, 0) << run.result.err;
  const std::string running = StatusText(3.5, 4);
  const std::string raised = StatusText(3.6, 4);
  for (const TextLine& line : run.text) {
    SCOPED_TRACE(line.ms);
    if (line.ms < 500) {
      EXPECT_EQ(line.text, running);
    } else if (line.ms == 810) {
      EXPECT_EQ(line.text, raised) << "a key while paused prints the normal line";
    } else if (line.ms > 500 && line.ms < 1010) {
      EXPECT_EQ(line.text, PauseText());
    } else if (line.ms >= 1010 && line.ms <= 1310) {
      EXPECT_EQ(line.text, raised) << "0 resumed";
    } else if (line.ms > 1310) {
      EXPECT_EQ(line.text, PauseText()) << "numpad 0 paused again";
    }
  }
  EXPECT_EQ(LastTextAtOrBefore(run.text, 809), PauseText());
  EXPECT_EQ(LastTextAtOrBefore(run.text, 1309), raised);
  EXPECT_EQ(LastTextAtOrBefore(run.text, 1600), PauseText());
}

TEST(RunnerControls, LeftButtonWhilePausedChangesNoPixel) {
  RunPlan paused;
  paused.tickCount = TickFor(2.5, 2);
  paused.runMs = 900;
  paused.events = "100 rbutton 5 5\n";
  RunPlan clicked = paused;
  clicked.events = "100 rbutton 5 5\n400 lbutton 300 300\n";
  const RunOutput a = RunFull(paused);
  const RunOutput b = RunFull(clicked);
  ASSERT_TRUE(a.imageOk && b.imageOk);
  EXPECT_EQ(a.pngBytes, b.pngBytes);
}

TEST(RunnerControls, SpaceAndLeftButtonClearAndRestartTheCurves) {
  RunPlan plain;
  plain.tickCount = TickFor(2.5, 3);
  plain.runMs = 3000;
  const RunOutput before = RunFull(plain);
  ASSERT_TRUE(before.imageOk);
  const int full = CountColoured(before.image, 0, 20, before.image.width, before.image.height);
  for (const char* input : {"3000 key 32\n", "3000 lbutton 50 60\n"}) {
    SCOPED_TRACE(input);
    RunPlan plan = plain;
    plan.events = input;
    const RunOutput run = RunFull(plan);
    ASSERT_EQ(run.result.status, 0) << run.result.err;
    ASSERT_TRUE(run.imageOk);
    const int cleared = CountColoured(run.image, 0, 20, run.image.width, run.image.height);
    // The paint after clearing draws one step per curve setting: 3 x 400 points at most.
    EXPECT_GT(cleared, 0);
    EXPECT_LE(cleared, 3 * 400);
    EXPECT_LT(cleared, full);
    int paintsAtEnd = 0;
    for (const EventLine& e : run.events) paintsAtEnd += e.eventId == 15 && e.ms == 3000;
    EXPECT_EQ(paintsAtEnd, 1);
  }
}

}  // namespace
}  // namespace e2e
