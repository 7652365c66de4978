// The message queue: retrieval order, filters, dead windows, quit, limits.
#include "user_test_support.h"

namespace user_test {
namespace {

class UserQueue : public UserTest {};

TEST_F(UserQueue, PostedThenInputThenPaintThenTimer) {
  HWND hwnd = Top();
  SetFocus(hwnd);
  Drain();
  SetTimer(hwnd, 7, 10, nullptr);
  host.clock.AdvanceTo(host.clock.NowMs() + 50);
  InvalidateRect(hwnd, nullptr, FALSE);
  portable::InjectKey('A', true);
  PostMessageA(hwnd, WM_USER + 1, 1, 2);
  PostMessageA(hwnd, WM_USER + 2, 3, 4);
  std::vector<UINT> order;
  MSG msg;
  while (order.size() < 5 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    order.push_back(msg.message);
    if (msg.message == WM_PAINT) ValidateRect(hwnd, nullptr);
  }
  EXPECT_EQ(order, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_KEYDOWN, WM_PAINT, WM_TIMER}));
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  KillTimer(hwnd, 7);
}

TEST_F(UserQueue, PaintIsSynthesisedUntilValidated) {
  HWND hwnd = Top();
  Drain();
  InvalidateRect(hwnd, nullptr, FALSE);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_PAINT);
  // Removing it validates nothing: it comes back until someone paints.
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_PAINT);
  PAINTSTRUCT ps;
  BeginPaint(hwnd, &ps);
  EndPaint(hwnd, &ps);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(UserQueue, PaintGoesParentFirstThenChildren) {
  HWND parent = Top();
  HWND child = Child(parent, 5, 10, 10, 20, 20);
  Drain();
  InvalidateRect(parent, nullptr, FALSE);  // no WS_CLIPCHILDREN: the child is invalid too
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, parent);
  ValidateRect(parent, nullptr);  // also validates the child's share of the parent's area
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  RECT r{0, 0, 5, 5};
  InvalidateRect(child, &r, FALSE);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, child);
}

TEST_F(UserQueue, WindowFilterTakesChildrenAndRangeFilterWorks) {
  HWND a = Top();
  HWND b = Top();
  HWND child = Child(a, 1, 0, 0, 10, 10);
  Drain();
  PostMessageA(b, WM_USER, 0, 0);
  PostMessageA(child, WM_USER + 5, 0, 0);
  PostMessageA(nullptr, WM_USER + 9, 0, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, a, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, child);
  EXPECT_FALSE(PeekMessageA(&msg, a, 0, 0, PM_REMOVE));
  // -1 asks for thread messages only.
  ASSERT_TRUE(PeekMessageA(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 9));
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_USER + 1, WM_USER + 8, PM_REMOVE));
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 9, WM_USER + 9, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, nullptr);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, b);
}

TEST_F(UserQueue, MessagesCarryTheTickCountAndCursor) {
  HWND hwnd = Top();
  Drain();
  host.clock.AdvanceTo(250);
  PostMessageA(hwnd, WM_USER, 0, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.time, 1250u);
  EXPECT_EQ(msg.time, GetTickCount());
}

TEST_F(UserQueue, DeadWindowsGetNothing) {
  HWND hwnd = Top();
  Drain();
  PostMessageA(hwnd, WM_USER, 0, 0);
  SetTimer(hwnd, 1, 10, nullptr);
  DestroyWindow(hwnd);
  EXPECT_FALSE(IsWindow(hwnd));
  MSG msg;
  host.clock.AdvanceTo(host.clock.NowMs() + 100);
  EXPECT_FALSE(
      PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));  // posted message and timer went with it
  SetLastError(0);
  EXPECT_FALSE(PostMessageA(hwnd, WM_USER, 0, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  Log().clear();
  EXPECT_EQ(SendMessageA(hwnd, WM_USER, 0, 0), 0);
  EXPECT_TRUE(Log().empty());
  msg = MSG{hwnd, WM_USER, 0, 0, 0, {0, 0}};
  EXPECT_EQ(DispatchMessageA(&msg), 0);
  EXPECT_TRUE(Log().empty());
  EXPECT_FALSE(SetTimer(hwnd, 1, 10, nullptr));
  EXPECT_FALSE(InvalidateRect(hwnd, nullptr, TRUE));
  EXPECT_EQ(GetDC(hwnd), nullptr);
}

TEST_F(UserQueue, QuitComesAfterPostedMessagesAndEndsGetMessage) {
  HWND hwnd = Top();
  Drain();
  PostQuitMessage(3);
  PostMessageA(hwnd, WM_USER, 0, 0);
  MSG msg;
  EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
  EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(UserQueue, GetMessageOnAnInvalidWindowFails) {
  MSG msg;
  EXPECT_EQ(GetMessageA(&msg, reinterpret_cast<HWND>(0x1234), 0, 0), -1);
}

TEST_F(UserQueue, PostingStopsAtTheQueueLimit) {
  HWND hwnd = Top();
  Drain();
  int posted = 0;
  while (posted < 20000 && PostMessageA(hwnd, WM_USER, 0, 0)) ++posted;
  EXPECT_EQ(posted, 10000);
  EXPECT_EQ(GetLastError(), 1816u);
  Drain();
  EXPECT_TRUE(PostMessageA(hwnd, WM_USER, 0, 0));
}

int forgedCalls = 0;
void CALLBACK ForgedProc(HWND, UINT, UINT_PTR, DWORD) { ++forgedCalls; }

int timerProcCalls = 0;
void CALLBACK TimerProc(HWND, UINT msg, UINT_PTR id, DWORD) {
  if (msg == WM_TIMER && id == 4) ++timerProcCalls;
}

TEST_F(UserQueue, TimerProcIsCalledOnlyWhenRegistered) {
  HWND hwnd = Top();
  Drain();
  timerProcCalls = 0;
  SetTimer(hwnd, 4, 10, TimerProc);
  host.clock.AdvanceTo(host.clock.NowMs() + 10);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
  EXPECT_EQ(msg.lParam, reinterpret_cast<LPARAM>(TimerProc));
  Log().clear();
  DispatchMessageA(&msg);
  EXPECT_EQ(timerProcCalls, 1);
  EXPECT_TRUE(Log().empty());  // the procedure, not the window, got it
  // A posted WM_TIMER naming some other routine is not a call of it.
  forgedCalls = 0;
  MSG forged{hwnd, WM_TIMER, 4, reinterpret_cast<LPARAM>(ForgedProc), 0, {0, 0}};
  DispatchMessageA(&forged);
  EXPECT_EQ(forgedCalls, 0);
  KillTimer(hwnd, 4);
  DispatchMessageA(&msg);
  EXPECT_EQ(timerProcCalls, 1);
}

TEST_F(UserQueue, ThreadMessagesAreNotDispatched) {
  Log().clear();
  MSG msg{nullptr, WM_USER, 0, 0, 0, {0, 0}};
  EXPECT_EQ(DispatchMessageA(&msg), 0);
  EXPECT_TRUE(Log().empty());
}

TEST_F(UserQueue, SendIsImmediateAndReturnsTheResult) {
  HWND hwnd = Top();
  Hook() = [](HWND, UINT msg, WPARAM w, LPARAM l, LRESULT* r) {
    if (msg != WM_USER) return false;
    *r = static_cast<LRESULT>(w + l);
    return true;
  };
  EXPECT_EQ(SendMessageA(hwnd, WM_USER, 40, 2), 42);
}

}  // namespace
}  // namespace user_test
