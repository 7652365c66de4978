// The Windows host: our top-level window in a real window, the system's input as Windows input
// of the layer, the system's clocks, and at most one picture per display refresh of the tiles
// that changed.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "../host_common/dirty_tiles.h"
#include "../host_common/frame_pacer.h"
#include "../host_common/text_log.h"
#include "../kernel/host.h"
#include "system_link.h"

namespace portable {

// QueryPerformanceCounter as the layer's clock; Sleep for waits nothing cuts short.
class CounterClock final : public Clock {
 public:
  CounterClock() : startUs_(win32::CounterMicroseconds()) {}
  uint64_t NowMs() const override { return NowUs() / 1000u; }
  uint64_t NowUs() const { return win32::CounterMicroseconds() - startUs_; }
  void SleepMs(uint32_t ms) override { win32::SleepMilliseconds(ms); }

 private:
  uint64_t startUs_;
};

class Win32Host final : public Host, private win32::WindowEvents {
 public:
  explicit Win32Host(uintptr_t parent);
  ~Win32Host() override;

  Clock& GetClock() override { return clock_; }
  uint32_t TickBase() const override { return tickBase_; }
  SIZE ScreenSize() const override { return screen_; }
  std::optional<int> SystemMetric(int index) const override { return win32::SystemMetric(index); }
  std::optional<RECT> FrameInsets(DWORD style, DWORD exStyle) const override;
  void PollInput() override;
  void WaitForInput(std::optional<uint64_t> deadlineMs) override;
  void TopLevelCreated(HWND hwnd, int clientWidth, int clientHeight) override;
  void TopLevelResized(HWND hwnd, int clientWidth, int clientHeight) override;
  void TopLevelDestroyed(HWND hwnd) override;
  void TopLevelTitle(HWND hwnd, const char* title) override;
  void PixelsChanged(HWND topLevel, const RECT& rect) override;
  void TextDrawn(HWND hwnd, int x, int y, const char* text, int length) override;
  void KeyMenu(HWND hwnd, int key) override;
  void ProcessExiting(UINT exitCode) override;

 private:
  // WindowEvents: the real window's news, queued for the layer.
  void Key(uint32_t virtualKey, bool down, bool repeat) override;
  void MouseButton(int button, bool down, int x, int y) override;
  void MouseMove(int x, int y) override;
  void WheelNotch(int delta, int x, int y) override;
  void CloseRequested() override;
  void Resized(int clientWidth, int clientHeight) override;
  void Exposed(const PlainRect& clientRect) override;
  void Activated(bool active) override;
  void Lost() override;
  bool CursorHidden() override;
  void SystemLoop(bool running) override;
  int DueWork() override;

  // Takes in the system's messages (when `look`) and what they left pending; true when any
  // became input, or the window is to end.
  bool TakeSystemMessages(bool look);
  // A preview follows its parent's size and ends with it.
  void FollowParent();
  void PresentIfDue();
  // How long until a waiting picture may be shown; none when no picture waits.
  std::optional<uint64_t> PictureWaitUs() const;
  // Our window went away during a loop of the system's: its real window goes once the loop
  // has let go of it.
  void ForgetRetiredWindow();

  static constexpr uint64_t kPollIntervalUs = 2000;
  static constexpr int64_t kPresentSlackMs = 8;

  CounterClock clock_;
  uint32_t tickBase_;
  SIZE screen_;
  uintptr_t parent_;
  FramePacer pacer_;
  HWND shown_ = nullptr;  // our window in the real one; the host shows one
  std::unique_ptr<win32::RealWindow> window_;
  std::unique_ptr<win32::RealWindow> retired_;  // see ForgetRetiredWindow
  int width_ = 0, height_ = 0;
  DirtyTiles dirty_;
  std::vector<RECT> rects_;       // scratch, kept for its storage
  std::vector<PlainRect> boxes_;  // the same, for the real window
  TextLog textLog_;
  uint64_t framesPresented_ = 0;
  uint64_t pixelsPresented_ = 0;
  uint64_t rectsPresented_ = 0;
  bool statsWanted_ = false;
  std::optional<SIZE> pendingSize_;    // the real window's new client size
  std::optional<bool> pendingActive_;  // the real window became active, or stopped being it
  uint64_t lastPollUs_ = 0;            // when PollInput last looked at the system's queue
  bool systemPending_ = true;          // the system's queue may hold messages nobody has taken
  bool inSystemLoop_ = false;          // a loop of the system's reads its queue now
  bool queued_ = false;                // input went to the layer since it last looked
  bool lost_ = false;                  // the real window went away from outside
  bool closeSent_ = false;             // and our window was asked to close
  bool closed_ = false;
};

}  // namespace portable
