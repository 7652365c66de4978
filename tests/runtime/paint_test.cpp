// Painting and erasing: backed windows repaint themselves, direct windows ask their handler,
// and erasing lends its context to the handler.
#include "runtime/window/paint.h"

#include "runtime/graphics/draw.h"
#include "runtime/graphics/draw_context.h"
#include "runtime/window/window_open.h"
#include "runtime/window/event_dispatch.h"
#include "runtime_fixture.h"

namespace {

class PaintTest : public RuntimeTest {};

TEST_F(PaintTest, BackedWindowRepaintsUncoveredAreaFromItsBitmapWithoutTheHandler) {
  WindowRecord* r = Open(0, 40, 40, 200, 150);
  DrawPoint(r, 10, 10, kRed);
  DrawRect(r, 20, 20, 30, 30, kBlue, kGreen);
  // The drawing reached the screen before the operations returned.
  EXPECT_EQ(ScreenPixel(r, 10, 10), kRed);
  EXPECT_EQ(ScreenPixel(r, 30, 30), kGreen);
  EventLog().clear();
  Uncover(r);
  EXPECT_EQ(CountEvents(WM_PAINT), 0);
  EXPECT_EQ(ScreenPixel(r, 10, 10), kRed);
  EXPECT_EQ(ScreenPixel(r, 20, 20), kBlue);
  EXPECT_EQ(ScreenPixel(r, 30, 30), kGreen);
  EXPECT_EQ(ScreenPixel(r, 60, 60), r->fillColor);
  RECT update{};
  EXPECT_FALSE(GetUpdateRect(r->hwnd, &update, FALSE));
}

TEST_F(PaintTest, BackedWindowLeavesVisibleChildrenAlone) {
  WindowRecord* r = Open(0, 40, 40, 200, 150);
  WindowRecord* child = Open(OPEN_DIRECT | OPEN_NO_CAPTION, 50, 50, 40, 40, r);
  DrawClear(child, kBlue);
  UpdateWindow(child->hwnd);
  ASSERT_EQ(ScreenPixel(child, 5, 5), kBlue);
  DrawClear(r, kRed);  // the bitmap turns red under the child too
  EXPECT_EQ(ScreenPixel(r, 10, 10), kRed);
  InvalidateRect(r->hwnd, nullptr, FALSE);
  UpdateWindow(r->hwnd);
  EXPECT_EQ(ScreenPixel(child, 20, 20), kBlue);
  EXPECT_EQ(ScreenPixel(r, 100, 100), kRed);
}

TEST_F(PaintTest, DirectWindowGetsOnePaintEventAndIsValidatedEvenWhenNothingIsDrawn) {
  WindowRecord* r = Open(OPEN_DIRECT, 40, 40, 200, 150);
  UpdateWindow(r->hwnd);
  EventLog().clear();
  RECT part{10, 10, 50, 40};
  InvalidateRect(r->hwnd, &part, FALSE);
  UpdateWindow(r->hwnd);
  EXPECT_EQ(CountEvents(WM_PAINT), 1);
  RECT update{};
  EXPECT_FALSE(GetUpdateRect(r->hwnd, &update, FALSE));
  UpdateWindow(r->hwnd);
  EXPECT_EQ(CountEvents(WM_PAINT), 1);
}

TEST_F(PaintTest, DirectWindowHandlerRepaintsWithOrdinaryOperations) {
  WindowRecord* r = Open(OPEN_DIRECT, 40, 40, 200, 150);
  static WindowRecord* target = nullptr;
  target = r;
  HandlerAction() = [] {
    if (CurrentEvent.eventId == WM_PAINT) DrawPoint(target, 5, 6, kBlue);
    return 0;
  };
  Uncover(r);
  EXPECT_EQ(ScreenPixel(r, 5, 6), kBlue);
  EXPECT_EQ(ScreenPixel(r, 6, 6), r->fillColor);
}

TEST_F(PaintTest, EraseFillsWithFillColourThenLendsItsContext) {
  WindowRecord* r = Open(OPEN_DIRECT, 40, 40, 200, 150);
  UpdateWindow(r->hwnd);
  static WindowRecord* target = nullptr;
  static HDC lentDuringErase = nullptr;
  static HDC acquired = nullptr;
  target = r;
  lentDuringErase = acquired = nullptr;
  HandlerAction() = [] {
    if (CurrentEvent.eventId == EVENT_ERASE_BACKGROUND) {
      lentDuringErase = target->lentContext;
      acquired = DrawContextAcquire(target);
      DrawContextRelease(target, acquired, 1);
      DrawMoveTo(target, 33, 44);
      DrawSetPenColor(target, kGreen);
      DrawSetBackColor(target, kRed);
      DrawPoint(target, 3, 3, NO_COLOUR);  // in the lent context's text colour: green
      DrawRect(target, 10, 10, 5, 5, NO_COLOUR, NO_COLOUR);
    }
    return 0;
  };
  const POINT penPos = r->penPos;
  const COLORREF bkColor = r->bkColor;
  HPEN pen = r->pen;
  DrawClear(r, kBlue);
  UpdateWindow(r->hwnd);

  const LoggedEvent* erase = nullptr;
  for (const LoggedEvent& e : EventLog()) {
    if (e.id == EVENT_ERASE_BACKGROUND) erase = &e;
  }
  ASSERT_NE(erase, nullptr);
  EXPECT_EQ(reinterpret_cast<HDC>(erase->param1), lentDuringErase);
  EXPECT_EQ(acquired, lentDuringErase);
  EXPECT_EQ(r->lentContext, nullptr);
  // The erase drew, but the record kept its own state.
  EXPECT_EQ(ScreenPixel(r, 100, 100), kBlue);
  EXPECT_EQ(ScreenPixel(r, 3, 3), kGreen);
  EXPECT_EQ(ScreenPixel(r, 10, 10), kGreen);
  EXPECT_EQ(ScreenPixel(r, 12, 12), kBlue);
  EXPECT_EQ(r->penPos.x, penPos.x);
  EXPECT_EQ(r->penPos.y, penPos.y);
  EXPECT_EQ(r->bkColor, bkColor);
  EXPECT_EQ(r->pen, pen);
  EXPECT_EQ(r->holdCount, 0);
  EXPECT_EQ(r->heldContext, nullptr);
  // The pen colour outside the erase is still the old one.
  HDC dc = DrawContextAcquire(r);
  LOGPEN logPen{};
  GetObjectA(r->pen, sizeof(logPen), &logPen);
  EXPECT_EQ(GetTextColor(dc), logPen.lopnColor);
  EXPECT_NE(GetTextColor(dc), kGreen);
  DrawContextRelease(r, dc, 1);
}

TEST_F(PaintTest, RepeatedPenChangesDuringOneEraseAreAllDisposedOf) {
  WindowRecord* r = Open(OPEN_DIRECT, 40, 40, 200, 150);
  UpdateWindow(r->hwnd);
  static WindowRecord* target = nullptr;
  target = r;
  HandlerAction() = [] {
    if (CurrentEvent.eventId == EVENT_ERASE_BACKGROUND) {
      for (COLORREF c : {kRed, kGreen, kBlue}) DrawSetPenColor(target, c);
      DrawPoint(target, 1, 1, NO_COLOUR);
    }
    return 0;
  };
  for (int i = 0; i < 40; ++i) Uncover(r);  // more erases than there are deferral slots
  EXPECT_EQ(ScreenPixel(r, 1, 1), kBlue);
  // The context the pens were selected in is gone and the record's pen is untouched.
  LOGPEN logPen{};
  ASSERT_NE(GetObjectA(r->pen, sizeof(logPen), &logPen), 0);
  EXPECT_NE(logPen.lopnColor, kBlue);
}

TEST_F(PaintTest, WindowWithoutRecordIsErasedWithTheSystemColour) {
  WindowClassesRegister();
  HWND bare = CreateWindowExA(0, "KorvexWndClass", "bare", WS_POPUP | WS_VISIBLE, 50, 50, 60, 60,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(bare, nullptr);
  HDC dc = GetDC(bare);
  FillRectColor(dc, 0, 0, 60, 60, kRed);
  EXPECT_EQ(EraseBackground(bare, reinterpret_cast<WPARAM>(dc), 0), 1);
  EXPECT_EQ(GetPixel(dc, 30, 30), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(PaintWindow(bare, 0, 0), 1);
  EXPECT_EQ(EraseBackground(nullptr, reinterpret_cast<WPARAM>(dc), 0), 1);
  ReleaseDC(bare, dc);
  DestroyWindow(bare);
  EXPECT_TRUE(EventLog().empty());
}

#ifndef SPIRALS_SYSTEM_WIN32
// Off Windows the whole window has pixels, also where it reaches beyond the screen.
TEST_F(PaintTest, BackedWindowBeyondTheScreenShowsTheErasedColourWhereNoBitmapIs) {
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  WindowRecord* r = Open(0, 0, 0, screenWidth + 300, 200);
  DrawClear(r, kGreen);
  r->fillColor = kRed;
  Uncover(r);
  EXPECT_EQ(ScreenPixel(r, screenWidth - 1, 50), kGreen);
  EXPECT_EQ(ScreenPixel(r, screenWidth, 50), kRed);
  EXPECT_EQ(ScreenPixel(r, screenWidth + 100, 50), kRed);
}
#endif

TEST_F(PaintTest, DrawClearOnADirectWindowWaitsForThePaint) {
  WindowRecord* r = Open(OPEN_DIRECT, 40, 40, 200, 150);
  UpdateWindow(r->hwnd);
  const COLORREF before = ScreenPixel(r, 50, 50);
  DrawClear(r, kBlack);
  EXPECT_EQ(r->fillColor, kBlack);
  EXPECT_EQ(ScreenPixel(r, 50, 50), before);
  UpdateWindow(r->hwnd);
  EXPECT_EQ(ScreenPixel(r, 50, 50), kBlack);
  EXPECT_EQ(ScreenPixel(r, 0, 0), kBlack);
}

TEST_F(PaintTest, DrawClearOnABackedWindowChangesBitmapAndScreenAtOnce) {
  WindowRecord* r = Open(0, 40, 40, 200, 150);
  DrawClear(r, kGreen);
  EXPECT_EQ(r->fillColor, kGreen);
  EXPECT_EQ(ScreenPixel(r, 50, 50), kGreen);
  EXPECT_EQ(BitmapPixel(r, GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1),
            kGreen);
}

}  // namespace
