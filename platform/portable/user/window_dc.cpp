// Device contexts on a window's client area (GetDC, BeginPaint): GDI draws through a link to
// the top-level framebuffer, looked up again at every drawing call.
#include <cstddef>
#include <memory>

#include "../gdi/surface_link.h"
#include "window_dc.h"
#include "window_surface.h"

namespace portable::user {
namespace {

using gdi::Box;
using gdi::Region;
using gdi::Target;

// The client area that a DC of `hwnd` may draw on: visible, inside the paint clip, and, with
// WS_CLIPCHILDREN, outside every visible child.
void ComputeVisibleArea(HWND hwnd, const RECT& visible, const RECT* paintClip, Region* out) {
  Region& area = *out;
  area.Reset(gdi::BoxFromRect(visible));
  if (paintClip) area.IntersectBox(gdi::BoxFromRect(*paintClip));
  if (!(static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)) & WS_CLIPCHILDREN)) return;
  for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    RECT r;
    if (!GetWindowRect(child, &r)) continue;
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
    area.SubtractBox(gdi::NormalizedBox(r.left, r.top, r.right, r.bottom));
  }
}

// The last area worked out, reused while no window changed: every drawing call on a fresh
// window DC asks for it again.
struct AreaCache {
  uint64_t generation = 0;  // 0: empty
  HWND hwnd = nullptr;
  RECT visible{0, 0, 0, 0};
  bool hasPaintClip = false;
  RECT paintClip{0, 0, 0, 0};
  Region area;
};
AreaCache* areaCache = nullptr;  // never destroyed: DCs may be released during exit

// The last surface looked up, reused while no window changed.
struct SurfaceCache {
  uint64_t generation = 0;  // 0: empty
  HWND hwnd = nullptr;
  WindowSurface surface;
};
SurfaceCache surfaceCache;

bool CachedSurface(HWND hwnd, WindowSurface* out) {
  const uint64_t generation = WindowLayoutGeneration();
  if (surfaceCache.generation == generation && surfaceCache.hwnd == hwnd) {
    *out = surfaceCache.surface;
    return true;
  }
  if (!QueryWindowSurface(hwnd, out)) return false;
  surfaceCache = SurfaceCache{generation, hwnd, *out};
  return true;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class WindowLink final : public gdi::SurfaceLink {
 public:
  WindowLink(HWND hwnd, const RECT* paintClip)
      : hwnd_(hwnd),
        hasPaintClip_(paintClip != nullptr),
        paintClip_(paintClip ? *paintClip : RECT{}) {}

  // A window DC is made and dropped for every drawing call: its link's storage is recycled.
  static void* operator new(size_t size);
  static void operator delete(void* block, size_t size);

  bool Resolve(Target* out, RECT* visibleClient) override {
    WindowSurface surface;
    if (!CachedSurface(hwnd_, &surface)) return false;
    const PixelBuffer& fb = surface.framebuffer;
    out->pixels = fb.pixels;
    out->stride = fb.stride;
    out->originX = surface.clientOrigin.x;
    out->originY = surface.clientOrigin.y;
    // No pixels yet (an empty client area): a surface on which everything is clipped away.
    bool usable = fb.pixels && fb.width > 0 && fb.height > 0 && fb.stride >= fb.width;
    out->extent = usable ? Box{-out->originX, -out->originY, fb.width - out->originX,
                               fb.height - out->originY}
                         : Box{};
    out->mono = false;
    *visibleClient = surface.visible;
    return true;
  }

  void DrawableArea(const RECT& visibleClient, Region* out) override {
    if (!areaCache) areaCache = new AreaCache;
    AreaCache& c = *areaCache;
    const uint64_t generation = WindowLayoutGeneration();
    if (c.generation == generation && c.hwnd == hwnd_ && SameRect(c.visible, visibleClient) &&
        c.hasPaintClip == hasPaintClip_ && (!hasPaintClip_ || SameRect(c.paintClip, paintClip_))) {
      *out = c.area;
      return;
    }
    ComputeVisibleArea(hwnd_, visibleClient, hasPaintClip_ ? &paintClip_ : nullptr, out);
    c.generation = generation;
    c.hwnd = hwnd_;
    c.visible = visibleClient;
    c.hasPaintClip = hasPaintClip_;
    c.paintClip = paintClip_;
    c.area = *out;
  }

  void PixelsChanged(const RECT& clientRect) override { NotifyPixelsChanged(hwnd_, clientRect); }

  void TextDrawn(int x, int y, const char* text, int length) override {
    NotifyTextDrawn(hwnd_, x, y, text, length);
  }

 private:
  HWND hwnd_;
  bool hasPaintClip_;
  RECT paintClip_;
};

// Spare blocks stay reachable from here, so leak checkers do not count them.
constexpr size_t kSpareLinks = 8;
void* spareLinks[kSpareLinks] = {};
size_t spareLinkCount = 0;

void* WindowLink::operator new(size_t size) {
  if (size == sizeof(WindowLink) && spareLinkCount > 0) return spareLinks[--spareLinkCount];
  return ::operator new(size);
}

void WindowLink::operator delete(void* block, size_t size) {
  if (size == sizeof(WindowLink) && spareLinkCount < kSpareLinks) {
    spareLinks[spareLinkCount++] = block;
    return;
  }
  ::operator delete(block);
}

}  // namespace
}  // namespace portable::user

namespace portable {

HDC CreateWindowDC(HWND hwnd, const RECT* paintClip) {
  // The surface itself is looked up at each drawing call.
  if (!hwnd || !IsWindow(hwnd)) return nullptr;
  return gdi::NewLinkedDC(std::make_unique<user::WindowLink>(hwnd, paintClip));
}

bool DestroyWindowDC(HDC dc) { return gdi::DestroyLinkedDC(dc); }

}  // namespace portable
