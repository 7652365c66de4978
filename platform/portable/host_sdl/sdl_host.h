// The desktop host: the layer's top-level windows as SDL windows, SDL input as Windows input,
// real time.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "../kernel/host.h"
#include "event_translator.h"
#include "primary_monitor.h"
#include "../host_common/dirty_tiles.h"
#include "../host_common/frame_pacer.h"
#include "sdl_window.h"
#include "../host_common/text_log.h"

namespace portable {

class SdlHost final : public Host, private InputSink {
 public:
  // SDL's video subsystem must be open.
  SdlHost();
  ~SdlHost() override;

  Clock& GetClock() override { return clock_; }
  uint32_t TickBase() const override { return tickBase_; }
  SIZE ScreenSize() const override { return screen_; }
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
  struct TopLevel {
    HWND hwnd = nullptr;
    std::unique_ptr<SdlWindow> window;
    int width = 0;
    int height = 0;
    DirtyTiles dirty;
  };

  TopLevel* Find(HWND hwnd);
  uint64_t NowUs() const;
  // Shows every window's changed pixels when a refresh is due.
  void PresentIfDue();
  bool AnyDirty() const;
  // Handles every queued SDL event; true when any became input.
  bool DrainEvents();

  // InputSink: forwards to the layer.
  HWND WindowFromSdlId(Uint32 sdlWindowId) override;
  void Key(UINT virtualKey, bool down, bool repeat) override;
  void MouseButton(HWND hwnd, int button, bool down, int x, int y) override;
  void MouseMove(HWND hwnd, int x, int y) override;
  void WheelNotch(HWND hwnd, int delta, int x, int y) override;
  void CloseRequested(HWND hwnd) override;
  void Resized(HWND hwnd, int clientWidth, int clientHeight) override;
  void Exposed(HWND hwnd) override;

  RealClock clock_;
  uint32_t tickBase_ = 0;
  MonitorArea monitor_;  // the primary monitor, where the layer's screen lies
  SIZE screen_{0, 0};
  std::vector<TopLevel> windows_;
  // Titles set before their window was shown.
  std::vector<std::pair<HWND, std::string>> pendingTitles_;
  FramePacer pacer_;
  std::vector<RECT> presentRects_;  // scratch, kept for its storage
  TextLog textLog_;
  std::chrono::steady_clock::time_point start_;
  uint64_t framesPresented_ = 0;
  bool statsWanted_ = false;
  bool closed_ = false;
};

}  // namespace portable
