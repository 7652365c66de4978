#include "wayland_host.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>

#include "../host_common/ansi_utf8.h"
#include "../host_common/boot_ticks.h"
#include "../host_common/host_input.h"
#include "../host_common/host_stats.h"
#include "../host_common/wake_up.h"
#include "../user/input.h"
#include "../user/window_surface.h"
#include "host_wayland.h"

namespace portable {

WaylandHost::WaylandHost() : tickBase_(BootTickBase(clock_)), statsWanted_(HostStatsWanted()) {
  textLog_.OpenFromEnvironment();
}

WaylandHost::~WaylandHost() {
  ProcessExiting(0);
  if (&CurrentHost() == this) SetHost(nullptr);
}

bool WaylandHost::Connect(std::string* problem) {
  if (!globals_.Connect(problem)) return false;
  buffers_.emplace(globals_.shm);
  input_.Start();
  return true;
}

SIZE WaylandHost::ScreenSize() const {
  // The output the window is on; before it is on one, the first the compositor named.
  const WaylandOutput* output = window_.Output();
  if (output == nullptr && !globals_.outputs.empty()) output = globals_.outputs.front().get();
  if (output != nullptr && output->width > 0 && output->height > 0)
    return SIZE{output->width, output->height};
  return SIZE{1024, 768};
}

void WaylandHost::ConnectionLost() {
  if (lost_) return;
  lost_ = true;
  const wl_interface* interface = nullptr;
  uint32_t object = 0;
  if (wl_display_get_error(globals_.display) == EPROTO) {
    const uint32_t code = wl_display_get_protocol_error(globals_.display, &interface, &object);
    std::fprintf(stderr, "spirals: the Wayland compositor refused a request (error %u of %s)\n",
                 code, interface ? interface->name : "an unknown object");
  } else {
    std::fprintf(stderr, "spirals: the Wayland compositor went away\n");
  }
  input_.SetWindow(nullptr, nullptr);
  // The window is gone with the connection; the program ends as when it is closed.
  if (shown_ && !closeSent_) {
    closeSent_ = true;
    PostMessageA(shown_, WM_CLOSE, 0, 0);
  }
}

void WaylandHost::Dispatch(int timeoutMs) {
  if (!Usable()) return;
  wl_display* display = globals_.display;
  while (wl_display_prepare_read(display) != 0) {
    if (wl_display_dispatch_pending(display) < 0) return ConnectionLost();
  }
  short events = POLLIN;
  if (wl_display_flush(display) < 0) {
    if (errno != EAGAIN) {
      wl_display_cancel_read(display);
      return ConnectionLost();
    }
    events |= POLLOUT;  // the socket is full: wake when it takes more
  }
  pollfd fd{wl_display_get_fd(display), events, 0};
  const int ready = poll(&fd, 1, timeoutMs);
  if (ready > 0 && (fd.revents & (POLLIN | POLLERR | POLLHUP)) != 0) {
    if (wl_display_read_events(display) < 0) return ConnectionLost();
  } else {
    wl_display_cancel_read(display);
  }
  input_.SetNow(clock_.NowMs());
  if (wl_display_dispatch_pending(display) < 0) return ConnectionLost();
}

bool WaylandHost::FollowCompositor() {
  if (!Usable() || shown_ == nullptr) return false;
  bool queued = false;
  int width = 0, height = 0;
  input_.SetScale(window_.Scale());
  if (window_.TakeWantedSize(&width, &height) && (width != width_ || height != height_))
    queued |= FitClientArea(shown_, width, height);
  if (window_.TakeCloseRequest()) {
    InjectClose(shown_);
    queued = true;
  }
  input_.RepeatIfDue(clock_.NowMs());
  queued |= input_.TakeQueued();
  return queued;
}

void WaylandHost::PresentIfDue() {
  if (!Usable() || shown_ == nullptr || damage_.Empty() || !window_.CanPresent()) return;
  WindowSurface surface;
  if (!QueryWindowSurface(shown_, &surface)) return;
  const PixelBuffer& frame = surface.framebuffer;
  buffers_->Resize(frame.width, frame.height);
  // Every buffer held by the compositor: the next release comes as an event, and with it
  // the next try.
  wl_buffer* buffer = buffers_->Prepare(frame);
  if (buffer == nullptr) return;
  damage_.TakeRects(&rects_);
  window_.Present(buffer, frame.width, frame.height, rects_);
  ++framesPresented_;
}

void WaylandHost::Flush() {
  if (Usable() && wl_display_flush(globals_.display) < 0 && errno != EAGAIN) ConnectionLost();
}

void WaylandHost::PollInput() {
  if (!Usable()) return;
  Dispatch(0);
  FollowCompositor();
  PresentIfDue();
  Flush();
}

void WaylandHost::WaitForInput(std::optional<uint64_t> deadlineMs) {
  int timeoutMs = 0;
  for (;;) {
    if (!Usable()) {
      // Nothing more comes from the compositor; the close request is in the queue.
      if (deadlineMs && !lost_) clock_.SleepUntil(*deadlineMs);
      return;
    }
    Dispatch(timeoutMs);
    const bool queued = FollowCompositor();
    PresentIfDue();
    Flush();
    if (queued || lost_) return;
    const uint64_t nowMs = clock_.NowMs();
    if (deadlineMs && nowMs >= *deadlineMs) return;
    // Sleep until the deadline, the compositor's next word, or the held key's next repeat.
    // Pictures wait for the compositor's frame callback, which is a word of its own.
    std::optional<uint64_t> wakeMs = deadlineMs;
    if (const std::optional<uint64_t> repeatMs = input_.NextRepeatMs())
      wakeMs = wakeMs ? std::min(*wakeMs, *repeatMs) : *repeatMs;
    timeoutMs =
        static_cast<int>(std::min<int64_t>(WakeUpTimeoutMs(nowMs, wakeMs, std::nullopt), INT_MAX));
  }
}

void WaylandHost::TopLevelCreated(HWND hwnd, int clientWidth, int clientHeight) {
  if (closed_ || shown_ != nullptr) return;
  shown_ = hwnd;
  width_ = clientWidth;
  height_ = clientHeight;
  damage_.Resize(width_, height_);
  damage_.AddAll();
  if (lost_) {
    closeSent_ = true;
    PostMessageA(shown_, WM_CLOSE, 0, 0);
    return;
  }
  buffers_->Resize(width_, height_);
  window_.Open(title_.c_str(), width_, height_);
  input_.SetWindow(hwnd, window_.Surface());
  input_.SetScale(window_.Scale());
  Flush();
}

void WaylandHost::TopLevelResized(HWND hwnd, int clientWidth, int clientHeight) {
  if (hwnd != shown_ || closed_) return;
  width_ = clientWidth;
  height_ = clientHeight;
  damage_.Resize(width_, height_);
  damage_.AddAll();
  if (buffers_) buffers_->Resize(width_, height_);
}

void WaylandHost::TopLevelDestroyed(HWND hwnd) {
  if (hwnd != shown_ || closed_) return;
  input_.SetWindow(nullptr, nullptr);
  window_.Close();
  shown_ = nullptr;
  damage_.Clear();
  Flush();
}

void WaylandHost::TopLevelTitle(HWND hwnd, const char* title) {
  if (closed_ || title == nullptr || (shown_ != nullptr && hwnd != shown_)) return;
  char utf8[1024];
  AnsiToUtf8(title, utf8, sizeof utf8);
  title_ = utf8;
  if (shown_ != nullptr) {
    window_.SetTitle(utf8);
    Flush();
  }
}

void WaylandHost::PixelsChanged(HWND topLevel, const RECT& rect) {
  if (topLevel != shown_ || closed_) return;
  damage_.Add(rect);
  if (buffers_) buffers_->Changed(rect);
}

void WaylandHost::TextDrawn(HWND, int x, int y, const char* text, int length) {
  textLog_.Write(clock_.NowMs(), x, y, text, length);
}

void WaylandHost::ProcessExiting(UINT) {
  if (closed_) return;
  if (statsWanted_) ReportPictures(framesPresented_, static_cast<double>(clock_.NowMs()) / 1000.0);
  closed_ = true;
  textLog_.Close();
  input_.Close();
  window_.Close();
  buffers_.reset();
  globals_.Disconnect();
  shown_ = nullptr;
}

bool InstallWaylandHost(std::string* problem) {
  static std::optional<WaylandHost> host;
  host.emplace();
  if (!host->Connect(problem)) {
    host.reset();
    return false;
  }
  SetHost(&*host);
  return true;
}

}  // namespace portable
