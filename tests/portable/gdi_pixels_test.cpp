// Pixels drawn into memory DCs, read back exactly.
#include "gdi_test_util.h"

using gdi_test::Canvas;
using gdi_test::Rows;

namespace {

using kit::kBlack;
using kit::kRed;
using kit::kWhite;

TEST(GdiPixels, SetPixelKeepsColourOrderAndReportsClipping) {
  Canvas c(4, 3);
  EXPECT_TRUE(SetPixelV(c.dc(), 1, 1, RGB(0x12, 0x34, 0x56)));
  EXPECT_EQ(c.At(1, 1), RGB(0x12, 0x34, 0x56));
  EXPECT_EQ(c.At(0, 0), kWhite);
  // Outside the bitmap: nothing written, failure reported.
  EXPECT_FALSE(SetPixelV(c.dc(), 4, 0, kRed));
  EXPECT_FALSE(SetPixelV(c.dc(), -1, 0, kRed));
  EXPECT_EQ(SetPixel(c.dc(), 0, 3, kRed), CLR_INVALID);
  EXPECT_EQ(GetPixel(c.dc(), 4, 0), CLR_INVALID);
  EXPECT_EQ(GetPixel(c.dc(), 0, -1), CLR_INVALID);
  // SetPixel returns the colour set; the high byte of a COLORREF is not a colour.
  EXPECT_EQ(SetPixel(c.dc(), 2, 2, 0x02ABCDEF), 0x00ABCDEFu);
  EXPECT_EQ(c.At(2, 2), 0x00ABCDEFu);
}

TEST(GdiPixels, SetPixelIgnoresRop2) {
  Canvas c(2, 1, kBlack);
  SetROP2(c.dc(), R2_XORPEN);
  SetPixelV(c.dc(), 0, 0, kRed);
  SetPixelV(c.dc(), 0, 0, kRed);
  EXPECT_EQ(c.At(0, 0), kRed);
}

TEST(GdiPixels, RectangleOutlineExcludesRightAndBottom) {
  Canvas c(7, 6);
  HPEN pen = CreatePen(PS_SOLID, 1, kRed);
  HBRUSH brush = CreateSolidBrush(kBlack);
  HGDIOBJ oldPen = SelectObject(c.dc(), pen);
  HGDIOBJ oldBrush = SelectObject(c.dc(), brush);
  EXPECT_TRUE(Rectangle(c.dc(), 1, 1, 6, 5));
  std::string expected = Rows({
      ".......",
      ".RRRRR.",
      ".RBBBR.",
      ".RBBBR.",
      ".RRRRR.",
      ".......",
  });
  std::string got;
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 7; ++x) {
      COLORREF p = c.At(x, y);
      got += p == kWhite ? '.' : p == kRed ? 'R' : p == kBlack ? 'B' : '?';
    }
    got += '\n';
  }
  EXPECT_EQ(got, expected);
  SelectObject(c.dc(), oldPen);
  SelectObject(c.dc(), oldBrush);
  DeleteObject(pen);
  DeleteObject(brush);
}

TEST(GdiPixels, RectangleWithSwappedCornersMatchesNormalised) {
  Canvas a(8, 8), b(8, 8);
  Rectangle(a.dc(), 1, 2, 6, 7);
  Rectangle(b.dc(), 6, 7, 1, 2);
  EXPECT_EQ(a.Picture({{kWhite, '.'}, {kBlack, '#'}}), b.Picture({{kWhite, '.'}, {kBlack, '#'}}));
  EXPECT_EQ(a.Count(kBlack), 2 * 5 + 2 * 3);
}

TEST(GdiPixels, RectangleNullBrushAndNullPen) {
  Canvas c(6, 6, kRed);
  SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
  Rectangle(c.dc(), 0, 0, 4, 4);
  EXPECT_EQ(c.At(1, 1), kRed);  // interior untouched
  EXPECT_EQ(c.At(3, 3), kBlack);
  EXPECT_EQ(c.At(4, 4), kRed);

  Canvas d(6, 6, kRed);
  SelectObject(d.dc(), GetStockObject(NULL_PEN));
  Rectangle(d.dc(), 0, 0, 4, 4);
  // No outline: the white brush covers one pixel less to the right and bottom.
  EXPECT_EQ(d.Picture({{kRed, '.'}, {kWhite, '#'}}),
            Rows({"###...", "###...", "###...", "......", "......", "......"}));
}

TEST(GdiPixels, RectangleUsesRop2ForOutlineAndFill) {
  Canvas c(5, 5, kBlack);
  SetROP2(c.dc(), R2_XORPEN);
  SelectObject(c.dc(), GetStockObject(WHITE_PEN));
  SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
  Rectangle(c.dc(), 0, 0, 5, 5);
  EXPECT_EQ(c.Count(kWhite), 25);
  Rectangle(c.dc(), 0, 0, 5, 5);  // XOR twice: back to black, corners included
  EXPECT_EQ(c.Count(kBlack), 25);
}

TEST(GdiPixels, LineToExcludesEndPointAndMovesPosition) {
  Canvas c(6, 4);
  MoveToEx(c.dc(), 0, 1, nullptr);
  EXPECT_TRUE(LineTo(c.dc(), 5, 1));
  EXPECT_EQ(c.Picture({{kWhite, '.'}, {kBlack, '#'}}),
            Rows({"......", "#####.", "......", "......"}));
  POINT p;
  GetCurrentPositionEx(c.dc(), &p);
  EXPECT_EQ(p.x, 5);
  EXPECT_EQ(p.y, 1);
  // Back up the same row: the other end is excluded this time.
  LineTo(c.dc(), 5, 3);
  EXPECT_EQ(c.Picture({{kWhite, '.'}, {kBlack, '#'}}),
            Rows({"......", "######", ".....#", "......"}));
}

TEST(GdiPixels, DiagonalAndShallowLines) {
  Canvas c(5, 5);
  MoveToEx(c.dc(), 0, 0, nullptr);
  LineTo(c.dc(), 4, 4);
  EXPECT_EQ(c.Picture({{kWhite, '.'}, {kBlack, '#'}}),
            Rows({"#....", ".#...", "..#..", "...#.", "....."}));
  Canvas d(8, 2);
  MoveToEx(d.dc(), 0, 0, nullptr);
  LineTo(d.dc(), 8, 1);
  // One step down somewhere in the middle, one pixel per column.
  std::string pic = d.Picture({{kWhite, '.'}, {kBlack, '#'}});
  EXPECT_EQ(d.Count(kBlack), 8);
  EXPECT_EQ(pic[0], '#');
  EXPECT_EQ(pic[9 + 7], '#');
}

TEST(GdiPixels, StyledPensFollowTheirPattern) {
  Canvas c(14, 2, kWhite);
  HPEN dot = CreatePen(PS_DOT, 1, kBlack);
  HGDIOBJ old = SelectObject(c.dc(), dot);
  SetBkColor(c.dc(), kRed);
  MoveToEx(c.dc(), 0, 0, nullptr);
  LineTo(c.dc(), 13, 0);  // OPAQUE: gaps in the background colour
  SetBkMode(c.dc(), TRANSPARENT);
  MoveToEx(c.dc(), 0, 1, nullptr);
  LineTo(c.dc(), 13, 1);
  std::string got;
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 14; ++x) got += c.At(x, y) == kBlack ? '#' : c.At(x, y) == kRed ? 'r' : '.';
  EXPECT_EQ(got,
            "###rrr###rrr#."
            "###...###...#.");
  SelectObject(c.dc(), old);
  DeleteObject(dot);

  Canvas d(30, 1, kWhite);
  HPEN dash = CreatePen(PS_DASH, 1, kBlack);
  old = SelectObject(d.dc(), dash);
  MoveToEx(d.dc(), 0, 0, nullptr);
  LineTo(d.dc(), 30, 0);
  EXPECT_EQ(d.Picture({{kWhite, '.'}, {kBlack, '#'}}),
            std::string(18, '#') + std::string(6, '.') + std::string(6, '#') + "\n");
  SelectObject(d.dc(), old);
  DeleteObject(dash);

  // Round a rectangle the pattern runs on, each corner once.
  Canvas e(4, 4, kRed);
  dot = CreatePen(PS_DOT, 1, kBlack);
  old = SelectObject(e.dc(), dot);
  SelectObject(e.dc(), GetStockObject(NULL_BRUSH));
  SetBkMode(e.dc(), TRANSPARENT);
  Rectangle(e.dc(), 0, 0, 4, 4);
  EXPECT_EQ(e.Picture({{kRed, '.'}, {kBlack, '#'}}), Rows({"###.", "....", "....", ".###"}));
  SelectObject(e.dc(), old);
  DeleteObject(dot);

  // Wider than one pixel a styled pen draws solid.
  Canvas f(30, 3, kWhite);
  HPEN wide = CreatePen(PS_DOT, 2, kBlack);
  old = SelectObject(f.dc(), wide);
  MoveToEx(f.dc(), 0, 1, nullptr);
  LineTo(f.dc(), 30, 1);
  EXPECT_EQ(f.Count(kBlack), 60);
  SelectObject(f.dc(), old);
  DeleteObject(wide);
}

TEST(GdiPixels, NullPenLineDrawsNothingButMoves) {
  Canvas c(4, 1);
  SelectObject(c.dc(), GetStockObject(NULL_PEN));
  MoveToEx(c.dc(), 0, 0, nullptr);
  EXPECT_TRUE(LineTo(c.dc(), 4, 0));
  EXPECT_EQ(c.Count(kWhite), 4);
  POINT p;
  GetCurrentPositionEx(c.dc(), &p);
  EXPECT_EQ(p.x, 4);
}

// Result of each R2_ mode for pen 0x0000FF (COLORREF red) over destination 0x00FF00 pixels
// given as COLORREF green, channel by channel: P = pen bits, D = destination bits.
TEST(GdiPixels, AllSixteenRop2ModesOnLineTo) {
  const COLORREF pen = RGB(0xF0, 0x0F, 0x55);
  const COLORREF dst = RGB(0xCC, 0x33, 0xAA);
  for (int mode = R2_BLACK; mode <= R2_WHITE; ++mode) {
    Canvas c(2, 1, dst);
    HPEN p = CreatePen(PS_SOLID, 1, pen);
    HGDIOBJ old = SelectObject(c.dc(), p);
    EXPECT_EQ(SetROP2(c.dc(), mode), R2_COPYPEN);
    MoveToEx(c.dc(), 0, 0, nullptr);
    LineTo(c.dc(), 1, 0);
    uint32_t P = pen, D = dst, expected = 0;
    switch (mode) {
      case R2_BLACK: expected = 0; break;
      case R2_NOTMERGEPEN: expected = ~(P | D); break;
      case R2_MASKNOTPEN: expected = ~P & D; break;
      case R2_NOTCOPYPEN: expected = ~P; break;
      case R2_MASKPENNOT: expected = P & ~D; break;
      case R2_NOT: expected = ~D; break;
      case R2_XORPEN: expected = P ^ D; break;
      case R2_NOTMASKPEN: expected = ~(P & D); break;
      case R2_MASKPEN: expected = P & D; break;
      case R2_NOTXORPEN: expected = ~(P ^ D); break;
      case R2_NOP: expected = D; break;
      case R2_MERGENOTPEN: expected = ~P | D; break;
      case R2_COPYPEN: expected = P; break;
      case R2_MERGEPENNOT: expected = P | ~D; break;
      case R2_MERGEPEN: expected = P | D; break;
      case R2_WHITE: expected = 0xFFFFFF; break;
    }
    EXPECT_EQ(c.At(0, 0), expected & 0xFFFFFF) << "mode " << mode;
    EXPECT_EQ(c.At(1, 0), dst) << "end point drawn, mode " << mode;
    SelectObject(c.dc(), old);
    DeleteObject(p);
  }
  Canvas c(1, 1);
  EXPECT_EQ(SetROP2(c.dc(), 0), 0);
  EXPECT_EQ(SetROP2(c.dc(), 17), 0);
  EXPECT_EQ(GetROP2(c.dc()), R2_COPYPEN);
}

TEST(GdiPixels, WideLinesAreThePensSquaresAlongTheLine) {
  Canvas c(8, 5, kWhite);
  HPEN wide = CreatePen(PS_SOLID, 3, kBlack);
  HGDIOBJ old = SelectObject(c.dc(), wide);
  MoveToEx(c.dc(), 1, 2, nullptr);
  LineTo(c.dc(), 6, 2);  // pixels 1 to 5, each the centre of a 3x3 square
  EXPECT_EQ(c.Picture({{kWhite, '.'}, {kBlack, '#'}}),
            Rows({"........", "#######.", "#######.", "#######.", "........"}));
  SelectObject(c.dc(), old);
  DeleteObject(wide);
}

TEST(GdiPixels, WideLinesApplyTheirRasterOperationOncePerPixel) {
  // The squares of neighbouring pixels overlap; XOR applied twice would give the ground back.
  const RECT lines[] = {{2, 3, 12, 8}, {13, 1, 11, 10}, {1, 10, 14, 9}, {14, 2, 3, 2}};
  for (int width : {2, 3, 5, 8}) {
    for (const RECT& line : lines) {
      Canvas copy(16, 12, kWhite);
      Canvas xored(16, 12, kWhite);
      for (Canvas* c : {&copy, &xored}) {
        HPEN pen = CreatePen(PS_SOLID, width, kWhite);
        HGDIOBJ old = SelectObject(c->dc(), pen);
        SetROP2(c->dc(), c == &copy ? R2_BLACK : R2_XORPEN);
        MoveToEx(c->dc(), line.left, line.top, nullptr);
        LineTo(c->dc(), line.right, line.bottom);
        SelectObject(c->dc(), old);
        DeleteObject(pen);
      }
      EXPECT_EQ(xored.Picture({{kWhite, '.'}, {kBlack, '#'}}),
                copy.Picture({{kWhite, '.'}, {kBlack, '#'}}))
          << "width " << width << " from " << line.left << "," << line.top;
      EXPECT_GE(copy.Count(kBlack), 2 * width) << "width " << width;
    }
  }
}

TEST(GdiPixels, PatBltModes) {
  Canvas c(4, 2, RGB(0x10, 0x20, 0x30));
  HBRUSH brush = CreateSolidBrush(RGB(0x0F, 0xF0, 0x01));
  HGDIOBJ old = SelectObject(c.dc(), brush);
  EXPECT_TRUE(PatBlt(c.dc(), 0, 0, 1, 2, PATCOPY));
  EXPECT_TRUE(PatBlt(c.dc(), 1, 0, 1, 2, BLACKNESS));
  EXPECT_TRUE(PatBlt(c.dc(), 2, 0, 1, 2, WHITENESS));
  EXPECT_TRUE(PatBlt(c.dc(), 3, 0, 1, 1, DSTINVERT));
  EXPECT_TRUE(PatBlt(c.dc(), 3, 1, 1, 1, PATINVERT));
  EXPECT_EQ(c.At(0, 1), RGB(0x0F, 0xF0, 0x01));
  EXPECT_EQ(c.At(1, 0), kBlack);
  EXPECT_EQ(c.At(2, 1), kWhite);
  EXPECT_EQ(c.At(3, 0), RGB(0xEF, 0xDF, 0xCF));
  EXPECT_EQ(c.At(3, 1), RGB(0x1F, 0xD0, 0x31));
  // Negative extents name the other corner.
  EXPECT_TRUE(PatBlt(c.dc(), 4, 2, -1, -1, BLACKNESS));
  EXPECT_EQ(c.At(3, 1), kBlack);
  // A raster operation that needs a source is refused.
  EXPECT_FALSE(PatBlt(c.dc(), 0, 0, 1, 1, SRCCOPY));
  SelectObject(c.dc(), old);
  DeleteObject(brush);
}

TEST(GdiPixels, BitBltBetweenMemoryDcs) {
  Canvas src(3, 3, kBlack);
  SetPixelV(src.dc(), 1, 1, kRed);
  SetPixelV(src.dc(), 2, 2, RGB(1, 2, 3));
  Canvas dst(5, 5);
  EXPECT_TRUE(BitBlt(dst.dc(), 1, 1, 3, 3, src.dc(), 0, 0, SRCCOPY));
  EXPECT_EQ(dst.At(0, 0), kWhite);
  EXPECT_EQ(dst.At(1, 1), kBlack);
  EXPECT_EQ(dst.At(2, 2), kRed);
  EXPECT_EQ(dst.At(3, 3), RGB(1, 2, 3));
  EXPECT_EQ(dst.At(4, 4), kWhite);

  // Source partly outside its bitmap: those destination pixels stay as they were.
  Canvas d2(4, 4, RGB(9, 9, 9));
  EXPECT_TRUE(BitBlt(d2.dc(), 0, 0, 4, 4, src.dc(), 1, 1, SRCCOPY));
  EXPECT_EQ(d2.At(0, 0), kRed);
  EXPECT_EQ(d2.At(1, 1), RGB(1, 2, 3));
  EXPECT_EQ(d2.At(2, 0), RGB(9, 9, 9));
  EXPECT_EQ(d2.At(0, 2), RGB(9, 9, 9));
  EXPECT_EQ(d2.At(3, 3), RGB(9, 9, 9));
}

TEST(GdiPixels, BitBltSourceOperations) {
  const COLORREF s = RGB(0xF0, 0x0F, 0x55), d = RGB(0xCC, 0x33, 0xAA);
  struct Case {
    DWORD rop;
    COLORREF expected;
  } cases[] = {{SRCPAINT, s | d}, {SRCAND, s & d}, {SRCINVERT, s ^ d}, {NOTSRCCOPY, ~s & 0xFFFFFF}};
  Canvas src(1, 1, s);
  for (const Case& k : cases) {
    Canvas dst(1, 1, d);
    EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, 1, 1, src.dc(), 0, 0, k.rop));
    EXPECT_EQ(dst.At(0, 0), k.expected) << std::hex << k.rop;
  }
  Canvas dst(1, 1, d);
  EXPECT_FALSE(BitBlt(dst.dc(), 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
  EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, 1, 1, nullptr, 0, 0, BLACKNESS));
  EXPECT_EQ(dst.At(0, 0), kBlack);
}

TEST(GdiPixels, BitBltWithinOneBitmapHandlesOverlap) {
  Canvas c(5, 1);
  for (int x = 0; x < 5; ++x) SetPixelV(c.dc(), x, 0, RGB(x, 0, 0));
  EXPECT_TRUE(BitBlt(c.dc(), 1, 0, 4, 1, c.dc(), 0, 0, SRCCOPY));
  for (int x = 1; x < 5; ++x) EXPECT_EQ(c.At(x, 0), RGB(x - 1, 0, 0)) << x;
  EXPECT_TRUE(BitBlt(c.dc(), 0, 0, 4, 1, c.dc(), 1, 0, SRCCOPY));
  for (int x = 0; x < 4; ++x) EXPECT_EQ(c.At(x, 0), RGB(x, 0, 0)) << x;
}

TEST(GdiPixels, DefaultMonochromeBitmapIsOnePixel) {
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAP bm{};
  ASSERT_EQ(GetObjectA(GetCurrentObject(dc, OBJ_BITMAP), sizeof(bm), &bm), (int)sizeof(BITMAP));
  EXPECT_EQ(bm.bmWidth, 1);
  EXPECT_EQ(bm.bmHeight, 1);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  EXPECT_EQ(GetPixel(dc, 1, 0), CLR_INVALID);
  SetPixelV(dc, 0, 0, RGB(200, 200, 200));
  EXPECT_EQ(GetPixel(dc, 0, 0), kWhite);  // monochrome: light colours become white
  SetPixelV(dc, 0, 0, RGB(20, 200, 20));
  EXPECT_EQ(GetPixel(dc, 0, 0), kBlack);
  DeleteDC(dc);
}

}  // namespace
