// Counts of HeapAlloc and HeapFree calls made on the runtime's private heap. The link wraps
// the layer's two functions (see CMakeLists.txt), so every call the runtime makes is seen.
#pragma once

#include <cstdint>

namespace bench {

struct HeapCalls {
  uint64_t allocs = 0;
  uint64_t frees = 0;
};

HeapCalls RuntimeHeapCalls();

}  // namespace bench
