// When a host that waits for input wakes up: at the layer's next timer, or sooner for a
// picture waiting for its turn at the display.
#pragma once

#include <cstdint>
#include <optional>

namespace portable {

// Milliseconds a host may sleep from `nowMs`: until `deadlineMs` (the layer's next timer), or
// until a waiting picture may be shown (`pictureWaitUs` from now); -1 when nothing limits it.
// A picture due less than `slackMs` before the deadline waits for it: one wake-up serves both.
int64_t WakeUpTimeoutMs(uint64_t nowMs, std::optional<uint64_t> deadlineMs,
                        std::optional<uint64_t> pictureWaitUs, int64_t slackMs = 0);

}  // namespace portable
