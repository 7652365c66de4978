#include "heap_calls.h"

#include "../platform/win32.h"
#include "../runtime/core/heap.h"

namespace {

bench::HeapCalls calls;

}  // namespace

// The linker's --wrap names for HeapAlloc(HANDLE, DWORD, SIZE_T) and
// HeapFree(HANDLE, DWORD, LPVOID) as C++ mangles them.
extern "C" {
LPVOID __real__Z9HeapAllocPvjm(HANDLE heap, DWORD flags, SIZE_T bytes);
BOOL __real__Z8HeapFreePvjS_(HANDLE heap, DWORD flags, LPVOID block);

LPVOID __wrap__Z9HeapAllocPvjm(HANDLE heap, DWORD flags, SIZE_T bytes) {
  if (heap != nullptr && heap == RuntimeHeap) ++calls.allocs;
  return __real__Z9HeapAllocPvjm(heap, flags, bytes);
}

BOOL __wrap__Z8HeapFreePvjS_(HANDLE heap, DWORD flags, LPVOID block) {
  if (heap != nullptr && heap == RuntimeHeap) ++calls.frees;
  return __real__Z8HeapFreePvjS_(heap, flags, block);
}
}

namespace bench {

HeapCalls RuntimeHeapCalls() { return calls; }

}  // namespace bench
