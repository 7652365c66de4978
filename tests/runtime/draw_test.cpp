// The drawing bracket and the primitives: state carried in the record, nesting, refresh.
#include "runtime/graphics/draw.h"

#include "runtime/graphics/draw_context.h"
#include "runtime_fixture.h"

namespace {

class DrawTest : public RuntimeTest {};

COLORREF PenColour(HPEN pen) {
  LOGPEN logPen{};
  GetObjectA(pen, sizeof(logPen), &logPen);
  return logPen.lopnColor;
}

TEST_F(DrawTest, BracketAppliesTheRecordsStateToAFreshContext) {
  WindowRecord* r = Open(OPEN_DIRECT);
  DrawMoveTo(r, 7, 9);
  DrawSetBackColor(r, kGreen);
  DrawSetPenColor(r, kRed);
  HDC dc = DrawContextAcquire(r);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(r->heldContext, dc);
  EXPECT_EQ(r->holdCount, 1);
  POINT p{};
  GetCurrentPositionEx(dc, &p);
  EXPECT_EQ(p.x, 7);
  EXPECT_EQ(p.y, 9);
  EXPECT_EQ(GetBkColor(dc), kGreen);
  EXPECT_EQ(GetTextColor(dc), kRed);  // the text colour follows the pen
  EXPECT_EQ(GetTextAlign(dc) & TA_UPDATECP, static_cast<UINT>(TA_UPDATECP));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), r->pen);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), r->font);
  DrawContextRelease(r, dc, 1);
  EXPECT_EQ(r->heldContext, nullptr);
  EXPECT_EQ(r->holdCount, 0);
}

TEST_F(DrawTest, ReleaseStoresWhatTheOperationLeftInTheContext) {
  WindowRecord* r = Open(OPEN_DIRECT);
  HPEN before = r->pen;
  HDC dc = DrawContextAcquire(r);
  MoveToEx(dc, 21, 22, nullptr);
  SetBkMode(dc, TRANSPARENT);
  SetROP2(dc, R2_XORPEN);
  SetBkColor(dc, kBlue);
  HPEN blue = CreatePen(PS_SOLID, 1, kBlue);
  SelectObject(dc, blue);
  DrawContextRelease(r, dc, 1);
  DeleteObject(blue);  // the record keeps a copy, not this pen
  EXPECT_EQ(r->penPos.x, 21);
  EXPECT_EQ(r->penPos.y, 22);
  EXPECT_EQ(r->bkMode, TRANSPARENT);
  EXPECT_EQ(r->rop2, R2_XORPEN);
  EXPECT_EQ(r->bkColor, kBlue);
  EXPECT_NE(r->pen, before);
  EXPECT_EQ(PenColour(r->pen), kBlue);
  dc = DrawContextAcquire(r);
  EXPECT_EQ(GetTextColor(dc), kBlue);
  DrawContextRelease(r, dc, 1);
}

TEST_F(DrawTest, NestedBracketsShareOneContextAndReadStateBackOnce) {
  WindowRecord* r = Open(OPEN_DIRECT);
  HDC outer = DrawContextAcquire(r);
  HDC inner = DrawContextAcquire(r);
  EXPECT_EQ(inner, outer);
  EXPECT_EQ(r->holdCount, 2);
  MoveToEx(inner, 50, 60, nullptr);
  DrawContextRelease(r, inner, 1);
  EXPECT_EQ(r->holdCount, 1);
  EXPECT_EQ(r->heldContext, outer);
  EXPECT_EQ(r->penPos.x, 0);  // not yet read back
  DrawMoveTo(r, 70, 80);      // a whole operation inside the open bracket
  EXPECT_EQ(r->penPos.x, 0);
  DrawSetPenColor(r, kGreen);  // nested: the pen stays selected for the outer release
  EXPECT_EQ(GetTextColor(outer), kGreen);
  DrawContextRelease(r, outer, 1);
  EXPECT_EQ(r->holdCount, 0);
  EXPECT_EQ(r->penPos.x, 70);
  EXPECT_EQ(r->penPos.y, 80);
  EXPECT_EQ(PenColour(r->pen), kGreen);
}

TEST_F(DrawTest, PenColourBecomesTextColourWithoutDrawing) {
  WindowRecord* r = Open(OPEN_DIRECT);
  UpdateWindow(r->hwnd);
  const COLORREF before = ScreenPixel(r, 0, 0);
  DrawSetPenColor(r, kWhite);
  EXPECT_EQ(ScreenPixel(r, 0, 0), before);
  EXPECT_EQ(PenColour(r->pen), kWhite);
  EXPECT_EQ(r->penStyle, 0);
  DrawPoint(r, 4, 4, NO_COLOUR);
  EXPECT_EQ(ScreenPixel(r, 4, 4), kWhite);
  DrawSetPenColor(r, kRed);
  DrawPoint(r, 5, 4, NO_COLOUR);
  EXPECT_EQ(ScreenPixel(r, 5, 4), kRed);
  DrawPoint(r, 6, 4, kBlue);
  EXPECT_EQ(ScreenPixel(r, 6, 4), kBlue);
}

TEST_F(DrawTest, RectangleCornersOutlineAndFill) {
  WindowRecord* r = Open(0, 30, 30, 200, 150);
  DrawClear(r, kBlack);
  DrawRect(r, 2, 3, 10, 5, kRed, kGreen);
  EXPECT_EQ(ScreenPixel(r, 2, 3), kRed);
  EXPECT_EQ(ScreenPixel(r, 11, 7), kRed);
  EXPECT_EQ(ScreenPixel(r, 12, 8), kBlack);
  EXPECT_EQ(ScreenPixel(r, 12, 7), kBlack);
  EXPECT_EQ(ScreenPixel(r, 1, 3), kBlack);
  EXPECT_EQ(ScreenPixel(r, 5, 5), kGreen);

  // Outline -1: an unfilled outline in the text colour, whatever the fill says.
  DrawSetPenColor(r, kBlue);
  DrawRect(r, 20, 20, 6, 6, NO_COLOUR, kGreen);
  EXPECT_EQ(ScreenPixel(r, 20, 20), kBlue);
  EXPECT_EQ(ScreenPixel(r, 25, 25), kBlue);
  EXPECT_EQ(ScreenPixel(r, 22, 22), kBlack);
  // Fill -1: outline only.
  DrawRect(r, 40, 40, 6, 6, kRed, NO_COLOUR);
  EXPECT_EQ(ScreenPixel(r, 40, 45), kRed);
  EXPECT_EQ(ScreenPixel(r, 42, 42), kBlack);
  // The temporary pens and brushes did not become the record's.
  EXPECT_EQ(PenColour(r->pen), kBlue);
  EXPECT_EQ(BitmapPixel(r, 5, 5), kGreen);
}

TEST_F(DrawTest, BackedRefreshBringsOnlyTheDrawnAreaToTheScreen) {
  WindowRecord* r = Open(0, 30, 30, 200, 150);
  DrawClear(r, kBlack);
  // Drawn with refresh 0: in the bitmap, not on the screen.
  HDC dc = DrawContextAcquire(r);
  SetPixelV(dc, 8, 8, kRed);
  DrawContextRelease(r, dc, 0);
  EXPECT_EQ(BitmapPixel(r, 8, 8), kRed);
  EXPECT_EQ(ScreenPixel(r, 8, 8), kBlack);
  // A bracket that draws nothing refreshes nothing.
  dc = DrawContextAcquire(r);
  DrawContextRelease(r, dc, 1);
  EXPECT_EQ(ScreenPixel(r, 8, 8), kBlack);
  // A point elsewhere refreshes only its own pixel.
  DrawPoint(r, 30, 30, kGreen);
  EXPECT_EQ(ScreenPixel(r, 30, 30), kGreen);
  EXPECT_EQ(ScreenPixel(r, 8, 8), kBlack);
  // A paint brings the rest.
  InvalidateRect(r->hwnd, nullptr, FALSE);
  UpdateWindow(r->hwnd);
  EXPECT_EQ(ScreenPixel(r, 8, 8), kRed);
}

TEST_F(DrawTest, InnerReleaseOfABackedWindowShowsWhatTheHeldContextDrew) {
  WindowRecord* r = Open(0, 30, 30, 200, 150);
  DrawClear(r, kBlack);
  HDC outer = DrawContextAcquire(r);
  SetPixelV(outer, 12, 12, kBlue);
  DrawPoint(r, 14, 12, kRed);  // inner bracket: whole-window refresh from the held bounds
  EXPECT_EQ(ScreenPixel(r, 12, 12), kBlue);
  EXPECT_EQ(ScreenPixel(r, 14, 12), kRed);
  EXPECT_EQ(r->holdCount, 1);
  DrawContextRelease(r, outer, 1);
  EXPECT_EQ(r->holdCount, 0);
}

TEST_F(DrawTest, ClosedRecordIgnoresEveryOperation) {
  WindowRecord* r = Open(0, 30, 30, 200, 150);
  WindowClose(r);
  const WindowRecord snapshot = *r;
  EXPECT_EQ(DrawContextAcquire(r), nullptr);
  EXPECT_EQ(DrawContextRelease(r, nullptr, 1), 0);
  DrawSetBackColor(r, kRed);
  DrawSetPenColor(r, kRed);
  DrawMoveTo(r, 5, 5);
  DrawPoint(r, 1, 1, kRed);
  DrawRect(r, 0, 0, 5, 5, kRed, kRed);
  DrawClear(r, kRed);
  EXPECT_EQ(r->fillColor, snapshot.fillColor);
  EXPECT_EQ(r->bkColor, snapshot.bkColor);
  EXPECT_EQ(r->penPos.x, snapshot.penPos.x);
  EXPECT_EQ(r->penPos.y, snapshot.penPos.y);
  EXPECT_EQ(r->pen, nullptr);
  EXPECT_EQ(r->font, nullptr);
  EXPECT_EQ(r->backingBitmap, nullptr);
  EXPECT_EQ(r->holdCount, 0);
  EXPECT_EQ(r->heldContext, nullptr);
  WindowRecord never{};
  DrawPoint(&never, 1, 1, kRed);
  DrawClear(&never, kRed);
  EXPECT_EQ(never.fillColor, 0u);
  EXPECT_EQ(DrawContextAcquire(nullptr), nullptr);
}

TEST_F(DrawTest, RectangleEdgesNeverOverflow) {
  WindowRecord* r = Open(OPEN_DIRECT);
  DrawRect(r, INT32_MAX - 2, INT32_MAX - 2, 100, 100, kRed, kGreen);
  DrawRect(r, INT32_MIN + 1, INT32_MIN + 1, -100, -100, kRed, NO_COLOUR);
  EXPECT_EQ(r->holdCount, 0);
}

}  // namespace
