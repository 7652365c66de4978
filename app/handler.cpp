#include "handler.h"

#include "../runtime/window/timers.h"
#include "../runtime/window/window_close.h"
#include "../runtime/window/window_open.h"
#include "../runtime/window/event_dispatch.h"
#include "curves.h"
#include "state.h"
#include "status_line.h"

namespace {

constexpr DWORD DRAW_WAIT_MS = 200;

void restart(SpeedChange& change, uint32_t period) {
  change.restarts[change.restartCount++] = period;
}

void applySpeedChange(const SpeedChange& change) {
  speed = change.speed;
  for (int32_t i = 0; i < change.restartCount; ++i) {
    TimerStop(&mainWindow, RESEED_TIMER);
    TimerStart(&mainWindow, change.restarts[i], RESEED_TIMER, nullptr);
  }
}

// Invalidate the whole client area with erasing; the next paint clears it to black.
void clearWindow() {
  // A null handle would invalidate every window on the desktop.
  if (mainWindow.hwnd != nullptr) InvalidateRect(mainWindow.hwnd, nullptr, TRUE);
}

void setCurveSetting(int32_t n) {
  lastCurve = n;
  TimerStop(&mainWindow, DRAW_TIMER);
  TimerStart(&mainWindow, drawPeriod(lastCurve), DRAW_TIMER, nullptr);
  reseedCurves(lastCurve);
}

void onSizeChanged() {
  int32_t left = 0;
  int32_t top = 0;
  WindowClientSize(&mainWindow, &left, &top, &clientWidth, &clientHeight);
  clearWindow();
  resetCurves(lastCurve);
}

void onPaint() {
  for (paintStep = 1; paintStep <= lastCurve; ++paintStep) drawStep();
}

void onCreate() {
  drawSemaphore = CreateSemaphoreA(nullptr, 10, 10, "");
  slotMutex = CreateMutexA(nullptr, FALSE, "");
  TimerStart(&mainWindow, FIRST_RESEED_PERIOD, RESEED_TIMER, nullptr);
  TimerStart(&mainWindow, drawPeriod(lastCurve), DRAW_TIMER, nullptr);
  reseedCurves(lastCurve);
  drawStep();
}

void onTimer(uint32_t id) {
  if (pauseSign != 1) {
    printPauseLine();
    return;
  }
  if (id == RESEED_TIMER) {
    reseedCurves(lastCurve);
  } else if (id == DRAW_TIMER) {
    // Refused while ten are open, so nested timer steps cannot exhaust the stack.
    if (openTimerSteps >= MAX_OPEN_TIMER_STEPS) return;
    ++openTimerSteps;
    WaitForSingleObject(drawSemaphore, DRAW_WAIT_MS);
    drawStep();
    --openTimerSteps;
  }
}

void onControl(uint32_t c) {
  if (c == VK_ESCAPE) {
    WindowClose(&mainWindow);
  } else if (c >= '1' && c <= '9') {
    setCurveSetting(static_cast<int32_t>(c - '0'));
  } else if (c >= VK_NUMPAD1 && c <= VK_NUMPAD9) {
    setCurveSetting(static_cast<int32_t>(c - VK_NUMPAD0));
  } else if (c == '0' || c == VK_NUMPAD0) {
    pauseSign = -pauseSign;
  } else if (c == VK_SPACE) {
    clearWindow();
    resetCurves(CURVE_SLOTS - 1);
  } else if (c == VK_ADD || c == VK_OEM_PLUS || c == WHEEL_NOTCH_FORWARD) {
    raiseSpeed();
  } else if (c == VK_SUBTRACT || c == VK_OEM_MINUS || c == WHEEL_NOTCH_BACKWARD) {
    lowerSpeed();
  }
  printStatusLine();
}

}  // namespace

SpeedChange raisedSpeed(double current) {
  SpeedChange change{current, 0, {}};
  double& s = change.speed;
  if (s > 5.0 && s < 15.0) {
    s = s + 0.5;
    restart(change, 1000);
  }
  if (s > 1.0 && s <= 5.0) {
    s = s + 0.1;
    restart(change, 2000);
  }
  if (s > 0.5 && s <= 1.0) {
    s = s + 0.05;
    restart(change, 4000);
  }
  if (s <= 0.5) s = s + 0.025;
  return change;
}

SpeedChange loweredSpeed(double current) {
  SpeedChange change{current, 0, {}};
  double& s = change.speed;
  if (s > 2.0) s = s - 0.25;
  if (s > 1.0 && s <= 2.0) {
    s = s - 0.1;
    restart(change, 3000);
  }
  if (s > 0.5 && s <= 1.0) {
    s = s - 0.1;
    restart(change, 4000);
  }
  if (s > 0.1 && s <= 0.5) {
    s = s - 0.05;
    restart(change, 8000);
  }
  return change;
}

void raiseSpeed() { applySpeedChange(raisedSpeed(speed)); }

void lowerSpeed() { applySpeedChange(loweredSpeed(speed)); }

uint32_t drawPeriod(int32_t curveSetting) {
  return curveSetting > 0 ? static_cast<uint32_t>(100 / curveSetting) : 100u;
}

int32_t handleEvent() {
  const int32_t id = CurrentEvent.eventId;
  // The application's codes all fit 32 bits, as on the 32-bit system.
  const uint32_t c = static_cast<uint32_t>(CurrentEvent.param1);
  if (id == EVENT_SIZE_CHANGED) {
    onSizeChanged();
  } else if (id == WM_LBUTTONDOWN) {
    if (pauseSign > 0) {
      clearWindow();
      resetCurves(CURVE_SLOTS - 1);
    }
  } else if (id == WM_RBUTTONDOWN) {
    pauseSign = -pauseSign;
  } else if (id == WM_PAINT) {
    onPaint();
  } else if (id == WM_CREATE) {
    onCreate();
  } else if (id == WM_TIMER) {
    onTimer(c);
  } else if (id == WM_MOUSEWHEEL || id == WM_KEYDOWN) {
    onControl(c);
  } else if (id == EVENT_CLOSE_REQUEST) {
    WindowClose(&mainWindow);
  }
  return 0;
}
