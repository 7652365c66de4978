// The real application's window animating in real time for a while (20 s by default, the
// seconds given as the first argument otherwise), with the process's GDI object count sampled
// every 10 s: after the first sample it must not move. Exit status 0 when it stayed flat.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/handler.h"
#include "app/startup.h"
#include "app/state.h"
#include "platform/win32.h"
#include "runtime/core/heap.h"
#include "runtime/core/numeric.h"
#include "runtime/graphics/draw.h"
#include "runtime/window/pump.h"
#include "runtime/window/window_close.h"

namespace {

struct Sample {
  DWORD atMs;
  DWORD gdiObjects;
  DWORD userObjects;
};

Sample Take(DWORD startMs) {
  HANDLE self = GetCurrentProcess();
  return Sample{GetTickCount() - startMs, GetGuiResources(self, GR_GDIOBJECTS),
                GetGuiResources(self, GR_USEROBJECTS)};
}

}  // namespace

int main(int argc, char** argv) {
  const long seconds = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 20;
  if (seconds < 10) {
    std::fprintf(stderr, "gdi_soak: at least 10 seconds, so that there are two samples\n");
    return 2;
  }
  // The program's own start-up, without its loop (which would end the process).
  setupFloatingPoint();
  RuntimeHeapCreate();
  lastCurve = 10;  // all eleven curves
  pauseSign = 1;
  speed = static_cast<double>(RandomInt(5, 0)) + 0.5;
  ScreenSize(&screenWidth, &screenHeight);
  WindowOpen(&mainWindow, 0, 0, screenWidth, screenHeight, MAIN_WINDOW_FLAGS, nullptr, MAIN_TITLE,
             handleEvent);
  int32_t left = 0;
  int32_t top = 0;
  WindowClientSize(&mainWindow, &left, &top, &clientWidth, &clientHeight);
  DrawClear(&mainWindow, 0);
  DrawSetPenColor(&mainWindow, RgbPack(255, 255, 255));
  DrawSetBackColor(&mainWindow, 0);
  if (mainWindow.hwnd == nullptr) {
    std::fprintf(stderr, "gdi_soak: the window did not open\n");
    return 2;
  }

  const DWORD start = GetTickCount();
  const DWORD end = static_cast<DWORD>(seconds) * 1000;
  std::vector<Sample> samples{Take(start)};
  DWORD nextSample = 10000;
  while (mainWindow.hwnd != nullptr) {
    PumpMessages(PUMP_WAIT);
    const DWORD now = GetTickCount() - start;
    if (now >= nextSample) {
      samples.push_back(Take(start));
      nextSample += 10000;
    }
    if (now >= end) break;
  }
  const bool stillOpen = mainWindow.hwnd != nullptr;
  WindowClose(&mainWindow);
  PumpMessages(PUMP_DRAIN);

  bool flat = samples.size() >= 2;
  for (const Sample& s : samples) {
    std::printf("%6lu ms: %lu GDI objects, %lu USER objects\n", static_cast<unsigned long>(s.atMs),
                static_cast<unsigned long>(s.gdiObjects), static_cast<unsigned long>(s.userObjects));
  }
  for (size_t i = 2; i < samples.size(); ++i) {
    if (samples[i].gdiObjects != samples[1].gdiObjects) flat = false;
  }
  std::printf("%s after %ld s of animation (%zu samples)%s\n", flat ? "flat" : "NOT FLAT",
              seconds, samples.size(), stillOpen ? "" : "; the window closed early");
  return flat && stillOpen ? 0 : 1;
}
