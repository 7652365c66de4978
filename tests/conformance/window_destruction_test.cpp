// Closing and destroying windows: WM_CLOSE's default processing, SC_CLOSE, DestroyWindow's
// messages for a window and its children, and a window destroying itself in its procedure.
#include <gtest/gtest.h>

#include "tests/conformance/conformance_support.h"

namespace conformance {
namespace {

class WindowDestruction : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTestClasses();
    Settle();
    ResetRecorder();
  }
  void TearDown() override {
    for (HWND h : windows_) {
      if (IsWindow(h)) DestroyWindow(h);
    }
    Settle();
  }
  HWND Make(DWORD style, HWND parent = nullptr, int id = 0) {
    HWND hwnd = CreateWindowExA(0, kTraceClass, "w", style, 10, 10, 200, 150, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleA(nullptr), nullptr);
    if (hwnd != nullptr) windows_.push_back(hwnd);
    return hwnd;
  }
  std::vector<HWND> windows_;
};

size_t IndexOf(const std::vector<kit::Entry>& trace, HWND hwnd, UINT message) {
  for (size_t i = 0; i < trace.size(); ++i) {
    if (trace[i].hwnd == hwnd && trace[i].message == message) return i;
  }
  return trace.size();
}

TEST_F(WindowDestruction, HiddenWindowGetsDestroyThenNcDestroy) {
  HWND hwnd = Make(WS_POPUP | WS_CAPTION);
  ASSERT_NE(hwnd, nullptr);
  ResetRecorder();
  EXPECT_TRUE(DestroyWindow(hwnd));
  const std::vector<Expected> expected = {{WM_DESTROY}, {WM_NCDESTROY}};
  const std::string mismatch = MatchSequence(Filtered(hwnd), expected);
  EXPECT_TRUE(mismatch.empty()) << mismatch;
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(DestroyWindow(hwnd));  // a second destroy fails
}

TEST_F(WindowDestruction, VisibleWindowIsHiddenThenDestroyed) {
  HWND hwnd = Make(kFramedPopup);
  ASSERT_NE(hwnd, nullptr);
  Settle();
  ResetRecorder();
  EXPECT_TRUE(DestroyWindow(hwnd));
  // Hidden without WM_SHOWWINDOW, deactivated, then destroyed; WM_NCDESTROY is the last.
  const std::vector<Expected> expected = {
      {WM_WINDOWPOSCHANGING},
      {WM_WINDOWPOSCHANGED},
      {WM_NCACTIVATE, kOptional | kWParam, FALSE},
      {WM_ACTIVATE, kOptional | kWParam, WA_INACTIVE},
      {WM_ACTIVATEAPP, kOptional | kWParam, FALSE},
      {WM_KILLFOCUS, kOptional},
      {WM_DESTROY},
      {WM_NCDESTROY},
  };
  const std::string mismatch = MatchSequence(Filtered(hwnd), expected);
  EXPECT_TRUE(mismatch.empty()) << mismatch;
  EXPECT_NE(GetActiveWindow(), hwnd);
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(WindowDestruction, ChildrenAreDestroyedWithTheirParent) {
  HWND parent = Make(WS_POPUP | WS_CAPTION);
  ASSERT_NE(parent, nullptr);
  HWND first = Make(WS_CHILD | WS_VISIBLE, parent, 1);
  HWND second = Make(WS_CHILD | WS_VISIBLE, parent, 2);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  HWND grandchild = Make(WS_CHILD | WS_VISIBLE, first, 3);
  ASSERT_NE(grandchild, nullptr);
  ResetRecorder();
  EXPECT_TRUE(DestroyWindow(parent));
  const std::vector<kit::Entry> trace = Filtered();
  const size_t parentDestroy = IndexOf(trace, parent, WM_DESTROY);
  const size_t parentNcDestroy = IndexOf(trace, parent, WM_NCDESTROY);
  ASSERT_LT(parentDestroy, trace.size()) << Describe(trace);
  ASSERT_LT(parentNcDestroy, trace.size()) << Describe(trace);
  // The parent hears WM_DESTROY first and WM_NCDESTROY last; each child in between.
  EXPECT_EQ(parentDestroy, 0u) << Describe(trace);
  EXPECT_EQ(parentNcDestroy, trace.size() - 1) << Describe(trace);
  for (HWND child : {first, second, grandchild}) {
    const size_t d = IndexOf(trace, child, WM_DESTROY);
    const size_t nd = IndexOf(trace, child, WM_NCDESTROY);
    EXPECT_LT(parentDestroy, d);
    EXPECT_LT(d, nd);
    EXPECT_LT(nd, parentNcDestroy);
    EXPECT_FALSE(IsWindow(child));
  }
  // A child's own children go before it.
  EXPECT_LT(IndexOf(trace, first, WM_DESTROY), IndexOf(trace, grandchild, WM_DESTROY));
  EXPECT_LT(IndexOf(trace, grandchild, WM_NCDESTROY), IndexOf(trace, first, WM_NCDESTROY));
  EXPECT_FALSE(IsWindow(parent));
}

TEST_F(WindowDestruction, DestroyingAChildLeavesTheParent) {
  HWND parent = Make(WS_POPUP);
  HWND child = Make(WS_CHILD, parent, 4);
  ASSERT_NE(child, nullptr);
  ResetRecorder();
  EXPECT_TRUE(DestroyWindow(child));
  EXPECT_TRUE(IsWindow(parent));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_EQ(GetTopWindow(parent), nullptr);
  const std::vector<kit::Entry> trace = Filtered(parent);
  // The parent is told, with the child's id and handle.
  ASSERT_EQ(CountMessage(trace, WM_PARENTNOTIFY), 1) << Describe(trace);
  EXPECT_EQ(LOWORD(trace[0].wParam), WM_DESTROY);
  EXPECT_EQ(HIWORD(trace[0].wParam), 4);
  EXPECT_EQ(reinterpret_cast<HWND>(trace[0].lParam), child);
}

TEST_F(WindowDestruction, CloseByDefaultDestroys) {
  HWND hwnd = Make(WS_POPUP | WS_CAPTION);
  ASSERT_NE(hwnd, nullptr);
  ResetRecorder();
  EXPECT_EQ(SendMessageA(hwnd, WM_CLOSE, 0, 0), 0);
  const std::vector<Expected> expected = {{WM_CLOSE}, {WM_DESTROY}, {WM_NCDESTROY}};
  const std::string mismatch = MatchSequence(Filtered(hwnd), expected);
  EXPECT_TRUE(mismatch.empty()) << mismatch;
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(WindowDestruction, HandledCloseKeepsTheWindow) {
  HWND hwnd = Make(WS_POPUP | WS_CAPTION);
  ASSERT_NE(hwnd, nullptr);
  ResetRecorder();
  Recorder().behaviour.swallowClose = true;
  SendMessageA(hwnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(hwnd));
  const std::vector<Expected> expected = {{WM_CLOSE}};
  const std::string mismatch = MatchSequence(Filtered(hwnd), expected);
  EXPECT_TRUE(mismatch.empty()) << mismatch;
}

TEST_F(WindowDestruction, SysCommandCloseSendsClose) {
  HWND hwnd = Make(WS_POPUP | WS_CAPTION | WS_SYSMENU);
  ASSERT_NE(hwnd, nullptr);
  ResetRecorder();
  Recorder().behaviour.swallowClose = true;
  SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  const std::vector<Expected> expected = {{WM_SYSCOMMAND, kSent | kWParam, SC_CLOSE},
                                          {WM_CLOSE, kSent | kDefWinProc}};
  const std::string mismatch = MatchSequence(Filtered(hwnd), expected);
  EXPECT_TRUE(mismatch.empty()) << mismatch;
  EXPECT_TRUE(IsWindow(hwnd));
  // Without the handler in the way the same command ends the window.
  Recorder().behaviour.swallowClose = false;
  SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(WindowDestruction, AltF4PostsSysCommandClose) {
  HWND hwnd = Make(WS_POPUP | WS_CAPTION | WS_SYSMENU);
  ASSERT_NE(hwnd, nullptr);
  Settle();
  // F4 with Alt held (context bit 29), as TranslateMessage's caller would dispatch it.
  const LPARAM altDown = static_cast<LPARAM>(0x20000000 | 0x003E0001);
  EXPECT_EQ(DefWindowProcA(hwnd, WM_SYSKEYDOWN, VK_F4, altDown), 0);
  EXPECT_TRUE(IsWindow(hwnd));  // posted, not sent
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, hwnd, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE));
  EXPECT_EQ(msg.wParam & 0xFFF0, static_cast<WPARAM>(SC_CLOSE));
  ResetRecorder();
  kit::Dispatch(msg);
  const std::vector<Expected> expected = {{WM_SYSCOMMAND, kPosted},
                                          {WM_CLOSE, kSent | kDefWinProc},
                                          {WM_DESTROY, kDefWinProc},
                                          {WM_NCDESTROY, kDefWinProc}};
  const std::string mismatch = MatchSequence(Filtered(hwnd), expected);
  EXPECT_TRUE(mismatch.empty()) << mismatch;
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(WindowDestruction, PostedCloseDestroysWhenDispatched) {
  HWND hwnd = Make(WS_POPUP | WS_CAPTION);
  ASSERT_NE(hwnd, nullptr);
  ASSERT_TRUE(PostMessageA(hwnd, WM_CLOSE, 0, 0));
  EXPECT_TRUE(IsWindow(hwnd));
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, hwnd, WM_CLOSE, WM_CLOSE, PM_REMOVE));
  kit::Dispatch(msg);
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(WindowDestruction, WindowDestroysItselfInItsProcedure) {
  HWND hwnd = Make(WS_POPUP | WS_CAPTION);
  ASSERT_NE(hwnd, nullptr);
  ResetRecorder();
  Recorder().behaviour.destroySelfOn = WM_USER + 2;
  // The send returns normally with the procedure's own result, after the destruction.
  EXPECT_EQ(SendMessageA(hwnd, WM_USER + 2, 0, 0), 77);
  EXPECT_TRUE(Recorder().destroyResult);
  EXPECT_FALSE(Recorder().destroyedWindowWasWindowAfter);
  const std::vector<Expected> expected = {{WM_USER + 2}, {WM_DESTROY}, {WM_NCDESTROY}};
  const std::string mismatch = MatchSequence(Filtered(hwnd), expected);
  EXPECT_TRUE(mismatch.empty()) << mismatch;
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(WindowDestruction, DispatchedMessageMayDestroyTheWindow) {
  HWND hwnd = Make(WS_POPUP | WS_CAPTION);
  ASSERT_NE(hwnd, nullptr);
  Recorder().behaviour.destroySelfOn = WM_USER + 2;
  ASSERT_TRUE(PostMessageA(hwnd, WM_USER + 2, 0, 0));
  ASSERT_TRUE(PostMessageA(hwnd, WM_USER + 1, 0, 0));  // queued behind, for a window then gone
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, hwnd, WM_USER + 2, WM_USER + 2, PM_REMOVE));
  kit::Dispatch(msg);
  EXPECT_FALSE(IsWindow(hwnd));
  ResetRecorder();
  // Whatever is still retrieved for the dead window never reaches its procedure.
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) kit::Dispatch(msg);
  EXPECT_EQ(CountMessage(Filtered(hwnd), WM_USER + 1), 0);
}

}  // namespace
}  // namespace conformance
