#include "win32_host.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "../host_common/host_input.h"
#include "../host_common/host_stats.h"
#include "../host_common/wake_up.h"
#include "../user/input.h"
#include "../user/timers.h"
#include "../user/window_surface.h"
#include "host_win32.h"

namespace portable {

Win32Host::Win32Host(uintptr_t parent)
    : tickBase_(win32::SystemTickCount() - static_cast<uint32_t>(clock_.NowMs())),
      parent_(parent),
      statsWanted_(HostStatsWanted()) {
  const win32::DisplayInfo display = win32::QueryDisplay();
  screen_ = SIZE{display.width, display.height};
  pacer_ = FramePacer(display.refreshHz);
  textLog_.OpenFromEnvironment();
}

Win32Host::~Win32Host() {
  ProcessExiting(0);
  if (&CurrentHost() == this) SetHost(nullptr);
}

std::optional<RECT> Win32Host::FrameInsets(DWORD style, DWORD exStyle) const {
  return ToRect<RECT>(win32::FrameInsets(style, exStyle));
}

bool Win32Host::TakeSystemMessages(bool look) {
  queued_ = false;
  // A loop of the system's reads the queue itself: a look from inside it would take the
  // loop's own messages.
  if (look && !inSystemLoop_) {
    systemPending_ = false;
    win32::DispatchSystemMessages();
    ForgetRetiredWindow();
  }
  // What sends messages to our window at once waits until the real window's procedure has
  // returned: our window's answer may be to close, which takes the real window with it.
  if (pendingSize_ && shown_ != nullptr) {
    const SIZE size = *pendingSize_;
    pendingSize_.reset();
    if (size.cx != width_ || size.cy != height_) queued_ |= FitClientArea(shown_, size.cx, size.cy);
  }
  if (pendingActive_ && shown_ != nullptr) {
    const bool active = *pendingActive_;
    pendingActive_.reset();
    if (!active) ReleaseHeldKeys();
    // Our window follows the real one: inactive while another program has the keyboard.
    SetActiveWindow(active ? shown_ : nullptr);
    queued_ = true;
  }
  FollowParent();
  if (lost_ && !closeSent_ && shown_ != nullptr) {
    // As the X11 host does for a window taken away: our window is asked to close.
    closeSent_ = true;
    PostMessageA(shown_, WM_CLOSE, 0, 0);
    return true;
  }
  return queued_;
}

void Win32Host::FollowParent() {
  if (parent_ == 0 || window_ == nullptr || lost_ || shown_ == nullptr) return;
  int width = 0, height = 0;
  if (!window_->ParentClientSize(&width, &height)) {
    lost_ = true;
    return;
  }
  if (width == width_ && height == height_) return;
  window_->SetClientSize(width, height);
  if (FitClientArea(shown_, width, height)) queued_ = true;
}

void Win32Host::PresentIfDue() {
  if (closed_ || window_ == nullptr || dirty_.Empty()) return;
  const uint64_t now = clock_.NowUs();
  if (!pacer_.Due(now)) return;
  dirty_.TakeRects(&rects_);
  WindowSurface surface;
  if (QueryWindowSurface(shown_, &surface)) {
    boxes_.clear();
    for (const RECT& r : rects_) {
      boxes_.push_back(ToPlainRect(r));
      pixelsPresented_ +=
          static_cast<uint64_t>(r.right - r.left) * static_cast<uint64_t>(r.bottom - r.top);
      ++rectsPresented_;
    }
    const PixelBuffer& frame = surface.framebuffer;
    window_->Present(frame.pixels, frame.width, frame.height, frame.stride, boxes_);
  }
  pacer_.Presented(now);
  ++framesPresented_;
}

void Win32Host::ForgetRetiredWindow() {
  if (!inSystemLoop_) retired_.reset();
}

void Win32Host::PollInput() {
  if (closed_) return;
  // The program peeks at its queue many times a drawing step, and every look at the system's
  // queue is a call into the system (under Wine, a round trip to its server): look at most
  // once per kPollIntervalUs, which no user can tell from at once.
  const uint64_t now = clock_.NowUs();
  if (now - lastPollUs_ >= kPollIntervalUs) {
    lastPollUs_ = now;
    TakeSystemMessages(true);
  }
  PresentIfDue();
}

void Win32Host::WaitForInput(std::optional<uint64_t> deadlineMs) {
  // Inside a loop of the system's only time can be waited for: the queue is the loop's.
  if (closed_ || inSystemLoop_) {
    if (deadlineMs) clock_.SleepUntil(*deadlineMs);
    return;
  }
  for (;;) {
    // Only when the system said something came: a look at an empty queue costs as much as one
    // at a full one, and the wait below returns at once while anything lies there unread.
    if (TakeSystemMessages(systemPending_)) return;
    PresentIfDue();
    const uint64_t nowMs = clock_.NowMs();
    if (deadlineMs && nowMs >= *deadlineMs) return;
    // Sleep until the deadline, system input, or the next picture; a preview looks at its
    // parent now and then, since another program's window tells us nothing when it resizes.
    int64_t timeoutMs = WakeUpTimeoutMs(nowMs, deadlineMs, PictureWaitUs(), kPresentSlackMs);
    if (parent_ != 0) timeoutMs = timeoutMs < 0 ? 250 : std::min<int64_t>(timeoutMs, 250);
    systemPending_ = win32::WaitForSystemMessage(static_cast<int>(timeoutMs));
  }
}

std::optional<uint64_t> Win32Host::PictureWaitUs() const {
  if (dirty_.Empty() || window_ == nullptr) return std::nullopt;
  return pacer_.WaitUs(clock_.NowUs());
}

int Win32Host::DueWork() {
  if (closed_ || shown_ == nullptr) return INT_MAX;
  // What the loop brought (a new size while the frame is dragged), then the layer's queue as
  // the system's own loops dispatch it; our window may go away on the way.
  TakeSystemMessages(false);
  MSG message;
  while (shown_ != nullptr && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // For the program's own loop, once the system's has ended.
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  PresentIfDue();
  uint64_t expiry = 0;
  const std::optional<uint64_t> deadlineMs =
      user::NextTimerExpiry(&expiry) ? std::optional<uint64_t>(expiry) : std::nullopt;
  const int64_t timeoutMs =
      WakeUpTimeoutMs(clock_.NowMs(), deadlineMs, PictureWaitUs(), kPresentSlackMs);
  return timeoutMs < 0 ? INT_MAX : static_cast<int>(std::min<int64_t>(timeoutMs, INT_MAX));
}

void Win32Host::SystemLoop(bool running) {
  inSystemLoop_ = running;
  // The loop may have left messages behind for the next look.
  if (!running) systemPending_ = true;
}

void Win32Host::KeyMenu(HWND hwnd, int key) {
  if (closed_ || hwnd != shown_ || window_ == nullptr) return;
  window_->KeyMenu(key);
  ForgetRetiredWindow();
}

void Win32Host::TopLevelCreated(HWND hwnd, int clientWidth, int clientHeight) {
  // One real window, for the program's one top-level window.
  if (closed_ || shown_ != nullptr) return;
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  win32::WindowShape shape;
  // The real window opens with the title, so nobody ever sees it without one.
  char title[256] = "";
  GetWindowTextA(hwnd, title, sizeof title);
  shape.title = title;
  char className[256] = "";
  GetClassNameA(hwnd, className, sizeof className);
  shape.className = className;
  shape.style = static_cast<uint32_t>(GetWindowLongA(hwnd, GWL_STYLE));
  shape.exStyle = static_cast<uint32_t>(GetWindowLongA(hwnd, GWL_EXSTYLE));
  shape.client = PlainRect{origin.x, origin.y, origin.x + clientWidth, origin.y + clientHeight};
  shape.parent = parent_;
  shown_ = hwnd;
  width_ = clientWidth;
  height_ = clientHeight;
  dirty_.Resize(clientWidth, clientHeight);
  dirty_.AddAll();
  std::string problem;
  window_ = win32::OpenRealWindow(shape, this, &problem);
  if (window_ == nullptr) {
    std::fprintf(stderr, "spirals: %s\n", problem.c_str());
    ExitProcess(1);
  }
  // A preview fills its parent, whatever size it was given.
  FollowParent();
}

void Win32Host::TopLevelResized(HWND hwnd, int clientWidth, int clientHeight) {
  if (hwnd != shown_) return;
  width_ = clientWidth;
  height_ = clientHeight;
  if (window_ != nullptr && parent_ == 0) window_->SetClientSize(clientWidth, clientHeight);
  dirty_.Resize(clientWidth, clientHeight);
  dirty_.AddAll();
}

void Win32Host::TopLevelDestroyed(HWND hwnd) {
  if (hwnd != shown_) return;
  shown_ = nullptr;
  if (inSystemLoop_ && window_ != nullptr) {
    // The loop runs in the real window's procedure, further up this very call.
    window_->EndSystemLoop();
    retired_ = std::move(window_);
  }
  window_.reset();
  dirty_.Clear();
}

void Win32Host::TopLevelTitle(HWND hwnd, const char* title) {
  if (title != nullptr && hwnd == shown_ && window_ != nullptr) window_->SetTitle(title);
}

void Win32Host::PixelsChanged(HWND topLevel, const RECT& rect) {
  if (topLevel == shown_) dirty_.Add(rect);
}

void Win32Host::TextDrawn(HWND, int x, int y, const char* text, int length) {
  textLog_.Write(clock_.NowMs(), x, y, text, length);
}

void Win32Host::ProcessExiting(UINT) {
  if (closed_) return;
  if (statsWanted_) {
    const double seconds = static_cast<double>(clock_.NowUs()) / 1e6;
    const double frames = static_cast<double>(framesPresented_ > 0 ? framesPresented_ : 1);
    std::fprintf(stderr,
                 "spirals: %llu pictures in %.1f s (%.1f per second), %.0f pixels in %.1f "
                 "rectangles a picture\n",
                 static_cast<unsigned long long>(framesPresented_), seconds,
                 seconds > 0 ? static_cast<double>(framesPresented_) / seconds : 0.0,
                 static_cast<double>(pixelsPresented_) / frames,
                 static_cast<double>(rectsPresented_) / frames);
  }
  closed_ = true;
  // Exiting from inside a loop of the system's never returns to it; the real window is left
  // to the process's end.
  if (inSystemLoop_) retired_ = std::move(window_);
  window_.reset();
  shown_ = nullptr;
  textLog_.Close();
}

void Win32Host::Key(uint32_t virtualKey, bool down, bool repeat) {
  InjectKey(virtualKey, down, repeat);
  queued_ = true;
}

void Win32Host::MouseButton(int button, bool down, int x, int y) {
  if (shown_ == nullptr) return;
  InjectMouseButton(shown_, button, down, x, y);
  queued_ = true;
}

void Win32Host::MouseMove(int x, int y) {
  if (shown_ == nullptr) return;
  InjectMouseMove(shown_, x, y);
  queued_ = true;
}

void Win32Host::WheelNotch(int delta, int x, int y) {
  if (shown_ == nullptr) return;
  InjectWheel(shown_, delta, CurrentKeyStateFlags(), x, y);
  queued_ = true;
}

void Win32Host::CloseRequested() {
  if (shown_ == nullptr) return;
  InjectClose(shown_);
  queued_ = true;
}

void Win32Host::Resized(int clientWidth, int clientHeight) {
  pendingSize_ = SIZE{clientWidth, clientHeight};
}

void Win32Host::Exposed(const PlainRect& clientRect) {
  if (shown_ == nullptr) return;
  const RECT rect = ToRect<RECT>(clientRect);
  dirty_.Add(rect);
  InjectExpose(shown_, &rect);
  queued_ = true;
}

void Win32Host::Activated(bool active) { pendingActive_ = active; }

void Win32Host::Lost() { lost_ = true; }

bool Win32Host::CursorHidden() { return GetCursor() == nullptr; }

bool InstallWin32Host(uintptr_t parent, std::string* problem, SIZE* size) {
  int width = 0, height = 0;
  if (parent != 0 && !win32::RealClientSize(parent, &width, &height)) {
    *problem = "the window " + std::to_string(parent) + " does not exist";
    return false;
  }
  static std::optional<Win32Host> host;
  host.emplace(parent);
  SetHost(&*host);
  if (size != nullptr) *size = parent != 0 ? SIZE{width, height} : host->ScreenSize();
  return true;
}

}  // namespace portable
