// The spiral application set up in this process on the headless host, ready for drawStep:
// the start-up routine without its endless loop (which would end in ExitProcess).
#pragma once

#include <cstdint>

namespace bench {

// The first tick count from `from` on whose start-up draw gives eleven curves (lastCurve 10):
// RandomInt(9, 0) after seeding with tick / 2 must give 9.
uint32_t TickForElevenCurves(uint32_t from);

// Opens the main window once (later calls do nothing) and drains what start-up queued, so the
// queue is empty and the virtual clock stands still: no timer falls due while benchmarks run.
void EnsureAppWindow();

}  // namespace bench
