// Device-context state: defaults, SaveDC/RestoreDC, pens, colours, text alignment with the
// current position, and bounds accumulation.
#include <gtest/gtest.h>

#include "tests/conformance/memory_canvas.h"

namespace conformance {
namespace {

using DcState = MemoryCanvas;

TEST_F(DcState, NewMemoryDcDefaults) {
  EXPECT_EQ(GetTextColor(dc_), kBlack);
  EXPECT_EQ(GetBkColor(dc_), kWhite);
  EXPECT_EQ(GetBkMode(dc_), OPAQUE);
  EXPECT_EQ(GetROP2(dc_), R2_COPYPEN);
  EXPECT_EQ(GetTextAlign(dc_), static_cast<UINT>(TA_LEFT | TA_TOP | TA_NOUPDATECP));
  POINT p{5, 5};
  ASSERT_TRUE(GetCurrentPositionEx(dc_, &p));
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 0);
  EXPECT_EQ(GetCurrentObject(dc_, OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(dc_, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(GetCurrentObject(dc_, OBJ_FONT), GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(GetCurrentObject(dc_, OBJ_BITMAP), static_cast<HGDIOBJ>(canvas_->bitmap()));
}

TEST_F(DcState, SettersReturnThePreviousValue) {
  EXPECT_EQ(SetTextColor(dc_, RGB(1, 2, 3)), kBlack);
  EXPECT_EQ(SetTextColor(dc_, RGB(4, 5, 6)), RGB(1, 2, 3));
  EXPECT_EQ(SetBkColor(dc_, RGB(7, 8, 9)), kWhite);
  EXPECT_EQ(GetBkColor(dc_), RGB(7, 8, 9));
  EXPECT_EQ(SetBkMode(dc_, TRANSPARENT), OPAQUE);
  EXPECT_EQ(SetBkMode(dc_, OPAQUE), TRANSPARENT);
  EXPECT_EQ(SetROP2(dc_, R2_XORPEN), R2_COPYPEN);
  EXPECT_EQ(GetROP2(dc_), R2_XORPEN);
  EXPECT_EQ(SetTextAlign(dc_, TA_UPDATECP), static_cast<UINT>(TA_LEFT));
  EXPECT_EQ(GetTextAlign(dc_), static_cast<UINT>(TA_UPDATECP));
  POINT previous{-1, -1};
  ASSERT_TRUE(MoveToEx(dc_, 11, 12, &previous));
  EXPECT_EQ(previous.x, 0);
  EXPECT_EQ(previous.y, 0);
  ASSERT_TRUE(MoveToEx(dc_, 13, 14, &previous));
  EXPECT_EQ(previous.x, 11);
  EXPECT_EQ(previous.y, 12);
}

TEST_F(DcState, SaveAndRestoreTheMostRecent) {
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(200, 0, 0));
  SetTextColor(dc_, RGB(10, 20, 30));
  MoveToEx(dc_, 5, 6, nullptr);
  const int level = SaveDC(dc_);
  EXPECT_EQ(level, 1);
  SetTextColor(dc_, RGB(40, 50, 60));
  SetBkColor(dc_, RGB(1, 1, 1));
  SetBkMode(dc_, TRANSPARENT);
  SetROP2(dc_, R2_NOT);
  SetTextAlign(dc_, TA_UPDATECP);
  MoveToEx(dc_, 30, 31, nullptr);
  SelectObject(dc_, pen);
  ASSERT_TRUE(RestoreDC(dc_, -1));
  EXPECT_EQ(GetTextColor(dc_), RGB(10, 20, 30));
  EXPECT_EQ(GetBkColor(dc_), kWhite);
  EXPECT_EQ(GetBkMode(dc_), OPAQUE);
  EXPECT_EQ(GetROP2(dc_), R2_COPYPEN);
  EXPECT_EQ(GetTextAlign(dc_), 0u);
  POINT p;
  GetCurrentPositionEx(dc_, &p);
  EXPECT_EQ(p.x, 5);
  EXPECT_EQ(p.y, 6);
  EXPECT_EQ(GetCurrentObject(dc_, OBJ_PEN), GetStockObject(BLACK_PEN));
  // The pen is no longer selected anywhere, so it can go.
  EXPECT_TRUE(DeleteObject(pen));
}

TEST_F(DcState, NestedSavesAndAbsoluteRestore) {
  EXPECT_EQ(SaveDC(dc_), 1);
  SetTextColor(dc_, RGB(1, 0, 0));
  EXPECT_EQ(SaveDC(dc_), 2);
  SetTextColor(dc_, RGB(2, 0, 0));
  EXPECT_EQ(SaveDC(dc_), 3);
  SetTextColor(dc_, RGB(3, 0, 0));
  ASSERT_TRUE(RestoreDC(dc_, -1));  // back to the state saved third
  EXPECT_EQ(GetTextColor(dc_), RGB(2, 0, 0));
  EXPECT_EQ(SaveDC(dc_), 3);       // the level counts again from where it stands
  ASSERT_TRUE(RestoreDC(dc_, 2));  // drops levels 3 and 2
  EXPECT_EQ(GetTextColor(dc_), RGB(1, 0, 0));
  ASSERT_TRUE(RestoreDC(dc_, -1));
  EXPECT_EQ(GetTextColor(dc_), kBlack);
  EXPECT_FALSE(RestoreDC(dc_, -1));  // nothing left to restore
}

TEST_F(DcState, RestoreOfAMissingLevelFails) {
  EXPECT_EQ(SaveDC(dc_), 1);
  SetTextColor(dc_, RGB(9, 9, 9));
  EXPECT_FALSE(RestoreDC(dc_, 5));
  EXPECT_FALSE(RestoreDC(dc_, -3));
  EXPECT_EQ(GetTextColor(dc_), RGB(9, 9, 9));  // unchanged by the failures
  EXPECT_TRUE(RestoreDC(dc_, 1));
  EXPECT_EQ(GetTextColor(dc_), kBlack);
}

TEST_F(DcState, RestoreBringsBackTheClipping) {
  RECT box;
  ASSERT_EQ(GetClipBox(dc_, &box), SIMPLEREGION);
  EXPECT_TRUE(SameRect(box, RECT{0, 0, kWidth, kHeight})) << ShowRect(box);
  SaveDC(dc_);
  EXPECT_EQ(IntersectClipRect(dc_, 10, 10, 20, 20), SIMPLEREGION);
  GetClipBox(dc_, &box);
  EXPECT_TRUE(SameRect(box, RECT{10, 10, 20, 20})) << ShowRect(box);
  RestoreDC(dc_, -1);
  EXPECT_EQ(GetClipBox(dc_, &box), SIMPLEREGION);
  EXPECT_TRUE(SameRect(box, RECT{0, 0, kWidth, kHeight})) << ShowRect(box);
}

TEST_F(DcState, PenObjectDescribesItself) {
  HPEN pen = CreatePen(PS_SOLID, 3, RGB(11, 22, 33));
  ASSERT_NE(pen, nullptr);
  LOGPEN lp{};
  EXPECT_EQ(GetObjectA(pen, sizeof lp, &lp), static_cast<int>(sizeof lp));
  EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_SOLID));
  EXPECT_EQ(lp.lopnWidth.x, 3);
  EXPECT_EQ(lp.lopnColor, RGB(11, 22, 33));
  HPEN copy = CreatePenIndirect(&lp);
  LOGPEN lp2{};
  GetObjectA(copy, sizeof lp2, &lp2);
  EXPECT_EQ(lp2.lopnColor, lp.lopnColor);
  EXPECT_EQ(lp2.lopnWidth.x, 3);
  HGDIOBJ old = SelectObject(dc_, pen);
  EXPECT_EQ(old, GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(dc_, OBJ_PEN), static_cast<HGDIOBJ>(pen));
  EXPECT_EQ(SelectObject(dc_, copy), static_cast<HGDIOBJ>(pen));
  SelectObject(dc_, old);
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_TRUE(DeleteObject(copy));
}

TEST_F(DcState, FontObjectRoundTrips) {
  LOGFONTA lf{};
  HGDIOBJ current = GetCurrentObject(dc_, OBJ_FONT);
  ASSERT_EQ(GetObjectA(current, sizeof lf, &lf), static_cast<int>(sizeof lf));
  HFONT copy = CreateFontIndirectA(&lf);
  ASSERT_NE(copy, nullptr);
  LOGFONTA lf2{};
  ASSERT_EQ(GetObjectA(copy, sizeof lf2, &lf2), static_cast<int>(sizeof lf2));
  EXPECT_EQ(lf2.lfHeight, lf.lfHeight);
  EXPECT_EQ(lf2.lfWeight, lf.lfWeight);
  EXPECT_STREQ(lf2.lfFaceName, lf.lfFaceName);
  // The text measures the same through the copy.
  SIZE a{};
  SIZE b{};
  GetTextExtentPoint32A(dc_, "Spiral 42", 9, &a);
  HGDIOBJ old = SelectObject(dc_, copy);
  GetTextExtentPoint32A(dc_, "Spiral 42", 9, &b);
  SelectObject(dc_, old);
  DeleteObject(copy);
  EXPECT_EQ(a.cx, b.cx);
  EXPECT_EQ(a.cy, b.cy);
}

TEST_F(DcState, TextWithUpdateCpMovesTheCurrentPosition) {
  SIZE extent{};
  ASSERT_TRUE(GetTextExtentPoint32A(dc_, "Hello", 5, &extent));
  EXPECT_GT(extent.cx, 0);
  EXPECT_GT(extent.cy, 0);
  SetTextAlign(dc_, TA_UPDATECP);
  MoveToEx(dc_, 3, 4, nullptr);
  ASSERT_TRUE(TextOutA(dc_, 40, 40, "Hello", 5));  // x and y are ignored
  POINT p;
  GetCurrentPositionEx(dc_, &p);
  EXPECT_EQ(p.x, 3 + extent.cx);
  EXPECT_EQ(p.y, 4);
  // The text went to the current position, not to (40, 40).
  EXPECT_GT(Count(kBlack, 3, 4, 3 + extent.cx, 4 + extent.cy), 0);
  EXPECT_EQ(Count(kBlack, 40, 40 + 0, kWidth, kHeight), 0);
  // Appending continues where the first text ended.
  SIZE more{};
  GetTextExtentPoint32A(dc_, "ab", 2, &more);
  TextOutA(dc_, 0, 0, "ab", 2);
  GetCurrentPositionEx(dc_, &p);
  EXPECT_EQ(p.x, 3 + extent.cx + more.cx);
}

TEST_F(DcState, TextWithoutUpdateCpLeavesThePosition) {
  MoveToEx(dc_, 7, 8, nullptr);
  TextOutA(dc_, 20, 10, "Hi", 2);
  POINT p;
  GetCurrentPositionEx(dc_, &p);
  EXPECT_EQ(p.x, 7);
  EXPECT_EQ(p.y, 8);
}

TEST_F(DcState, TextUsesTheTextAndBackgroundColours) {
  SetTextColor(dc_, RGB(255, 0, 0));
  SetBkColor(dc_, RGB(0, 0, 255));
  SIZE extent{};
  GetTextExtentPoint32A(dc_, "W", 1, &extent);
  TextOutA(dc_, 0, 0, "W", 1);
  const int red = Count(RGB(255, 0, 0), 0, 0, extent.cx, extent.cy);
  const int blue = Count(RGB(0, 0, 255), 0, 0, extent.cx, extent.cy);
  EXPECT_GT(red, 0);
  EXPECT_GT(blue, 0);
  // Opaque mode fills the whole text cell; nothing is drawn outside it.
  EXPECT_EQ(Count(kWhite, 0, 0, extent.cx, extent.cy), 0);
  EXPECT_EQ(Count(kWhite), kWidth * kHeight - extent.cx * extent.cy);
}

TEST_F(DcState, DefaultFontIsNotAntialiased) {
  // The System font of a new DC is a bitmap font: every pixel of the cell is either the text
  // or the background colour.
  SetTextColor(dc_, RGB(255, 0, 0));
  SetBkColor(dc_, RGB(0, 0, 255));
  SIZE extent{};
  GetTextExtentPoint32A(dc_, "W8", 2, &extent);
  TextOutA(dc_, 0, 0, "W8", 2);
  const int red = Count(RGB(255, 0, 0), 0, 0, extent.cx, extent.cy);
  const int blue = Count(RGB(0, 0, 255), 0, 0, extent.cx, extent.cy);
  EXPECT_EQ(red + blue, extent.cx * extent.cy);
}

TEST_F(DcState, DefaultFontHasSystemFontMetrics) {
  TEXTMETRICA tm{};
  ASSERT_TRUE(GetTextMetricsA(dc_, &tm));
  // About 16 pixels per line, bold.
  EXPECT_GE(tm.tmHeight, 14);
  EXPECT_LE(tm.tmHeight, 20);
  EXPECT_EQ(tm.tmWeight, FW_BOLD);
  SIZE extent{};
  GetTextExtentPoint32A(dc_, "x", 1, &extent);
  EXPECT_EQ(extent.cy, tm.tmHeight);
}

TEST_F(DcState, TransparentTextLeavesTheBackground) {
  SetBkMode(dc_, TRANSPARENT);
  SetBkColor(dc_, RGB(0, 0, 255));
  SIZE extent{};
  GetTextExtentPoint32A(dc_, "W", 1, &extent);
  TextOutA(dc_, 0, 0, "W", 1);
  EXPECT_EQ(Count(RGB(0, 0, 255)), 0);
  EXPECT_GT(Count(kBlack, 0, 0, extent.cx, extent.cy), 0);
}

TEST_F(DcState, BoundsAccumulateWhileEnabled) {
  RECT r;
  // Nothing accumulated yet.
  SetBoundsRect(dc_, nullptr, DCB_ENABLE | DCB_RESET);
  EXPECT_EQ(GetBoundsRect(dc_, &r, 0) & (DCB_RESET | DCB_SET), static_cast<UINT>(DCB_RESET));
  SetPixelV(dc_, 5, 6, kBlack);
  UINT flags = GetBoundsRect(dc_, &r, 0);
  EXPECT_EQ(flags & DCB_SET, static_cast<UINT>(DCB_SET));
  EXPECT_TRUE(SameRect(r, RECT{5, 6, 6, 7})) << ShowRect(r);
  Rectangle(dc_, 20, 10, 30, 25);
  GetBoundsRect(dc_, &r, 0);
  EXPECT_TRUE(SameRect(r, RECT{5, 6, 30, 25})) << ShowRect(r);
  // Reading with DCB_RESET returns the bounds and empties them.
  GetBoundsRect(dc_, &r, DCB_RESET);
  EXPECT_TRUE(SameRect(r, RECT{5, 6, 30, 25})) << ShowRect(r);
  EXPECT_EQ(GetBoundsRect(dc_, &r, 0) & (DCB_RESET | DCB_SET), static_cast<UINT>(DCB_RESET));
}

TEST_F(DcState, BoundsStopWhenDisabled) {
  RECT r;
  SetBoundsRect(dc_, nullptr, DCB_ENABLE | DCB_RESET);
  SetPixelV(dc_, 1, 1, kBlack);
  const UINT previous = SetBoundsRect(dc_, nullptr, DCB_DISABLE);
  EXPECT_EQ(previous & DCB_ENABLE, static_cast<UINT>(DCB_ENABLE));
  SetPixelV(dc_, 40, 40, kBlack);
  GetBoundsRect(dc_, &r, 0);
  EXPECT_TRUE(SameRect(r, RECT{1, 1, 2, 2})) << ShowRect(r);
  EXPECT_EQ(GetBoundsRect(dc_, &r, 0) & DCB_ENABLE, 0u);
}

TEST_F(DcState, BoundsCanBeSetAndAccumulated) {
  RECT r;
  SetBoundsRect(dc_, nullptr, DCB_ENABLE | DCB_RESET);
  const RECT seed{10, 10, 12, 12};
  SetBoundsRect(dc_, &seed, DCB_ACCUMULATE);
  GetBoundsRect(dc_, &r, 0);
  EXPECT_TRUE(SameRect(r, seed)) << ShowRect(r);
  const RECT more{30, 5, 31, 40};
  SetBoundsRect(dc_, &more, DCB_ACCUMULATE);
  GetBoundsRect(dc_, &r, 0);
  EXPECT_TRUE(SameRect(r, RECT{10, 5, 31, 40})) << ShowRect(r);
}

}  // namespace
}  // namespace conformance
