// Moving and sizing windows: the messages of MoveWindow and SetWindowPos, WM_SIZE only when
// the client changes size, and the clip boxes of window and paint DCs.
#include <gtest/gtest.h>

#include "tests/conformance/conformance_support.h"

namespace conformance {
namespace {

class WindowGeometry : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRecorder();
    hwnd_ = CreateTestWindow(WS_POPUP | WS_CAPTION | WS_THICKFRAME, 30, 30, 200, 150);
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

TEST_F(WindowGeometry, ResizeSendsSizeWithTheNewClientArea) {
  ASSERT_TRUE(MoveWindow(hwnd_, 30, 30, 260, 190, FALSE));
  // A window with a sizing frame is asked for its limits when its size changes.
  const std::vector<Expected> expected = {
      {WM_WINDOWPOSCHANGING}, {WM_GETMINMAXINFO, kOptional},     {WM_NCCALCSIZE, kWParam, TRUE},
      {WM_WINDOWPOSCHANGED},  {WM_SIZE, kWParam, SIZE_RESTORED},
  };
  const std::vector<kit::Entry> trace = Filtered(hwnd_);
  const std::string mismatch = MatchSequence(trace, expected);
  EXPECT_TRUE(mismatch.empty()) << mismatch;
  RECT client;
  GetClientRect(hwnd_, &client);
  for (const kit::Entry& r : trace) {
    if (r.message != WM_SIZE) continue;
    EXPECT_EQ(LOWORD(r.lParam), client.right);
    EXPECT_EQ(HIWORD(r.lParam), client.bottom);
  }
  RECT window;
  GetWindowRect(hwnd_, &window);
  EXPECT_EQ(window.right - window.left, 260);
  EXPECT_EQ(window.bottom - window.top, 190);
}

TEST_F(WindowGeometry, MoveWithoutResizeSendsMoveOnly) {
  ASSERT_TRUE(MoveWindow(hwnd_, 70, 60, 200, 150, FALSE));
  // MoveWindow does not say the size is unchanged, so the limits may still be asked for.
  const std::vector<Expected> expected = {
      {WM_WINDOWPOSCHANGING},
      {WM_GETMINMAXINFO, kOptional},
      {WM_NCCALCSIZE, kOptional | kWParam, TRUE},
      {WM_WINDOWPOSCHANGED},
      {WM_MOVE},
  };
  const std::vector<kit::Entry> trace = Filtered(hwnd_);
  const std::string mismatch = MatchSequence(trace, expected);
  EXPECT_TRUE(mismatch.empty()) << mismatch;
  POINT origin{0, 0};
  ClientToScreen(hwnd_, &origin);
  for (const kit::Entry& r : trace) {
    if (r.message != WM_MOVE) continue;
    EXPECT_EQ(static_cast<short>(LOWORD(r.lParam)), origin.x);
    EXPECT_EQ(static_cast<short>(HIWORD(r.lParam)), origin.y);
  }
  RECT window;
  GetWindowRect(hwnd_, &window);
  EXPECT_EQ(window.left, 70);
  EXPECT_EQ(window.top, 60);
}

TEST_F(WindowGeometry, SetWindowPosToTheSamePlaceSendsNoMoveOrSize) {
  ASSERT_TRUE(SetWindowPos(hwnd_, nullptr, 30, 30, 200, 150, SWP_NOZORDER | SWP_NOACTIVATE));
  const std::vector<kit::Entry> trace = Filtered(hwnd_);
  EXPECT_EQ(CountMessage(trace, WM_SIZE), 0) << Describe(trace);
  EXPECT_EQ(CountMessage(trace, WM_MOVE), 0) << Describe(trace);
}

TEST_F(WindowGeometry, NoSizeNoMoveFlagsKeepTheRectangle) {
  ASSERT_TRUE(
      SetWindowPos(hwnd_, nullptr, 500, 500, 10, 10, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER));
  RECT window;
  GetWindowRect(hwnd_, &window);
  EXPECT_EQ(window.left, 30);
  EXPECT_EQ(window.top, 30);
  EXPECT_EQ(window.right, 230);
  EXPECT_EQ(window.bottom, 180);
  EXPECT_EQ(CountMessage(Filtered(hwnd_), WM_SIZE), 0);
}

TEST_F(WindowGeometry, ChildPositionIsRelativeToTheParentClient) {
  HWND child = CreateWindowExA(0, kTraceClass, "c", WS_CHILD | WS_VISIBLE, 7, 9, 30, 20, hwnd_,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(child, nullptr);
  RECT childRect;
  GetWindowRect(child, &childRect);
  POINT parentOrigin{0, 0};
  ClientToScreen(hwnd_, &parentOrigin);
  EXPECT_EQ(childRect.left, parentOrigin.x + 7);
  EXPECT_EQ(childRect.top, parentOrigin.y + 9);
  EXPECT_EQ(childRect.right - childRect.left, 30);
  POINT p{1, 2};
  MapWindowPoints(child, hwnd_, &p, 1);
  EXPECT_EQ(p.x, 8);
  EXPECT_EQ(p.y, 11);
}

TEST_F(WindowGeometry, VisibleWindowDcCoversTheClientArea) {
  ShowWindow(hwnd_, SW_SHOWNA);
  Settle();
  HDC dc = GetDC(hwnd_);
  ASSERT_NE(dc, nullptr);
  RECT box;
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  ReleaseDC(hwnd_, dc);
  RECT client;
  GetClientRect(hwnd_, &client);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.top, 0);
  EXPECT_EQ(box.right, client.right);
  EXPECT_EQ(box.bottom, client.bottom);
}

}  // namespace
}  // namespace conformance
