// Exact pixels through a memory DC: SetPixelV, Rectangle, PatBlt, BitBlt, ExtTextOutA with
// ETO_OPAQUE, and clipping by ExcludeClipRect.
#include <gtest/gtest.h>

#include "tests/conformance/memory_canvas.h"

namespace conformance {
namespace {

using Pixels = MemoryCanvas;

TEST_F(Pixels, SetPixelVWritesExactlyOnePixel) {
  const COLORREF c = RGB(12, 34, 56);
  EXPECT_TRUE(SetPixelV(dc_, 5, 7, c));
  EXPECT_EQ(GetPixel(dc_, 5, 7), c);
  EXPECT_EQ(GetPixel(dc_, 4, 7), kWhite);
  EXPECT_EQ(GetPixel(dc_, 6, 7), kWhite);
  EXPECT_EQ(GetPixel(dc_, 5, 6), kWhite);
  EXPECT_EQ(GetPixel(dc_, 5, 8), kWhite);
  EXPECT_EQ(Count(c), 1);
}

TEST_F(Pixels, ColoursRoundTripExactly) {
  const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 255, 0),     RGB(0, 0, 255),
                              RGB(1, 2, 3),   RGB(254, 253, 252), RGB(128, 64, 32)};
  int x = 0;
  for (COLORREF c : colours) {
    SetPixelV(dc_, x, 0, c);
    EXPECT_EQ(GetPixel(dc_, x, 0), c) << "pixel " << x;
    ++x;
  }
}

TEST_F(Pixels, CornersAndOutside) {
  SetPixelV(dc_, 0, 0, kBlack);
  SetPixelV(dc_, kWidth - 1, kHeight - 1, kBlack);
  EXPECT_EQ(GetPixel(dc_, 0, 0), kBlack);
  EXPECT_EQ(GetPixel(dc_, kWidth - 1, kHeight - 1), kBlack);
  // Outside the bitmap nothing is drawn and nothing can be read.
  SetPixelV(dc_, -1, 0, kBlack);
  SetPixelV(dc_, kWidth, 3, kBlack);
  SetPixelV(dc_, 3, kHeight, kBlack);
  EXPECT_EQ(Count(kBlack), 2);
  EXPECT_EQ(GetPixel(dc_, -1, 0), static_cast<COLORREF>(CLR_INVALID));
  EXPECT_EQ(GetPixel(dc_, kWidth, 0), static_cast<COLORREF>(CLR_INVALID));
  EXPECT_EQ(GetPixel(dc_, 0, kHeight), static_cast<COLORREF>(CLR_INVALID));
}

TEST_F(Pixels, RectangleOutlineWithPenAndFillWithBrush) {
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  HBRUSH brush = CreateSolidBrush(RGB(0, 255, 0));
  HGDIOBJ oldPen = SelectObject(dc_, pen);
  HGDIOBJ oldBrush = SelectObject(dc_, brush);
  ASSERT_TRUE(Rectangle(dc_, 10, 10, 20, 16));
  SelectObject(dc_, oldPen);
  SelectObject(dc_, oldBrush);
  DeleteObject(pen);
  DeleteObject(brush);
  // Right and bottom are exclusive: the outline covers x 10..19, y 10..15.
  EXPECT_EQ(GetPixel(dc_, 10, 10), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc_, 19, 10), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc_, 10, 15), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc_, 19, 15), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc_, 20, 10), kWhite);
  EXPECT_EQ(GetPixel(dc_, 10, 16), kWhite);
  EXPECT_EQ(Count(RGB(255, 0, 0)), 2 * 10 + 2 * 4);
  EXPECT_EQ(Count(RGB(0, 255, 0)), 8 * 4);
  EXPECT_EQ(Count(RGB(0, 255, 0), 11, 11, 19, 15), 8 * 4);
}

TEST_F(Pixels, RectangleWithNullBrushKeepsTheInside) {
  Fill(RGB(0, 0, 255));
  SelectObject(dc_, GetStockObject(NULL_BRUSH));
  HGDIOBJ oldPen = SelectObject(dc_, GetStockObject(WHITE_PEN));
  Rectangle(dc_, 2, 3, 12, 9);
  SelectObject(dc_, oldPen);
  SelectObject(dc_, GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(Count(kWhite), 2 * 10 + 2 * 4);
  EXPECT_EQ(Count(RGB(0, 0, 255), 3, 4, 11, 8), 8 * 4);
}

TEST_F(Pixels, RectangleWithNullPenFillsOnlyTheInterior) {
  HBRUSH brush = CreateSolidBrush(RGB(9, 9, 9));
  HGDIOBJ oldBrush = SelectObject(dc_, brush);
  HGDIOBJ oldPen = SelectObject(dc_, GetStockObject(NULL_PEN));
  Rectangle(dc_, 0, 0, 10, 10);
  SelectObject(dc_, oldPen);
  SelectObject(dc_, oldBrush);
  DeleteObject(brush);
  // Without an outline the fill covers one pixel less to the right and below.
  EXPECT_EQ(Count(RGB(9, 9, 9)), 9 * 9);
  EXPECT_EQ(GetPixel(dc_, 8, 8), RGB(9, 9, 9));
  EXPECT_EQ(GetPixel(dc_, 9, 9), kWhite);
}

TEST_F(Pixels, PatBltOperations) {
  EXPECT_TRUE(PatBlt(dc_, 0, 0, 8, 8, BLACKNESS));
  EXPECT_EQ(Count(kBlack), 64);
  EXPECT_TRUE(PatBlt(dc_, 4, 4, 8, 8, DSTINVERT));  // 4x4 of black turn white, 48 white turn black
  EXPECT_EQ(Count(kBlack), 48 + 48);
  EXPECT_EQ(GetPixel(dc_, 5, 5), kWhite);
  EXPECT_EQ(GetPixel(dc_, 10, 10), kBlack);
  EXPECT_TRUE(PatBlt(dc_, 0, 0, kWidth, kHeight, WHITENESS));
  EXPECT_EQ(Count(kWhite), kWidth * kHeight);
  HBRUSH brush = CreateSolidBrush(RGB(10, 200, 30));
  HGDIOBJ old = SelectObject(dc_, brush);
  EXPECT_TRUE(PatBlt(dc_, 60, 40, 10, 10, PATCOPY));  // clipped at the bitmap's edge
  SelectObject(dc_, old);
  DeleteObject(brush);
  EXPECT_EQ(Count(RGB(10, 200, 30)), 4 * 8);
}

TEST_F(Pixels, BitBltCopiesBetweenMemoryDcs) {
  HDC other = CreateCompatibleDC(dc_);
  HBITMAP otherBitmap = CreateCompatibleBitmap(dc_, kWidth, kHeight);
  HGDIOBJ old = SelectObject(other, otherBitmap);
  PatBlt(other, 0, 0, kWidth, kHeight, BLACKNESS);
  SetPixelV(other, 2, 3, RGB(1, 2, 3));
  SetPixelV(other, 4, 4, RGB(200, 100, 50));
  ASSERT_TRUE(BitBlt(dc_, 20, 10, 5, 5, other, 1, 1, SRCCOPY));
  EXPECT_EQ(GetPixel(dc_, 21, 12), RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(dc_, 23, 13), RGB(200, 100, 50));
  EXPECT_EQ(Count(kBlack) + 2, 25);
  EXPECT_EQ(Count(kWhite), kWidth * kHeight - 25);
  EXPECT_EQ(GetPixel(dc_, 19, 10), kWhite);
  EXPECT_EQ(GetPixel(dc_, 25, 10), kWhite);
  EXPECT_EQ(GetPixel(dc_, 20, 15), kWhite);
  SelectObject(other, old);
  DeleteObject(otherBitmap);
  DeleteDC(other);
}

TEST_F(Pixels, BitBltIsClippedAtTheDestinationEdge) {
  HDC other = CreateCompatibleDC(dc_);
  HBITMAP otherBitmap = CreateCompatibleBitmap(dc_, 16, 16);
  HGDIOBJ old = SelectObject(other, otherBitmap);
  PatBlt(other, 0, 0, 16, 16, BLACKNESS);
  BitBlt(dc_, kWidth - 4, kHeight - 2, 16, 16, other, 0, 0, SRCCOPY);
  EXPECT_EQ(Count(kBlack), 4 * 2);
  SelectObject(other, old);
  DeleteObject(otherBitmap);
  DeleteDC(other);
}

TEST_F(Pixels, ExtTextOutOpaqueFillsTheRectangle) {
  SetBkColor(dc_, RGB(20, 40, 60));
  RECT r{3, 4, 13, 10};
  ASSERT_TRUE(ExtTextOutA(dc_, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr));
  EXPECT_EQ(Count(RGB(20, 40, 60)), 10 * 6);
  EXPECT_EQ(Count(RGB(20, 40, 60), 3, 4, 13, 10), 10 * 6);
  EXPECT_EQ(GetBkColor(dc_), RGB(20, 40, 60));  // the colour stays with the DC
}

TEST_F(Pixels, ExtTextOutOpaqueIgnoresTheBackgroundMode) {
  SetBkMode(dc_, TRANSPARENT);
  SetBkColor(dc_, RGB(0, 0, 0));
  RECT r{0, 0, 4, 4};
  ExtTextOutA(dc_, 0, 0, ETO_OPAQUE, &r, "", 0, nullptr);
  EXPECT_EQ(Count(kBlack), 16);
}

TEST_F(Pixels, ExtTextOutOpaqueWithText) {
  SetBkColor(dc_, RGB(0, 0, 128));
  SetTextColor(dc_, RGB(255, 255, 0));
  RECT r{0, 0, kWidth, 30};
  ASSERT_TRUE(ExtTextOutA(dc_, 2, 2, ETO_OPAQUE, &r, "Ab", 2, nullptr));
  EXPECT_GT(Count(RGB(255, 255, 0), 0, 0, kWidth, 30), 0);
  EXPECT_EQ(GetPixel(dc_, kWidth - 1, 29), RGB(0, 0, 128));
  EXPECT_EQ(GetPixel(dc_, 0, 0), RGB(0, 0, 128));
  EXPECT_EQ(Count(kWhite, 0, 30, kWidth, kHeight), kWidth * (kHeight - 30));
}

TEST_F(Pixels, ExcludeClipRectProtectsItsPixels) {
  EXPECT_EQ(ExcludeClipRect(dc_, 10, 10, 20, 20), COMPLEXREGION);
  RECT box;
  EXPECT_EQ(GetClipBox(dc_, &box), COMPLEXREGION);
  HBRUSH brush = CreateSolidBrush(kBlack);
  HGDIOBJ old = SelectObject(dc_, brush);
  PatBlt(dc_, 0, 0, kWidth, kHeight, PATCOPY);
  SetPixelV(dc_, 15, 15, RGB(255, 0, 0));  // inside the hole: not drawn
  SelectObject(dc_, old);
  DeleteObject(brush);
  EXPECT_EQ(Count(kWhite), 100);
  EXPECT_EQ(Count(kWhite, 10, 10, 20, 20), 100);
  EXPECT_EQ(Count(RGB(255, 0, 0)), 0);
  EXPECT_EQ(GetPixel(dc_, 9, 9), kBlack);
  EXPECT_EQ(GetPixel(dc_, 20, 20), kBlack);
}

TEST_F(Pixels, ExcludeClipRectAlsoClipsRectangleAndText) {
  ExcludeClipRect(dc_, 0, 0, 32, kHeight);  // the left half
  SelectObject(dc_, GetStockObject(BLACK_BRUSH));
  Rectangle(dc_, 0, 0, kWidth, kHeight);
  SelectObject(dc_, GetStockObject(WHITE_BRUSH));
  SetBkColor(dc_, RGB(0, 0, 0));
  RECT r{0, 0, kWidth, 10};
  ExtTextOutA(dc_, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
  EXPECT_EQ(Count(kWhite, 0, 0, 32, kHeight), 32 * kHeight);
  EXPECT_EQ(Count(kBlack, 32, 0, kWidth, kHeight), 32 * kHeight);
}

TEST_F(Pixels, ExcludingEverythingLeavesANullRegion) {
  EXPECT_EQ(ExcludeClipRect(dc_, -5, -5, kWidth + 5, kHeight + 5), NULLREGION);
  RECT box;
  EXPECT_EQ(GetClipBox(dc_, &box), NULLREGION);
  PatBlt(dc_, 0, 0, kWidth, kHeight, BLACKNESS);
  EXPECT_EQ(Count(kWhite), kWidth * kHeight);
}

TEST_F(Pixels, DefaultEraseFillsTheClipBoxWithTheClassBrush) {
  Fill(kBlack);
  IntersectClipRect(dc_, 5, 6, 15, 12);
  const LRESULT erased = DefWindowProcA(hwnd_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc_), 0);
  EXPECT_NE(erased, 0);
  EXPECT_EQ(Count(kWhite), 10 * 6);
  EXPECT_EQ(Count(kWhite, 5, 6, 15, 12), 10 * 6);
}

TEST_F(Pixels, DefaultEraseWithoutClassBrushDoesNothing) {
  HWND bare = CreateTestWindow(WS_POPUP, 0, 0, 50, 50, kNoBrushClass);
  ASSERT_NE(bare, nullptr);
  Fill(kBlack);
  EXPECT_EQ(DefWindowProcA(bare, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc_), 0), 0);
  DestroyWindow(bare);
  EXPECT_EQ(Count(kBlack), kWidth * kHeight);
}

TEST_F(Pixels, Rop2AppliesToPixelsOfPens) {
  Fill(RGB(0x0F, 0xF0, 0x55));
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(0xFF, 0x0F, 0x50));
  HGDIOBJ old = SelectObject(dc_, pen);
  SetROP2(dc_, R2_XORPEN);
  Rectangle(dc_, 0, 0, 3, 3);  // outline only matters: white brush interior at (1,1)
  SelectObject(dc_, old);
  DeleteObject(pen);
  EXPECT_EQ(GetPixel(dc_, 0, 0), RGB(0x0F ^ 0xFF, 0xF0 ^ 0x0F, 0x55 ^ 0x50));
}

}  // namespace
}  // namespace conformance
