// Global memory: fixed blocks only, so the handle is the block's address.
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "global_memory.h"
#include "block_limits.h"

namespace portable {
namespace {

struct GlobalBlocks {
  std::mutex lock;
  std::unordered_map<void*, size_t> live;
};

GlobalBlocks& Blocks() {
  static GlobalBlocks blocks;
  return blocks;
}

}  // namespace

size_t LiveGlobalBlocks() {
  std::lock_guard<std::mutex> guard(Blocks().lock);
  return Blocks().live.size();
}

}  // namespace portable

HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes) {
  void* block = portable::AllocateBlock(bytes, (flags & GMEM_ZEROINIT) != 0);
  if (!block) return nullptr;
  std::lock_guard<std::mutex> guard(portable::Blocks().lock);
  portable::Blocks().live.emplace(block, bytes);
  return block;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL mem) {
  if (!mem) return nullptr;
  std::lock_guard<std::mutex> guard(portable::Blocks().lock);
  auto it = portable::Blocks().live.find(mem);
  if (it == portable::Blocks().live.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return mem;  // failure: the handle comes back
  }
  portable::Blocks().live.erase(it);
  std::free(mem);
  return nullptr;
}

SIZE_T WINAPI GlobalSize(HGLOBAL mem) {
  std::lock_guard<std::mutex> guard(portable::Blocks().lock);
  auto it = portable::Blocks().live.find(mem);
  if (it == portable::Blocks().live.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return it->second;
}
