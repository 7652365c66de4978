// The event handler on a closed window: which branch each event takes, the digit keys, the
// wheel codes, pause and resume, clearing, painting, and the bound on open timer steps.
#include <gtest/gtest.h>

#include "app/curves.h"
#include "app_state_reset.h"
#include "app/handler.h"
#include "app/state.h"
#include "runtime/core/heap.h"
#include "runtime/core/numeric.h"
#include "tests/kit/reference_random.h"
#include "runtime/window/event_dispatch.h"

namespace {

class Handler : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAppState();
    RandomSeed(1);
  }

  static int32_t Send(int32_t id, WPARAM param1) {
    CurrentEvent = CurrentEventVars{};
    CurrentEvent.eventId = id;
    CurrentEvent.param1 = param1;
    return handleEvent();
  }

  // Generator outputs used since `state`, up to `limit`.
  static int DrawsSince(uint32_t state, int limit = 200) {
    for (int n = 0; n <= limit; ++n) {
      if (state == RandomState) return n;
      state = kit::NextRandomState(state);
    }
    return -1;
  }
};

TEST_F(Handler, DigitKeysSetTheCurveSettingAndReseed) {
  const uint32_t before = RandomState;
  EXPECT_EQ(Send(WM_KEYDOWN, '5'), 0);
  EXPECT_EQ(lastCurve, 5);
  EXPECT_EQ(DrawsSince(before), 1 + 6 * 6) << "selector, then six draws for each of slots 0-5";
  Send(WM_KEYDOWN, '1');
  EXPECT_EQ(lastCurve, 1);
  Send(WM_KEYDOWN, '9');
  EXPECT_EQ(lastCurve, 9);
  Send(WM_KEYDOWN, VK_NUMPAD1);
  EXPECT_EQ(lastCurve, 1);
  Send(WM_KEYDOWN, VK_NUMPAD9);
  EXPECT_EQ(lastCurve, 9);
}

TEST_F(Handler, NeighboursOfTheDigitRangesChangeNothing) {
  for (WPARAM c : {WPARAM{47}, WPARAM{58}, WPARAM{'A'}, WPARAM{106}, WPARAM{VK_F1}}) {
    SCOPED_TRACE(c);
    const uint32_t before = RandomState;
    Send(WM_KEYDOWN, c);
    EXPECT_EQ(lastCurve, 3);
    EXPECT_EQ(pauseSign, 1);
    EXPECT_EQ(speed, 2.5);
    EXPECT_EQ(RandomState, before);
  }
}

TEST_F(Handler, ZeroKeysAndRightButtonTogglePause) {
  Send(WM_KEYDOWN, '0');
  EXPECT_EQ(pauseSign, -1);
  Send(WM_KEYDOWN, VK_NUMPAD0);
  EXPECT_EQ(pauseSign, 1);
  Send(WM_RBUTTONDOWN, MK_RBUTTON);
  EXPECT_EQ(pauseSign, -1);
  Send(WM_RBUTTONDOWN, MK_RBUTTON);
  EXPECT_EQ(pauseSign, 1);
}

TEST_F(Handler, PlusMinusAndSingleWheelNotchesWalkTheLadders) {
  Send(WM_KEYDOWN, VK_ADD);
  EXPECT_EQ(speed, 2.6);
  Send(WM_KEYDOWN, VK_OEM_PLUS);
  EXPECT_EQ(speed, 2.6 + 0.1);
  Send(WM_MOUSEWHEEL, 0x00780000);
  EXPECT_EQ(speed, 2.6 + 0.1 + 0.1);
  Send(WM_KEYDOWN, VK_SUBTRACT);
  Send(WM_KEYDOWN, VK_OEM_MINUS);
  Send(WM_MOUSEWHEEL, 0xFF880000u);
  EXPECT_EQ(speed, 2.6 + 0.1 + 0.1 - 0.25 - 0.25 - 0.25);
}

TEST_F(Handler, WheelWithModifiersOrSeveralNotchesChangesNothing) {
  for (WPARAM c :
       {WPARAM{0x00780008}, WPARAM{0x00F00000}, WPARAM{0xFF880001u}, WPARAM{0xFF100000u}}) {
    Send(WM_MOUSEWHEEL, c);
    EXPECT_EQ(speed, 2.5) << std::hex << c;
  }
}

TEST_F(Handler, LeftButtonResetsAllSlotsOnlyWhileRunning) {
  pauseSign = -1;
  uint32_t before = RandomState;
  Send(WM_LBUTTONDOWN, MK_LBUTTON);
  EXPECT_EQ(RandomState, before);
  EXPECT_EQ(curves.smallRadius[10], 0.0);
  pauseSign = 1;
  Send(WM_LBUTTONDOWN, MK_LBUTTON);
  EXPECT_EQ(DrawsSince(before), 11 * 7);
  EXPECT_GE(curves.smallRadius[10], 0.2);
}

TEST_F(Handler, SpaceResetsAllSlotsEvenWhilePaused) {
  pauseSign = -1;
  const uint32_t before = RandomState;
  Send(WM_KEYDOWN, VK_SPACE);
  EXPECT_EQ(DrawsSince(before), 11 * 7);
  EXPECT_EQ(pauseSign, -1);
}

TEST_F(Handler, TimersWhilePausedNeitherReseedNorDraw) {
  pauseSign = -1;
  const uint32_t before = RandomState;
  Send(WM_TIMER, RESEED_TIMER);
  Send(WM_TIMER, DRAW_TIMER);
  EXPECT_EQ(RandomState, before);
  EXPECT_EQ(currentSlot, 0);
}

TEST_F(Handler, TimersWhileRunningReseedAndDraw) {
  const uint32_t before = RandomState;
  Send(WM_TIMER, RESEED_TIMER);
  EXPECT_EQ(DrawsSince(before), 1 + 4 * 6);
  Send(WM_TIMER, DRAW_TIMER);
  EXPECT_EQ(currentSlot, 1);
  EXPECT_EQ(openTimerSteps, 0);
  Send(WM_TIMER, 3);
  EXPECT_EQ(currentSlot, 1);
}

TEST_F(Handler, TimerStepIsRefusedWhileTenAreOpen) {
  openTimerSteps = MAX_OPEN_TIMER_STEPS;
  Send(WM_TIMER, DRAW_TIMER);
  EXPECT_EQ(currentSlot, 0);
  EXPECT_EQ(openTimerSteps, MAX_OPEN_TIMER_STEPS);
  openTimerSteps = MAX_OPEN_TIMER_STEPS - 1;
  Send(WM_TIMER, DRAW_TIMER);
  EXPECT_EQ(currentSlot, 1);
  EXPECT_EQ(openTimerSteps, MAX_OPEN_TIMER_STEPS - 1);
}

TEST_F(Handler, PaintRunsOneStepPerCurveSettingEvenWhilePaused) {
  pauseSign = -1;
  lastCurve = 4;
  Send(WM_PAINT, 0);
  EXPECT_EQ(currentSlot, 4);
  EXPECT_EQ(paintStep, 5);
  Send(WM_PAINT, 0);
  EXPECT_EQ(currentSlot, 3) << "slots 0, 1, 2, 3";
}

TEST_F(Handler, CloseAndEscapeOnAClosedWindowAreHarmless) {
  EXPECT_EQ(Send(EVENT_CLOSE_REQUEST, 0), 0);
  EXPECT_EQ(Send(WM_KEYDOWN, VK_ESCAPE), 0);
  EXPECT_EQ(mainWindow.hwnd, nullptr);
}

}  // namespace
