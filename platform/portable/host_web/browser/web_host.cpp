#include "web_host.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "../../gdi/font_engine.h"
#include "../../user/window_surface.h"
#include "../host_web.h"
#include "../page_input.h"
#include "page.h"

namespace portable {
namespace {

// The longest the program sleeps in one go while it waits: page input waits no longer than
// this for the program to look at it.
constexpr uint32_t kSliceMs = 10;

// Windows-1252 bytes as UTF-8; control bytes become blanks so one text stays one line.
std::string Utf8From1252(const char* text, int length) {
  std::string out;
  for (int i = 0; text && i < length; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    const uint32_t code = (c < 0x20 || c == 0x7F) ? ' ' : gdi::CodePointFrom1252(c);
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return out;
}

SIZE PageSize() { return SIZE{spirals_page_width(), spirals_page_height()}; }

}  // namespace

WebHost::WebHost() : page_(PageSize()) {
  // Measured before this host serves the layer: the metrics behind it ask for the screen.
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, FALSE, 0);
  frame_ = SIZE{frame.right - frame.left, frame.bottom - frame.top};
  // GetTickCount counts from an arbitrary start, as Windows counts from boot: the wall clock's
  // milliseconds give every visit its own random sequence.
  tickBase_ = static_cast<uint32_t>(static_cast<uint64_t>(emscripten_date_now())) -
              static_cast<uint32_t>(clock_.NowMs());
}

SIZE WebHost::ScreenSize() const { return SIZE{page_.cx + frame_.cx, page_.cy + frame_.cy}; }

void WebHost::PollInput() {
  if (armed_ && !closed_) DrainEvents();
}

void WebHost::WaitForInput(std::optional<uint64_t> deadlineMs) {
  if (closed_) return;
  armed_ = true;
  for (;;) {
    if (DrainEvents()) return;
    const uint64_t now = clock_.NowMs();
    if (deadlineMs && now >= *deadlineMs) return;
    uint64_t slice = kSliceMs;
    if (deadlineMs) slice = std::min<uint64_t>(slice, *deadlineMs - now);
    Publish();
    // The one place where the browser gets its thread back: it runs the page's events and
    // animation frames, then resumes the program here.
    emscripten_sleep(static_cast<unsigned>(slice));
  }
}

bool WebHost::DrainEvents() {
  bool queued = FitToPage();
  PageEvent event;
  while (spirals_page_next_event(&event)) {
    if (static_cast<PageEventKind>(event.kind) == PageEventKind::Resize) {
      page_ = SIZE{std::max(1, event.x), std::max(1, event.y)};
      queued |= FitToPage();
      continue;
    }
    queued |= DeliverPageEvent(event, shown_, wheel_);
  }
  return queued;
}

bool WebHost::FitToPage() {
  if (!shown_ || (fitted_.cx == page_.cx && fitted_.cy == page_.cy)) return false;
  fitted_ = page_;
  if (width_ == page_.cx && height_ == page_.cy) return false;
  return FitClientArea(shown_, page_.cx, page_.cy);
}

void WebHost::Publish() {
  WindowSurface surface;
  if (!shown_ || !QueryWindowSurface(shown_, &surface) || !surface.framebuffer.pixels) {
    spirals_page_publish(nullptr, 0, 0, 0, 0, 0, 0, 0);
    changed_.Clear();
    return;
  }
  const PixelBuffer& fb = surface.framebuffer;
  RECT r{0, 0, 0, 0};
  if (!changed_.Empty()) r = changed_.Bounds();
  changed_.Clear();
  spirals_page_publish(fb.pixels, fb.width, fb.height, fb.stride, r.left, r.top, r.right, r.bottom);
}

void WebHost::Show(HWND hwnd) {
  shown_ = hwnd;
  width_ = height_ = 0;
  changed_.Clear();
  fitted_ = SIZE{0, 0};
  WindowSurface surface;
  if (hwnd && QueryWindowSurface(hwnd, &surface)) {
    width_ = surface.framebuffer.width;
    height_ = surface.framebuffer.height;
    changed_.AddAll(width_, height_);
  }
}

void WebHost::TopLevelCreated(HWND hwnd, int, int) {
  if (closed_ || std::find(windows_.begin(), windows_.end(), hwnd) != windows_.end()) return;
  windows_.push_back(hwnd);
  if (!shown_) Show(hwnd);
}

void WebHost::TopLevelResized(HWND hwnd, int clientWidth, int clientHeight) {
  if (hwnd != shown_) return;
  width_ = clientWidth;
  height_ = clientHeight;
  changed_.AddAll(width_, height_);
}

void WebHost::TopLevelDestroyed(HWND hwnd) {
  std::erase(windows_, hwnd);
  if (hwnd != shown_) return;
  // Its last pixels stay on the canvas, as the user saw them.
  Publish();
  spirals_page_present();
  Show(windows_.empty() ? nullptr : windows_.front());
  Publish();
}

void WebHost::TopLevelTitle(HWND hwnd, const char* title) {
  if (hwnd != shown_) return;
  const std::string text = title ? Utf8From1252(title, static_cast<int>(std::strlen(title))) : "";
  spirals_page_title(text.c_str());
}

void WebHost::PixelsChanged(HWND topLevel, const RECT& rect) {
  if (topLevel == shown_) changed_.Add(rect, width_, height_);
}

void WebHost::TextDrawn(HWND, int x, int y, const char* text, int length) {
  const std::string utf8 = Utf8From1252(text, length);
  spirals_page_text(static_cast<double>(clock_.NowMs()), x, y, utf8.c_str());
}

void WebHost::ProcessExiting(UINT exitCode) {
  if (closed_) return;
  Publish();
  spirals_page_present();
  closed_ = true;
  windows_.clear();
  shown_ = nullptr;
  spirals_page_ended(static_cast<int>(exitCode));
}

bool InstallWebHost() {
  // Class names and titles are pointers, and Win32 takes any pointer below 64 KiB for a
  // resource number or atom: the page must be linked with its data above that.
  static const char kDataProbe[] = "spirals";
  if (reinterpret_cast<uintptr_t>(kDataProbe) < 0x10000) {
    std::fprintf(stderr,
                 "spirals: the page's data lies below 64 KiB (link it with a GLOBAL_BASE "
                 "of 65536 or more)\n");
    return false;
  }
  if (!spirals_page_open()) {
    std::fprintf(stderr, "spirals: the page has no canvas with the id \"canvas\" to draw on\n");
    return false;
  }
  static std::optional<WebHost> host;
  host.emplace();
  SetHost(&*host);
  return true;
}

}  // namespace portable
