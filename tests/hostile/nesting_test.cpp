// The pump re-entered from handlers many levels deep, and windows closed from inside nested
// handlers: every level unwinds, nothing stays held, and the closed record ignores the rest.
#include <vector>

#include "hostile_support.h"
#include "runtime/graphics/draw.h"
#include "runtime/graphics/print.h"
#include "runtime/window/timers.h"
#include "runtime/window/event_dispatch.h"

namespace hostile {
namespace {

constexpr UINT kDeeper = WM_USER + 1;
constexpr int kDepth = 300;

using Reentry = HostileTest;

TEST_F(Reentry, PostedMessagesPumpedThreeHundredLevelsDeep) {
  WindowRecord* w = Open();
  int depth = 0;
  int deepest = 0;
  int handled = 0;
  OnEvent() = [&] {
    if (CurrentEvent.eventId != static_cast<int32_t>(kDeeper)) return;
    ++handled;
    ++depth;
    if (depth > deepest) deepest = depth;
    if (depth < kDepth) {
      PostMessageA(w->hwnd, kDeeper, 0, 0);
      DrawPoint(w, depth, 1, 0x00FFFFFF);
      PumpMessages(PUMP_DRAIN);
    }
    --depth;
  };
  PostMessageA(w->hwnd, kDeeper, 0, 0);
  PumpMessages(PUMP_DRAIN);
  EXPECT_EQ(deepest, kDepth);
  EXPECT_EQ(handled, kDepth);
  EXPECT_EQ(depth, 0);
  EXPECT_EQ(w->holdCount, 0);
  EXPECT_EQ(w->heldContext, nullptr);
  EXPECT_EQ(Pixel(w, kDepth - 1, 1), 0x00FFFFFFu);
}

TEST_F(Reentry, TimersWaitedForInsideTimerHandlers) {
  WindowRecord* w = Open();
  int depth = 0;
  int deepest = 0;
  OnEvent() = [&] {
    if (CurrentEvent.eventId != WM_TIMER) return;
    ++depth;
    if (depth > deepest) deepest = depth;
    // Each level waits for the next tick of the same timer: the virtual clock moves on.
    if (depth < 100) PumpMessages(PUMP_WAIT);
    --depth;
  };
  TimerStart(w, 10, 9, nullptr);
  PumpMessages(PUMP_WAIT);
  EXPECT_EQ(deepest, 100);
  EXPECT_EQ(depth, 0);
  TimerStop(w, 9);
  EXPECT_EQ(portable::LiveTimers(), before_.timers);
}

using NestedClose = HostileTest;

// Closes the window at a given depth of nested pumps; the levels above keep drawing on the
// closed record, which must do nothing.
void CloseAtDepth(WindowRecord* w, int closeDepth, std::vector<int>& unwound) {
  int depth = 0;
  OnEvent() = [&, w, closeDepth] {
    if (CurrentEvent.eventId != static_cast<int32_t>(kDeeper)) return;
    ++depth;
    const int mine = depth;
    if (mine == closeDepth) {
      EXPECT_EQ(WindowClose(w), 0);
      EXPECT_EQ(w->hwnd, nullptr);
    } else if (w->hwnd != nullptr) {
      PostMessageA(w->hwnd, kDeeper, 0, 0);
      PumpMessages(PUMP_DRAIN);
    }
    // Everything after the close acts on a closed record.
    DrawSetPenColor(w, 0x00FF00);
    DrawPoint(w, mine, mine, 0x0000FF);
    DrawRect(w, 0, 0, 10, 10, 0x00FF00, 0x00FF00);
    PrintList().Window(w).String("after close").Print();
    TimerStart(w, 10, 4, nullptr);
    unwound.push_back(mine);
    --depth;
  };
  PostMessageA(w->hwnd, kDeeper, 0, 0);
  PumpMessages(PUMP_DRAIN);
  OnEvent() = nullptr;
}

TEST_F(NestedClose, AtTheDeepestLevel) {
  WindowRecord* w = Open();
  std::vector<int> unwound;
  CloseAtDepth(w, 50, unwound);
  ASSERT_EQ(unwound.size(), 50u);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(unwound[i], 50 - i);
  EXPECT_EQ(w->hwnd, nullptr);
  EXPECT_EQ(w->holdCount, 0);
  EXPECT_EQ(w->heldContext, nullptr);
  EXPECT_EQ(portable::LiveTimers(), before_.timers);
}

TEST_F(NestedClose, AtTheFirstLevelOfABackedWindow) {
  WindowRecord* w = Open(BACKED_FLAGS);
  std::vector<int> unwound;
  CloseAtDepth(w, 1, unwound);
  ASSERT_EQ(unwound.size(), 1u);
  EXPECT_EQ(w->hwnd, nullptr);
  EXPECT_EQ(w->backingBitmap, nullptr);
}

TEST_F(NestedClose, WhileItsDestructionIsBeingHandled) {
  WindowRecord* w = Open();
  int closes = 0;
  OnEvent() = [&] {
    // A handler that closes again on every destruction message: the window goes once.
    if (CurrentEvent.eventId == WM_DESTROY || CurrentEvent.eventId == WM_NCDESTROY) {
      ++closes;
      WindowClose(w);
      DrawPoint(w, 1, 1, 0xFF);
    }
  };
  EXPECT_EQ(WindowClose(w), 0);
  EXPECT_EQ(closes, 2);
  EXPECT_EQ(w->hwnd, nullptr);
  EXPECT_EQ(portable::LiveWindows(), before_.windows);
}

TEST_F(NestedClose, FromTheEraseHandlerWithALentContext) {
  WindowRecord* w = Open();
  int erases = 0;
  OnEvent() = [&] {
    if (CurrentEvent.eventId != EVENT_ERASE_BACKGROUND) return;
    ++erases;
    DrawPoint(w, 2, 2, 0xFF);  // drawn with the lent context
    WindowClose(w);
    DrawPoint(w, 3, 3, 0xFF);  // the record is closed: nothing
  };
  InvalidateRect(w->hwnd, nullptr, TRUE);
  UpdateWindow(w->hwnd);
  Drain();
  EXPECT_EQ(erases, 1);
  EXPECT_EQ(w->hwnd, nullptr);
  EXPECT_EQ(w->lentContext, nullptr);
  EXPECT_EQ(w->heldContext, nullptr);
}

TEST_F(NestedClose, FromAPaintHandlerDrawingInsideABracket) {
  WindowRecord* w = Open();
  int paints = 0;
  OnEvent() = [&] {
    if (CurrentEvent.eventId != WM_PAINT) return;
    ++paints;
    DrawPoint(w, 2, 2, 0xFF);
    WindowClose(w);
    DrawRect(w, 0, 0, 5, 5, 0xFF, 0xFF);
  };
  InvalidateRect(w->hwnd, nullptr, TRUE);
  UpdateWindow(w->hwnd);
  Drain();
  EXPECT_EQ(paints, 1);
  EXPECT_EQ(w->hwnd, nullptr);
  EXPECT_EQ(w->holdCount, 0);
}

}  // namespace
}  // namespace hostile
