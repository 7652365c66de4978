// What the runtime's operations leave behind in our layer: no GDI objects, timers or global
// blocks beyond what the open records own. The layer's counters exist only off Windows.
#ifndef SPIRALS_SYSTEM_WIN32

#include "platform/portable/diagnostics.h"
#include "runtime/core/global_lists.h"
#include "runtime/graphics/draw.h"
#include "runtime/graphics/draw_context.h"
#include "runtime/graphics/print.h"
#include "runtime/window/pump.h"
#include "runtime/window/timers.h"
#include "runtime/window/event_dispatch.h"
#include "runtime_fixture.h"

namespace {

class ResourceTest : public RuntimeTest {};

bool SameUsage(const portable::GdiUsage& a, const portable::GdiUsage& b) {
  return a.pens == b.pens && a.brushes == b.brushes && a.fonts == b.fonts &&
         a.bitmaps == b.bitmaps && a.dcs == b.dcs;
}

TEST_F(ResourceTest, OpenAndCloseLeaveNothingBehind) {
  const portable::GdiUsage before = portable::QueryGdiUsage();
  const size_t windows = portable::LiveWindows();
  WindowRecord* backed = Open(0);
  WindowRecord* direct = Open(OPEN_DIRECT);
  WindowRecord* frame = Open(OPEN_MDI_FRAME | OPEN_DIRECT, 10, 10, 300, 200);
  const portable::GdiUsage open = portable::QueryGdiUsage();
  EXPECT_EQ(open.bitmaps, before.bitmaps + 1);  // only the backed window has one
  EXPECT_EQ(open.pens, before.pens + 3);
  EXPECT_EQ(open.fonts, before.fonts + 3);
  EXPECT_EQ(open.dcs, before.dcs);
  TimerStart(direct, 50, 1, nullptr);
  TimerStart(direct, 70, 1, nullptr);
  TimerStart(direct, 90, 2, nullptr);
  EXPECT_EQ(portable::LiveTimers(), 2u);
  WindowClose(frame);
  WindowClose(direct);
  WindowClose(backed);
  EXPECT_EQ(portable::LiveTimers(), 0u);
  EXPECT_EQ(portable::LiveWindows(), windows);
  EXPECT_TRUE(SameUsage(portable::QueryGdiUsage(), before));
}

TEST_F(ResourceTest, DrawingOperationsKeepTheObjectCountSteady) {
  WindowRecord* backed = Open(0);
  WindowRecord* direct = Open(OPEN_DIRECT);
  const portable::GdiUsage before = portable::QueryGdiUsage();
  for (WindowRecord* r : {backed, direct}) {
    DrawSetPenColor(r, kRed);
    DrawSetBackColor(r, kBlue);
    DrawMoveTo(r, 3, 4);
    DrawPoint(r, 5, 5, NO_COLOUR);
    DrawRect(r, 1, 1, 9, 9, NO_COLOUR, kGreen);
    DrawRect(r, 1, 1, 9, 9, kRed, NO_COLOUR);
    DrawRect(r, 1, 1, 9, 9, kRed, kGreen);
    DrawClear(r, kBlack);
    PrintList().Window(r).String("text").Double(1.5).Print();
    UpdateWindow(r->hwnd);
  }
  PrintDestination = nullptr;
  EXPECT_TRUE(SameUsage(portable::QueryGdiUsage(), before));
}

TEST_F(ResourceTest, PenChangesInsideNestedBracketsAreFreedByTheOuterRelease) {
  WindowRecord* r = Open(0);
  const portable::GdiUsage before = portable::QueryGdiUsage();
  HDC dc = DrawContextAcquire(r);
  DrawSetPenColor(r, kRed);
  DrawSetPenColor(r, kGreen);
  DrawSetPenColor(r, kBlue);
  EXPECT_EQ(GetTextColor(dc), kBlue);
  DrawContextRelease(r, dc, 1);
  EXPECT_TRUE(SameUsage(portable::QueryGdiUsage(), before));
  LOGPEN logPen{};
  GetObjectA(r->pen, sizeof(logPen), &logPen);
  EXPECT_EQ(logPen.lopnColor, kBlue);
}

TEST_F(ResourceTest, PenChangesDuringAnEraseAreFreedAfterTheErase) {
  WindowRecord* r = Open(OPEN_DIRECT);
  UpdateWindow(r->hwnd);
  static WindowRecord* target = nullptr;
  static size_t pensDuringErase = 0;
  target = r;
  const portable::GdiUsage before = portable::QueryGdiUsage();
  HandlerAction() = [] {
    if (CurrentEvent.eventId == EVENT_ERASE_BACKGROUND) {
      DrawSetPenColor(target, kRed);
      DrawSetPenColor(target, kGreen);
      pensDuringErase = portable::QueryGdiUsage().pens;
    }
    return 0;
  };
  Uncover(r);
  EXPECT_GT(pensDuringErase, before.pens);  // still selected in the lent context then
  EXPECT_TRUE(SameUsage(portable::QueryGdiUsage(), before));
}

TEST_F(ResourceTest, DrawingDuringCreationLeavesNothingBehind) {
  const portable::GdiUsage before = portable::QueryGdiUsage();
  HandlerAction() = [] {
    if (CurrentEvent.eventId == WM_CREATE) {
      DrawSetPenColor(CurrentEvent.eventWindow, kRed);
      DrawPoint(CurrentEvent.eventWindow, 1, 1, NO_COLOUR);
    }
    return 0;
  };
  for (uint32_t flags : {0u, OPEN_DIRECT}) {
    WindowRecord* r = Open(flags);
    ASSERT_NE(r->hwnd, nullptr);
    // The record's state is the fresh one of WindowOpen, not the creation handler's.
    LOGPEN logPen{};
    GetObjectA(r->pen, sizeof(logPen), &logPen);
    EXPECT_NE(logPen.lopnColor, kRed);
    WindowClose(r);
  }
  EXPECT_TRUE(SameUsage(portable::QueryGdiUsage(), before));
}

TEST_F(ResourceTest, ClosingInsideAnOpenBracketFreesItsContext) {
  const portable::GdiUsage before = portable::QueryGdiUsage();
  for (uint32_t flags : {0u, OPEN_DIRECT}) {
    WindowRecord* r = Open(flags);
    HDC dc = DrawContextAcquire(r);
    DrawContextAcquire(r);
    DrawSetPenColor(r, kGreen);
    WindowClose(r);
    EXPECT_EQ(r->holdCount, 0);
    EXPECT_EQ(r->heldContext, nullptr);
    DrawContextRelease(r, dc, 1);  // the caller's releases find a closed record
    DrawContextRelease(r, dc, 1);
  }
  EXPECT_TRUE(SameUsage(portable::QueryGdiUsage(), before));
}

TEST_F(ResourceTest, RegistryFreeReturnsEveryGlobalBlock) {
  const size_t blocks = portable::LiveGlobalBlocks();
  static WindowRecord dialog{};
  void** item = static_cast<void**>(GlobalBlockAlloc(BLOCK_TYPE_BYTES, 4 * sizeof(void*)));
  item[2] = GlobalBlockAlloc(BLOCK_TYPE_BYTES, 8);  // the attached block of a 64-bit item
  void** data = static_cast<void**>(GlobalBlockAlloc(BLOCK_TYPE_BYTES, 2 * sizeof(void*)));
  data[0] = item;
  dialog.dialogData = data;
  auto* node = static_cast<WindowRegistryNode*>(
      GlobalBlockAlloc(BLOCK_TYPE_BYTES, sizeof(WindowRegistryNode)));
  node->record = &dialog;
  WindowRegistry = node;
  EXPECT_EQ(portable::LiveGlobalBlocks(), blocks + 4);
  WindowRegistryFree();
  EXPECT_EQ(portable::LiveGlobalBlocks(), blocks);
}

TEST_F(ResourceTest, NumberTextsComeFromTheRuntimeHeap) {
  const portable::HeapUsage before = portable::QueryHeapUsage(RuntimeHeap);
  char* text = NumberToString(12.25);
  const portable::HeapUsage during = portable::QueryHeapUsage(RuntimeHeap);
  EXPECT_EQ(during.blocks, before.blocks + 1);
  EXPECT_EQ(during.bytes, before.bytes + NUMBER_TEXT_SIZE);
  RuntimeHeapFree(text);
  EXPECT_EQ(portable::QueryHeapUsage(RuntimeHeap).blocks, before.blocks);
}

}  // namespace

#endif  // SPIRALS_SYSTEM_WIN32
