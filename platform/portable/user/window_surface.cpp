// Framebuffers of top-level windows and what GDI needs to draw into them.
#include <algorithm>

#include "../kernel/host.h"
#include "window_surface.h"
#include "window.h"
#include "window_registry.h"
#include "window_tree.h"

namespace portable::user {

namespace {

// Larger client areas are drawn only up to this many pixels each way.
constexpr int kMaxFramebufferSide = 8192;

}  // namespace

void SyncFramebuffer(Window& w) {
  if (w.tree.parent != nullptr || w.minimized) return;
  int width =
      std::clamp(static_cast<int>(w.clientRect.right - w.clientRect.left), 0, kMaxFramebufferSide);
  int height =
      std::clamp(static_cast<int>(w.clientRect.bottom - w.clientRect.top), 0, kMaxFramebufferSide);
  if (width == w.fb.width && height == w.fb.height && w.fb.hostKnows) return;
  if (width != w.fb.width || height != w.fb.height) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    int keepW = std::min(width, w.fb.width);
    int keepH = std::min(height, w.fb.height);
    for (int y = 0; y < keepH; ++y) {
      std::copy_n(w.fb.pixels.begin() + static_cast<ptrdiff_t>(y) * w.fb.width, keepW,
                  pixels.begin() + static_cast<ptrdiff_t>(y) * width);
    }
    w.fb.pixels.swap(pixels);
    LayoutChanged();
    w.fb.width = width;
    w.fb.height = height;
  }
  if (w.fb.hostKnows) {
    CurrentHost().TopLevelResized(w.handle, width, height);
  } else {
    w.fb.hostKnows = true;
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
  if (w->tree.parent == nullptr) {
    // Every drawing call asks this for a top-level window: its client area is its framebuffer.
    out->topLevel = w->handle;
    out->framebuffer = PixelBuffer{w->fb.pixels.empty() ? nullptr : w->fb.pixels.data(),
                                   w->fb.width, w->fb.height, w->fb.width};
    out->clientOrigin = POINT{0, 0};
    RECT visible{0, 0, std::min<LONG>(w->clientRect.right - w->clientRect.left, w->fb.width),
                 std::min<LONG>(w->clientRect.bottom - w->clientRect.top, w->fb.height)};
    if (!(w->style & WS_VISIBLE) || w->minimized || visible.right <= 0 || visible.bottom <= 0) {
      visible = RECT{};
    }
    out->visible = visible;
    return true;
  }
  Window* top = RootOf(w);
  out->topLevel = top->handle;
  out->framebuffer = PixelBuffer{top->fb.pixels.empty() ? nullptr : top->fb.pixels.data(),
                                 top->fb.width, top->fb.height, top->fb.width};
  POINT origin = ClientOriginOnScreen(*w);
  POINT topOrigin = ClientOriginOnScreen(*top);
  out->clientOrigin = POINT{origin.x - topOrigin.x, origin.y - topOrigin.y};
  RECT visible{0, 0, w->clientRect.right - w->clientRect.left,
               w->clientRect.bottom - w->clientRect.top};
  if (!VisibleChain(*w) || w->minimized || top->minimized) visible = RECT{};
  for (Window* a = w->tree.parent ? Peek(w->tree.parent) : nullptr;
       a != nullptr && !IsRectEmpty(&visible);
       a = a->tree.parent ? Peek(a->tree.parent) : nullptr) {
    POINT aOrigin = ClientOriginOnScreen(*a);
    RECT area{aOrigin.x - origin.x, aOrigin.y - origin.y, 0, 0};
    area.right = area.left + (a->clientRect.right - a->clientRect.left);
    area.bottom = area.top + (a->clientRect.bottom - a->clientRect.top);
    IntersectRect(&visible, &visible, &area);
  }
  RECT fb{-out->clientOrigin.x, -out->clientOrigin.y, top->fb.width - out->clientOrigin.x,
          top->fb.height - out->clientOrigin.y};
  if (!IsRectEmpty(&visible)) IntersectRect(&visible, &visible, &fb);
  out->visible = IsRectEmpty(&visible) ? RECT{} : visible;
  return true;
}

void NotifyPixelsChanged(HWND hwnd, const RECT& clientRect) {
  Window* w = Peek(hwnd);
  if (w == nullptr) return;
  if (w->tree.parent == nullptr) {
    RECT r{std::max<LONG>(clientRect.left, 0), std::max<LONG>(clientRect.top, 0),
           std::min<LONG>(clientRect.right, w->fb.width),
           std::min<LONG>(clientRect.bottom, w->fb.height)};
    if (r.left < r.right && r.top < r.bottom) CurrentHost().PixelsChanged(w->handle, r);
    return;
  }
  Window* top = RootOf(w);
  POINT origin = ClientOriginOnScreen(*w);
  POINT topOrigin = ClientOriginOnScreen(*top);
  RECT r = clientRect;
  OffsetRect(&r, origin.x - topOrigin.x, origin.y - topOrigin.y);
  RECT fb{0, 0, top->fb.width, top->fb.height};
  if (IntersectRect(&r, &r, &fb)) CurrentHost().PixelsChanged(top->handle, r);
}

void NotifyTextDrawn(HWND hwnd, int x, int y, const char* text, int length) {
  if (Peek(hwnd) == nullptr || text == nullptr || length < 0) return;
  CurrentHost().TextDrawn(hwnd, x, y, text, length);
}

uint64_t WindowLayoutGeneration() { return layoutGeneration; }

}  // namespace portable
