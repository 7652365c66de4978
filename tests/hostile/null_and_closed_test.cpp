// Null records, null strings and closed records: the runtime's operations do nothing, draw
// nothing and hold nothing.
#include <climits>

#include "hostile_support.h"
#include "runtime/core/global_lists.h"
#include "runtime/core/strings.h"
#include "runtime/graphics/draw.h"
#include "runtime/graphics/print.h"
#include "runtime/window/timers.h"
#include "runtime/window/window_open.h"

namespace hostile {
namespace {

using NullRecords = HostileTest;

TEST_F(NullRecords, EveryWindowOperationIgnoresANullRecord) {
  EXPECT_EQ(DrawSetBackColor(nullptr, 0x123456), 0);
  EXPECT_EQ(DrawSetPenColor(nullptr, 0x123456), 0);
  EXPECT_EQ(DrawMoveTo(nullptr, INT32_MAX, INT32_MIN), 0);
  EXPECT_EQ(DrawPoint(nullptr, 1, 1, 0xFF), 0);
  EXPECT_EQ(DrawPoint(nullptr, 1, 1, NO_COLOUR), 0);
  EXPECT_EQ(DrawRect(nullptr, 0, 0, 10, 10, 0xFF, 0xFF00), 0);
  EXPECT_EQ(DrawRect(nullptr, 0, 0, 10, 10, NO_COLOUR, NO_COLOUR), 0);
  EXPECT_EQ(DrawClear(nullptr, 0xFF), 0);
  EXPECT_EQ(TimerStart(nullptr, 10, 1, nullptr), 0);
  EXPECT_EQ(TimerStop(nullptr, 1), 0);
  EXPECT_EQ(WindowClose(nullptr), 0);
  EXPECT_EQ(portable::LiveTimers(), before_.timers);
  EXPECT_EQ(portable::LiveWindows(), before_.windows);
}

TEST_F(NullRecords, NullStringsAndBlocksAreIgnored) {
  EXPECT_EQ(RuntimeHeapFree(nullptr), 0);
  EXPECT_EQ(GlobalBlockFree(nullptr), 0);
  EXPECT_EQ(ListFirst(nullptr), nullptr);
  EXPECT_EQ(ListNext(nullptr), nullptr);
  EXPECT_EQ(ListData(nullptr), nullptr);
  EXPECT_EQ(ListRemove(nullptr, 1), nullptr);
  EXPECT_EQ(ListFree(nullptr, 1), 0);
  int marker = 0;
  EXPECT_EQ(ListAppend(nullptr, &marker), &marker);
  EXPECT_EQ(ListInsertFirst(nullptr, &marker), &marker);
  EXPECT_EQ(ExitCallbackRegister(nullptr, 5), 0);
  EXPECT_EQ(GlobalBlockAlloc(BLOCK_TYPE_BYTES, 0), nullptr);
  // A null string item prints nothing: the text is what the other items make.
  WindowRecord* w = Open();
  PrintList().Window(w).String(nullptr).String("ab").String(nullptr).Char('c').Print();
  EXPECT_EQ(std::string(PrintBuffer, 3), "abc");
}

TEST_F(NullRecords, TempStringStackSurvivesPopsBeyondItsCount) {
  const int32_t start = TempStringStack.count;
  char* s = SpaceString(4);
  ASSERT_NE(s, nullptr);
  TempStringPush(s);
  EXPECT_EQ(TempStringPop(5), 0);
  EXPECT_EQ(TempStringStack.count, 0);
  EXPECT_EQ(TempStringPop(INT32_MAX), 0);
  EXPECT_EQ(TempStringPop(-1), 0);
  EXPECT_EQ(TempStringStack.count, 0);
  EXPECT_GE(start, 0);
}

TEST_F(NullRecords, AFullTempStringStackRefusesMoreWithoutOverflowing) {
  ASSERT_EQ(TempStringStack.count, 0);
  for (int32_t i = 0; i < TEMP_STRING_SLOTS + 20; ++i) {
    char* s = SpaceString(1);
    ASSERT_NE(s, nullptr);
    const int32_t countBefore = TempStringStack.count;
    TempStringPush(s);
    if (TempStringStack.count == countBefore) RuntimeHeapFree(s);  // refused: still ours
  }
  EXPECT_LE(TempStringStack.count, TEMP_STRING_SLOTS);
  TempStringClear();
  EXPECT_EQ(TempStringStack.count, 0);
  EXPECT_EQ(portable::QueryHeapUsage(RuntimeHeap).blocks, before_.heapBlocks);
}

using ClosedRecords = HostileTest;

TEST_F(ClosedRecords, DrawNothingAndHoldNothing) {
  WindowRecord* w = Open();
  DrawClear(w, 0);
  Drain();
  HWND hwnd = w->hwnd;
  ASSERT_EQ(WindowClose(w), 0);
  ASSERT_EQ(w->hwnd, nullptr);
  EXPECT_FALSE(IsWindow(hwnd));
  const Holdings closed = Holdings::Now();

  EXPECT_EQ(DrawSetPenColor(w, 0xFF), 0);
  EXPECT_EQ(DrawSetBackColor(w, 0xFF), 0);
  EXPECT_EQ(DrawMoveTo(w, 5, 5), 0);
  EXPECT_EQ(DrawPoint(w, 5, 5, 0xFF), 0);
  EXPECT_EQ(DrawRect(w, 0, 0, 50, 50, 0xFF, 0xFF), 0);
  EXPECT_EQ(DrawClear(w, 0xFF), 0);
  EXPECT_EQ(TimerStart(w, 10, 7, nullptr), 0);
  PrintList().Window(w).String("closed").Print();
  // A later print with no window item still names the closed record: nothing is drawn.
  PrintList().String("again").Print();
  EXPECT_EQ(WindowClose(w), 0);
  EXPECT_EQ(w->pen, nullptr);
  EXPECT_EQ(w->font, nullptr);
  EXPECT_EQ(w->backingBitmap, nullptr);
  EXPECT_EQ(w->holdCount, 0);
  EXPECT_EQ(w->heldContext, nullptr);

  int32_t left = -1, top = -1, width = -1, height = -1;
  WindowClientSize(w, &left, &top, &width, &height);
  EXPECT_EQ(left, 0);
  EXPECT_EQ(top, 0);
  EXPECT_EQ(width, 0);
  EXPECT_EQ(height, 0);
  ExpectNothingLeft(closed);
}

TEST_F(ClosedRecords, ABackedRecordClosedAndOpenedAgainStartsClean) {
  for (int round = 0; round < 5; ++round) {
    WindowRecord* w = Open(round % 2 ? BACKED_FLAGS : DIRECT_FLAGS);
    DrawSetPenColor(w, 0x00FF00);
    DrawRect(w, 1, 1, 30, 30, NO_COLOUR, NO_COLOUR);
    PrintList().Window(w).String("text").Print();
    TimerStart(w, 10, 3, nullptr);
    WindowClose(w);
    Drain();
    EXPECT_EQ(w->hwnd, nullptr);
  }
  ExpectNothingLeft(before_);
}

}  // namespace
}  // namespace hostile
