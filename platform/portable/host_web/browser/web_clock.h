// Time in the page: the browser's monotonic clock (performance.now()).
#pragma once

#include "../../kernel/clock.h"

namespace portable {

class WebClock final : public Clock {
 public:
  WebClock();
  uint64_t NowMs() const override;
  // The page gets the browser back only while the program waits for messages, so a wait that
  // nothing can cut short spins on the clock.
  void SleepMs(uint32_t ms) override;

 private:
  double startMs_;
};

}  // namespace portable
