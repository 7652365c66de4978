// Device contexts on a window's client area (GetDC, BeginPaint). GDI draws through a link to
// the top-level framebuffer. Released contexts are kept, as Windows keeps its DC cache: the
// next one for the same window starts from a new DC's state and finds its surface and clip
// already worked out, as long as no window changed since.
#include <cstddef>
#include <memory>

#include "../gdi/surface_link.h"
#include "window_dc.h"
#include "window_registry.h"
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

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class WindowLink final : public gdi::SurfaceLink {
 public:
  WindowLink(HWND hwnd, const RECT* paintClip) { PointAt(hwnd, paintClip); }

  // Draws on the whole client area of `hwnd`, as a DC from GetDC does.
  bool NamesWholeClient(HWND hwnd) const { return hwnd_ == hwnd && !hasPaintClip_; }
  bool Names(HWND hwnd, const RECT* paintClip) const {
    return hwnd_ == hwnd && hasPaintClip_ == (paintClip != nullptr) &&
           (!paintClip || SameRect(paintClip_, *paintClip));
  }
  void PointAt(HWND hwnd, const RECT* paintClip) {
    hwnd_ = hwnd;
    hasPaintClip_ = paintClip != nullptr;
    paintClip_ = paintClip ? *paintClip : RECT{};
  }

  bool Resolve(Target* out, RECT* visibleClient) override {
    WindowSurface surface;
    if (!QueryWindowSurface(hwnd_, &surface)) return false;
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
    out->shownBy = surface.topLevel;
    *visibleClient = surface.visible;
    return true;
  }

  void DrawableArea(const RECT& visibleClient, Region* out) override {
    ComputeVisibleArea(hwnd_, visibleClient, hasPaintClip_ ? &paintClip_ : nullptr, out);
  }

  void TextDrawn(int x, int y, const char* text, int length) override {
    NotifyTextDrawn(hwnd_, x, y, text, length);
  }

  const uint64_t* LayoutCounter() const override { return &layoutGeneration; }

 private:
  HWND hwnd_ = nullptr;
  bool hasPaintClip_ = false;
  RECT paintClip_{0, 0, 0, 0};
};

// Released window DCs, the most recent last. Never destroyed, so that DCs released during
// exit still find it; what it keeps stays reachable, so leak checkers do not count it.
constexpr size_t kCachedDcs = 8;
struct CachedDc {
  gdi::ParkedDc dc;
  WindowLink* link = nullptr;  // the link `dc` owns
};
struct DcCache {
  CachedDc entries[kCachedDcs];
  size_t count = 0;
};
DcCache* dcCache = nullptr;

// A kept DC for `hwnd`: one that drew on the same area if there is one, else the most recently
// released, pointed at the new area.
[[gnu::noinline]] HDC TakeCachedDc(HWND hwnd, const RECT* paintClip) {
  if (!dcCache || dcCache->count == 0) return nullptr;
  DcCache& c = *dcCache;
  size_t pick = c.count - 1;
  bool same = false;
  for (size_t i = c.count; i-- > 0;) {
    if (c.entries[i].link->Names(hwnd, paintClip)) {
      pick = i;
      same = true;
      break;
    }
  }
  CachedDc& entry = c.entries[pick];
  if (!same) entry.link->PointAt(hwnd, paintClip);
  HDC dc = gdi::UnparkLinkedDC(entry.dc, !same);
  for (size_t i = pick; i + 1 < c.count; ++i) c.entries[i] = c.entries[i + 1];
  --c.count;
  return dc;
}

[[gnu::noinline]] void KeepCachedDcSlow(gdi::ParkedDc parked, WindowLink* link) {
  if (!dcCache) dcCache = new DcCache;
  DcCache& c = *dcCache;
  if (c.count == kCachedDcs) {
    // Full: the one released longest ago goes.
    gdi::FreeParkedDC(c.entries[0].dc);
    for (size_t i = 0; i + 1 < c.count; ++i) c.entries[i] = c.entries[i + 1];
    --c.count;
  }
  c.entries[c.count++] = CachedDc{parked, link};
}

// Gives a DC made by CreateWindowDC back to the cache; false if `dc` is not one.
inline bool KeepCachedDc(HDC dc) {
  gdi::SurfaceLink* link = nullptr;
  const gdi::ParkedDc parked = gdi::ParkLinkedDC(dc, &link);
  if (!parked) return false;
  // Every linked DC is made here, with a WindowLink.
  WindowLink* windowLink = static_cast<WindowLink*>(link);
  if (dcCache && dcCache->count < kCachedDcs) [[likely]] {
    dcCache->entries[dcCache->count++] = CachedDc{parked, windowLink};
  } else {
    KeepCachedDcSlow(parked, windowLink);
  }
  return true;
}

}  // namespace
}  // namespace portable::user

namespace portable {

HDC CreateWindowDC(HWND hwnd, const RECT* paintClip) {
  // The surface itself is worked out at the first drawing call.
  if (!hwnd || !IsWindow(hwnd)) return nullptr;
  if (HDC dc = user::TakeCachedDc(hwnd, paintClip)) return dc;
  return gdi::NewLinkedDC(std::make_unique<user::WindowLink>(hwnd, paintClip));
}

bool DestroyWindowDC(HDC dc) { return user::KeepCachedDc(dc); }

}  // namespace portable

using portable::user::dcCache;

namespace portable::user {
namespace {

// GetDC when the DC released last is not for `hwnd`, or `hwnd` was not looked up just before.
[[gnu::noinline]] HDC GetDcAny(HWND hwnd) {
  if (dcCache && dcCache->count > 0) {
    CachedDc& top = dcCache->entries[dcCache->count - 1];
    if (top.link->NamesWholeClient(hwnd) && hwnd && Peek(hwnd)) {
      --dcCache->count;
      return gdi::UnparkLinkedDC(top.dc, false);
    }
  }
  if (hwnd == nullptr) return nullptr;
  HDC dc = CreateWindowDC(hwnd, nullptr);
  // It fails for a dead window (or a full object table): only then is the window looked up,
  // for the error it sets.
  if (dc == nullptr) LookUp(hwnd);
  return dc;
}

}  // namespace
}  // namespace portable::user

HDC WINAPI GetDC(HWND hwnd) {
  using portable::user::lastPeeked;
  // The usual case first: the DC released last was one of this window's, and the window, looked
  // up just before, lives. It makes no call but the last.
  if (dcCache && dcCache->count > 0) [[likely]] {
    portable::user::CachedDc& top = dcCache->entries[dcCache->count - 1];
    if (top.link->NamesWholeClient(hwnd) && hwnd && hwnd == lastPeeked.hwnd && lastPeeked.window) {
      --dcCache->count;
      return portable::gdi::UnparkLinkedDC(top.dc, false);
    }
  }
  return portable::user::GetDcAny(hwnd);
}

int WINAPI ReleaseDC(HWND, HDC dc) { return portable::user::KeepCachedDc(dc) ? 1 : 0; }
