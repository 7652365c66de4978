// What GDI and USER keep between drawing calls (the last DC and window looked up, the drawable
// area of a window, recycled window DCs) must never outlive what it was worked out from.
#include "gdi_test_util.h"
#include "user_test_support.h"

namespace {

using kit::kBlack;
using kit::kBlue;
using kit::kRed;

class GdiDcReuse : public user_test::UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    baseGdi = portable::QueryGdiUsage();
  }
  void TearDown() override {
    EXPECT_EQ(portable::QueryGdiUsage().Total(), baseGdi.Total());
    UserTest::TearDown();
  }

  static COLORREF Screen(HWND hwnd, int x, int y) {
    portable::WindowSurface s;
    if (!portable::QueryWindowSurface(hwnd, &s)) return CLR_INVALID;
    int fx = x + s.clientOrigin.x, fy = y + s.clientOrigin.y;
    if (fx < 0 || fy < 0 || fx >= s.framebuffer.width || fy >= s.framebuffer.height)
      return CLR_INVALID;
    uint32_t p = s.framebuffer.pixels[fy * s.framebuffer.stride + fx];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

  // One bracket as the runtime makes it: a fresh DC for one pixel.
  static BOOL PixelThroughFreshDc(HWND hwnd, int x, int y, COLORREF colour) {
    HDC dc = GetDC(hwnd);
    if (dc == nullptr) return FALSE;
    BOOL drawn = SetPixelV(dc, x, y, colour);
    ReleaseDC(hwnd, dc);
    return drawn;
  }

  portable::GdiUsage baseGdi;
};

TEST_F(GdiDcReuse, ReleasedDcIsRefusedEvenRightAfterItsLastUse) {
  HWND hwnd = Top(WS_POPUP | WS_VISIBLE, 0, 0, 20, 20);
  HDC dc = GetDC(hwnd);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
  EXPECT_EQ(ReleaseDC(hwnd, dc), 1);
  // The released handle was the last one used: it must not be served from memory.
  EXPECT_EQ(GetBkMode(dc), 0);
  EXPECT_FALSE(SetPixelV(dc, 1, 1, kRed));
  EXPECT_EQ(ReleaseDC(hwnd, dc), 0);
  // The next DC reuses the storage and the slot but starts from the defaults.
  HDC next = GetDC(hwnd);
  ASSERT_NE(next, nullptr);
  EXPECT_NE(next, dc);
  EXPECT_EQ(GetBkMode(next), OPAQUE);
  EXPECT_EQ(GetBkMode(dc), 0);
  EXPECT_EQ(ReleaseDC(hwnd, next), 1);
}

TEST_F(GdiDcReuse, DestroyedWindowIsRefusedRightAfterItsLastLookup) {
  HWND hwnd = Top(WS_POPUP | WS_VISIBLE, 0, 0, 20, 20);
  EXPECT_TRUE(PixelThroughFreshDc(hwnd, 2, 2, kRed));
  EXPECT_TRUE(IsWindow(hwnd));
  ASSERT_TRUE(DestroyWindow(hwnd));
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(GetDC(hwnd), nullptr);
  portable::WindowSurface s;
  EXPECT_FALSE(portable::QueryWindowSurface(hwnd, &s));
}

TEST_F(GdiDcReuse, FreshDcsFollowChildrenShownMovedAndDestroyed) {
  HWND parent = Top(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 40, 20);
  HWND child = Child(parent, 1, 10, 5, 10, 10, WS_CHILD);  // hidden: draws nothing away
  EXPECT_TRUE(PixelThroughFreshDc(parent, 12, 7, kRed));
  EXPECT_EQ(Screen(parent, 12, 7), kRed);
  ShowWindow(child, SW_SHOWNA);
  EXPECT_FALSE(PixelThroughFreshDc(parent, 12, 7, kBlue));
  EXPECT_EQ(Screen(parent, 12, 7), kRed);
  // Moved away: the old spot is the parent's again, the new one is not.
  SetWindowPos(child, nullptr, 25, 5, 10, 10, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(PixelThroughFreshDc(parent, 12, 7, kBlue));
  EXPECT_EQ(Screen(parent, 12, 7), kBlue);
  EXPECT_FALSE(PixelThroughFreshDc(parent, 27, 7, kBlue));
  // Without WS_CLIPCHILDREN the child no longer keeps the parent out.
  SetWindowLongA(parent, GWL_STYLE, static_cast<LONG>(WS_POPUP | WS_VISIBLE));
  EXPECT_TRUE(PixelThroughFreshDc(parent, 27, 7, kBlue));
  SetWindowLongA(parent, GWL_STYLE, static_cast<LONG>(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN));
  EXPECT_FALSE(PixelThroughFreshDc(parent, 28, 7, kBlack));
  ASSERT_TRUE(DestroyWindow(child));
  EXPECT_TRUE(PixelThroughFreshDc(parent, 28, 7, kBlack));
  EXPECT_EQ(Screen(parent, 28, 7), kBlack);
}

TEST_F(GdiDcReuse, FreshDcsFollowTheClientAreaOfAResizedOrHiddenWindow) {
  HWND hwnd = Top(WS_POPUP | WS_VISIBLE, 0, 0, 20, 20);
  EXPECT_FALSE(PixelThroughFreshDc(hwnd, 30, 5, kRed));
  SetWindowPos(hwnd, nullptr, 0, 0, 40, 20, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(PixelThroughFreshDc(hwnd, 30, 5, kRed));
  EXPECT_EQ(Screen(hwnd, 30, 5), kRed);
  SetWindowPos(hwnd, nullptr, 0, 0, 10, 20, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_FALSE(PixelThroughFreshDc(hwnd, 15, 5, kRed));
  ShowWindow(hwnd, SW_HIDE);
  EXPECT_FALSE(PixelThroughFreshDc(hwnd, 2, 2, kRed));
  ShowWindow(hwnd, SW_SHOWNA);
  EXPECT_TRUE(PixelThroughFreshDc(hwnd, 2, 2, kRed));
}

TEST_F(GdiDcReuse, PaintClipOfOneWindowIsNotLentToTheNext) {
  HWND a = Top(WS_POPUP | WS_VISIBLE, 0, 0, 20, 20);
  HWND b = Top(WS_POPUP | WS_VISIBLE, 30, 0, 20, 20);
  RECT clip{0, 0, 5, 5};
  HDC painting = portable::CreateWindowDC(a, &clip);
  ASSERT_NE(painting, nullptr);
  EXPECT_FALSE(SetPixelV(painting, 10, 10, kRed));
  EXPECT_TRUE(SetPixelV(painting, 1, 1, kRed));
  EXPECT_TRUE(portable::DestroyWindowDC(painting));
  EXPECT_TRUE(PixelThroughFreshDc(a, 10, 10, kBlue));
  EXPECT_TRUE(PixelThroughFreshDc(b, 10, 10, kBlue));
  EXPECT_EQ(Screen(a, 10, 10), kBlue);
  EXPECT_EQ(Screen(b, 10, 10), kBlue);
}

// A saved state keeps its pen alive through a DeleteObject; stock objects are never counted,
// so restoring over them and deleting them stays harmless.
TEST_F(GdiDcReuse, SavedStatesKeepTheirObjectsAndRestoreGivesThemBack) {
  HWND hwnd = Top(WS_POPUP | WS_VISIBLE, 0, 0, 20, 20);
  HDC dc = GetDC(hwnd);
  HPEN pen = CreatePen(PS_SOLID, 1, kRed);
  HGDIOBJ stockPen = SelectObject(dc, pen);
  EXPECT_EQ(stockPen, GetStockObject(BLACK_PEN));
  EXPECT_EQ(SaveDC(dc), 1);
  SelectObject(dc, GetStockObject(WHITE_PEN));
  EXPECT_TRUE(DeleteObject(pen));  // still held by the saved state
  LOGPEN lp{};
  EXPECT_EQ(GetObjectA(pen, sizeof(lp), &lp), static_cast<int>(sizeof(lp)));
  EXPECT_EQ(lp.lopnColor, kRed);
  EXPECT_TRUE(RestoreDC(dc, -1));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
  SelectObject(dc, stockPen);  // the last holder lets go: the pen is gone now
  EXPECT_EQ(GetObjectA(pen, sizeof(lp), &lp), 0);
  EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));
  EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), static_cast<DWORD>(OBJ_PEN));
  EXPECT_FALSE(RestoreDC(dc, -1));
  EXPECT_EQ(ReleaseDC(hwnd, dc), 1);
}

// A state goes between stock and made objects in every slot; what it holds is counted exactly,
// through saves, restores, a DC handed back with things still selected, and memory DCs' bitmaps.
TEST_F(GdiDcReuse, EveryHolderCountsThroughStockAndMadeObjectsAlike) {
  HWND hwnd = Top(WS_POPUP | WS_VISIBLE, 0, 0, 20, 20);
  HPEN pen = CreatePen(PS_SOLID, 2, kRed);
  HBRUSH brush = CreateSolidBrush(kBlue);
  LOGFONTA lf{};
  lf.lfHeight = 12;
  HFONT font = CreateFontIndirectA(&lf);
  HDC dc = GetDC(hwnd);
  ASSERT_NE(dc, nullptr);
  SelectObject(dc, pen);
  SelectObject(dc, brush);
  SelectObject(dc, font);
  EXPECT_EQ(SaveDC(dc), 1);  // level 1 holds all three
  SelectObject(dc, GetStockObject(NULL_PEN));
  SelectObject(dc, GetStockObject(BLACK_BRUSH));
  EXPECT_EQ(SaveDC(dc), 2);  // level 2 holds stock objects only
  SelectObject(dc, pen);     // and the current state the pen again
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_TRUE(RestoreDC(dc, 2));  // back to stock pen and brush, the font kept
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(NULL_PEN));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), static_cast<HGDIOBJ>(font));
  EXPECT_EQ(GetObjectType(pen), static_cast<DWORD>(OBJ_PEN)) << "level 1 holds it";
  EXPECT_TRUE(RestoreDC(dc, -1));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), static_cast<HGDIOBJ>(pen));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), static_cast<HGDIOBJ>(brush));
  // Handed back with all three selected: the DC lets go of them, and they go.
  EXPECT_EQ(ReleaseDC(hwnd, dc), 1);
  EXPECT_EQ(GetObjectType(pen), 0u);
  EXPECT_EQ(GetObjectType(brush), 0u);
  EXPECT_EQ(GetObjectType(font), 0u);
  // The next DC from the cache starts with stock objects and counts anew.
  HDC next = GetDC(hwnd);
  ASSERT_NE(next, nullptr);
  HPEN other = CreatePen(PS_SOLID, 1, kBlack);
  SelectObject(next, other);
  EXPECT_EQ(SaveDC(next), 1);
  EXPECT_TRUE(DeleteObject(other));
  SelectObject(next, GetStockObject(WHITE_PEN));
  EXPECT_EQ(GetObjectType(other), static_cast<DWORD>(OBJ_PEN)) << "the saved state holds it";
  EXPECT_EQ(ReleaseDC(hwnd, next), 1);
  EXPECT_EQ(GetObjectType(other), 0u) << "dropped with the saved state";

  // A memory DC: its bitmap is counted like the rest, the stock 1x1 one is not.
  HDC mem = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(mem, 4, 4);
  HGDIOBJ stockBitmap = SelectObject(mem, bitmap);
  EXPECT_EQ(SaveDC(mem), 1);
  EXPECT_FALSE(DeleteObject(bitmap)) << "a selected bitmap stays";
  SelectObject(mem, stockBitmap);
  EXPECT_FALSE(DeleteObject(bitmap)) << "the saved state still has it";
  EXPECT_TRUE(RestoreDC(mem, 1));
  EXPECT_EQ(GetCurrentObject(mem, OBJ_BITMAP), static_cast<HGDIOBJ>(bitmap));
  SelectObject(mem, stockBitmap);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_EQ(GetObjectType(bitmap), 0u);
  EXPECT_TRUE(DeleteDC(mem));
}

}  // namespace
