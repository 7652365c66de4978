#include "wake_up.h"

#include <algorithm>
#include <climits>

namespace portable {

int64_t WakeUpTimeoutMs(uint64_t nowMs, std::optional<uint64_t> deadlineMs,
                        std::optional<uint64_t> pictureWaitUs, int64_t slackMs) {
  int64_t timeoutMs = -1;
  if (deadlineMs)
    timeoutMs = *deadlineMs <= nowMs
                    ? 0
                    : static_cast<int64_t>(std::min<uint64_t>(*deadlineMs - nowMs, INT_MAX));
  if (pictureWaitUs) {
    const int64_t pictureMs = static_cast<int64_t>(
        std::min<uint64_t>((*pictureWaitUs + 999) / 1000, static_cast<uint64_t>(INT_MAX)));
    if (timeoutMs < 0 || pictureMs + slackMs < timeoutMs) timeoutMs = pictureMs;
  }
  return timeoutMs;
}

}  // namespace portable
