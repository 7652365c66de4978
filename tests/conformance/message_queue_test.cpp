// Message retrieval order, synchronous sends, and posting to windows that are gone.
#include <gtest/gtest.h>

#include "tests/conformance/conformance_support.h"

namespace conformance {
namespace {

class MessageQueue : public ::testing::Test {
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
  HWND hwnd_ = nullptr;
};

bool IsOrderProbe(UINT message) {
  return message == WM_USER + 1 || message == WM_USER + 2 || message == WM_KEYDOWN ||
         message == WM_KEYUP || message == WM_PAINT || message == WM_TIMER;
}

// Retrieves everything waiting and returns the messages of interest in retrieval order.
std::vector<UINT> RetrieveProbes(HWND hwnd) {
  std::vector<UINT> order;
  MSG msg;
  for (int i = 0; i < 200 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    if (msg.hwnd == hwnd && IsOrderProbe(msg.message)) order.push_back(msg.message);
    if (msg.message == WM_TIMER) KillTimer(hwnd, msg.wParam);
    kit::Dispatch(msg);
  }
  return order;
}

TEST_F(MessageQueue, PostedThenPaintThenTimer) {
  ASSERT_NE(SetTimer(hwnd_, 1, 10, nullptr), 0u);
  Sleep(40);  // the timer is due
  InvalidateRect(hwnd_, nullptr, FALSE);
  ASSERT_TRUE(PostMessageA(hwnd_, WM_USER + 1, 0, 0));
  ASSERT_TRUE(PostMessageA(hwnd_, WM_USER + 2, 0, 0));
  const std::vector<UINT> expected = {WM_USER + 1, WM_USER + 2, WM_PAINT, WM_TIMER};
  EXPECT_EQ(RetrieveProbes(hwnd_), expected);
}

TEST_F(MessageQueue, PostedBeforeInputBeforePaintBeforeTimer) {
  ASSERT_NE(SetTimer(hwnd_, 1, 10, nullptr), 0u);
  Sleep(40);
  InvalidateRect(hwnd_, nullptr, FALSE);
  ASSERT_TRUE(QueueKeyInput(hwnd_, VK_F9));
  if (!WaitForQueued(hwnd_, WM_KEYFIRST, WM_KEYLAST, 2000)) {
    if (RunningOnWine()) GTEST_SKIP() << "keyboard input did not reach the window under Wine";
    FAIL() << "the key input never arrived";
  }
  // Posted after the input, yet retrieved before it.
  ASSERT_TRUE(PostMessageA(hwnd_, WM_USER + 1, 0, 0));
  const std::vector<UINT> expected = {WM_USER + 1, WM_KEYDOWN, WM_KEYUP, WM_PAINT, WM_TIMER};
  EXPECT_EQ(RetrieveProbes(hwnd_), expected);
}

TEST_F(MessageQueue, PostedMessagesKeepTheirOrderAndParameters) {
  for (WPARAM i = 0; i < 5; ++i)
    ASSERT_TRUE(PostMessageA(hwnd_, WM_USER + 1, i, static_cast<LPARAM>(100 + i)));
  MSG msg;
  for (WPARAM i = 0; i < 5; ++i) {
    ASSERT_TRUE(PeekMessageA(&msg, hwnd_, WM_USER + 1, WM_USER + 1, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, hwnd_);
    EXPECT_EQ(msg.wParam, i);
    EXPECT_EQ(msg.lParam, static_cast<LPARAM>(100 + i));
  }
  EXPECT_FALSE(PeekMessageA(&msg, hwnd_, WM_USER + 1, WM_USER + 1, PM_REMOVE));
}

TEST_F(MessageQueue, NoRemoveLeavesTheMessageWaiting) {
  ASSERT_TRUE(PostMessageA(hwnd_, WM_USER + 2, 7, 8));
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, hwnd_, WM_USER + 2, WM_USER + 2, PM_NOREMOVE));
  EXPECT_EQ(msg.wParam, 7u);
  ASSERT_TRUE(PeekMessageA(&msg, hwnd_, WM_USER + 2, WM_USER + 2, PM_REMOVE));
  EXPECT_EQ(msg.lParam, 8);
  EXPECT_FALSE(PeekMessageA(&msg, hwnd_, WM_USER + 2, WM_USER + 2, PM_REMOVE));
}

TEST_F(MessageQueue, PostedMessageIsNotDeliveredUntilDispatched) {
  ASSERT_TRUE(PostMessageA(hwnd_, WM_USER + 1, 3, 4));
  EXPECT_EQ(CountMessage(Filtered(hwnd_), WM_USER + 1), 0);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, hwnd_, WM_USER + 1, WM_USER + 1, PM_REMOVE));
  EXPECT_EQ(CountMessage(Filtered(hwnd_), WM_USER + 1), 0);
  kit::Dispatch(msg);
  EXPECT_EQ(CountMessage(Filtered(hwnd_), WM_USER + 1), 1);
}

TEST_F(MessageQueue, SendMessageCallsTheProcedureAtOnce) {
  const LRESULT result = SendMessageA(hwnd_, WM_USER + 5, 12, 34);
  EXPECT_EQ(result, 12034);
  const std::vector<kit::Entry> trace = Filtered(hwnd_);
  ASSERT_EQ(trace.size(), 1u) << Describe(trace);
  EXPECT_EQ(trace[0].message, static_cast<UINT>(WM_USER + 5));
  EXPECT_EQ(trace[0].wParam, 12u);
  EXPECT_EQ(trace[0].lParam, 34);
  // Nothing was queued by the send.
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, hwnd_, WM_USER, WM_USER + 100, PM_REMOVE));
}

TEST_F(MessageQueue, PostToDestroyedWindowFails) {
  ASSERT_TRUE(DestroyWindow(hwnd_));
  EXPECT_FALSE(IsWindow(hwnd_));
  SetLastError(0);
  EXPECT_FALSE(PostMessageA(hwnd_, WM_USER + 1, 0, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  EXPECT_EQ(SendMessageA(hwnd_, WM_USER + 5, 1, 1), 0);
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_USER + 1, WM_USER + 1, PM_REMOVE));
}

TEST_F(MessageQueue, DestroyingAWindowDropsItsPostedMessages) {
  ASSERT_TRUE(PostMessageA(hwnd_, WM_USER + 1, 0, 0));
  ASSERT_TRUE(DestroyWindow(hwnd_));
  MSG msg;
  // Windows discards a dead window's queued messages rather than dispatching them.
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_USER + 1, WM_USER + 1, PM_REMOVE));
}

TEST_F(MessageQueue, PaintIsSynthesisedOnceForManyInvalidations) {
  InvalidateRect(hwnd_, nullptr, FALSE);
  RECT r{1, 1, 5, 5};
  InvalidateRect(hwnd_, &r, FALSE);
  InvalidateRect(hwnd_, nullptr, FALSE);
  const std::vector<UINT> order = RetrieveProbes(hwnd_);
  EXPECT_EQ(order, std::vector<UINT>{WM_PAINT});
  EXPECT_EQ(Recorder().paintCount, 1);
}

TEST_F(MessageQueue, PaintKeepsComingWhileNotValidated) {
  Recorder().behaviour.paintWithBeginPaint = false;  // DefWindowProc handles WM_PAINT
  InvalidateRect(hwnd_, nullptr, FALSE);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, hwnd_, WM_PAINT, WM_PAINT, PM_REMOVE));
  // Retrieved but not painted: still invalid, so WM_PAINT comes again.
  ASSERT_TRUE(PeekMessageA(&msg, hwnd_, WM_PAINT, WM_PAINT, PM_REMOVE));
  kit::Dispatch(msg);  // the default processing validates
  EXPECT_FALSE(PeekMessageA(&msg, hwnd_, WM_PAINT, WM_PAINT, PM_REMOVE));
}

}  // namespace
}  // namespace conformance
