// The real application on a private headless host, in-process: its start-up steps, the
// window reopened after a close, input injected at virtual times, and the invariants that
// must hold after every event it handles. Shared by the fuzz target and the soak test.
#pragma once

#include <cstdint>
#include <optional>

#include "../../platform/portable/kernel/host.h"

namespace reliability {

// A virtual clock that the session moves: a wait goes to the next timer, never past the
// point the session is running to.
class SessionHost final : public portable::Host {
 public:
  explicit SessionHost(SIZE screen) : screen_(screen) {}
  portable::Clock& GetClock() override { return clock_; }
  uint32_t TickBase() const override { return 1000000; }
  SIZE ScreenSize() const override { return screen_; }
  void PollInput() override {}
  void WaitForInput(std::optional<uint64_t> deadlineMs) override;
  void TopLevelCreated(HWND, int, int) override {}
  void TopLevelResized(HWND, int, int) override {}
  void TopLevelDestroyed(HWND) override {}
  void PixelsChanged(HWND, const RECT&) override {}

  uint64_t NowMs() const { return clock_.NowMs(); }
  void SetLimit(uint64_t ms) { limit_ = ms; }
  void AdvanceTo(uint64_t ms) { clock_.AdvanceTo(ms); }

 private:
  SIZE screen_;
  portable::VirtualClock clock_;
  uint64_t limit_ = 0;
};

// What was seen so far; `eventsChecked` counts handler returns whose invariants held,
// `drawSteps` the drawing steps that handled events asked for (a timer 2 tick while running,
// the creation, and one per curve for a paint): what a session costs.
struct SessionCounters {
  uint64_t eventsChecked = 0;
  uint64_t opens = 0;
  uint64_t deepestNesting = 0;
  uint64_t drawSteps = 0;
};

// Runs the application. One per process: the application's state is global.
class AppSession {
 public:
  // Installs the host and creates the runtime heap (once per process). The screen size is
  // the first caller's.
  static AppSession& Instance(SIZE screen = SIZE{1024, 768});

  // Opens the main window as the program's start-up does, from a fixed random seed and
  // fresh application state; a window still open is closed first.
  void Restart(uint32_t seed, int32_t curveSetting = 0);
  // Opens the window again after a close, keeping the application's other state.
  void Reopen();
  bool IsOpen() const;
  // Takes the window's pending paint away unhandled, as if it had been painted.
  void SkipFirstPaint();

  // Dispatches timers and queued messages until the virtual clock reads `ms`, or until the
  // drawing steps reach the budget.
  void RunUntil(uint64_t ms);
  // No RunUntil goes on once `drawSteps` has reached `steps`; none by default.
  void SetStepBudget(uint64_t steps) { stepBudget_ = steps; }
  bool BudgetSpent() const { return counters_.drawSteps >= stepBudget_; }
  uint64_t NowMs() const { return host_.NowMs(); }

  // Input at the current virtual time, then everything it queued is handled.
  void Key(uint32_t code, bool down, bool repeat);
  void Wheel(int delta, uint16_t keys, int x, int y);
  void Button(int button, bool down, int x, int y);
  void Move(int x, int y);
  void Resize(int width, int height);
  void Expose(const RECT& clientRect);
  void Close();

  // Checks the quiet-state invariants between events (traps on violation).
  void CheckBetweenEvents(const char* where) const;
  const SessionCounters& Counters() const { return counters_; }

  // Heap blocks and bytes of the runtime's private heap right now.
  static size_t HeapBlocks();
  static size_t HeapBytes();

 private:
  explicit AppSession(SIZE screen);
  void Open();
  void Drain();
  void ReleaseHeldInput();
  void CloseAndSettle();

  SessionHost host_;
  SessionCounters counters_;
  size_t closedHeapBlocks_ = 0;
  uint64_t stepBudget_ = UINT64_MAX;
};

// Aborts with a message naming the broken invariant.
[[noreturn]] void Fail(const char* what, const char* where);

}  // namespace reliability
