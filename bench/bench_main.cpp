// spirals_bench: the in-process benchmarks, and two helpers for scripts/bench:
//   spirals_bench --tick-for-eleven          the start tick count that gives eleven curves
//   spirals_bench --run-child PROGRAM ARGS   wall time, CPU time and peak memory of one run
//   spirals_bench [benchmark flags] [--summary=FILE]
// The summary file holds one "name cpu_ns real_ns counter=value ..." line per benchmark (the
// median when repetitions were asked for), for the script's table.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "app_fixture.h"
#include "child_run.h"

namespace {

constexpr uint32_t DEFAULT_TICK = 1000000;

struct Figures {
  double cpuNs = 0;
  double realNs = 0;
  std::map<std::string, double> counters;
  bool fromMedian = false;
};

// Shows the usual console table and keeps each benchmark's figures for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type == Run::RT_Aggregate && !median) continue;
      Figures& f = figures_[run.run_name.function_name];
      // A median, once there is one, beats any single repetition.
      if (f.fromMedian && !median) continue;
      const double toNs = 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
      f.cpuNs = run.GetAdjustedCPUTime() * toNs;
      f.realNs = run.GetAdjustedRealTime() * toNs;
      f.fromMedian = median;
      f.counters.clear();
      for (const auto& [name, counter] : run.counters) f.counters[name] = counter.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }

  bool Write(const char* path) const {
    FILE* out = std::fopen(path, "w");
    if (out == nullptr) return false;
    for (const auto& [name, f] : figures_) {
      std::fprintf(out, "%s %.3f %.3f", name.c_str(), f.cpuNs, f.realNs);
      for (const auto& [counter, value] : f.counters) {
        std::fprintf(out, " %s=%.3f", counter.c_str(), value);
      }
      std::fputc('\n', out);
    }
    return std::fclose(out) == 0;
  }

 private:
  std::map<std::string, Figures> figures_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--tick-for-eleven") == 0) {
    std::printf("%u\n", bench::TickForElevenCurves(DEFAULT_TICK));
    return 0;
  }
  if (argc >= 2 && std::strcmp(argv[1], "--run-child") == 0) return bench::RunChild(argv + 2);

  benchmark::Initialize(&argc, argv);
  const char* summaryPath = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--summary=", 10) == 0) {
      summaryPath = argv[i] + 10;
    } else {
      std::fprintf(stderr, "spirals_bench: unknown argument %s\n", argv[i]);
      return 2;
    }
  }
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  if (summaryPath != nullptr && !reporter.Write(summaryPath)) {
    std::fprintf(stderr, "spirals_bench: cannot write %s\n", summaryPath);
    return 1;
  }
  return 0;
}
