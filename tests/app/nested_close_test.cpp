// A window closed by an event handled inside a drawing step's pump: the outer step finishes
// without drawing, gives back its semaphore unit and leaves nothing on the heap.
#include <gtest/gtest.h>

#include "app/curves.h"
#include "app_state_reset.h"
#include "app/handler.h"
#include "app/startup.h"
#include "app/state.h"
#include "runtime/core/heap.h"
#include "runtime/core/numeric.h"
#include "runtime/window/pump.h"
#include "runtime/window/timers.h"
#include "runtime/window/window_open.h"
#include "runtime/window/event_dispatch.h"
#if !defined(SPIRALS_SYSTEM_WIN32)
#include "platform/portable/diagnostics.h"
#endif

namespace {

int SemaphoreUnits() {
  int units = 0;
  while (units < 20 && WaitForSingleObject(drawSemaphore, 0) == WAIT_OBJECT_0) ++units;
  if (units > 0) ReleaseSemaphore(drawSemaphore, units, nullptr);
  return units;
}

TEST(NestedClose, OuterStepFinishesHarmlesslyAndReleasesItsUnit) {
  ResetAppState();
  RandomSeed(2024);
  ASSERT_EQ(WindowOpen(&mainWindow, 0, 0, 640, 480, MAIN_WINDOW_FLAGS, nullptr, "nested close",
                       handleEvent),
            1);
  ASSERT_NE(mainWindow.hwnd, nullptr);
  EXPECT_GT(clientWidth, 0) << "the size event during creation set the client size";
  // Real timers on a slow display would keep the drain busy; this test needs none.
  TimerStop(&mainWindow, RESEED_TIMER);
  TimerStop(&mainWindow, DRAW_TIMER);
  PumpMessages(PUMP_DRAIN);  // the first paint and whatever else is pending
  ASSERT_EQ(SemaphoreUnits(), 10);

  // As a timer-driven step would, hold one unit; the ESC waits in the queue for the step's pump.
  ASSERT_EQ(WaitForSingleObject(drawSemaphore, 0), static_cast<DWORD>(WAIT_OBJECT_0));
  ASSERT_TRUE(PostMessageA(mainWindow.hwnd, WM_KEYDOWN, VK_ESCAPE, 0));
#if !defined(SPIRALS_SYSTEM_WIN32)
  const portable::HeapUsage before = portable::QueryHeapUsage(RuntimeHeap);
#endif
  const int32_t expectedSlot = currentSlot < lastCurve ? currentSlot + 1 : 0;
  const double angleBefore = curves.angle[expectedSlot];
  drawStep();
  EXPECT_EQ(mainWindow.hwnd, nullptr) << "ESC closed the window inside the step";
  EXPECT_EQ(currentSlot, expectedSlot);
  EXPECT_NE(curves.angle[expectedSlot], angleBefore) << "the outer step still ran its points";
  EXPECT_EQ(SemaphoreUnits(), 10) << "and gave its unit back";
#if !defined(SPIRALS_SYSTEM_WIN32)
  const portable::HeapUsage after = portable::QueryHeapUsage(RuntimeHeap);
  EXPECT_EQ(after.blocks, before.blocks);
  EXPECT_EQ(portable::LiveWindows(), 0u);
#endif
  // Further steps and events on the closed window do nothing harmful.
  drawStep();
  CurrentEvent = CurrentEventVars{};
  CurrentEvent.eventId = WM_KEYDOWN;
  CurrentEvent.param1 = VK_SPACE;
  EXPECT_EQ(handleEvent(), 0);
}

}  // namespace
