#include "clock.h"

#include <time.h>

#include <algorithm>

namespace portable {

static uint64_t MonotonicNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000000000ull + static_cast<uint64_t>(ts.tv_nsec);
}

void Clock::SleepUntil(uint64_t deadlineMs) {
  const uint64_t now = NowMs();
  if (deadlineMs > now)
    SleepMs(static_cast<uint32_t>(std::min<uint64_t>(deadlineMs - now, UINT32_MAX)));
}

RealClock::RealClock() : startNs_(MonotonicNs()) {}

uint64_t RealClock::NowMs() const { return (MonotonicNs() - startNs_) / 1000000ull; }

void RealClock::SleepMs(uint32_t ms) {
  timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  while (nanosleep(&ts, &ts) != 0) {
  }
}

}  // namespace portable
