// Window timers: one WM_TIMER however late, re-arming a running id, the minimum period,
// KillTimer, and timers dying with their window. Sleep lets real time pass on Windows and moves
// the virtual clock of our layer, so the same waits make a timer due on both.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/conformance/conformance_support.h"

namespace conformance {
namespace {

class Timers : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRecorder();
    hwnd_ = CreateTestWindow(kFramedPopup);
    ASSERT_NE(hwnd_, nullptr);
    Settle();
    ResetRecorder();
  }
  void TearDown() override {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
    Settle();
  }
  // Removes the WM_TIMER messages waiting now and returns their timer ids.
  std::vector<WPARAM> TakeTimers() {
    std::vector<WPARAM> ids;
    MSG msg;
    for (int i = 0; i < 100 && PeekMessageA(&msg, hwnd_, WM_TIMER, WM_TIMER, PM_REMOVE); ++i) {
      ids.push_back(msg.wParam);
    }
    return ids;
  }
  HWND hwnd_ = nullptr;
};

TEST_F(Timers, SetTimerReturnsTheIdForAWindowTimer) {
  EXPECT_EQ(SetTimer(hwnd_, 42, 100, nullptr), 42u);
  EXPECT_TRUE(KillTimer(hwnd_, 42));
  EXPECT_FALSE(KillTimer(hwnd_, 42));  // already gone
}

TEST_F(Timers, NotDueBeforeItsPeriod) {
  ASSERT_NE(SetTimer(hwnd_, 1, 1000, nullptr), 0u);
  Sleep(100);
  EXPECT_TRUE(TakeTimers().empty());
  KillTimer(hwnd_, 1);
}

TEST_F(Timers, ALateTimerGivesOneMessage) {
  ASSERT_NE(SetTimer(hwnd_, 3, 10, nullptr), 0u);
  Sleep(200);  // twenty periods pass unserved
  EXPECT_EQ(TakeTimers(), std::vector<WPARAM>{3});
  KillTimer(hwnd_, 3);
}

TEST_F(Timers, TwoDueTimersGiveOneMessageEach) {
  ASSERT_NE(SetTimer(hwnd_, 1, 20, nullptr), 0u);
  ASSERT_NE(SetTimer(hwnd_, 2, 30, nullptr), 0u);
  Sleep(150);
  std::vector<WPARAM> ids = TakeTimers();
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(ids, (std::vector<WPARAM>{1, 2}));
  KillTimer(hwnd_, 1);
  KillTimer(hwnd_, 2);
}

TEST_F(Timers, TimerMessageCarriesIdAndWindow) {
  ASSERT_NE(SetTimer(hwnd_, 9, 10, nullptr), 0u);
  Sleep(50);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, hwnd_, WM_TIMER, WM_TIMER, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, hwnd_);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
  EXPECT_EQ(msg.wParam, 9u);
  EXPECT_EQ(msg.lParam, 0);  // no callback
  kit::Dispatch(msg);
  const std::vector<kit::Entry> trace = Filtered(hwnd_);
  EXPECT_EQ(CountMessage(trace, WM_TIMER), 1);
  for (const kit::Entry& e : trace) {
    if (e.message == WM_TIMER) {
      EXPECT_EQ(e.flags, static_cast<unsigned>(kPosted)) << Describe(trace);
    }
  }
  KillTimer(hwnd_, 9);
}

TEST_F(Timers, SetTimerWithARunningIdReplacesIt) {
  // A long period replaced by a short one: the short one fires.
  ASSERT_NE(SetTimer(hwnd_, 7, 60000, nullptr), 0u);
  ASSERT_NE(SetTimer(hwnd_, 7, 20, nullptr), 0u);
  Sleep(120);
  EXPECT_EQ(TakeTimers(), std::vector<WPARAM>{7});
  KillTimer(hwnd_, 7);
  // One KillTimer removes it: there was only one timer with that id.
  EXPECT_FALSE(KillTimer(hwnd_, 7));
}

TEST_F(Timers, ReArmingRestartsThePeriod) {
  ASSERT_NE(SetTimer(hwnd_, 5, 500, nullptr), 0u);
  Sleep(300);
  ASSERT_NE(SetTimer(hwnd_, 5, 500, nullptr), 0u);  // due again 500 ms from now
  Sleep(250);  // 550 ms after the first arming, 250 ms after the second
  EXPECT_TRUE(TakeTimers().empty());
  Sleep(400);
  EXPECT_EQ(TakeTimers(), std::vector<WPARAM>{5});
  KillTimer(hwnd_, 5);
}

TEST_F(Timers, KillTimerRemovesADueTimer) {
  ASSERT_NE(SetTimer(hwnd_, 4, 10, nullptr), 0u);
  Sleep(50);
  EXPECT_TRUE(KillTimer(hwnd_, 4));
  EXPECT_TRUE(TakeTimers().empty());
}

TEST_F(Timers, PeriodsBelowTheMinimumAreRaised) {
  // A 1 ms period runs at 10 ms at least: over 300 ms of waiting, no more than about 30
  // messages. A real machine may deliver fewer (coarser ticks), never more.
  ASSERT_NE(SetTimer(hwnd_, 6, 1, nullptr), 0u);
  const DWORD start = GetTickCount();
  int ticks = 0;
  MSG msg;
  while (GetTickCount() - start < 300) {
    if (PeekMessageA(&msg, hwnd_, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_TIMER && msg.wParam == 6) ++ticks;
      kit::Dispatch(msg);
    } else {
      WaitMessage();
    }
  }
  KillTimer(hwnd_, 6);
  EXPECT_GE(ticks, 5);
  EXPECT_LE(ticks, 32);
}

TEST_F(Timers, ZeroPeriodIsRaisedToo) {
  ASSERT_NE(SetTimer(hwnd_, 8, 0, nullptr), 0u);
  const DWORD start = GetTickCount();
  int ticks = 0;
  MSG msg;
  while (GetTickCount() - start < 200) {
    if (PeekMessageA(&msg, hwnd_, WM_TIMER, WM_TIMER, PM_REMOVE)) {
      ++ticks;
    } else {
      WaitMessage();
    }
  }
  KillTimer(hwnd_, 8);
  EXPECT_GE(ticks, 3);
  EXPECT_LE(ticks, 22);
}

TEST_F(Timers, TimersDieWithTheirWindow) {
  ASSERT_NE(SetTimer(hwnd_, 2, 10, nullptr), 0u);
  Sleep(50);
  ASSERT_TRUE(DestroyWindow(hwnd_));
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
  EXPECT_FALSE(KillTimer(hwnd_, 2));
}

TEST_F(Timers, SetTimerOnADestroyedWindowFails) {
  ASSERT_TRUE(DestroyWindow(hwnd_));
  EXPECT_EQ(SetTimer(hwnd_, 1, 100, nullptr), 0u);
}

}  // namespace
}  // namespace conformance
