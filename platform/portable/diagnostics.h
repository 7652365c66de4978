// Counters for tests and benchmarks: what the layer holds right now. Not Win32.
#pragma once

#include <cstddef>

#include "../win32.h"

namespace portable {

struct HeapUsage {
  size_t blocks = 0;
  size_t bytes = 0;
};
// Live blocks and bytes of a heap made by HeapCreate; zeros for an unknown handle.
HeapUsage QueryHeapUsage(HANDLE heap);
// HeapCompact calls made on a heap so far; 0 for an unknown handle.
size_t HeapCompactions(HANDLE heap);

// Live global-memory blocks (GlobalAlloc not yet freed).
size_t LiveGlobalBlocks();

struct GdiUsage {
  size_t pens = 0, brushes = 0, fonts = 0, bitmaps = 0, dcs = 0;  // stock objects not counted
  size_t Total() const { return pens + brushes + fonts + bitmaps + dcs; }
};
GdiUsage QueryGdiUsage();

// Running timers over all windows, and live windows.
size_t LiveTimers();
size_t LiveWindows();

}  // namespace portable
