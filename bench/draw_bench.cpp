// The drawing step on the headless host against the same points written into a raw buffer,
// and one bracketed pixel against one raw pixel write.
#include <benchmark/benchmark.h>

#include "../app/curves.h"
#include "../app/state.h"
#include "../runtime/graphics/draw.h"
#include "app_fixture.h"
#include "bare_curves.h"

namespace bench {
namespace {

// A virtual minute at eleven curves: timer 2 every 100 div 10 ms, 400 points a step.
constexpr int32_t STEPS_PER_VIRTUAL_MINUTE = 60000 / 10;

void BM_DrawStep(benchmark::State& state) {
  EnsureAppWindow();
  for (auto _ : state) drawStep();
  state.SetItemsProcessed(state.iterations() * POINTS_PER_STEP);
}
BENCHMARK(BM_DrawStep);

void BM_BareStep(benchmark::State& state) {
  EnsureAppWindow();
  BareCurves curvesCopy = CaptureAppCurves();
  PixelBuffer buffer(curvesCopy.clientWidth, curvesCopy.clientHeight);
  for (auto _ : state) {
    benchmark::DoNotOptimize(BareStep(curvesCopy, buffer));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * POINTS_PER_STEP);
}
BENCHMARK(BM_BareStep);

// Points spread over the client area, so neither side writes one cached spot only.
int32_t SpreadX(uint32_t i) { return static_cast<int32_t>((i * 37u) % 1000u); }
int32_t SpreadY(uint32_t i) { return static_cast<int32_t>((i * 53u) % 700u); }

void BM_DrawPoint(benchmark::State& state) {
  EnsureAppWindow();
  uint32_t i = 0;
  for (auto _ : state) {
    DrawPoint(&mainWindow, SpreadX(i), SpreadY(i), 0x0080FF40u + (i & 0x3Fu));
    ++i;
  }
}
BENCHMARK(BM_DrawPoint);

void BM_RawPixelWrite(benchmark::State& state) {
  EnsureAppWindow();
  PixelBuffer buffer(clientWidth, clientHeight);
  uint32_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(WritePixel(buffer, SpreadX(i), SpreadY(i), 0x0080FF40u + (i & 0x3Fu)));
    benchmark::ClobberMemory();
    ++i;
  }
}
BENCHMARK(BM_RawPixelWrite);

// The bare side of the whole headless run: 2.4 million points, no window system.
void BM_BareVirtualMinute(benchmark::State& state) {
  EnsureAppWindow();
  const BareCurves start = CaptureAppCurves();
  PixelBuffer buffer(start.clientWidth, start.clientHeight);
  for (auto _ : state) {
    BareCurves curvesCopy = start;
    int64_t written = 0;
    for (int32_t step = 0; step < STEPS_PER_VIRTUAL_MINUTE; ++step) {
      written += BareStep(curvesCopy, buffer);
    }
    benchmark::DoNotOptimize(written);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * STEPS_PER_VIRTUAL_MINUTE * POINTS_PER_STEP);
}
BENCHMARK(BM_BareVirtualMinute)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bench
