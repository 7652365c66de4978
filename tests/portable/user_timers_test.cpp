// Timers on the virtual clock: waiting, lateness, phase, replacement, limits.
#include "user_test_support.h"

namespace user_test {
namespace {

class UserTimers : public UserTest {
 protected:
  // Timer ids delivered by repeatedly waiting and retrieving, until the clock passes `until`.
  std::vector<std::pair<uint64_t, UINT_PTR>> Run(uint64_t until) {
    std::vector<std::pair<uint64_t, UINT_PTR>> ticks;
    MSG msg;
    while (host.clock.NowMs() <= until) {
      WaitMessage();
      if (host.clock.NowMs() > until) break;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_TIMER) ticks.emplace_back(host.clock.NowMs(), msg.wParam);
        if (msg.message == WM_PAINT) ValidateRect(msg.hwnd, nullptr);
      }
    }
    return ticks;
  }
};

TEST_F(UserTimers, WaitMessageMovesTheClockToTheNextTimer) {
  HWND hwnd = Top();
  Drain();
  uint64_t start = host.clock.NowMs();
  SetTimer(hwnd, 1, 30, nullptr);
  SetTimer(hwnd, 2, 20, nullptr);
  host.waits.clear();
  WaitMessage();
  ASSERT_EQ(host.waits.size(), 1u);
  EXPECT_EQ(host.waits[0], static_cast<int64_t>(start + 20));
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 2u);
  // Something retrievable: WaitMessage returns without waiting.
  PostMessageA(hwnd, WM_USER, 0, 0);
  WaitMessage();
  EXPECT_EQ(host.waits.size(), 1u);
  Drain();
  // No timers at all: the host is asked to wait without a deadline.
  KillTimer(hwnd, 1);
  KillTimer(hwnd, 2);
  WaitMessage();
  ASSERT_EQ(host.waits.size(), 2u);
  EXPECT_EQ(host.waits[1], -1);
}

TEST_F(UserTimers, AnUnreachablePaintDoesNotKeepWaitMessageAwake) {
  HWND top = Top(WS_POPUP | WS_VISIBLE | WS_CAPTION, 0, 0, 200, 100);
  HWND child = Child(top, 1, 0, 0, 20, 20);
  Drain();
  InvalidateRect(child, nullptr, FALSE);
  ShowWindow(top, SW_MINIMIZE);
  Drain();
  host.waits.clear();
  WaitMessage();
  EXPECT_EQ(host.waits.size(), 1u);
  ShowWindow(top, SW_RESTORE);
  MSG msg;
  EXPECT_TRUE(PeekMessageA(&msg, child, WM_PAINT, WM_PAINT, PM_NOREMOVE));
}

TEST_F(UserTimers, TicksFollowThePeriod) {
  HWND hwnd = Top();
  Drain();
  uint64_t start = host.clock.NowMs();
  SetTimer(hwnd, 9, 25, nullptr);
  auto ticks = Run(start + 100);
  std::vector<std::pair<uint64_t, UINT_PTR>> expected{
      {start + 25, 9}, {start + 50, 9}, {start + 75, 9}, {start + 100, 9}};
  EXPECT_EQ(ticks, expected);
  KillTimer(hwnd, 9);
}

TEST_F(UserTimers, ALateTimerTicksOnceAndKeepsItsPhase) {
  HWND hwnd = Top();
  Drain();
  uint64_t start = host.clock.NowMs();
  SetTimer(hwnd, 1, 100, nullptr);
  host.clock.AdvanceTo(start + 350);  // three and a half periods late
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  host.clock.AdvanceTo(start + 399);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  host.clock.AdvanceTo(start + 400);
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  KillTimer(hwnd, 1);
}

TEST_F(UserTimers, LookingWithoutRemovingLeavesTheScheduleAlone) {
  HWND hwnd = Top();
  Drain();
  SetTimer(hwnd, 1, 10, nullptr);
  host.clock.AdvanceTo(host.clock.NowMs() + 10);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  KillTimer(hwnd, 1);
}

TEST_F(UserTimers, ShortPeriodsAreRaisedAndASecondSetReplaces) {
  HWND hwnd = Top();
  Drain();
  uint64_t start = host.clock.NowMs();
  EXPECT_EQ(SetTimer(hwnd, 5, 1, nullptr), 5u);
  auto ticks = Run(start + 20);
  ASSERT_EQ(ticks.size(), 2u);
  EXPECT_EQ(ticks[0].first, start + 10);
  // Replacing restarts the schedule from now with the new period; still one timer.
  uint64_t now = host.clock.NowMs();
  size_t live = portable::LiveTimers();
  EXPECT_EQ(SetTimer(hwnd, 5, 40, nullptr), 5u);
  EXPECT_EQ(portable::LiveTimers(), live);
  ticks = Run(now + 80);
  ASSERT_EQ(ticks.size(), 2u);
  EXPECT_EQ(ticks[0].first, now + 40);
  EXPECT_EQ(ticks[1].first, now + 80);
  EXPECT_TRUE(KillTimer(hwnd, 5));
  EXPECT_FALSE(KillTimer(hwnd, 5));
  EXPECT_FALSE(KillTimer(hwnd, 77));
}

TEST_F(UserTimers, HugePeriodsAreClamped) {
  HWND hwnd = Top();
  Drain();
  uint64_t start = host.clock.NowMs();
  SetTimer(hwnd, 1, 0xFFFFFFFFu, nullptr);
  host.waits.clear();
  WaitMessage();
  ASSERT_EQ(host.waits.size(), 1u);
  EXPECT_EQ(host.waits[0], static_cast<int64_t>(start + 0x7FFFFFFF));
  KillTimer(hwnd, 1);
}

TEST_F(UserTimers, ThreadTimersGetTheirOwnIds) {
  UINT_PTR a = SetTimer(nullptr, 0, 10, nullptr);
  UINT_PTR b = SetTimer(nullptr, 0, 10, nullptr);
  EXPECT_NE(a, 0u);
  EXPECT_NE(b, 0u);
  EXPECT_NE(a, b);
  // Naming a running thread timer replaces it.
  EXPECT_EQ(SetTimer(nullptr, a, 30, nullptr), a);
  host.clock.AdvanceTo(host.clock.NowMs() + 10);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, nullptr);
  EXPECT_EQ(msg.wParam, b);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_TRUE(KillTimer(nullptr, a));
  EXPECT_TRUE(KillTimer(nullptr, b));
}

TEST_F(UserTimers, DestroyingTheWindowStopsItsTimers) {
  HWND hwnd = Top();
  HWND child = Child(hwnd, 1, 0, 0, 5, 5);
  size_t live = portable::LiveTimers();
  SetTimer(hwnd, 1, 10, nullptr);
  SetTimer(child, 1, 10, nullptr);
  EXPECT_EQ(portable::LiveTimers(), live + 2);
  DestroyWindow(hwnd);
  EXPECT_EQ(portable::LiveTimers(), live);
}

}  // namespace
}  // namespace user_test
