#include "app_session.h"

#include <cstdio>

#include "../../app/curves.h"
#include "../../app/handler.h"
#include "../../app/startup.h"
#include "../../app/state.h"
#include "../../platform/portable/diagnostics.h"
#include "../../platform/portable/user/input.h"
#include "../../runtime/core/heap.h"
#include "../../runtime/core/numeric.h"
#include "../../runtime/graphics/draw.h"
#include "../../runtime/window/pump.h"
#include "../../runtime/window/window_close.h"
#include "../../runtime/window/event_dispatch.h"

namespace reliability {

namespace {

SessionCounters* liveCounters = nullptr;
int32_t handlerDepth = 0;
// Empty pumps in a row that moved neither the clock nor anything else: a hang.
constexpr int kStallLimit = 100000;

void CheckDrawingState(const char* where) {
  if (TempStringStack.count != 0) Fail("temporary strings left parked", where);
  if (mainWindow.holdCount != 0) Fail("drawing bracket still held (holdCount)", where);
  if (mainWindow.heldContext != nullptr) Fail("drawing bracket still held (heldContext)", where);
  if (!(speed > 0.05 && speed < 15.5)) {
    std::fprintf(stderr, "speed = %.17g\n", speed);
    Fail("speed outside (0.05, 15.5)", where);
  }
  if (lastCurve < 1 || lastCurve > 10) {
    std::fprintf(stderr, "lastCurve = %d\n", lastCurve);
    Fail("lastCurve outside 1..10", where);
  }
}

// Drawing steps the event is about to ask the handler for.
uint64_t StepsAskedFor(int32_t eventId, WPARAM param1) {
  if (eventId == WM_TIMER) return param1 == DRAW_TIMER && pauseSign == 1 ? 1 : 0;
  if (eventId == WM_PAINT) return static_cast<uint64_t>(lastCurve > 0 ? lastCurve : 0);
  return eventId == WM_CREATE ? 1 : 0;
}

// The application's handler with the invariants checked when it returns: nothing parked,
// nothing held, no heap block gained (a close may only give blocks back).
int32_t CheckedHandleEvent() {
  if (liveCounters != nullptr) {
    liveCounters->drawSteps += StepsAskedFor(CurrentEvent.eventId, CurrentEvent.param1);
  }
  const size_t blocksBefore = AppSession::HeapBlocks();
  ++handlerDepth;
  if (liveCounters != nullptr &&
      static_cast<uint64_t>(handlerDepth) > liveCounters->deepestNesting) {
    liveCounters->deepestNesting = static_cast<uint64_t>(handlerDepth);
  }
  const int32_t result = handleEvent();
  --handlerDepth;
  CheckDrawingState("after a handled event");
  const size_t blocksAfter = AppSession::HeapBlocks();
  const bool closed = mainWindow.hwnd == nullptr;
  if (closed ? blocksAfter > blocksBefore : blocksAfter != blocksBefore) {
    std::fprintf(stderr, "event %d: heap blocks %zu before, %zu after\n",
                 static_cast<int>(CurrentEvent.eventId), blocksBefore, blocksAfter);
    Fail("the handler left heap blocks behind", "after a handled event");
  }
  if (liveCounters != nullptr) ++liveCounters->eventsChecked;
  return result;
}

}  // namespace

void Fail(const char* what, const char* where) {
  std::fprintf(stderr, "invariant broken %s: %s\n", where, what);
  std::fflush(stderr);
  __builtin_trap();
}

void SessionHost::WaitForInput(std::optional<uint64_t> deadlineMs) {
  uint64_t target = limit_;
  if (deadlineMs && *deadlineMs < target) target = *deadlineMs;
  clock_.AdvanceTo(target);
}

AppSession& AppSession::Instance(SIZE screen) {
  static AppSession session(screen);
  return session;
}

AppSession::AppSession(SIZE screen) : host_(screen) {
  portable::SetHost(&host_);
  liveCounters = &counters_;
  setupFloatingPoint();
  RuntimeHeapCreate();
  closedHeapBlocks_ = HeapBlocks();
}

size_t AppSession::HeapBlocks() { return portable::QueryHeapUsage(RuntimeHeap).blocks; }
size_t AppSession::HeapBytes() { return portable::QueryHeapUsage(RuntimeHeap).bytes; }

bool AppSession::IsOpen() const { return mainWindow.hwnd != nullptr; }

void AppSession::Drain() { PumpMessages(PUMP_DRAIN); }

void AppSession::SkipFirstPaint() {
  if (IsOpen()) ValidateRect(mainWindow.hwnd, nullptr);
}

void AppSession::ReleaseHeldInput() {
  HWND hwnd = mainWindow.hwnd;
  const int buttons[3][2] = {{VK_LBUTTON, 0}, {VK_RBUTTON, 1}, {VK_MBUTTON, 2}};
  for (const auto& b : buttons) {
    if (hwnd != nullptr && GetKeyState(b[0]) < 0)
      portable::InjectMouseButton(hwnd, b[1], false, 0, 0);
  }
  for (UINT vk = 0; vk < 256; ++vk) {
    if (vk == VK_LBUTTON || vk == VK_RBUTTON || vk == VK_MBUTTON) continue;
    if (GetKeyState(static_cast<int>(vk)) < 0) portable::InjectKey(vk, false);
  }
  Drain();
}

void AppSession::CloseAndSettle() {
  if (IsOpen()) {
    ReleaseHeldInput();
    WindowClose(&mainWindow);
    Drain();
  }
  // Each opening creates them anew; a process opens once, so the session closes them.
  if (drawSemaphore != nullptr) CloseHandle(drawSemaphore);
  if (slotMutex != nullptr) CloseHandle(slotMutex);
  drawSemaphore = nullptr;
  slotMutex = nullptr;
  if (HeapBlocks() != closedHeapBlocks_) {
    std::fprintf(stderr, "heap blocks %zu with no window, %zu before the first opening\n",
                 HeapBlocks(), closedHeapBlocks_);
    Fail("a closed window left heap blocks behind", "after closing");
  }
}

void AppSession::Open() {
  openMainWindow(CheckedHandleEvent);
  ++counters_.opens;
  CheckBetweenEvents("after opening");
}

void AppSession::Restart(uint32_t seed, int32_t curveSetting) {
  CloseAndSettle();
  RandomSeed(static_cast<int32_t>(seed));
  curves = CurveSet{};
  currentSlot = 0;
  variantSelector = 0;
  paintStep = 0;
  openTimerSteps = 0;
  clientWidth = 0;
  clientHeight = 0;
  lastCurve = curveSetting > 0 ? curveSetting : RandomInt(9, 0) + 1;
  pauseSign = 1;
  speed = static_cast<double>(RandomInt(5, 0)) + 0.5;
  Open();
}

void AppSession::Reopen() {
  if (IsOpen()) return;
  CloseAndSettle();
  Open();
}

void AppSession::CheckBetweenEvents(const char* where) const {
  if (handlerDepth != 0) Fail("handler depth not back to zero", where);
  CheckDrawingState(where);
}

void AppSession::RunUntil(uint64_t ms) {
  int stalls = 0;
  while (host_.NowMs() < ms && !BudgetSpent()) {
    if (!IsOpen()) {
      host_.AdvanceTo(ms);
      Drain();
      break;
    }
    host_.SetLimit(ms);
    const uint64_t before = host_.NowMs();
    PumpMessages(PUMP_WAIT);
    CheckBetweenEvents("after a pump");
    if (host_.NowMs() == before) {
      if (++stalls > kStallLimit) Fail("waiting pumps make no progress", "in RunUntil");
    } else {
      stalls = 0;
    }
  }
}

void AppSession::Key(uint32_t code, bool down, bool repeat) {
  portable::InjectKey(code, down, repeat);
  Drain();
  CheckBetweenEvents("after a key");
}

void AppSession::Wheel(int delta, uint16_t keys, int x, int y) {
  portable::InjectWheel(mainWindow.hwnd, delta, keys, x, y);
  Drain();
  CheckBetweenEvents("after a wheel turn");
}

void AppSession::Button(int button, bool down, int x, int y) {
  if (IsOpen()) portable::InjectMouseButton(mainWindow.hwnd, button, down, x, y);
  Drain();
  CheckBetweenEvents("after a click");
}

void AppSession::Move(int x, int y) {
  if (IsOpen()) portable::InjectMouseMove(mainWindow.hwnd, x, y);
  Drain();
  CheckBetweenEvents("after a move");
}

void AppSession::Resize(int width, int height) {
  if (IsOpen()) portable::InjectResize(mainWindow.hwnd, width, height);
  Drain();
  CheckBetweenEvents("after a resize");
}

void AppSession::Expose(const RECT& clientRect) {
  if (IsOpen()) portable::InjectExpose(mainWindow.hwnd, &clientRect);
  Drain();
  CheckBetweenEvents("after an expose");
}

void AppSession::Close() {
  if (IsOpen()) portable::InjectClose(mainWindow.hwnd);
  Drain();
  CheckBetweenEvents("after a close");
}

}  // namespace reliability
