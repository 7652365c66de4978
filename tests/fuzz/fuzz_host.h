// The host of the API-level fuzz targets: a small screen, a virtual clock that a wait moves to
// the next timer (or not at all: nothing else will ever come), and the texts drawn into
// windows, kept for a target that compares them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "../../platform/portable/kernel/host.h"

namespace fuzz {

struct DrawnText {
  HWND hwnd;
  int x, y;
  std::string text;
};

class FuzzHost final : public portable::Host {
 public:
  explicit FuzzHost(SIZE screen) : screen_(screen) { portable::SetHost(this); }
  ~FuzzHost() override { portable::SetHost(nullptr); }

  portable::Clock& GetClock() override { return clock_; }
  uint32_t TickBase() const override { return 5000000; }
  SIZE ScreenSize() const override { return screen_; }
  void PollInput() override {}
  void WaitForInput(std::optional<uint64_t> deadlineMs) override {
    if (deadlineMs) clock_.AdvanceTo(*deadlineMs);
  }
  void TopLevelCreated(HWND, int, int) override {}
  void TopLevelResized(HWND, int, int) override {}
  void TopLevelDestroyed(HWND) override {}
  void PixelsChanged(HWND, const RECT&) override {}
  void TextDrawn(HWND hwnd, int x, int y, const char* text, int length) override {
    if (recordTexts)
      texts.push_back(DrawnText{hwnd, x, y, std::string(text, static_cast<size_t>(length))});
  }

  uint64_t NowMs() const { return clock_.NowMs(); }
  void Advance(uint64_t ms) { clock_.AdvanceTo(clock_.NowMs() + ms); }

  // Texts drawn since the target last cleared them, when it asks for them.
  bool recordTexts = false;
  std::vector<DrawnText> texts;

 private:
  SIZE screen_;
  portable::VirtualClock clock_;
};

}  // namespace fuzz
