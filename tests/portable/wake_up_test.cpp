// How long a host sleeps: the next timer, a picture waiting for its turn, and the slack that
// lets one wake-up serve both.
#include "platform/portable/host_common/wake_up.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>

namespace {

TEST(WakeUp, TimerPictureAndSlack) {
  struct Case {
    const char* what;
    uint64_t nowMs;
    std::optional<uint64_t> deadlineMs;
    std::optional<uint64_t> pictureWaitUs;
    int64_t slackMs;
    int64_t expected;
  };
  const Case cases[] = {
      {"nothing to wait for", 1000, std::nullopt, std::nullopt, 0, -1},
      {"the next timer", 1000, 1011, std::nullopt, 0, 11},
      {"a timer already due", 1000, 990, std::nullopt, 0, 0},
      {"a picture only, rounded up to a whole millisecond", 1000, std::nullopt, 15001, 8, 16},
      {"a picture due now", 1000, std::nullopt, 0, 8, 0},
      {"a picture well before the timer", 1000, 1050, 16000, 8, 16},
      {"a picture just before the timer waits for it", 1000, 1020, 16000, 8, 20},
      {"without slack the picture comes first", 1000, 1020, 16000, 0, 16},
      {"a picture after the timer", 1000, 1010, 16000, 8, 10},
      {"a far timer is capped", 0, uint64_t{1} << 40, std::nullopt, 0, INT_MAX},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(portable::WakeUpTimeoutMs(c.nowMs, c.deadlineMs, c.pictureWaitUs, c.slackMs),
              c.expected)
        << c.what;
  }
}

}  // namespace
