// The browser host: the first top-level window of the layer on the page's canvas, the page's
// input as Windows input, the browser's clock. The program runs unchanged on the page's one
// thread; it gives the browser back only inside WaitMessage, through Asyncify.
#pragma once

#include <optional>
#include <vector>

#include "../../host_common/frame_pacer.h"
#include "../../kernel/host.h"
#include "../wheel_notches.h"
#include "web_clock.h"

namespace portable {

class WebHost final : public Host {
 public:
  WebHost();

  Clock& GetClock() override { return clock_; }
  uint32_t TickBase() const override { return tickBase_; }
  // The page shows a full-screen window's client area: the screen is the page grown by the
  // frame, which lies beyond the page's edges.
  SIZE ScreenSize() const override;
  void PollInput() override;
  void WaitForInput(std::optional<uint64_t> deadlineMs) override;
  void TopLevelCreated(HWND hwnd, int clientWidth, int clientHeight) override;
  void TopLevelResized(HWND hwnd, int clientWidth, int clientHeight) override;
  void TopLevelDestroyed(HWND hwnd) override;
  void TopLevelTitle(HWND hwnd, const char* title) override;
  void PixelsChanged(HWND topLevel, const RECT& rect) override;
  void TextDrawn(HWND hwnd, int x, int y, const char* text, int length) override;
  void ProcessExiting(UINT exitCode) override;

 private:
  // Moves the page's queued events into the layer; true when any became input.
  bool DrainEvents();
  // Sizes the shown window's client area to the page, once per page size.
  bool FitToPage();
  // Tells the page where the shown window's pixels are and which of them changed.
  void Publish();
  void Show(HWND hwnd);

  WebClock clock_;
  uint32_t tickBase_ = 0;
  SIZE page_{1, 1};
  SIZE frame_{0, 0};           // what a captioned, sizable window's frame adds to its client area
  std::vector<HWND> windows_;  // top-level windows, oldest first
  HWND shown_ = nullptr;       // the one on the canvas
  int width_ = 0;
  int height_ = 0;
  DirtyRect changed_;
  WheelNotches wheel_;
  SIZE fitted_{0, 0};  // the page size the shown window was last fitted to
  // Input flows once start-up is over, from the program's first wait on, as on the desktop
  // where the user acts only once the window is there.
  bool armed_ = false;
  bool closed_ = false;
};

}  // namespace portable
