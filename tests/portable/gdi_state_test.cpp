// DC state: defaults, SaveDC/RestoreDC, clipping and bounds accumulation.
#include "gdi_test_util.h"

using gdi_test::Canvas;
using gdi_test::Rows;

namespace {

using kit::kBlack;
using kit::kWhite;

TEST(GdiState, NewDcDefaults) {
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
  POINT p{9, 9};
  EXPECT_TRUE(GetCurrentPositionEx(dc, &p));
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 0);
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(GetBkColor(dc), kWhite);
  EXPECT_EQ(GetTextColor(dc), kBlack);
  EXPECT_EQ(GetTextAlign(dc), (UINT)(TA_TOP | TA_LEFT | TA_NOUPDATECP));
  EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
  EXPECT_EQ(GetObjectType(dc), (DWORD)OBJ_MEMDC);
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteDC(dc));
  EXPECT_EQ(GetBkMode(dc), 0);
}

TEST(GdiState, SettersReturnPreviousValuesAndRejectNonsense) {
  Canvas c(1, 1);
  EXPECT_EQ(SetBkMode(c.dc(), TRANSPARENT), OPAQUE);
  EXPECT_EQ(SetBkMode(c.dc(), 7), 0);
  EXPECT_EQ(GetBkMode(c.dc()), TRANSPARENT);
  EXPECT_EQ(SetBkColor(c.dc(), RGB(1, 2, 3)), kWhite);
  EXPECT_EQ(SetTextColor(c.dc(), RGB(4, 5, 6)), kBlack);
  EXPECT_EQ(SetTextAlign(c.dc(), TA_UPDATECP), 0u);
  EXPECT_EQ(GetTextAlign(c.dc()), (UINT)TA_UPDATECP);
  POINT old;
  MoveToEx(c.dc(), 3, 4, nullptr);
  MoveToEx(c.dc(), -5, 6, &old);
  EXPECT_EQ(old.x, 3);
  EXPECT_EQ(old.y, 4);
}

TEST(GdiState, SaveAndRestoreByLatestAndAbsoluteLevel) {
  Canvas c(4, 4);
  HDC dc = c.dc();
  HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  EXPECT_EQ(SaveDC(dc), 1);
  SelectObject(dc, red);
  SetBkColor(dc, RGB(1, 1, 1));
  MoveToEx(dc, 2, 3, nullptr);
  SetROP2(dc, R2_XORPEN);
  EXPECT_EQ(SaveDC(dc), 2);
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, TA_UPDATECP);
  EXPECT_EQ(SaveDC(dc), 3);
  SetTextColor(dc, RGB(9, 9, 9));

  EXPECT_TRUE(RestoreDC(dc, -1));  // back to level 3's state
  EXPECT_EQ(GetTextColor(dc), kBlack);
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  EXPECT_TRUE(RestoreDC(dc, 1));  // absolute: drops level 2 as well
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetBkColor(dc), kWhite);
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
  EXPECT_EQ(GetTextAlign(dc), 0u);
  POINT p;
  GetCurrentPositionEx(dc, &p);
  EXPECT_EQ(p.x, 0);
  // Nothing saved any more: every level is refused.
  EXPECT_FALSE(RestoreDC(dc, -1));
  EXPECT_FALSE(RestoreDC(dc, 1));
  EXPECT_EQ(SaveDC(dc), 1);
  EXPECT_FALSE(RestoreDC(dc, 2));
  EXPECT_FALSE(RestoreDC(dc, 0));
  EXPECT_FALSE(RestoreDC(dc, -2));
  EXPECT_TRUE(RestoreDC(dc, -1));
  EXPECT_TRUE(DeleteObject(red));
}

TEST(GdiState, RestoreDcBringsBackTheClip) {
  Canvas c(4, 1);
  SaveDC(c.dc());
  ExcludeClipRect(c.dc(), 1, 0, 3, 1);
  PatBlt(c.dc(), 0, 0, 4, 1, BLACKNESS);
  // Reading is not clipped.
  EXPECT_EQ(c.Picture({{kWhite, '.'}, {kBlack, '#'}}), "#..#\n");
  RestoreDC(c.dc(), -1);
  EXPECT_EQ(c.Picture({{kWhite, '.'}, {kBlack, '#'}}), "#..#\n");
  PatBlt(c.dc(), 0, 0, 4, 1, BLACKNESS);
  EXPECT_EQ(c.Count(kBlack), 4);
}

TEST(GdiClip, ExcludeSplitsTheClipAndKeepsInsidePixels) {
  Canvas c(6, 5);
  SaveDC(c.dc());
  RECT box;
  EXPECT_EQ(GetClipBox(c.dc(), &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 6);
  EXPECT_EQ(box.bottom, 5);
  EXPECT_EQ(ExcludeClipRect(c.dc(), 2, 1, 4, 3), COMPLEXREGION);
  EXPECT_EQ(GetClipBox(c.dc(), &box), COMPLEXREGION);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.right, 6);
  PatBlt(c.dc(), 0, 0, 6, 5, BLACKNESS);
  EXPECT_EQ(SetPixel(c.dc(), 2, 1, kBlack), CLR_INVALID);
  EXPECT_EQ(GetPixel(c.dc(), 3, 2), kWhite);
  EXPECT_EQ(GetPixel(c.dc(), 6, 2), CLR_INVALID);
  RestoreDC(c.dc(), -1);
  EXPECT_EQ(c.Picture({{kWhite, '.'}, {kBlack, '#'}}),
            Rows({"######", "##..##", "##..##", "######", "######"}));
}

TEST(GdiClip, ExcludingAFullStripLeavesASimpleRegion) {
  Canvas c(6, 4);
  // Corners given swapped are normalised.
  EXPECT_EQ(ExcludeClipRect(c.dc(), 6, 4, 3, -2), SIMPLEREGION);
  RECT box;
  GetClipBox(c.dc(), &box);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.right, 3);
  EXPECT_EQ(box.bottom, 4);
  EXPECT_EQ(ExcludeClipRect(c.dc(), -10, -10, 20, 20), NULLREGION);
  EXPECT_EQ(GetClipBox(c.dc(), &box), NULLREGION);
  EXPECT_FALSE(SetPixelV(c.dc(), 0, 0, kBlack));
}

TEST(GdiClip, IntersectClipRect) {
  Canvas c(5, 5);
  EXPECT_EQ(SaveDC(c.dc()), 1);
  EXPECT_EQ(IntersectClipRect(c.dc(), 1, 1, 3, 4), SIMPLEREGION);
  EXPECT_EQ(ExcludeClipRect(c.dc(), 2, 2, 3, 3), COMPLEXREGION);
  PatBlt(c.dc(), 0, 0, 5, 5, BLACKNESS);
  EXPECT_EQ(IntersectClipRect(c.dc(), 4, 4, 4, 9), NULLREGION);
  RestoreDC(c.dc(), 1);
  EXPECT_EQ(c.Picture({{kWhite, '.'}, {kBlack, '#'}}),
            Rows({".....", ".##..", ".#...", ".##..", "....."}));
}

TEST(GdiBounds, AccumulatesEveryDrawingCall) {
  Canvas c(40, 40);
  HDC dc = c.dc();
  RECT r;
  // Accumulation is off in a new DC.
  SetPixelV(dc, 5, 5, kBlack);
  EXPECT_EQ(GetBoundsRect(dc, &r, 0), (UINT)(DCB_RESET | DCB_DISABLE));
  EXPECT_EQ(SetBoundsRect(dc, nullptr, DCB_RESET | DCB_ENABLE), (UINT)(DCB_RESET | DCB_DISABLE));
  EXPECT_EQ(GetBoundsRect(dc, &r, 0) & DCB_SET, (UINT)DCB_RESET);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.right, 0);

  SetPixelV(dc, 10, 12, kBlack);
  EXPECT_EQ(GetBoundsRect(dc, &r, 0), (UINT)(DCB_SET | DCB_ENABLE));
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 12);
  EXPECT_EQ(r.right, 11);
  EXPECT_EQ(r.bottom, 13);

  Rectangle(dc, 2, 3, 4, 5);
  PatBlt(dc, 20, 20, 2, 2, BLACKNESS);
  EXPECT_EQ(GetBoundsRect(dc, &r, DCB_RESET) & DCB_SET, (UINT)DCB_SET);
  EXPECT_EQ(r.left, 2);
  EXPECT_EQ(r.top, 3);
  EXPECT_EQ(r.right, 22);
  EXPECT_EQ(r.bottom, 22);
  // DCB_RESET in GetBoundsRect cleared them.
  EXPECT_EQ(GetBoundsRect(dc, &r, 0) & DCB_SET, (UINT)DCB_RESET);

  Canvas src(4, 4);
  BitBlt(dc, 30, 31, 2, 3, src.dc(), 0, 0, SRCCOPY);
  TextOutA(dc, 1, 1, "", 0);  // no text: no bounds
  GetBoundsRect(dc, &r, DCB_RESET);
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(r.bottom, 34);

  SIZE ext;
  GetTextExtentPoint32A(dc, "Hi", 2, &ext);
  TextOutA(dc, 3, 4, "Hi", 2);
  GetBoundsRect(dc, &r, DCB_RESET);
  EXPECT_EQ(r.left, 3);
  EXPECT_EQ(r.top, 4);
  EXPECT_EQ(r.right, 3 + ext.cx);
  EXPECT_EQ(r.bottom, 4 + ext.cy);

  // Disabled: drawing adds nothing, an explicit rectangle still does.
  EXPECT_EQ(SetBoundsRect(dc, nullptr, DCB_DISABLE), (UINT)(DCB_ENABLE | DCB_RESET));
  SetPixelV(dc, 1, 1, kBlack);
  EXPECT_EQ(GetBoundsRect(dc, &r, 0) & DCB_SET, (UINT)DCB_RESET);
  RECT add{7, 8, 9, 10};
  SetBoundsRect(dc, &add, DCB_ACCUMULATE);
  EXPECT_EQ(GetBoundsRect(dc, &r, 0), (UINT)(DCB_SET | DCB_DISABLE));
  EXPECT_EQ(r.left, 7);
  EXPECT_EQ(r.bottom, 10);
  EXPECT_EQ(SetBoundsRect(dc, nullptr, DCB_ENABLE | DCB_DISABLE), 0u);
}

TEST(GdiBounds, ReportedWithinTheBitmap) {
  Canvas c(10, 10);
  SetBoundsRect(c.dc(), nullptr, DCB_RESET | DCB_ENABLE);
  Rectangle(c.dc(), -5, -5, 50, 3);
  RECT r;
  EXPECT_EQ(GetBoundsRect(c.dc(), &r, 0) & DCB_SET, (UINT)DCB_SET);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 10);
  EXPECT_EQ(r.bottom, 3);
}

}  // namespace
