// The host behind host_x11.h: the first top-level window of the layer is shown in the X
// window, follows its size, and ends with it. Nothing else of the X window is changed.
#pragma once

#include <X11/Xlib.h>

#include <optional>

#include "../kernel/host.h"
#include "../host_common/frame_pacer.h"
#include "../host_common/text_log.h"
#include "x11_presenter.h"
#include "x11_target.h"

namespace portable {

class X11Host final : public Host {
 public:
  // Takes over `display`, which it closes at exit.
  X11Host(Display* display, const X11Window& target);
  ~X11Host() override;

  bool OpenPresenter(std::string* problem);

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
  // Hands every X event already received to the layer; true when any became a message.
  bool DrainEvents();
  bool Handle(const XEvent& event);
  // A stop signal or a vanished window: one close request to the shown window.
  bool CheckForEnd();
  // Gives the layer window the X window's size when they differ; true when it did.
  bool FollowTargetSize();
  void PresentIfDue();
  uint64_t NowUs() const { return clock_.NowMs() * 1000; }

  Display* display_;
  X11Window target_;
  X11Presenter presenter_;
  Atom deleteWindow_ = 0;
  RealClock clock_;
  uint32_t tickBase_ = 0;
  SIZE screen_{0, 0};
  TextLog textLog_;
  HWND shown_ = nullptr;
  int width_ = 0;  // the shown window's framebuffer
  int height_ = 0;
  DirtyRect dirty_;
  FramePacer pacer_;
  bool lost_ = false;
  bool stopping_ = false;
  bool closeSent_ = false;
  bool closed_ = false;
};

}  // namespace portable
