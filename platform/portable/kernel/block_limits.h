// Limits shared by the heap and global-memory allocators of the layer.
#pragma once

#include <cstddef>

namespace portable {

// Larger requests fail cleanly with ERROR_NOT_ENOUGH_MEMORY instead of reaching the C
// allocator: nothing in the program asks for more, and a wrapped negative size lands here.
constexpr size_t kMaxBlockBytes = 0x7FFFFFFF;

}  // namespace portable
