#include "state.h"

int32_t lastCurve = 0;
double speed = 0.0;
int32_t pauseSign = 0;
HANDLE drawSemaphore = nullptr;
HANDLE slotMutex = nullptr;
int32_t currentSlot = 0;
int32_t variantSelector = 0;
int32_t clientWidth = 0;
int32_t clientHeight = 0;
int32_t screenWidth = 0;
int32_t screenHeight = 0;
WindowRecord mainWindow = {};
CurveSet curves = {};
int32_t paintStep = 0;
int32_t openTimerSteps = 0;
int32_t statusLinesShown = 1;
