// Shared pieces of the runtime tests: a handler that logs every event it receives, a per-test
// action run inside the handler, and a fixture that closes what a test opened.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/win32.h"
#include "runtime/core/heap.h"
#include "runtime/window/window_close.h"
#include "runtime/window/window_record.h"
#include "tests/kit/colours.h"
#include "runtime/window/window_open.h"
#include "runtime/window/event_dispatch.h"

struct LoggedEvent {
  int32_t id;
  WPARAM param1;
  LPARAM param2;
  uint32_t mouseX;
  uint32_t mouseY;
  WindowRecord* window;
  uint32_t controlId;
  uint32_t commandId;
  uint32_t notifyCode;
};

inline std::vector<LoggedEvent>& EventLog() {
  static std::vector<LoggedEvent> log;
  return log;
}

// Runs inside the handler after the event has been logged; its result is the handler's.
inline std::function<int32_t()>& HandlerAction() {
  static std::function<int32_t()> action;
  return action;
}

inline int32_t RecordingHandler() {
  const CurrentEventVars& e = CurrentEvent;
  EventLog().push_back(LoggedEvent{e.eventId, e.param1, e.param2, e.mouseX, e.mouseY, e.eventWindow,
                                   e.controlId, e.commandId, e.notifyCode});
  if (HandlerAction()) return HandlerAction()();
  return 0;
}

inline int CountEvents(int32_t id) {
  int n = 0;
  for (const LoggedEvent& e : EventLog()) n += e.id == id;
  return n;
}

inline int IndexOfEvent(int32_t id, int from = 0) {
  for (int i = from; i < static_cast<int>(EventLog().size()); ++i) {
    if (EventLog()[i].id == id) return i;
  }
  return -1;
}

// Empties the queue without blocking, so that one test's leftovers reach no other test.
inline void DrainQueue() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

class RuntimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (RuntimeHeap == nullptr) RuntimeHeapCreate();
    EventLog().clear();
    HandlerAction() = nullptr;
    DrainQueue();
  }
  void TearDown() override {
    HandlerAction() = nullptr;
    for (WindowRecord* record : opened_) WindowClose(record);
    DrainQueue();
    EventLog().clear();
  }

  // Opens a window into a fresh record owned by the fixture.
  WindowRecord* Open(uint32_t flags, int32_t x = 20, int32_t y = 20, int32_t width = 240,
                     int32_t height = 180, WindowRecord* parent = nullptr,
                     WindowHandler handler = RecordingHandler) {
    records_.push_back(std::make_unique<WindowRecord>());
    WindowRecord* record = records_.back().get();
    *record = WindowRecord{};
    WindowOpen(record, x, y, width, height, flags, parent, "runtime test", handler);
    // Children first at close: an MDI child goes before its frame.
    opened_.insert(opened_.begin(), record);
    return record;
  }

  // The colour of a client pixel as the screen shows it.
  static COLORREF ScreenPixel(const WindowRecord* record, int x, int y) {
    HDC dc = GetDC(record->hwnd);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(record->hwnd, dc);
    return c;
  }

  // The colour of a pixel of a backed window's bitmap.
  static COLORREF BitmapPixel(const WindowRecord* record, int x, int y) {
    HDC screen = GetDC(record->hwnd);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(memory, record->backingBitmap);
    COLORREF c = GetPixel(memory, x, y);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(record->hwnd, screen);
    return c;
  }

  // Repaints the whole client area now, erasing first, as uncovering the window does.
  static void Uncover(const WindowRecord* record, const RECT* area = nullptr) {
    InvalidateRect(record->hwnd, area, TRUE);
    UpdateWindow(record->hwnd);
  }

 private:
  std::vector<std::unique_ptr<WindowRecord>> records_;
  std::vector<WindowRecord*> opened_;
};

using kit::kBlack;
using kit::kBlue;
using kit::kGreen;
using kit::kRed;
using kit::kWhite;
