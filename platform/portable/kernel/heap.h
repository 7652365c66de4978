// Private heaps' accounting, for leak checks in tests and benchmarks. Not Win32.
#pragma once

#include <cstddef>

#include "../../win32.h"

namespace portable {

struct HeapUsage {
  size_t blocks = 0;
  size_t bytes = 0;
};
// Live blocks and bytes of a heap made by HeapCreate; zeros for an unknown handle.
HeapUsage QueryHeapUsage(HANDLE heap);
// HeapCompact calls made on a heap so far; 0 for an unknown handle.
size_t HeapCompactions(HANDLE heap);

}  // namespace portable
