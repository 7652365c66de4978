// The status line: built on the runtime heap, printed through a bracket, released. Besides the
// time, the heap calls one line makes, and whether it gives back everything it took.
#include <benchmark/benchmark.h>

#include "../app/status_line.h"
#include "../platform/portable/diagnostics.h"
#include "../runtime/core/heap.h"
#include "app_fixture.h"
#include "heap_calls.h"

namespace bench {
namespace {

void BM_PrintStatusLine(benchmark::State& state) {
  EnsureAppWindow();
  const portable::HeapUsage usageBefore = portable::QueryHeapUsage(RuntimeHeap);
  const HeapCalls before = RuntimeHeapCalls();
  for (auto _ : state) printStatusLine();
  const HeapCalls after = RuntimeHeapCalls();
  const portable::HeapUsage usageAfter = portable::QueryHeapUsage(RuntimeHeap);
  const double n = static_cast<double>(state.iterations());
  state.counters["heap_allocs"] = static_cast<double>(after.allocs - before.allocs) / n;
  state.counters["heap_frees"] = static_cast<double>(after.frees - before.frees) / n;
  // Blocks still live after all the lines: 0 unless the line leaks.
  state.counters["blocks_left"] =
      static_cast<double>(usageAfter.blocks) - static_cast<double>(usageBefore.blocks);
}
BENCHMARK(BM_PrintStatusLine);

}  // namespace
}  // namespace bench
