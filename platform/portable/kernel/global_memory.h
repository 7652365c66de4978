// Global memory's accounting, for leak checks in tests and benchmarks. Not Win32.
#pragma once

#include <cstddef>

namespace portable {

// Live global-memory blocks (GlobalAlloc not yet freed).
size_t LiveGlobalBlocks();

}  // namespace portable
