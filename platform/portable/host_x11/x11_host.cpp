#include "x11_host.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "../host_common/boot_ticks.h"
#include "../host_common/host_input.h"
#include "../host_common/wake_up.h"
#include "../user/input.h"
#include "../user/window_surface.h"
#include "host_x11.h"
#include "signal_wake.h"
#include "x11_errors.h"

namespace portable {

X11Host::X11Host(Display* display, const X11Window& target)
    : display_(display),
      target_(target),
      tickBase_(BootTickBase(clock_)),
      screen_{DisplayWidth(display, DefaultScreen(display)),
              DisplayHeight(display, DefaultScreen(display))} {
  deleteWindow_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
  textLog_.OpenFromEnvironment();
}

X11Host::~X11Host() {
  ProcessExiting(0);
  if (&CurrentHost() == this) SetHost(nullptr);
}

bool X11Host::OpenPresenter(std::string* problem) {
  return presenter_.Open(display_, target_.window, target_.visual, target_.depth, problem);
}

bool X11Host::Handle(const XEvent& event) {
  switch (event.type) {
    case ConfigureNotify:
      if (event.xconfigure.window != target_.window) return false;
      target_.width = event.xconfigure.width;
      target_.height = event.xconfigure.height;
      return FollowTargetSize();
    case DestroyNotify:
      if (event.xdestroywindow.window == target_.window) lost_ = true;
      return false;
    case Expose:
      // The framebuffer still holds the picture: show that part again.
      if (event.xexpose.window == target_.window) {
        const XExposeEvent& e = event.xexpose;
        dirty_.Add(RECT{e.x, e.y, e.x + e.width, e.y + e.height}, width_, height_);
      }
      return false;
    case KeyPress:
    case KeyRelease: {
      if (!target_.own || shown_ == nullptr) return false;
      XKeyEvent key = event.xkey;
      if (XLookupKeysym(&key, 0) != XK_Escape) return false;
      InjectKey(VK_ESCAPE, event.type == KeyPress);
      return true;
    }
    case ClientMessage:
      if (!target_.own || shown_ == nullptr || event.xclient.window != target_.window) return false;
      if (event.xclient.format != 32 || static_cast<Atom>(event.xclient.data.l[0]) != deleteWindow_)
        return false;
      InjectClose(shown_);
      return true;
    default: return false;
  }
}

bool X11Host::DrainEvents() {
  bool queued = false;
  while (!closed_ && XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    queued |= Handle(event);
  }
  return queued;
}

bool X11Host::FollowTargetSize() {
  if (shown_ == nullptr || lost_) return false;
  if (target_.width == width_ && target_.height == height_) return false;
  return FitClientArea(shown_, target_.width, target_.height);
}

bool X11Host::CheckForEnd() {
  if (X11WindowLost()) lost_ = true;
  if (StopRequested()) stopping_ = true;
  if (!(lost_ || stopping_) || closeSent_ || shown_ == nullptr) return false;
  closeSent_ = true;
  return PostMessageA(shown_, WM_CLOSE, 0, 0) != FALSE;
}

void X11Host::PresentIfDue() {
  if (closed_ || lost_ || shown_ == nullptr || dirty_.Empty()) return;
  const uint64_t now = NowUs();
  if (!pacer_.Due(now)) return;
  WindowSurface surface;
  if (QueryWindowSurface(shown_, &surface))
    presenter_.Present(surface.framebuffer, dirty_.Bounds());
  dirty_.Clear();
  pacer_.Presented(now);
}

void X11Host::PollInput() {
  if (closed_) return;
  DrainEvents();
  CheckForEnd();
  PresentIfDue();
  XFlush(display_);
}

void X11Host::WaitForInput(std::optional<uint64_t> deadlineMs) {
  if (closed_) {
    if (deadlineMs) clock_.SleepUntil(*deadlineMs);
    return;
  }
  for (;;) {
    const bool queued = DrainEvents();
    if (CheckForEnd() || queued) return;
    PresentIfDue();
    XFlush(display_);
    const uint64_t nowMs = clock_.NowMs();
    if (deadlineMs && nowMs >= *deadlineMs) return;
    // Sleep until the deadline, X input, a stop signal, or the next picture.
    const int timeoutMs = static_cast<int>(
        WakeUpTimeoutMs(nowMs, deadlineMs,
                        !dirty_.Empty() && !lost_ ? std::optional<uint64_t>(pacer_.WaitUs(NowUs()))
                                                  : std::nullopt));
    pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {SignalWakeFd(), POLLIN, 0}};
    poll(fds, fds[1].fd >= 0 ? 2 : 1, timeoutMs);
  }
}

void X11Host::TopLevelCreated(HWND hwnd, int clientWidth, int clientHeight) {
  // The saver has one window; any other top-level window has nowhere to be shown.
  if (closed_ || shown_ != nullptr) return;
  shown_ = hwnd;
  width_ = clientWidth;
  height_ = clientHeight;
  dirty_.AddAll(width_, height_);
  // The X window may have changed size since it was looked at.
  FollowTargetSize();
}

void X11Host::TopLevelResized(HWND hwnd, int clientWidth, int clientHeight) {
  if (hwnd != shown_) return;
  width_ = clientWidth;
  height_ = clientHeight;
  dirty_.AddAll(width_, height_);
}

void X11Host::TopLevelDestroyed(HWND hwnd) {
  if (hwnd != shown_) return;
  shown_ = nullptr;
  dirty_.Clear();
}

void X11Host::TopLevelTitle(HWND hwnd, const char* title) {
  // A lent window keeps its name; only our own is named.
  if (closed_ || hwnd != shown_ || !target_.own || title == nullptr) return;
  XStoreName(display_, target_.window, title);
}

void X11Host::PixelsChanged(HWND topLevel, const RECT& rect) {
  if (topLevel == shown_) dirty_.Add(rect, width_, height_);
}

void X11Host::TextDrawn(HWND, int x, int y, const char* text, int length) {
  textLog_.Write(clock_.NowMs(), x, y, text, length);
}

void X11Host::ProcessExiting(UINT) {
  if (closed_) return;
  closed_ = true;
  textLog_.Close();
  presenter_.Close();
  if (target_.own && !lost_) XDestroyWindow(display_, target_.window);
  XCloseDisplay(display_);
  display_ = nullptr;
  shown_ = nullptr;
}

bool InstallX11Host(X11Target target, unsigned long id, SIZE* size, std::string* problem) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    const char* name = std::getenv("DISPLAY");
    *problem =
        std::string("cannot open the X display (") +
        (name && *name ? std::string("DISPLAY is ") + name : std::string("DISPLAY is not set")) +
        ")";
    return false;
  }
  InstallX11ErrorHandlers();
  X11Window window;
  const bool found = target == X11Target::Own ? CreateOwnWindow(display, &window, problem)
                                              : AdoptWindow(display, id, &window, problem);
  if (!found) {
    XCloseDisplay(display);
    return false;
  }
  if (!InstallSignalWake()) {
    *problem = "cannot set up the handling of SIGTERM and SIGINT";
    XCloseDisplay(display);
    return false;
  }
  static std::optional<X11Host> host;
  host.emplace(display, window);
  if (!host->OpenPresenter(problem)) {
    host.reset();
    return false;
  }
  SetHost(&*host);
  *size = SIZE{window.width, window.height};
  return true;
}

}  // namespace portable
