#include "app_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "../app/handler.h"
#include "../app/startup.h"
#include "../app/state.h"
#include "../platform/portable/host_headless/headless_host.h"
#include "../runtime/core/heap.h"
#include "../runtime/core/numeric.h"
#include "../runtime/graphics/draw.h"
#include "../runtime/window/pump.h"
#include "bare_curves.h"

namespace bench {
namespace {

// The headless runner's default tick count: the search for eleven curves starts there.
constexpr uint32_t DEFAULT_TICK = 1000000;

}  // namespace

uint32_t TickForElevenCurves(uint32_t from) {
  const uint32_t savedState = RandomState;
  const int32_t savedSeeded = RandomSeeded;
  uint32_t tick = from;
  for (;; ++tick) {
    RandomSeed(static_cast<int32_t>(tick) / 2);
    if (RandomInt(9, 0) == 9) break;
  }
  RandomState = savedState;
  RandomSeeded = savedSeeded;
  return tick;
}

void EnsureAppWindow() {
  static bool open = false;
  if (open) return;
  open = true;

  portable::HeadlessOptions options;
  options.tickBase = TickForElevenCurves(DEFAULT_TICK);
  // Lives as long as the process: the layer keeps talking to it.
  static portable::HeadlessHost host(options, std::vector<portable::ScriptedInput>{});
  portable::SetHost(&host);

  // The start-up routine, step by step, up to its loop.
  setupFloatingPoint();
  RuntimeHeapCreate();
  lastCurve = RandomInt(9, 0) + 1;
  pauseSign = 1;
  speed = static_cast<double>(RandomInt(5, 0)) + 0.5;
  openMainWindow(handleEvent);
  // The size and paint events that start-up queued.
  PumpMessages(PUMP_DRAIN);

  if (mainWindow.hwnd == nullptr || lastCurve != 10) {
    std::fprintf(stderr, "spirals_bench: the application did not open with eleven curves\n");
    std::exit(1);
  }
  // The baseline is only fair if it computes the very same points: one step of each from the
  // same state must leave the same slot, angle and last point, bit for bit.
  BareCurves bare = CaptureAppCurves();
  PixelBuffer buffer(clientWidth, clientHeight);
  BareStep(bare, buffer);
  drawStep();
  const int32_t s = currentSlot;
  if (bare.currentSlot != s || bare.curves.angle[s] != curves.angle[s] ||
      bare.curves.x[s] != curves.x[s] || bare.curves.y[s] != curves.y[s]) {
    std::fprintf(stderr, "spirals_bench: the bare step does not compute drawStep's points\n");
    std::exit(1);
  }
}

}  // namespace bench
