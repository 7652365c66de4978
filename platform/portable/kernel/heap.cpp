// Private heaps: each heap owns its blocks, so HeapDestroy releases whatever is left and the
// live blocks and bytes can be counted for leak checks.
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

#include "heap.h"
#include "block_limits.h"

namespace portable {
namespace {

struct KernelHeap {
  size_t maximum = 0;  // 0: grows on demand
  std::unordered_map<void*, size_t> blocks;
  size_t bytes = 0;
  size_t compactions = 0;
};

struct HeapRegistry {
  std::mutex lock;
  std::unordered_set<KernelHeap*> heaps;
};

HeapRegistry& Registry() {
  static HeapRegistry registry;
  return registry;
}

// A handle is only ever looked up, never dereferenced before it is known to be ours.
KernelHeap* Find(HANDLE handle) {
  auto* heap = static_cast<KernelHeap*>(handle);
  return Registry().heaps.count(heap) ? heap : nullptr;
}

}  // namespace

HeapUsage QueryHeapUsage(HANDLE heap) {
  std::lock_guard<std::mutex> guard(Registry().lock);
  HeapUsage usage;
  if (KernelHeap* found = Find(heap)) {
    usage.blocks = found->blocks.size();
    usage.bytes = found->bytes;
  }
  return usage;
}

size_t HeapCompactions(HANDLE heap) {
  std::lock_guard<std::mutex> guard(Registry().lock);
  KernelHeap* found = Find(heap);
  return found ? found->compactions : 0;
}

}  // namespace portable

using portable::KernelHeap;

HANDLE WINAPI HeapCreate(DWORD /*options*/, SIZE_T initialSize, SIZE_T maximumSize) {
  if (maximumSize != 0 && initialSize > maximumSize) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto* heap = new KernelHeap;
  heap->maximum = maximumSize;
  std::lock_guard<std::mutex> guard(portable::Registry().lock);
  portable::Registry().heaps.insert(heap);
  return heap;
}

LPVOID WINAPI HeapAlloc(HANDLE handle, DWORD flags, SIZE_T bytes) {
  std::lock_guard<std::mutex> guard(portable::Registry().lock);
  KernelHeap* heap = portable::Find(handle);
  if (!heap) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (heap->maximum != 0 && bytes > heap->maximum - heap->bytes) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  void* block = portable::AllocateBlock(bytes, (flags & HEAP_ZERO_MEMORY) != 0);
  if (!block) return nullptr;
  heap->blocks.emplace(block, bytes);
  heap->bytes += bytes;
  return block;
}

SIZE_T WINAPI HeapSize(HANDLE handle, DWORD /*flags*/, LPCVOID mem) {
  std::lock_guard<std::mutex> guard(portable::Registry().lock);
  KernelHeap* heap = portable::Find(handle);
  if (heap) {
    auto it = heap->blocks.find(const_cast<void*>(mem));
    if (it != heap->blocks.end()) return it->second;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return static_cast<SIZE_T>(-1);
}

BOOL WINAPI HeapValidate(HANDLE handle, DWORD /*flags*/, LPCVOID mem) {
  std::lock_guard<std::mutex> guard(portable::Registry().lock);
  KernelHeap* heap = portable::Find(handle);
  if (!heap) return FALSE;
  return !mem || heap->blocks.count(const_cast<void*>(mem)) ? TRUE : FALSE;
}

// Nothing to coalesce (blocks come from the C allocator); reports the largest block the heap
// could still hand out, and counts the call so tests can see the retry policy.
SIZE_T WINAPI HeapCompact(HANDLE handle, DWORD /*flags*/) {
  std::lock_guard<std::mutex> guard(portable::Registry().lock);
  KernelHeap* heap = portable::Find(handle);
  if (!heap) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  ++heap->compactions;
  if (heap->maximum == 0) return portable::kMaxBlockBytes;
  return heap->maximum - heap->bytes;
}

BOOL WINAPI HeapFree(HANDLE handle, DWORD /*flags*/, LPVOID mem) {
  std::lock_guard<std::mutex> guard(portable::Registry().lock);
  KernelHeap* heap = portable::Find(handle);
  if (!heap) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!mem) return TRUE;  // as on Windows, freeing null is harmless
  auto it = heap->blocks.find(mem);
  if (it == heap->blocks.end()) {
    // Not one of ours: freeing it would corrupt some other owner.
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  heap->bytes -= it->second;
  heap->blocks.erase(it);
  std::free(mem);
  return TRUE;
}

BOOL WINAPI HeapDestroy(HANDLE handle) {
  std::lock_guard<std::mutex> guard(portable::Registry().lock);
  KernelHeap* heap = portable::Find(handle);
  if (!heap) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  for (auto& [block, size] : heap->blocks) std::free(block);
  portable::Registry().heaps.erase(heap);
  delete heap;
  return TRUE;
}
