// The runtime's private heap and the stack of temporary strings.
#include "heap.h"

HANDLE RuntimeHeap = nullptr;
TempStringStackState TempStringStack = {};

int32_t RuntimeHeapCreate() {
  if (RuntimeHeap) return 1;
  RuntimeHeap = HeapCreate(0, 0xFFFF, 0);
  if (!RuntimeHeap) return 0;
  TempStringStack.count = 0;
  return 1;
}

void* RuntimeHeapAlloc(int32_t size) {
  // A negative size would widen to an enormous request; no heap can serve it.
  if (!RuntimeHeap || size < 0) return nullptr;
  void* block = HeapAlloc(RuntimeHeap, HEAP_ZERO_MEMORY, static_cast<SIZE_T>(size));
  if (block) return block;
  // One compaction may free up a large enough run; there is no third attempt.
  HeapCompact(RuntimeHeap, 0);
  return HeapAlloc(RuntimeHeap, HEAP_ZERO_MEMORY, static_cast<SIZE_T>(size));
}

int32_t RuntimeHeapFree(void* block) {
  if (!RuntimeHeap || !block) return 0;
  return HeapFree(RuntimeHeap, 0, block);
}

int32_t RuntimeHeapDestroy() {
  if (!RuntimeHeap) return 0;
  // The handle stays as it was: nothing may touch the heap after the exit sequence.
  return HeapDestroy(RuntimeHeap);
}

char* SpaceString(int32_t n) {
  if (n < 0) n = 0;
  auto* block = static_cast<char*>(RuntimeHeapAlloc(n + 1));
  if (!block) return nullptr;
  for (int32_t i = 0; i < n; ++i) block[i] = ' ';
  block[n] = '\0';
  return block;
}

int32_t TempStringPush(char* s) {
  // A full stack ignores the string: it is neither parked nor freed.
  if (TempStringStack.count < TEMP_STRING_SLOTS) {
    TempStringStack.slots[TempStringStack.count] = s;
    ++TempStringStack.count;
  }
  return 0;
}

int32_t TempStringPop(int32_t n) {
  for (int32_t i = 0; i < n; ++i) {
    if (TempStringStack.count == 0) break;
    --TempStringStack.count;
    RuntimeHeapFree(TempStringStack.slots[TempStringStack.count]);
    TempStringStack.slots[TempStringStack.count] = nullptr;
  }
  return 0;
}

int32_t TempStringClear() {
  for (int32_t i = 0; i < TempStringStack.count; ++i) {
    RuntimeHeapFree(TempStringStack.slots[i]);
    TempStringStack.slots[i] = nullptr;
  }
  TempStringStack.count = 0;
  return 0;
}
