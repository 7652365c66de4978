// Update boxes, erasing and the rectangle helpers they rest on.
#include "user_test_support.h"

namespace user_test {
namespace {

class UserPaint : public UserTest {};

TEST_F(UserPaint, UpdateBoxGrowsShrinksByBandsAndClipsToTheClient) {
  HWND hwnd = Top(WS_POPUP | WS_VISIBLE, 0, 0, 100, 80);
  Drain();
  RECT a{10, 10, 20, 20}, b{50, 5, 60, 15}, r;
  InvalidateRect(hwnd, &a, FALSE);
  InvalidateRect(hwnd, &b, FALSE);
  ASSERT_TRUE(GetUpdateRect(hwnd, &r, FALSE));
  RECT box{10, 5, 60, 20};
  EXPECT_TRUE(EqualRect(&r, &box));
  RECT topBand{0, 0, 100, 10};
  ValidateRect(hwnd, &topBand);  // a full-width band off the top leaves a rectangle
  ASSERT_TRUE(GetUpdateRect(hwnd, &r, FALSE));
  RECT shrunk{10, 10, 60, 20};
  EXPECT_TRUE(EqualRect(&r, &shrunk));
  RECT middle{30, 12, 40, 14};
  ValidateRect(hwnd, &middle);  // a hole cannot be kept in a box: the box stays
  ASSERT_TRUE(GetUpdateRect(hwnd, &r, FALSE));
  EXPECT_TRUE(EqualRect(&r, &shrunk));
  RECT all{-5, -5, 500, 500};
  ValidateRect(hwnd, &all);
  EXPECT_FALSE(GetUpdateRect(hwnd, &r, FALSE));
  EXPECT_TRUE(IsRectEmpty(&r));
  RECT outside{-50, -50, -10, -10};
  InvalidateRect(hwnd, &outside, TRUE);
  EXPECT_FALSE(GetUpdateRect(hwnd, &r, FALSE));
  RECT partly{90, 70, 200, 200};
  InvalidateRect(hwnd, &partly, TRUE);
  ASSERT_TRUE(GetUpdateRect(hwnd, &r, FALSE));
  RECT clipped{90, 70, 100, 80};
  EXPECT_TRUE(EqualRect(&r, &clipped));
}

TEST_F(UserPaint, HiddenWindowsCollectNoUpdate) {
  HWND hwnd = Top(WS_POPUP, 0, 0, 100, 80);
  InvalidateRect(hwnd, nullptr, TRUE);
  RECT r;
  EXPECT_FALSE(GetUpdateRect(hwnd, &r, FALSE));
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));
}

TEST_F(UserPaint, EraseIsSentOnceAndDeclinedEraseShowsInBeginPaint) {
  HWND hwnd = Top(WS_POPUP | WS_VISIBLE, 0, 0, 100, 80);
  Drain();
  bool decline = true;
  Hook() = [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT* r) {
    if (msg != WM_ERASEBKGND || !decline) return false;
    *r = 0;
    return true;
  };
  InvalidateRect(hwnd, nullptr, TRUE);
  Log().clear();
  RECT r;
  EXPECT_TRUE(GetUpdateRect(hwnd, &r, TRUE));
  EXPECT_TRUE(GetUpdateRect(hwnd, &r, TRUE));
  EXPECT_EQ(Messages(hwnd, {WM_ERASEBKGND}).size(), 1u);
  PAINTSTRUCT ps;
  BeginPaint(hwnd, &ps);
  EndPaint(hwnd, &ps);
  EXPECT_TRUE(ps.fErase);  // erased early, but the procedure said it did not
  EXPECT_EQ(Messages(hwnd, {WM_ERASEBKGND}).size(), 1u);
  decline = false;
  InvalidateRect(hwnd, nullptr, TRUE);
  Log().clear();
  BeginPaint(hwnd, &ps);
  EndPaint(hwnd, &ps);
  EXPECT_FALSE(ps.fErase);
  EXPECT_EQ(Messages(hwnd, {WM_ERASEBKGND}).size(), 1u);
  // Without erasing asked, BeginPaint sends none.
  InvalidateRect(hwnd, nullptr, FALSE);
  Log().clear();
  BeginPaint(hwnd, &ps);
  EndPaint(hwnd, &ps);
  EXPECT_TRUE(Messages(hwnd, {WM_ERASEBKGND}).empty());
  RECT whole{0, 0, 100, 80};
  EXPECT_TRUE(EqualRect(&ps.rcPaint, &whole));
}

TEST_F(UserPaint, UpdateWindowPaintsAtOnceOnlyWhenNeeded) {
  HWND hwnd = Top(WS_POPUP | WS_VISIBLE, 0, 0, 100, 80);
  Drain();
  Log().clear();
  UpdateWindow(hwnd);
  EXPECT_TRUE(Messages(hwnd, {WM_PAINT}).empty());
  InvalidateRect(hwnd, nullptr, FALSE);
  UpdateWindow(hwnd);
  EXPECT_EQ(Messages(hwnd, {WM_PAINT}).size(), 1u);
  RECT r;
  EXPECT_FALSE(GetUpdateRect(hwnd, &r, FALSE));  // the default procedure painted and validated
}

TEST_F(UserPaint, MovingAChildRepaintsItAndTheUncoveredParent) {
  HWND top = Top(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 200, 100);
  HWND child = Child(top, 1, 10, 10, 30, 20);
  Drain();
  MoveWindow(child, 50, 40, 30, 20, TRUE);
  RECT r;
  ASSERT_TRUE(GetUpdateRect(child, &r, FALSE));
  RECT whole{0, 0, 30, 20};
  EXPECT_TRUE(EqualRect(&r, &whole));
  ASSERT_TRUE(GetUpdateRect(top, &r, FALSE));
  RECT uncovered{10, 10, 40, 30};
  EXPECT_TRUE(EqualRect(&r, &uncovered));
  Drain();
  MoveWindow(child, 0, 0, 30, 20, FALSE);  // no redraw asked
  EXPECT_FALSE(GetUpdateRect(child, &r, FALSE));
  EXPECT_FALSE(GetUpdateRect(top, &r, FALSE));
}

TEST(UserRects, HelpersHandleEmptyAndExtremeRectangles) {
  RECT a{0, 0, 10, 10}, b{10, 0, 20, 10}, out{1, 2, 3, 4};
  EXPECT_FALSE(IntersectRect(&out, &a, &b));  // touching edges do not overlap
  EXPECT_TRUE(IsRectEmpty(&out));
  EXPECT_EQ(out.left, 0);
  RECT empty{5, 5, 5, 50};
  EXPECT_TRUE(UnionRect(&out, &a, &empty));
  EXPECT_TRUE(EqualRect(&out, &a));
  EXPECT_FALSE(UnionRect(&out, &empty, &empty));
  EXPECT_TRUE(UnionRect(&out, &a, &b));
  RECT both{0, 0, 20, 10};
  EXPECT_TRUE(EqualRect(&out, &both));
  EXPECT_TRUE(PtInRect(&a, POINT{0, 0}));
  EXPECT_FALSE(PtInRect(&a, POINT{10, 5}));
  EXPECT_FALSE(PtInRect(&empty, POINT{5, 5}));
  RECT far{0x7FFFFFF0, 0, 0x7FFFFFFF, 1};
  EXPECT_TRUE(OffsetRect(&far, 0x20, 0));  // wraps instead of overflowing
  EXPECT_EQ(far.left, static_cast<LONG>(0x80000010u));
  EXPECT_FALSE(SetRect(nullptr, 0, 0, 1, 1));
  EXPECT_FALSE(IntersectRect(&out, nullptr, &a));
  EXPECT_TRUE(IsRectEmpty(nullptr));
}

}  // namespace
}  // namespace user_test
