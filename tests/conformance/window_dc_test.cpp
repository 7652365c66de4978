// Window DCs from GetDC: each one starts as a new DC whatever the last one was left with, clips
// to the client area the window has now, and keeps saved levels and deleted selections apart.
#include <gtest/gtest.h>

#include "tests/conformance/conformance_support.h"

namespace conformance {
namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

class WindowDc : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRecorder();
    hwnd_ = CreateTestWindow(kFramedPopup, 40, 40, 240, 180);
    ASSERT_NE(hwnd_, nullptr);
    Settle();
  }
  void TearDown() override {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
    Settle();
  }
  // Resizes the window so that its client area is width x height.
  void SetClientSize(int width, int height) {
    RECT client{0, 0, 0, 0}, window{0, 0, 0, 0};
    ASSERT_TRUE(GetClientRect(hwnd_, &client));
    ASSERT_TRUE(GetWindowRect(hwnd_, &window));
    const int frameW = (window.right - window.left) - client.right;
    const int frameH = (window.bottom - window.top) - client.bottom;
    ASSERT_TRUE(SetWindowPos(hwnd_, nullptr, 0, 0, width + frameW, height + frameH,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
    Settle();
    ASSERT_TRUE(GetClientRect(hwnd_, &client));
    ASSERT_EQ(client.right, width);
    ASSERT_EQ(client.bottom, height);
  }
  HWND hwnd_ = nullptr;
};

TEST_F(WindowDc, EachGetDcStartsFromTheDefaultsWhateverTheLastWasLeftWith) {
  HPEN pen = CreatePen(PS_SOLID, 3, RGB(200, 10, 10));
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  LOGFONTA lf{};
  lf.lfHeight = 20;
  lf.lfWeight = FW_NORMAL;
  HFONT font = CreateFontIndirectA(&lf);
  ASSERT_NE(pen, nullptr);
  ASSERT_NE(brush, nullptr);
  ASSERT_NE(font, nullptr);
  for (int round = 0; round < 3; ++round) {
    HDC dc = GetDC(hwnd_);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetTextColor(dc), kBlack) << "round " << round;
    EXPECT_EQ(GetBkColor(dc), kWhite);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
    EXPECT_EQ(GetTextAlign(dc), static_cast<UINT>(TA_LEFT | TA_TOP | TA_NOUPDATECP));
    POINT p{-7, -7};
    ASSERT_TRUE(GetCurrentPositionEx(dc, &p));
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
    // Everything changed before the DC goes back.
    SetTextColor(dc, RGB(9, 8, 7));
    SetBkColor(dc, RGB(6, 5, 4));
    SetBkMode(dc, TRANSPARENT);
    SetROP2(dc, R2_XORPEN);
    SetTextAlign(dc, TA_UPDATECP);
    MoveToEx(dc, 33, 44, nullptr);
    SelectObject(dc, pen);
    SelectObject(dc, brush);
    SelectObject(dc, font);
    RECT narrow{5, 5, 10, 10};
    ExcludeClipRect(dc, narrow.left, narrow.top, narrow.right, narrow.bottom);
    EXPECT_EQ(ReleaseDC(hwnd_, dc), 1);
  }
  // Released, the DC no longer holds them: they go at once.
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_EQ(GetObjectType(pen), 0u);
  EXPECT_EQ(GetObjectType(brush), 0u);
  EXPECT_EQ(GetObjectType(font), 0u);
}

TEST_F(WindowDc, AClipSetOnOneDcIsGoneFromTheNext) {
  HDC dc = GetDC(hwnd_);
  ASSERT_NE(dc, nullptr);
  RECT whole{};
  ASSERT_EQ(GetClipBox(dc, &whole), SIMPLEREGION);
  ASSERT_EQ(IntersectClipRect(dc, 10, 10, 20, 20), SIMPLEREGION);
  RECT small{};
  GetClipBox(dc, &small);
  EXPECT_TRUE(SameRect(small, RECT{10, 10, 20, 20})) << ShowRect(small);
  ReleaseDC(hwnd_, dc);
  dc = GetDC(hwnd_);
  ASSERT_NE(dc, nullptr);
  RECT again{};
  EXPECT_EQ(GetClipBox(dc, &again), SIMPLEREGION);
  EXPECT_TRUE(SameRect(again, whole)) << ShowRect(again) << " vs " << ShowRect(whole);
  ReleaseDC(hwnd_, dc);
}

TEST_F(WindowDc, ADcTakenAfterAResizeClipsToTheNewClientArea) {
  SetClientSize(200, 150);
  HDC dc = GetDC(hwnd_);  // one drawn with and given back at the old size
  ASSERT_NE(dc, nullptr);
  RECT box{};
  ASSERT_NE(GetClipBox(dc, &box), ERROR);
  EXPECT_TRUE(SameRect(box, RECT{0, 0, 200, 150})) << ShowRect(box);
  SetPixelV(dc, 5, 5, RGB(1, 2, 3));
  ReleaseDC(hwnd_, dc);

  SetClientSize(260, 190);
  dc = GetDC(hwnd_);
  ASSERT_NE(dc, nullptr);
  ASSERT_NE(GetClipBox(dc, &box), ERROR);
  EXPECT_TRUE(SameRect(box, RECT{0, 0, 260, 190})) << "grown: " << ShowRect(box);
  ReleaseDC(hwnd_, dc);

  SetClientSize(120, 90);
  dc = GetDC(hwnd_);
  ASSERT_NE(dc, nullptr);
  ASSERT_NE(GetClipBox(dc, &box), ERROR);
  EXPECT_TRUE(SameRect(box, RECT{0, 0, 120, 90})) << "shrunk: " << ShowRect(box);
  ReleaseDC(hwnd_, dc);
}

TEST_F(WindowDc, ADcHeldAcrossAResizeFollowsTheClientArea) {
  SetClientSize(200, 150);
  HDC dc = GetDC(hwnd_);
  ASSERT_NE(dc, nullptr);
  SetClientSize(150, 100);
  RECT box{};
  ASSERT_NE(GetClipBox(dc, &box), ERROR);
  EXPECT_TRUE(SameRect(box, RECT{0, 0, 150, 100})) << ShowRect(box);
  ReleaseDC(hwnd_, dc);
}

TEST_F(WindowDc, SavedLevelsCountWithinOneDcAndEndWithIt) {
  HDC dc = GetDC(hwnd_);
  ASSERT_NE(dc, nullptr);
  SetTextColor(dc, RGB(1, 0, 0));
  EXPECT_EQ(SaveDC(dc), 1);
  SetTextColor(dc, RGB(2, 0, 0));
  EXPECT_EQ(SaveDC(dc), 2);
  SetTextColor(dc, RGB(3, 0, 0));
  EXPECT_EQ(SaveDC(dc), 3);
  SetTextColor(dc, RGB(4, 0, 0));
  EXPECT_FALSE(RestoreDC(dc, 4));
  EXPECT_FALSE(RestoreDC(dc, -4));
  EXPECT_TRUE(RestoreDC(dc, 2));  // drops levels 3 and 2, back to the state saved at 2
  EXPECT_EQ(GetTextColor(dc), RGB(2, 0, 0));
  EXPECT_EQ(SaveDC(dc), 2) << "level 1 is left";
  SetTextColor(dc, RGB(5, 0, 0));
  EXPECT_TRUE(RestoreDC(dc, -1));
  EXPECT_EQ(GetTextColor(dc), RGB(2, 0, 0));
  ReleaseDC(hwnd_, dc);  // with level 1 still saved

  dc = GetDC(hwnd_);
  ASSERT_NE(dc, nullptr);
  EXPECT_FALSE(RestoreDC(dc, -1)) << "a new DC has nothing saved";
  EXPECT_EQ(GetTextColor(dc), kBlack);
  EXPECT_EQ(SaveDC(dc), 1);
  ReleaseDC(hwnd_, dc);
}

TEST_F(WindowDc, ASelectedPenDeletedStaysUntilItsDcLetsGo) {
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 120, 0));
  ASSERT_NE(pen, nullptr);
  HDC dc = GetDC(hwnd_);
  ASSERT_NE(dc, nullptr);
  SelectObject(dc, pen);
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), static_cast<HGDIOBJ>(pen));
  EXPECT_EQ(GetObjectType(pen), static_cast<DWORD>(OBJ_PEN)) << "still selected";
  ReleaseDC(hwnd_, dc);
  EXPECT_EQ(GetObjectType(pen), 0u) << "gone with the release";
}

TEST_F(WindowDc, AFontDeletedWhileASavedStateNamesItIsGoneAfterTheRelease) {
  LOGFONTA lf{};
  lf.lfHeight = 18;
  HFONT font = CreateFontIndirectA(&lf);
  ASSERT_NE(font, nullptr);
  HDC dc = GetDC(hwnd_);
  ASSERT_NE(dc, nullptr);
  SelectObject(dc, font);
  ASSERT_EQ(SaveDC(dc), 1);
  SelectObject(dc, GetStockObject(SYSTEM_FONT));
  EXPECT_TRUE(DeleteObject(font));
  // Whether the saved state brings the font back differs between implementations; that the
  // restore works and the font ends with the DC does not.
  EXPECT_TRUE(RestoreDC(dc, -1));
  EXPECT_FALSE(RestoreDC(dc, -1));
  ReleaseDC(hwnd_, dc);
  EXPECT_EQ(GetObjectType(font), 0u);
  dc = GetDC(hwnd_);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
  ReleaseDC(hwnd_, dc);
}

TEST_F(WindowDc, TwoDcsOfOneWindowAtOnceKeepTheirOwnState) {
  HDC a = GetDC(hwnd_);
  HDC b = GetDC(hwnd_);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  ASSERT_NE(a, b);
  SetTextColor(a, RGB(10, 0, 0));
  SetTextColor(b, RGB(0, 20, 0));
  EXPECT_EQ(GetTextColor(a), RGB(10, 0, 0));
  EXPECT_EQ(GetTextColor(b), RGB(0, 20, 0));
  ReleaseDC(hwnd_, a);
  EXPECT_EQ(GetTextColor(b), RGB(0, 20, 0));
  ReleaseDC(hwnd_, b);
}

TEST_F(WindowDc, ADestroyedWindowGivesNoDc) {
  HDC dc = GetDC(hwnd_);
  ASSERT_NE(dc, nullptr);
  ReleaseDC(hwnd_, dc);  // kept for reuse, on our side
  HWND gone = hwnd_;
  ASSERT_TRUE(DestroyWindow(gone));
  Settle();
  EXPECT_EQ(GetDC(gone), nullptr);
}

}  // namespace
}  // namespace conformance
