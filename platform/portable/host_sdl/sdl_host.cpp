#include "sdl_host.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../host_common/boot_ticks.h"
#include "../host_common/host_input.h"
#include "../host_common/host_stats.h"
#include "../host_common/wake_up.h"
#include "../user/input.h"
#include "../user/window_surface.h"
#include "host_sdl.h"
#include "primary_monitor.h"
#include "x11_errors.h"

namespace portable {
namespace {

// The screen Windows programs see: the primary monitor, its top-left corner their (0, 0).
MonitorArea Screen() {
  MonitorArea area = PrimaryMonitor();
  if (area.width <= 0 || area.height <= 0) area = MonitorArea{0, 0, 1024, 768};
  return area;
}

int RefreshRate() {
  SDL_DisplayMode mode{};
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0) return mode.refresh_rate;
  return 0;
}

}  // namespace

SdlHost::SdlHost()
    : tickBase_(BootTickBase(clock_)),
      monitor_(Screen()),
      screen_{monitor_.width, monitor_.height},
      pacer_(RefreshRate()),
      start_(std::chrono::steady_clock::now()),
      statsWanted_(HostStatsWanted()) {
  textLog_.OpenFromEnvironment();
}

SdlHost::~SdlHost() {
  ProcessExiting(0);
  // Whatever still runs at exit falls back on the default host rather than a dead one.
  if (&CurrentHost() == this) SetHost(nullptr);
}

uint64_t SdlHost::NowUs() const {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                   std::chrono::steady_clock::now() - start_)
                                   .count());
}

SdlHost::TopLevel* SdlHost::Find(HWND hwnd) {
  for (TopLevel& top : windows_) {
    if (top.hwnd == hwnd) return &top;
  }
  return nullptr;
}

bool SdlHost::AnyDirty() const {
  return std::any_of(windows_.begin(), windows_.end(),
                     [](const TopLevel& t) { return !t.dirty.Empty(); });
}

void SdlHost::PresentIfDue() {
  if (closed_ || !AnyDirty()) return;
  const uint64_t now = NowUs();
  if (!pacer_.Due(now)) return;
  for (TopLevel& top : windows_) {
    if (top.dirty.Empty()) continue;
    top.dirty.TakeRects(&presentRects_);
    WindowSurface surface;
    if (QueryWindowSurface(top.hwnd, &surface))
      top.window->Present(surface.framebuffer, presentRects_);
  }
  pacer_.Presented(now);
  ++framesPresented_;
}

bool SdlHost::DrainEvents() {
  bool queued = false;
  SDL_Event event;
  while (!closed_ && SDL_PollEvent(&event)) queued |= TranslateSdlEvent(event, *this);
  return queued;
}

void SdlHost::PollInput() {
  if (closed_) return;
  DrainEvents();
  PresentIfDue();
}

void SdlHost::WaitForInput(std::optional<uint64_t> deadlineMs) {
  if (closed_) {
    if (deadlineMs) clock_.SleepUntil(*deadlineMs);
    return;
  }
  for (;;) {
    if (DrainEvents()) return;
    PresentIfDue();
    const uint64_t nowMs = clock_.NowMs();
    if (deadlineMs && nowMs >= *deadlineMs) return;
    // Sleep until the deadline, or until the next picture may be shown.
    const int64_t timeoutMs = WakeUpTimeoutMs(
        nowMs, deadlineMs,
        AnyDirty() ? std::optional<uint64_t>(pacer_.WaitUs(NowUs())) : std::nullopt);
    SDL_Event event;
    const int got = timeoutMs < 0 ? SDL_WaitEvent(&event)
                                  : SDL_WaitEventTimeout(&event, static_cast<int>(timeoutMs));
    if (got && TranslateSdlEvent(event, *this)) {
      DrainEvents();
      return;
    }
  }
}

void SdlHost::TopLevelCreated(HWND hwnd, int clientWidth, int clientHeight) {
  if (closed_ || Find(hwnd)) return;
  std::string title;
  for (auto it = pendingTitles_.begin(); it != pendingTitles_.end(); ++it) {
    if (it->first == hwnd) {
      title = it->second;
      pendingTitles_.erase(it);
      break;
    }
  }
  // Where the layer put the window, on the primary monitor; a full-screen window sits at its
  // top-left corner.
  int x = SDL_WINDOWPOS_UNDEFINED, y = SDL_WINDOWPOS_UNDEFINED;
  RECT outer{};
  if (GetWindowRect(hwnd, &outer)) {
    x = monitor_.x + outer.left;
    y = monitor_.y + outer.top;
  }
  TopLevel top;
  top.hwnd = hwnd;
  top.window = std::make_unique<SdlWindow>();
  top.width = clientWidth;
  top.height = clientHeight;
  if (!top.window->Open(title.c_str(), x, y, clientWidth, clientHeight)) {
    std::fprintf(stderr, "spirals: cannot open a window: %s\n", SDL_GetError());
    return;
  }
  top.dirty.Resize(clientWidth, clientHeight);
  top.dirty.AddAll();
  windows_.push_back(std::move(top));
}

void SdlHost::TopLevelResized(HWND hwnd, int clientWidth, int clientHeight) {
  TopLevel* top = Find(hwnd);
  if (!top) return;
  top->width = clientWidth;
  top->height = clientHeight;
  top->window->SetClientSize(clientWidth, clientHeight);
  top->dirty.Resize(clientWidth, clientHeight);
  top->dirty.AddAll();
}

void SdlHost::TopLevelDestroyed(HWND hwnd) {
  std::erase_if(windows_, [hwnd](const TopLevel& t) { return t.hwnd == hwnd; });
  std::erase_if(pendingTitles_, [hwnd](const auto& p) { return p.first == hwnd; });
}

void SdlHost::TopLevelTitle(HWND hwnd, const char* title) {
  char utf8[1024];
  AnsiToUtf8(title, utf8, sizeof utf8);
  if (TopLevel* top = Find(hwnd)) {
    top->window->SetTitle(utf8);
    return;
  }
  std::erase_if(pendingTitles_, [hwnd](const auto& p) { return p.first == hwnd; });
  pendingTitles_.emplace_back(hwnd, utf8);
}

void SdlHost::PixelsChanged(HWND topLevel, const RECT& rect) {
  if (TopLevel* top = Find(topLevel)) top->dirty.Add(rect);
}

void SdlHost::TextDrawn(HWND, int x, int y, const char* text, int length) {
  textLog_.Write(clock_.NowMs(), x, y, text, length);
}

void SdlHost::ProcessExiting(UINT) {
  if (closed_) return;
  if (statsWanted_) ReportPictures(framesPresented_, static_cast<double>(NowUs()) / 1e6);
  closed_ = true;
  windows_.clear();
  pendingTitles_.clear();
  textLog_.Close();
  SDL_Quit();
}

HWND SdlHost::WindowFromSdlId(Uint32 sdlWindowId) {
  for (const TopLevel& top : windows_) {
    if (top.window->Id() == sdlWindowId) return top.hwnd;
  }
  return nullptr;
}

void SdlHost::Key(UINT virtualKey, bool down, bool repeat) { InjectKey(virtualKey, down, repeat); }

void SdlHost::MouseButton(HWND hwnd, int button, bool down, int x, int y) {
  InjectMouseButton(hwnd, button, down, x, y);
}

void SdlHost::MouseMove(HWND hwnd, int x, int y) { InjectMouseMove(hwnd, x, y); }

void SdlHost::WheelNotch(HWND hwnd, int delta, int x, int y) {
  InjectWheel(hwnd, delta, CurrentKeyStateFlags(), x, y);
}

void SdlHost::CloseRequested(HWND hwnd) { InjectClose(hwnd); }

void SdlHost::Resized(HWND hwnd, int clientWidth, int clientHeight) {
  TopLevel* top = Find(hwnd);
  if (!top || (top->width == clientWidth && top->height == clientHeight)) return;
  FitClientArea(hwnd, clientWidth, clientHeight);
}

void SdlHost::Exposed(HWND hwnd) {
  TopLevel* top = Find(hwnd);
  if (!top) return;
  top->dirty.AddAll();
  InjectExpose(hwnd, nullptr);
}

bool InstallSdlHost() {
  // Ctrl+C ends the program as it ends any other; closing the last window is the program's
  // business, not SDL's; draw straight into the X server rather than through OpenGL, which
  // costs a full-window upload per picture.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // SDL serves X11. Its Wayland driver has no window framebuffer without a renderer, so with
  // the one above it would show nothing: Wayland is the Wayland host's. Other drivers (the
  // offscreen and dummy ones) only when asked for by name.
  const char* asked = std::getenv("SDL_VIDEODRIVER");
  if (asked == nullptr || *asked == '\0' || std::strstr(asked, "wayland") != nullptr)
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "x11", SDL_HINT_OVERRIDE);
  // Before SDL: its X11 driver chains to the handler it finds and puts that one back at exit,
  // when the last errors of its connections arrive.
  TolerateStaleWakeups();
  const bool opened = SDL_Init(SDL_INIT_VIDEO) == 0;
  std::string problem = opened ? "" : SDL_GetError();
  // Without a display SDL falls back on drivers that show nothing: a program nobody can see
  // or stop. Those serve only when asked for by name.
  if (opened && !std::getenv("SDL_VIDEODRIVER")) {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0)) {
      problem = "no X11 or Wayland display found";
      SDL_Quit();
    }
  }
  if (!opened || !problem.empty()) {
    const char* display = std::getenv("DISPLAY");
    std::fprintf(
        stderr,
        "spirals: cannot open the display (%s%s%s): set DISPLAY to the X display to use, or start "
        "a virtual one (Xvfb)\n",
        problem.c_str(), display && *display ? "; DISPLAY is " : "; DISPLAY is not set",
        display && *display ? display : "");
    return false;
  }
  // Characters come from TranslateMessage, not from SDL's text input.
  SDL_StopTextInput();
  static std::optional<SdlHost> host;
  host.emplace();
  SetHost(&*host);
  return true;
}

}  // namespace portable
