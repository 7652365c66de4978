// The headless host's virtual clock: it moves only when the program waits, and tells its owner
// before it moves, while the screen still shows what it showed until then.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include "../kernel/clock.h"

namespace portable {

class ObservedClock final : public Clock {
 public:
  uint64_t NowMs() const override { return now_; }
  void SleepMs(uint32_t ms) override { AdvanceTo(now_ + ms); }
  // Moves the clock to `ms` when that lies ahead; time never runs backwards.
  void AdvanceTo(uint64_t ms) {
    if (ms <= now_) return;
    if (beforeMove_) beforeMove_(ms);
    now_ = ms;
  }
  // Called with the time the clock is about to move to.
  void SetBeforeMove(std::function<void(uint64_t)> observer) { beforeMove_ = std::move(observer); }

 private:
  uint64_t now_ = 0;
  std::function<void(uint64_t)> beforeMove_;
};

}  // namespace portable
