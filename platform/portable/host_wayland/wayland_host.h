// The host behind host_wayland.h: the first top-level window of the layer is shown as one
// toplevel; further ones have nowhere to go, as in the X11 saver host.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "../host_common/dirty_tiles.h"
#include "../host_common/text_log.h"
#include "../kernel/host.h"
#include "shm_buffers.h"
#include "wayland_globals.h"
#include "wayland_input.h"
#include "wayland_window.h"

namespace portable {

class WaylandHost final : public Host {
 public:
  WaylandHost();
  ~WaylandHost() override;

  bool Connect(std::string* problem);

  Clock& GetClock() override { return clock_; }
  uint32_t TickBase() const override { return tickBase_; }
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
  // Reads and handles what the compositor sent, waiting up to timeoutMs (0: not at all, -1:
  // for ever) for something to arrive.
  void Dispatch(int timeoutMs);
  // The connection failed: says so once and asks the window to close.
  void ConnectionLost();
  // Hands the compositor's wishes (a size, a close) and the held key's repeats to the layer;
  // true when any became input.
  bool FollowCompositor();
  void PresentIfDue();
  // Sends what is waiting to be sent.
  void Flush();
  bool Usable() const { return !closed_ && !lost_; }

  RealClock clock_;
  uint32_t tickBase_ = 0;
  WaylandGlobals globals_;
  WaylandWindow window_{globals_};
  WaylandInput input_{globals_};
  std::optional<ShmBuffers> buffers_;
  TextLog textLog_;
  std::string title_;  // UTF-8, set before or after the window shows
  HWND shown_ = nullptr;
  int width_ = 0;  // the shown window's framebuffer
  int height_ = 0;
  DirtyTiles damage_;  // changed since the last picture
  std::vector<RECT> rects_;
  uint64_t framesPresented_ = 0;
  bool statsWanted_ = false;
  bool lost_ = false;
  bool closeSent_ = false;
  bool closed_ = false;
};

}  // namespace portable
