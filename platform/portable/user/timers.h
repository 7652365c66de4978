// Window and thread timers.
#pragma once

#include <cstddef>

namespace portable {

// Running timers over all windows, for leak checks in tests and benchmarks.
size_t LiveTimers();

}  // namespace portable
