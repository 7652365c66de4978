// The draining pump on an empty queue: what drawStep pays for every step.
#include <benchmark/benchmark.h>

#include "../runtime/window/pump.h"
#include "app_fixture.h"

namespace bench {
namespace {

void BM_PumpDrainEmpty(benchmark::State& state) {
  EnsureAppWindow();
  for (auto _ : state) benchmark::DoNotOptimize(PumpMessages(PUMP_DRAIN));
}
BENCHMARK(BM_PumpDrainEmpty);

}  // namespace
}  // namespace bench
