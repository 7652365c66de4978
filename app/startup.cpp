#include "startup.h"

#include <cfenv>
#if defined(__i386__) || defined(__x86_64__)
#include <xmmintrin.h>
#endif

#include "../runtime/core/global_lists.h"
#include "../runtime/core/heap.h"
#include "../runtime/core/numeric.h"
#include "../runtime/graphics/draw.h"
#include "../runtime/window/pump.h"
#include "../runtime/window/window_close.h"
#include "../runtime/window/window_open.h"
#include "handler.h"
#include "state.h"

void setupFloatingPoint() {
#if defined(__i386__)
  // x87: reset, then all six exceptions masked, 64-bit significand, round to nearest.
  const unsigned short controlWord = 0x033F;
  __asm__ __volatile__("fninit\n\tfldcw %0" : : "m"(controlWord));
#endif
  std::feclearexcept(FE_ALL_EXCEPT);
  std::fesetround(FE_TONEAREST);
#if defined(__i386__) || defined(__x86_64__)
  // SSE, which does the doubles: also all six exceptions masked, whatever the caller left.
  _mm_setcsr(0x1F80);
#endif
}

void prepareApplication() {
  setupFloatingPoint();
  RuntimeHeapCreate();
  lastCurve = RandomInt(9, 0) + 1;
  pauseSign = 1;
  speed = static_cast<double>(RandomInt(5, 0)) + 0.5;
}

void openMainWindowAt(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags,
                      WindowRecord* parent, WindowHandler handler) {
  screenWidth = width;
  screenHeight = height;
  WindowOpen(&mainWindow, x, y, width, height, flags, parent, MAIN_TITLE, handler);
  int32_t left = 0;
  int32_t top = 0;
  WindowClientSize(&mainWindow, &left, &top, &clientWidth, &clientHeight);
  DrawClear(&mainWindow, 0);
  DrawSetPenColor(&mainWindow, RgbPack(255, 255, 255));
  DrawSetBackColor(&mainWindow, 0);
}

void openMainWindow(WindowHandler handler) {
  int32_t width = 0;
  int32_t height = 0;
  ScreenSize(&width, &height);
  openMainWindowAt(0, 0, width, height, MAIN_WINDOW_FLAGS, nullptr, handler);
}

void shutDown(UINT exitCode) {
  WindowRegistryFree();
  RunExitSequence();
  ExitProcess(exitCode);
}

void SpiralsMain() {
  prepareApplication();
  openMainWindow(handleEvent);
  // Without a window there is nothing to wait for: go straight to the shutdown.
  while (mainWindow.hwnd != nullptr) PumpMessages(PUMP_WAIT);
  shutDown(0);
}
