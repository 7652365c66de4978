// The tick count of a host on a real clock: milliseconds since the machine started, as
// Windows counts them.
#pragma once

#include <cstdint>

#include "../kernel/clock.h"

namespace portable {

// The value to add to `clock`'s reading so that GetTickCount counts from the boot.
uint32_t BootTickBase(const Clock& clock);

}  // namespace portable
