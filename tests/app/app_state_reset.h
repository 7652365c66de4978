// Puts the application's program-wide state back to one known starting point, so each test
// sees the same state whatever ran before it in the process.
#pragma once

#include "app/curves.h"
#include "app/state.h"
#include "platform/win32.h"
#include "runtime/core/heap.h"

inline void ResetAppState() {
  if (RuntimeHeap == nullptr) RuntimeHeapCreate();
  mainWindow = WindowRecord{};
  curves = CurveSet{};
  currentSlot = 0;
  variantSelector = 0;
  clientWidth = 0;
  clientHeight = 0;
  lastCurve = 3;
  speed = 2.5;
  pauseSign = 1;
  openTimerSteps = 0;
  statusLinesShown = 1;
  if (slotMutex == nullptr) slotMutex = CreateMutexA(nullptr, FALSE, "");
  if (drawSemaphore == nullptr) drawSemaphore = CreateSemaphoreA(nullptr, 10, 10, "");
}
