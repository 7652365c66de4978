// The application's program-lifetime state. Everything starts at zero; start-up fills it.
#pragma once

#include <cstdint>

#include "../platform/win32.h"
#include "../runtime/window/window_record.h"
#include "curve_set.h"

extern int32_t lastCurve;
extern double speed;
extern int32_t pauseSign;
extern HANDLE drawSemaphore;
extern HANDLE slotMutex;
extern int32_t currentSlot;
extern int32_t variantSelector;
extern int32_t clientWidth;
extern int32_t clientHeight;
extern int32_t screenWidth;
extern int32_t screenHeight;
extern WindowRecord mainWindow;
extern CurveSet curves;

// Counter of the paint branch's drawing loop; program-wide on purpose, so a paint handled
// inside one of its steps ends the outer loop too.
extern int32_t paintStep;
// Timer-driven drawing steps open right now (nested through the pumps).
extern int32_t openTimerSteps;
// 1: the status and pause lines are printed (the program); 0: they are not (the savers).
extern int32_t statusLinesShown;
