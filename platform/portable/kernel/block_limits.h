// Limits and the block allocation shared by the heap and global-memory allocators of the layer.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "../../win32.h"

namespace portable {

// Larger requests fail cleanly with ERROR_NOT_ENOUGH_MEMORY instead of reaching the C
// allocator: nothing in the program asks for more, and a wrapped negative size lands here.
constexpr size_t kMaxBlockBytes = 0x7FFFFFFF;

// A block of `bytes` from the C allocator, zero-filled when asked; null with
// ERROR_NOT_ENOUGH_MEMORY when it is too large or refused. A zero-byte request still gets a
// block of its own, distinct from every other.
inline void* AllocateBlock(size_t bytes, bool zeroFill) {
  void* block = bytes > kMaxBlockBytes ? nullptr : std::malloc(bytes ? bytes : 1);
  if (block == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (zeroFill) std::memset(block, 0, bytes);
  return block;
}

}  // namespace portable
