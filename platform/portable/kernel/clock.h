// The one clock the layer reads time from. The real clock follows CLOCK_MONOTONIC; the
// virtual clock (headless runs) moves only when the program waits.
#pragma once

#include <cstdint>

namespace portable {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since the clock started.
  virtual uint64_t NowMs() const = 0;
  // A wait that nothing can cut short (a semaphore that stays empty): the real clock sleeps,
  // the virtual clock moves forward by the time given.
  virtual void SleepMs(uint32_t ms) = 0;
  // Sleeps until the clock reads `deadlineMs`, or not at all when it already has.
  void SleepUntil(uint64_t deadlineMs);
};

class RealClock final : public Clock {
 public:
  RealClock();
  uint64_t NowMs() const override;
  void SleepMs(uint32_t ms) override;

 private:
  uint64_t startNs_;
};

class VirtualClock final : public Clock {
 public:
  uint64_t NowMs() const override { return now_; }
  void SleepMs(uint32_t ms) override { now_ += ms; }
  // Moves the clock to `ms` when that lies ahead; time never runs backwards.
  void AdvanceTo(uint64_t ms) {
    if (ms > now_) now_ = ms;
  }

 private:
  uint64_t now_ = 0;
};

}  // namespace portable
