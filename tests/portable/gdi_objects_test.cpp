// GDI objects: stock objects, creation, inspection, selection, deletion and accounting.
#include <cstring>

#include "gdi_test_util.h"
#include "platform/portable/diagnostics.h"

using gdi_test::Canvas;

namespace {

TEST(GdiObjects, StockObjectsSurviveDeletion) {
  const int stock[] = {WHITE_BRUSH, LTGRAY_BRUSH,        GRAY_BRUSH,        DKGRAY_BRUSH,
                       BLACK_BRUSH, NULL_BRUSH,          WHITE_PEN,         BLACK_PEN,
                       NULL_PEN,    OEM_FIXED_FONT,      ANSI_FIXED_FONT,   ANSI_VAR_FONT,
                       SYSTEM_FONT, DEVICE_DEFAULT_FONT, SYSTEM_FIXED_FONT, DEFAULT_GUI_FONT};
  for (int index : stock) {
    HGDIOBJ obj = GetStockObject(index);
    ASSERT_NE(obj, nullptr) << index;
    EXPECT_EQ(GetStockObject(index), obj);
    EXPECT_TRUE(DeleteObject(obj));
    EXPECT_NE(GetObjectType(obj), 0u) << index;
  }
  EXPECT_EQ(GetObjectType(GetStockObject(GRAY_BRUSH)), (DWORD)OBJ_BRUSH);
  EXPECT_EQ(GetObjectType(GetStockObject(NULL_PEN)), (DWORD)OBJ_PEN);
  EXPECT_EQ(GetObjectType(GetStockObject(SYSTEM_FONT)), (DWORD)OBJ_FONT);
  EXPECT_EQ(GetStockObject(-1), nullptr);
  EXPECT_EQ(GetStockObject(9), nullptr);
  EXPECT_EQ(GetStockObject(100), nullptr);
  LOGBRUSH lb{};
  GetObjectA(GetStockObject(LTGRAY_BRUSH), sizeof(lb), &lb);
  EXPECT_EQ(lb.lbColor, RGB(192, 192, 192));
  GetObjectA(GetStockObject(NULL_BRUSH), sizeof(lb), &lb);
  EXPECT_EQ(lb.lbStyle, (UINT)BS_NULL);
}

TEST(GdiObjects, GetObjectSizesAndContents) {
  HPEN pen = CreatePen(PS_DASH, 3, RGB(1, 2, 3));
  EXPECT_EQ(sizeof(LOGPEN), 16u);
  EXPECT_EQ(GetObjectA(pen, 0, nullptr), 16);
  LOGPEN lp{};
  EXPECT_EQ(GetObjectA(pen, sizeof(lp), &lp), 16);
  EXPECT_EQ(lp.lopnStyle, (UINT)PS_DASH);
  EXPECT_EQ(lp.lopnWidth.x, 3);
  EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));
  EXPECT_EQ(GetObjectA(pen, 8, &lp), 0);  // too small for a pen

  LOGFONTA lf{};
  lf.lfHeight = -20;
  lf.lfWeight = FW_BOLD;
  std::strcpy(lf.lfFaceName, "DejaVu Sans");
  HFONT font = CreateFontIndirectA(&lf);
  EXPECT_EQ(GetObjectA(font, 0, nullptr), 60);
  LOGFONTA back{};
  EXPECT_EQ(GetObjectA(font, sizeof(back), &back), 60);
  EXPECT_EQ(back.lfHeight, -20);
  EXPECT_STREQ(back.lfFaceName, "DejaVu Sans");

  LOGFONTA sys{};
  GetObjectA(GetStockObject(SYSTEM_FONT), sizeof(sys), &sys);
  EXPECT_EQ(sys.lfHeight, 16);
  EXPECT_EQ(sys.lfWeight, FW_BOLD);
  EXPECT_STREQ(sys.lfFaceName, "System");

  HBITMAP bmp = CreateCompatibleBitmap(nullptr, 10, 7);
  BITMAP bm{};
  EXPECT_EQ(GetObjectA(bmp, 0, nullptr), (int)sizeof(BITMAP));
  EXPECT_EQ(GetObjectA(bmp, sizeof(bm), &bm), (int)sizeof(BITMAP));
  EXPECT_EQ(bm.bmWidth, 10);
  EXPECT_EQ(bm.bmHeight, 7);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  EXPECT_EQ(bm.bmWidthBytes, 40);

  HBRUSH brush = CreateSolidBrush(RGB(7, 8, 9));
  LOGBRUSH lb{};
  EXPECT_EQ(GetObjectA(brush, sizeof(lb), &lb), (int)sizeof(LOGBRUSH));
  EXPECT_EQ(lb.lbStyle, (UINT)BS_SOLID);
  EXPECT_EQ(lb.lbColor, RGB(7, 8, 9));
  EXPECT_EQ(GetObjectA(brush, -1, &lb), 0);

  for (HGDIOBJ o : {(HGDIOBJ)pen, (HGDIOBJ)font, (HGDIOBJ)bmp, (HGDIOBJ)brush})
    EXPECT_TRUE(DeleteObject(o));
}

TEST(GdiObjects, BadHandlesFailEverywhere) {
  HGDIOBJ bogus[] = {nullptr, reinterpret_cast<HGDIOBJ>(1), reinterpret_cast<HGDIOBJ>(0x12345678),
                     reinterpret_cast<HGDIOBJ>(~uintptr_t{0})};
  for (HGDIOBJ h : bogus) {
    HDC dc = static_cast<HDC>(h);
    EXPECT_FALSE(DeleteObject(h));
    EXPECT_EQ(GetObjectType(h), 0u);
    EXPECT_EQ(GetObjectA(h, 0, nullptr), 0);
    EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_PEN)), nullptr);
    EXPECT_FALSE(SetPixelV(dc, 0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    EXPECT_FALSE(Rectangle(dc, 0, 0, 1, 1));
    EXPECT_FALSE(LineTo(dc, 1, 1));
    EXPECT_FALSE(PatBlt(dc, 0, 0, 1, 1, PATCOPY));
    EXPECT_FALSE(TextOutA(dc, 0, 0, "x", 1));
    EXPECT_EQ(SaveDC(dc), 0);
    EXPECT_FALSE(RestoreDC(dc, -1));
    if (h) {
      EXPECT_EQ(CreateCompatibleDC(dc), nullptr);
    }
    RECT r;
    EXPECT_EQ(GetClipBox(dc, &r), ERROR);
    EXPECT_EQ(GetBoundsRect(dc, &r, 0), 0u);
  }
  // A handle of the wrong kind is no DC, and a DC is no selectable object.
  HPEN pen = CreatePen(PS_SOLID, 1, 0);
  EXPECT_FALSE(SetPixelV(reinterpret_cast<HDC>(pen), 0, 0, 0));
  Canvas c(1, 1);
  EXPECT_EQ(SelectObject(c.dc(), c.dc()), nullptr);
  EXPECT_FALSE(DeleteObject(c.dc()));
  DeleteObject(pen);
  // A deleted handle stays dead even after its slot is reused.
  EXPECT_EQ(GetObjectType(pen), 0u);
  HPEN reused = CreatePen(PS_SOLID, 1, 0);
  EXPECT_EQ(GetObjectType(pen), 0u);
  EXPECT_FALSE(DeleteObject(pen));
  EXPECT_TRUE(DeleteObject(reused));
}

TEST(GdiObjects, SelectReturnsPreviousOfTheSameKind) {
  Canvas c(2, 2);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 1, 1));
  HBRUSH brush = CreateSolidBrush(RGB(2, 2, 2));
  EXPECT_EQ(SelectObject(c.dc(), pen), GetStockObject(BLACK_PEN));
  EXPECT_EQ(SelectObject(c.dc(), brush), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_PEN), pen);
  EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_BRUSH), brush);
  EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_BITMAP), c.bitmap());
  EXPECT_EQ(GetCurrentObject(c.dc(), 99), nullptr);
  EXPECT_EQ(SelectObject(c.dc(), GetStockObject(BLACK_PEN)), pen);
  EXPECT_EQ(SelectObject(c.dc(), GetStockObject(WHITE_BRUSH)), brush);
  DeleteObject(pen);
  DeleteObject(brush);
}

TEST(GdiObjects, DeletingSelectedObjects) {
  portable::GdiUsage before = portable::QueryGdiUsage();
  {
    Canvas c(2, 2);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    SelectObject(c.dc(), pen);
    // A selected pen: deletion is accepted and happens when the DC lets it go.
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_EQ(GetObjectType(pen), (DWORD)OBJ_PEN);
    MoveToEx(c.dc(), 0, 0, nullptr);
    LineTo(c.dc(), 2, 0);
    EXPECT_EQ(c.At(1, 0), RGB(255, 0, 0));
    EXPECT_EQ(SelectObject(c.dc(), pen), nullptr);  // no new selections of a dying pen
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetObjectType(pen), 0u);

    // A selected bitmap is refused, as Windows does.
    EXPECT_FALSE(DeleteObject(c.bitmap()));
    EXPECT_EQ(GetObjectType(c.bitmap()), (DWORD)OBJ_BITMAP);

    // A bitmap lives in one DC at a time.
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, c.bitmap()), nullptr);
    DeleteDC(other);

    // A pen kept by a saved state is freed when that state goes.
    HPEN saved = CreatePen(PS_SOLID, 1, 0);
    SelectObject(c.dc(), saved);
    SaveDC(c.dc());
    SelectObject(c.dc(), GetStockObject(WHITE_PEN));
    EXPECT_TRUE(DeleteObject(saved));
    EXPECT_EQ(GetObjectType(saved), (DWORD)OBJ_PEN);
    RestoreDC(c.dc(), -1);
    EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_PEN), saved);
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetObjectType(saved), 0u);

    // Deleting a DC releases what it holds.
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH brush = CreateSolidBrush(0);
    SelectObject(dc, brush);
    DeleteObject(brush);
    DeleteDC(dc);
    EXPECT_EQ(GetObjectType(brush), 0u);
  }
  portable::GdiUsage after = portable::QueryGdiUsage();
  EXPECT_EQ(after.pens, before.pens);
  EXPECT_EQ(after.brushes, before.brushes);
  EXPECT_EQ(after.bitmaps, before.bitmaps);
  EXPECT_EQ(after.dcs, before.dcs);
  EXPECT_EQ(after.Total(), before.Total());
}

TEST(GdiObjects, UsageCountsEveryKind) {
  portable::GdiUsage base = portable::QueryGdiUsage();
  HPEN pen = CreatePen(PS_SOLID, 2, 0);
  HBRUSH brush = CreateSolidBrush(0);
  LOGFONTA lf{};
  HFONT font = CreateFontIndirectA(&lf);
  HBITMAP bmp = CreateCompatibleBitmap(nullptr, 2, 2);
  HDC dc = CreateCompatibleDC(nullptr);
  portable::GdiUsage now = portable::QueryGdiUsage();
  EXPECT_EQ(now.pens, base.pens + 1);
  EXPECT_EQ(now.brushes, base.brushes + 1);
  EXPECT_EQ(now.fonts, base.fonts + 1);
  EXPECT_EQ(now.bitmaps, base.bitmaps + 1);
  EXPECT_EQ(now.dcs, base.dcs + 1);
  // Stock objects handed out are not counted.
  HPEN nullPen = CreatePen(PS_NULL, 1, 0);
  EXPECT_EQ(nullPen, GetStockObject(NULL_PEN));
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, 0, 5), GetCurrentObject(dc, OBJ_BITMAP));
  EXPECT_EQ(portable::QueryGdiUsage().Total(), now.Total());
  for (HGDIOBJ o : {(HGDIOBJ)pen, (HGDIOBJ)brush, (HGDIOBJ)font, (HGDIOBJ)bmp}) DeleteObject(o);
  DeleteDC(dc);
  EXPECT_EQ(portable::QueryGdiUsage().Total(), base.Total());
}

TEST(GdiObjects, CompatibleBitmapSizes) {
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, -1, 5), nullptr);
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, 5, -1), nullptr);
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, 1 << 30, 1 << 30), nullptr);
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, 0x7FFFFFFF, 2), nullptr);
  HBITMAP empty = CreateCompatibleBitmap(nullptr, 0, 0);
  BITMAP bm{};
  GetObjectA(empty, sizeof(bm), &bm);
  EXPECT_EQ(bm.bmWidth, 1);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  EXPECT_TRUE(DeleteObject(empty));
  EXPECT_EQ(GetObjectType(empty), (DWORD)OBJ_BITMAP);  // the stock bitmap stays
  // A new bitmap is black.
  Canvas c(3, 3);
  HBITMAP fresh = CreateCompatibleBitmap(c.dc(), 3, 3);
  HGDIOBJ old = SelectObject(c.dc(), fresh);
  EXPECT_EQ(c.Count(RGB(0, 0, 0)), 9);
  SelectObject(c.dc(), old);
  DeleteObject(fresh);
  // Invalid pen requests.
  EXPECT_EQ(CreatePen(99, 1, 0), nullptr);
  EXPECT_EQ(CreatePenIndirect(nullptr), nullptr);
  EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);
}

}  // namespace
