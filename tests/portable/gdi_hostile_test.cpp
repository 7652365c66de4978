// Coordinates and sizes at the ends of the 32-bit range: nothing overflows, nothing hangs,
// and what lands inside the bitmap is exact.
#include <climits>
#include <cstring>

#include "gdi_test_util.h"

using gdi_test::Canvas;
using gdi_test::Rows;

namespace {

using kit::kBlack;
using kit::kWhite;

TEST(GdiHostile, RectanglesAndBlitsAtTheExtremes) {
  Canvas c(4, 3);
  EXPECT_TRUE(Rectangle(c.dc(), INT_MIN, INT_MIN, INT_MAX, INT_MAX));
  // The outline is far away; the white brush covers everything visible.
  EXPECT_EQ(c.Count(kWhite), 12);
  SelectObject(c.dc(), GetStockObject(BLACK_BRUSH));
  EXPECT_TRUE(Rectangle(c.dc(), INT_MAX, INT_MAX, INT_MIN, INT_MIN));
  EXPECT_EQ(c.Count(kBlack), 12);
  EXPECT_TRUE(PatBlt(c.dc(), INT_MIN, INT_MIN, INT_MAX, INT_MAX, WHITENESS));
  EXPECT_EQ(c.Count(kBlack), 12);  // ends at -1, -1
  EXPECT_TRUE(PatBlt(c.dc(), INT_MAX, INT_MAX, INT_MIN, INT_MIN, WHITENESS));
  EXPECT_EQ(c.Count(kWhite), 12);
  EXPECT_TRUE(PatBlt(c.dc(), 1, 1, INT_MAX, INT_MAX, BLACKNESS));
  EXPECT_EQ(c.Picture({{kWhite, '.'}, {kBlack, '#'}}), Rows({"....", ".###", ".###"}));

  Canvas src(2, 2, kBlack);
  Canvas dst(3, 3);
  EXPECT_TRUE(
      BitBlt(dst.dc(), INT_MIN, INT_MIN, INT_MAX, INT_MAX, src.dc(), INT_MAX, INT_MAX, SRCCOPY));
  EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, INT_MAX, INT_MAX, src.dc(), INT_MIN, INT_MIN, SRCCOPY));
  EXPECT_EQ(dst.Count(kWhite), 9);
  EXPECT_TRUE(BitBlt(dst.dc(), 1, 1, INT_MAX, INT_MAX, src.dc(), 0, 0, SRCCOPY));
  EXPECT_EQ(dst.Picture({{kWhite, '.'}, {kBlack, '#'}}), Rows({"...", ".##", ".##"}));
  EXPECT_TRUE(BitBlt(dst.dc(), -1, -1, INT_MIN, INT_MIN, src.dc(), 0, 0, SRCCOPY));
}

TEST(GdiHostile, LinesAcrossTheWholeRangeFinishQuickly) {
  Canvas c(5, 5);
  MoveToEx(c.dc(), INT_MIN, INT_MIN, nullptr);
  EXPECT_TRUE(LineTo(c.dc(), INT_MAX, INT_MAX));
  // The diagonal passes through the bitmap's corner region: exactly on x == y.
  for (int i = 0; i < 5; ++i) EXPECT_EQ(c.At(i, i), kBlack) << i;
  EXPECT_EQ(c.Count(kBlack), 5);
  MoveToEx(c.dc(), INT_MAX, 2, nullptr);
  EXPECT_TRUE(LineTo(c.dc(), INT_MIN, 2));
  EXPECT_EQ(c.Count(kBlack), 9);
  MoveToEx(c.dc(), 0, INT_MIN, nullptr);
  EXPECT_TRUE(LineTo(c.dc(), 0, INT_MAX));
  EXPECT_EQ(c.At(0, 4), kBlack);
  HPEN wide = CreatePen(PS_SOLID, 3, RGB(1, 1, 1));
  SelectObject(c.dc(), wide);
  MoveToEx(c.dc(), INT_MIN, INT_MAX, nullptr);
  EXPECT_TRUE(LineTo(c.dc(), INT_MAX, INT_MIN));
  SelectObject(c.dc(), GetStockObject(BLACK_PEN));
  DeleteObject(wide);
}

TEST(GdiHostile, APenAsWideAsTheCoordinateRangeDrawsAtOnce) {
  Canvas c(6, 4, kWhite);
  HPEN wide = CreatePen(PS_SOLID, INT_MAX, kBlack);
  HGDIOBJ old = SelectObject(c.dc(), wide);
  MoveToEx(c.dc(), INT_MIN, 1, nullptr);
  EXPECT_TRUE(LineTo(c.dc(), INT_MAX, 2));
  EXPECT_EQ(c.Count(kBlack), 24);
  SetROP2(c.dc(), R2_NOT);  // once, not once per pixel of the line
  MoveToEx(c.dc(), 3, INT_MAX, nullptr);
  EXPECT_TRUE(LineTo(c.dc(), 2, INT_MIN));
  EXPECT_EQ(c.Count(kWhite), 24);
  SelectObject(c.dc(), old);
  DeleteObject(wide);
}

TEST(GdiHostile, PixelsTextClipAndBoundsAtTheExtremes) {
  Canvas c(4, 4);
  SetBoundsRect(c.dc(), nullptr, DCB_ENABLE | DCB_RESET);
  EXPECT_FALSE(SetPixelV(c.dc(), INT_MIN, INT_MAX, kBlack));
  EXPECT_FALSE(SetPixelV(c.dc(), INT_MAX, INT_MAX, kBlack));
  EXPECT_EQ(GetPixel(c.dc(), INT_MIN, INT_MIN), CLR_INVALID);
  EXPECT_TRUE(TextOutA(c.dc(), INT_MAX, INT_MAX, "Hello", 5));
  EXPECT_TRUE(TextOutA(c.dc(), INT_MIN, INT_MIN, "Hello", 5));
  RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  SetBkColor(c.dc(), RGB(9, 9, 9));
  EXPECT_TRUE(ExtTextOutA(c.dc(), 0, 0, ETO_OPAQUE, &huge, nullptr, 0, nullptr));
  EXPECT_EQ(c.Count(RGB(9, 9, 9)), 16);
  // TA_UPDATECP near the top of the range: the position saturates rather than wraps.
  SetTextAlign(c.dc(), TA_UPDATECP);
  MoveToEx(c.dc(), INT_MAX - 3, 0, nullptr);
  TextOutA(c.dc(), 0, 0, "WWWW", 4);
  POINT p;
  GetCurrentPositionEx(c.dc(), &p);
  EXPECT_EQ(p.x, INT_MAX);

  EXPECT_EQ(ExcludeClipRect(c.dc(), INT_MIN, INT_MIN, INT_MAX, INT_MAX), NULLREGION);
  EXPECT_EQ(IntersectClipRect(c.dc(), INT_MIN, INT_MIN, INT_MAX, INT_MAX), NULLREGION);
  RECT r;
  UINT flags = GetBoundsRect(c.dc(), &r, 0);
  EXPECT_EQ(flags & DCB_SET, (UINT)DCB_SET);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.right, 4);
  RECT all{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  SetBoundsRect(c.dc(), &all, DCB_ACCUMULATE);
  EXPECT_EQ(FillRect(c.dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 1);

  Canvas d(3, 3);
  EXPECT_EQ(FillRect(d.dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 1);
  EXPECT_EQ(d.Count(kBlack), 9);
}

TEST(GdiHostile, FontsOfAbsurdSizes) {
  Canvas c(20, 20);
  for (LONG height : {INT_MIN, INT_MIN + 1, -100000, -1, 1, 100000, INT_MAX}) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = INT_MAX;
    lf.lfItalic = 1;
    std::memset(lf.lfFaceName, 'x', sizeof(lf.lfFaceName));  // no terminating zero
    HFONT font = CreateFontIndirectA(&lf);
    ASSERT_NE(font, nullptr);
    HGDIOBJ old = SelectObject(c.dc(), font);
    TEXTMETRICA tm{};
    EXPECT_TRUE(GetTextMetricsA(c.dc(), &tm)) << height;
    EXPECT_GT(tm.tmHeight, 0) << height;
    EXPECT_LE(tm.tmHeight, 512) << height;
    EXPECT_TRUE(TextOutA(c.dc(), -5, -5, "Wj\xFF\x80", 4)) << height;
    SelectObject(c.dc(), old);
    DeleteObject(font);
  }
}

}  // namespace
