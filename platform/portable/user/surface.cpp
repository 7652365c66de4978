// Framebuffers of top-level windows and what GDI needs to draw into them.
#include <algorithm>

#include "../kernel/host.h"
#include "window_surface.h"
#include "user_state.h"

namespace portable::user {

namespace {

// Larger client areas are drawn only up to this many pixels each way.
constexpr int kMaxFramebufferSide = 8192;

}  // namespace

void SyncFramebuffer(Window& w) {
  if (w.parent != nullptr || w.minimized) return;
  int width = std::clamp(static_cast<int>(w.clientRect.right - w.clientRect.left), 0, kMaxFramebufferSide);
  int height = std::clamp(static_cast<int>(w.clientRect.bottom - w.clientRect.top), 0, kMaxFramebufferSide);
  if (width == w.fbWidth && height == w.fbHeight && w.hostKnows) return;
  if (width != w.fbWidth || height != w.fbHeight) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    int keepW = std::min(width, w.fbWidth);
    int keepH = std::min(height, w.fbHeight);
    for (int y = 0; y < keepH; ++y) {
      std::copy_n(w.pixels.begin() + static_cast<ptrdiff_t>(y) * w.fbWidth, keepW,
                  pixels.begin() + static_cast<ptrdiff_t>(y) * width);
    }
    w.pixels.swap(pixels);
    LayoutChanged();
    w.fbWidth = width;
    w.fbHeight = height;
  }
  if (w.hostKnows) {
    CurrentHost().TopLevelResized(w.handle, width, height);
  } else {
    w.hostKnows = true;
    CurrentHost().TopLevelCreated(w.handle, width, height);
    CurrentHost().TopLevelTitle(w.handle, w.title.c_str());
  }
}

}  // namespace portable::user

namespace portable {

using namespace user;

bool QueryWindowSurface(HWND hwnd, WindowSurface* out) {
  Window* w = Peek(hwnd);
  if (w == nullptr || out == nullptr) return false;
  if (w->parent == nullptr) {
    // Every drawing call asks this for a top-level window: its client area is its framebuffer.
    out->topLevel = w->handle;
    out->framebuffer = PixelBuffer{w->pixels.empty() ? nullptr : w->pixels.data(), w->fbWidth, w->fbHeight,
                                   w->fbWidth};
    out->clientOrigin = POINT{0, 0};
    RECT visible{0, 0, std::min<LONG>(w->clientRect.right - w->clientRect.left, w->fbWidth),
                 std::min<LONG>(w->clientRect.bottom - w->clientRect.top, w->fbHeight)};
    if (!(w->style & WS_VISIBLE) || w->minimized || visible.right <= 0 || visible.bottom <= 0) {
      visible = RECT{};
    }
    out->visible = visible;
    return true;
  }
  Window* top = RootOf(w);
  out->topLevel = top->handle;
  out->framebuffer = PixelBuffer{top->pixels.empty() ? nullptr : top->pixels.data(), top->fbWidth, top->fbHeight,
                                 top->fbWidth};
  POINT origin = ClientOriginOnScreen(*w);
  POINT topOrigin = ClientOriginOnScreen(*top);
  out->clientOrigin = POINT{origin.x - topOrigin.x, origin.y - topOrigin.y};
  RECT visible{0, 0, w->clientRect.right - w->clientRect.left, w->clientRect.bottom - w->clientRect.top};
  if (!VisibleChain(*w) || w->minimized || top->minimized) visible = RECT{};
  for (Window* a = w->parent ? Peek(w->parent) : nullptr; a != nullptr && !IsRectEmpty(&visible);
       a = a->parent ? Peek(a->parent) : nullptr) {
    POINT aOrigin = ClientOriginOnScreen(*a);
    RECT area{aOrigin.x - origin.x, aOrigin.y - origin.y, 0, 0};
    area.right = area.left + (a->clientRect.right - a->clientRect.left);
    area.bottom = area.top + (a->clientRect.bottom - a->clientRect.top);
    IntersectRect(&visible, &visible, &area);
  }
  RECT fb{-out->clientOrigin.x, -out->clientOrigin.y, top->fbWidth - out->clientOrigin.x,
          top->fbHeight - out->clientOrigin.y};
  if (!IsRectEmpty(&visible)) IntersectRect(&visible, &visible, &fb);
  out->visible = IsRectEmpty(&visible) ? RECT{} : visible;
  return true;
}

void NotifyPixelsChanged(HWND hwnd, const RECT& clientRect) {
  Window* w = Peek(hwnd);
  if (w == nullptr) return;
  if (w->parent == nullptr) {
    RECT r{std::max<LONG>(clientRect.left, 0), std::max<LONG>(clientRect.top, 0),
           std::min<LONG>(clientRect.right, w->fbWidth), std::min<LONG>(clientRect.bottom, w->fbHeight)};
    if (r.left < r.right && r.top < r.bottom) CurrentHost().PixelsChanged(w->handle, r);
    return;
  }
  Window* top = RootOf(w);
  POINT origin = ClientOriginOnScreen(*w);
  POINT topOrigin = ClientOriginOnScreen(*top);
  RECT r = clientRect;
  OffsetRect(&r, origin.x - topOrigin.x, origin.y - topOrigin.y);
  RECT fb{0, 0, top->fbWidth, top->fbHeight};
  if (IntersectRect(&r, &r, &fb)) CurrentHost().PixelsChanged(top->handle, r);
}

void NotifyTextDrawn(HWND hwnd, int x, int y, const char* text, int length) {
  if (Peek(hwnd) == nullptr || text == nullptr || length < 0) return;
  CurrentHost().TextDrawn(hwnd, x, y, text, length);
}

uint64_t WindowLayoutGeneration() { return State().layoutGeneration; }

}  // namespace portable
