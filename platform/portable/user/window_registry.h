// The live windows, looked up by handle.
#pragma once

#include <cstddef>

namespace portable {

// Live windows, for leak checks in tests and benchmarks.
size_t LiveWindows();

}  // namespace portable
