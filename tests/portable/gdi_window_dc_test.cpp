// Window DCs on the default host: pixels land in the top-level framebuffer at the client
// offset, clipped to the client area, the paint clip and (with WS_CLIPCHILDREN) the children;
// the host hears of every change and every text.
#include "gdi_test_util.h"
#include "user_test_support.h"

namespace {

using kit::kBlack;
using kit::kRed;
using kit::kWhite;

class GdiWindowDc : public user_test::UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    baseGdi = portable::QueryGdiUsage();
  }
  void TearDown() override {
    EXPECT_EQ(portable::QueryGdiUsage().Total(), baseGdi.Total());
    UserTest::TearDown();
  }

  // Framebuffer pixel of `hwnd`'s client point (x, y), as a COLORREF.
  static COLORREF Screen(HWND hwnd, int x, int y) {
    portable::WindowSurface s;
    if (!portable::QueryWindowSurface(hwnd, &s)) return CLR_INVALID;
    int fx = x + s.clientOrigin.x, fy = y + s.clientOrigin.y;
    if (fx < 0 || fy < 0 || fx >= s.framebuffer.width || fy >= s.framebuffer.height)
      return CLR_INVALID;
    uint32_t p = s.framebuffer.pixels[fy * s.framebuffer.stride + fx];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

  static void Paint(HDC dc, COLORREF colour, int l, int t, int r, int b) {
    HBRUSH brush = CreateSolidBrush(colour);
    RECT rc{l, t, r, b};
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
  }

  portable::GdiUsage baseGdi;
};

TEST_F(GdiWindowDc, DrawsIntoTheFramebufferAndTellsTheHost) {
  HWND hwnd = Top(WS_POPUP | WS_VISIBLE, 0, 0, 40, 30);
  HDC dc = GetDC(hwnd);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetObjectType(dc), (DWORD)OBJ_DC);
  EXPECT_FALSE(DeleteDC(dc));  // a window DC goes back through ReleaseDC
  Paint(dc, kWhite, 0, 0, 40, 30);
  host.changed.clear();
  EXPECT_TRUE(SetPixelV(dc, 3, 4, RGB(10, 20, 30)));
  EXPECT_EQ(Screen(hwnd, 3, 4), RGB(10, 20, 30));
  EXPECT_EQ(GetPixel(dc, 3, 4), RGB(10, 20, 30));
  ASSERT_EQ(host.changed.size(), 1u);
  EXPECT_EQ(host.changed[0].left, 3);
  EXPECT_EQ(host.changed[0].top, 4);
  EXPECT_EQ(host.changed[0].right, 4);
  EXPECT_EQ(host.changed[0].bottom, 5);
  EXPECT_EQ(host.changedTop, hwnd);
  // Outside the client area nothing is written and nobody is told.
  host.changed.clear();
  EXPECT_FALSE(SetPixelV(dc, 40, 0, kRed));
  EXPECT_FALSE(SetPixelV(dc, -1, 0, kRed));
  EXPECT_TRUE(host.changed.empty());
  RECT box;
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 40);
  EXPECT_EQ(box.bottom, 30);

  host.texts.clear();
  host.named = hwnd;
  SetTextAlign(dc, TA_UPDATECP);
  MoveToEx(dc, 5, 6, nullptr);
  TextOutA(dc, 0, 0, "Ciao", 4);
  ASSERT_EQ(host.texts.size(), 1u);
  EXPECT_EQ(host.texts[0], "text main 5x6 Ciao");
  EXPECT_EQ(ReleaseDC(hwnd, dc), 1);
  EXPECT_EQ(GetObjectType(dc), 0u);
  EXPECT_FALSE(portable::DestroyWindowDC(dc));
}

TEST_F(GdiWindowDc, ChildDrawsAtItsOffsetAndClipChildrenKeepsItOut) {
  HWND parent = Top(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 50, 40);
  HWND child = Child(parent, 1, 10, 5, 20, 10);
  HDC pdc = GetDC(parent);
  // With the child visible and WS_CLIPCHILDREN the clip has a hole.
  RECT box;
  EXPECT_EQ(GetClipBox(pdc, &box), COMPLEXREGION);
  Paint(pdc, kBlack, 0, 0, 50, 40);
  HDC cdc = GetDC(child);
  Paint(cdc, kRed, -100, -100, 100, 100);  // clipped to the child's client area
  EXPECT_EQ(Screen(parent, 10, 5), kRed);
  EXPECT_EQ(Screen(parent, 29, 14), kRed);
  EXPECT_EQ(Screen(parent, 30, 14), kBlack);
  EXPECT_EQ(Screen(parent, 9, 5), kBlack);
  EXPECT_EQ(Screen(child, 0, 0), kRed);
  Paint(pdc, kWhite, 0, 0, 50, 40);
  EXPECT_EQ(Screen(parent, 15, 8), kRed);  // the child kept its pixels
  EXPECT_EQ(Screen(parent, 0, 0), kWhite);
  ReleaseDC(child, cdc);
  ReleaseDC(parent, pdc);
  // Hidden children are not excluded.
  ShowWindow(child, SW_HIDE);
  pdc = GetDC(parent);
  EXPECT_EQ(GetClipBox(pdc, &box), SIMPLEREGION);
  Paint(pdc, kBlack, 0, 0, 50, 40);
  EXPECT_EQ(Screen(parent, 15, 8), kBlack);
  ReleaseDC(parent, pdc);
}

TEST_F(GdiWindowDc, PaintClipNarrowsTheDc) {
  HWND hwnd = Top(WS_POPUP | WS_VISIBLE, 0, 0, 30, 20);
  HDC all = GetDC(hwnd);
  Paint(all, kWhite, 0, 0, 30, 20);
  ReleaseDC(hwnd, all);
  RECT clip{5, 5, 10, 8};
  HDC dc = portable::CreateWindowDC(hwnd, &clip);
  ASSERT_NE(dc, nullptr);
  RECT box;
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 5);
  EXPECT_EQ(box.bottom, 8);
  Paint(dc, kBlack, 0, 0, 30, 20);
  EXPECT_EQ(Screen(hwnd, 5, 5), kBlack);
  EXPECT_EQ(Screen(hwnd, 9, 7), kBlack);
  EXPECT_EQ(Screen(hwnd, 10, 7), kWhite);
  EXPECT_EQ(Screen(hwnd, 4, 5), kWhite);
  EXPECT_TRUE(portable::DestroyWindowDC(dc));
  EXPECT_FALSE(portable::DestroyWindowDC(dc));
  HDC mem = CreateCompatibleDC(nullptr);
  EXPECT_FALSE(portable::DestroyWindowDC(mem));
  DeleteDC(mem);
  EXPECT_EQ(portable::CreateWindowDC(nullptr, nullptr), nullptr);
}

TEST_F(GdiWindowDc, FollowsResizesAndSurvivesTheWindow) {
  HWND hwnd = Top(WS_POPUP | WS_VISIBLE, 0, 0, 20, 20);
  HDC dc = GetDC(hwnd);
  MoveWindow(hwnd, 0, 0, 200, 150, FALSE);
  // The surface is looked up at each call: the new pixels are reachable, the old buffer is
  // never written.
  EXPECT_TRUE(SetPixelV(dc, 150, 120, kRed));  // beyond the old client area
  EXPECT_EQ(Screen(hwnd, 150, 120), kRed);
  RECT box;
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 200);
  EXPECT_EQ(box.bottom, 150);
  MoveWindow(hwnd, 0, 0, 10, 10, FALSE);
  EXPECT_FALSE(SetPixelV(dc, 15, 15, kRed));
  EXPECT_EQ(GetPixel(dc, 15, 15), CLR_INVALID);
  ReleaseDC(hwnd, dc);
  // A paint DC keeps its paint clip across a resize.
  RECT paint{0, 0, 5, 5};
  HDC pdc = portable::CreateWindowDC(hwnd, &paint);
  MoveWindow(hwnd, 0, 0, 100, 100, FALSE);
  EXPECT_FALSE(SetPixelV(pdc, 50, 50, kRed));
  EXPECT_TRUE(SetPixelV(pdc, 4, 4, kRed));
  EXPECT_TRUE(portable::DestroyWindowDC(pdc));

  HWND doomed = Top(WS_POPUP | WS_VISIBLE, 0, 0, 20, 20);
  HDC held = GetDC(doomed);
  DestroyWindow(doomed);
  EXPECT_FALSE(SetPixelV(held, 1, 1, kRed));
  EXPECT_FALSE(TextOutA(held, 0, 0, "x", 1));
  EXPECT_FALSE(PatBlt(held, 0, 0, 5, 5, BLACKNESS));
  EXPECT_EQ(GetPixel(held, 1, 1), CLR_INVALID);
  EXPECT_EQ(GetClipBox(held, &box), ERROR);
  // The DC itself is still a DC until released.
  EXPECT_TRUE(portable::DestroyWindowDC(held));
}

TEST_F(GdiWindowDc, BlitsBetweenWindowAndMemory) {
  HWND hwnd = Top(WS_POPUP | WS_VISIBLE, 0, 0, 30, 20);
  HDC dc = GetDC(hwnd);
  Paint(dc, kWhite, 0, 0, 30, 20);
  SetPixelV(dc, 2, 3, kRed);
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bmp = CreateCompatibleBitmap(dc, 10, 10);
  HGDIOBJ old = SelectObject(mem, bmp);
  EXPECT_TRUE(BitBlt(mem, 0, 0, 10, 10, dc, 0, 0, SRCCOPY));
  EXPECT_EQ(GetPixel(mem, 2, 3), kRed);
  EXPECT_EQ(GetPixel(mem, 0, 0), kWhite);
  SetPixelV(mem, 9, 9, RGB(0, 0, 255));
  host.changed.clear();
  EXPECT_TRUE(BitBlt(dc, 20, 10, 10, 10, mem, 0, 0, SRCCOPY));
  EXPECT_EQ(Screen(hwnd, 22, 13), kRed);
  EXPECT_EQ(Screen(hwnd, 29, 19), RGB(0, 0, 255));
  ASSERT_EQ(host.changed.size(), 1u);
  EXPECT_EQ(host.changed[0].left, 20);
  EXPECT_EQ(host.changed[0].right, 30);
  // A window's pixels outside its client area cannot be read: the destination keeps its own.
  PatBlt(mem, 0, 0, 10, 10, BLACKNESS);
  EXPECT_TRUE(BitBlt(mem, 0, 0, 10, 10, dc, 25, 15, SRCCOPY));
  EXPECT_EQ(GetPixel(mem, 4, 4), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(mem, 5, 5), kBlack);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(hwnd, dc);
}

TEST_F(GdiWindowDc, FillRectTakesSystemColourIndexes) {
  HWND hwnd = Top(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
  HDC dc = GetDC(hwnd);
  RECT r{0, 0, 10, 10};
  EXPECT_EQ(FillRect(dc, &r, reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_WINDOWTEXT + 1))),
            1);
  EXPECT_EQ(Screen(hwnd, 5, 5), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(FillRect(dc, &r, reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_BTNFACE + 1))),
            1);
  EXPECT_EQ(Screen(hwnd, 9, 9), GetSysColor(COLOR_BTNFACE));
  // An inverted rectangle fills nothing; a bad brush fails.
  RECT inverted{8, 8, 2, 2};
  EXPECT_EQ(FillRect(dc, &inverted, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 1);
  EXPECT_EQ(Screen(hwnd, 5, 5), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(FillRect(dc, &r, reinterpret_cast<HBRUSH>(static_cast<intptr_t>(0x7000))), 0);
  EXPECT_EQ(FillRect(nullptr, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
  // The DC's own brush is untouched.
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  ReleaseDC(hwnd, dc);
}

}  // namespace
