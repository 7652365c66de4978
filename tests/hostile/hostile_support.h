// Pieces shared by the hostile-input tests: a window whose handler runs whatever the test
// sets, and counts of what the layer holds, for "nothing was left behind" checks.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "platform/portable/diagnostics.h"
#include "platform/win32.h"
#include "runtime/core/heap.h"
#include "runtime/window/pump.h"
#include "runtime/window/window_close.h"
#include "runtime/window/window_record.h"
#include "runtime/window/window_open.h"

namespace hostile {

inline std::function<void()>& OnEvent() {
  static std::function<void()> action;
  return action;
}

inline int32_t ActionHandler() {
  if (OnEvent()) OnEvent()();
  return 0;
}

struct Holdings {
  portable::GdiUsage gdi;
  size_t timers, windows, heapBlocks;
  static Holdings Now() {
    return Holdings{portable::QueryGdiUsage(), portable::LiveTimers(), portable::LiveWindows(),
                    portable::QueryHeapUsage(RuntimeHeap).blocks};
  }
};

inline void ExpectNothingLeft(const Holdings& before) {
  const Holdings now = Holdings::Now();
  EXPECT_EQ(now.gdi.pens, before.gdi.pens);
  EXPECT_EQ(now.gdi.brushes, before.gdi.brushes);
  EXPECT_EQ(now.gdi.fonts, before.gdi.fonts);
  EXPECT_EQ(now.gdi.bitmaps, before.gdi.bitmaps);
  EXPECT_EQ(now.gdi.dcs, before.gdi.dcs);
  EXPECT_EQ(now.timers, before.timers);
  EXPECT_EQ(now.windows, before.windows);
  EXPECT_EQ(now.heapBlocks, before.heapBlocks);
}

inline void Drain() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

// Window flags of the tests: caption and sizing frame, drawn directly.
constexpr uint32_t DIRECT_FLAGS = 0x70010;
// The same with a backing bitmap.
constexpr uint32_t BACKED_FLAGS = 0x70000;

class HostileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (RuntimeHeap == nullptr) RuntimeHeapCreate();
    OnEvent() = nullptr;
    Drain();
    before_ = Holdings::Now();
  }
  void TearDown() override {
    OnEvent() = nullptr;
    WindowClose(&record_);
    Drain();
    // Whatever a test did, closing its window gives everything back.
    ExpectNothingLeft(before_);
  }
  WindowRecord* Open(uint32_t flags = DIRECT_FLAGS) {
    record_ = WindowRecord{};
    EXPECT_EQ(WindowOpen(&record_, 10, 10, 320, 240, flags, nullptr, "hostile", ActionHandler), 1);
    Drain();
    return &record_;
  }
  static COLORREF Pixel(const WindowRecord* record, int x, int y) {
    HDC dc = GetDC(record->hwnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(record->hwnd, dc);
    return c;
  }

  WindowRecord record_{};
  Holdings before_{};
};

}  // namespace hostile
