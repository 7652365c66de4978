#include "host.h"

namespace portable {
namespace {

// Serves when no host has been installed (unit tests of the layer): a virtual clock that
// jumps to the next timer when the program waits, a 1024x768 screen, and no input.
class DefaultHost final : public Host {
 public:
  Clock& GetClock() override { return clock_; }
  SIZE ScreenSize() const override { return SIZE{1024, 768}; }
  void PollInput() override {}
  void WaitForInput(std::optional<uint64_t> deadlineMs) override {
    if (deadlineMs) clock_.AdvanceTo(*deadlineMs);
  }
  void TopLevelCreated(HWND, int, int) override {}
  void TopLevelResized(HWND, int, int) override {}
  void TopLevelDestroyed(HWND) override {}
  void PixelsChanged(HWND, const RECT&) override {}

 private:
  VirtualClock clock_;
};

DefaultHost& Default() {
  static DefaultHost host;
  return host;
}

Host* installed = nullptr;

}  // namespace

Host& CurrentHost() { return installed ? *installed : Default(); }

void SetHost(Host* host) { installed = host; }

}  // namespace portable
