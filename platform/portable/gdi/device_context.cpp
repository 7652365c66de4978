#include "device_context.h"

#include <algorithm>
#include <climits>

#include "gdi_handles.h"

namespace portable::gdi {

static bool ResolveBitmap(DeviceContext& dc, Target* out) {
  GdiObject* obj = LookupObject(dc.state.bitmap, Kind::Bitmap);
  if (!obj || !obj->bitmap) return false;
  BitmapData& bm = *obj->bitmap;
  out->pixels = bm.pixels.data();
  out->stride = bm.width;
  out->originX = 0;
  out->originY = 0;
  out->extent = Box{0, 0, bm.width, bm.height};
  out->mono = bm.bitsPixel == 1;
  return true;
}

bool ResolveTarget(DeviceContext& dc, Target* out) {
  *out = Target{};
  RECT visible{0, 0, 0, 0};
  if (dc.window) {
    if (!dc.window->Resolve(out, &visible)) return false;
  } else if (!ResolveBitmap(dc, out)) {
    return false;
  }
  DeviceContext::ClipKey key{out->pixels, out->originX, out->originY,
                             out->extent, visible,      dc.clipVersion};
  if (!(key == dc.clipKey)) {
    Region& clip = dc.effectiveClip;
    if (dc.window) {
      // Worked out again whenever the window's surface changed: a DC kept across a resize
      // follows the new client area.
      dc.window->DrawableArea(visible, &dc.windowVisible);
      const std::vector<Box>& area = dc.windowVisible.Boxes();
      if (area.size() == 1) {
        clip.Reset(Intersect(out->extent, area.front()));  // the usual case: one rectangle
      } else {
        clip.Reset(out->extent);
        clip.IntersectRegion(dc.windowVisible);
      }
    } else {
      clip.Reset(out->extent);
    }
    if (dc.state.hasUserClip) clip.IntersectRegion(dc.state.userClip);
    dc.clipKey = key;
  }
  out->clip = &dc.effectiveClip;
  out->visible = dc.window ? BoxFromRect(visible) : out->extent;
  return true;
}

bool OnSurface(const DeviceContext& dc, const Target& target, int64_t x, int64_t y) {
  auto inside = [x, y](const Box& b) {
    return x >= b.left && x < b.right && y >= b.top && y < b.bottom;
  };
  if (!inside(target.extent) || !inside(target.visible)) return false;
  return !dc.window || dc.windowVisible.Contains(x, y);
}

bool DeviceExtent(DeviceContext& dc, Box* out) {
  Target t;
  RECT visible{0, 0, 0, 0};
  if (dc.window) {
    if (!dc.window->Resolve(&t, &visible)) return false;
    *out = BoxFromRect(visible);
    return true;
  }
  if (!ResolveBitmap(dc, &t)) return false;
  *out = t.extent;
  return true;
}

void FinishDrawing(DeviceContext& dc, const Target& target, const Box& touched) {
  if (!dc.window || !target.clip) return;
  Box changed = Intersect(touched, target.clip->Bounds());
  if (changed.Empty()) return;
  dc.window->PixelsChanged(RectFromBox(changed));
}

void AccumulateBounds(DeviceContext& dc, const Box& box) {
  if (!dc.boundsEnabled || box.Empty()) return;
  const bool fits = box.left >= INT32_MIN && box.top >= INT32_MIN && box.right <= INT32_MAX &&
                    box.bottom <= INT32_MAX;
  Box clamped = fits ? box : BoxFromRect(RectFromBox(box));
  if (dc.bounds.Empty()) {
    dc.bounds = clamped;
    return;
  }
  dc.bounds.left = std::min(dc.bounds.left, clamped.left);
  dc.bounds.top = std::min(dc.bounds.top, clamped.top);
  dc.bounds.right = std::max(dc.bounds.right, clamped.right);
  dc.bounds.bottom = std::max(dc.bounds.bottom, clamped.bottom);
}

uint32_t ApplyRop2(int rop2, uint32_t p, uint32_t d) {
  uint32_t r;
  switch (rop2) {
    case R2_COPYPEN: r = p; break;
    case R2_XORPEN: r = p ^ d; break;
    case R2_NOP: r = d; break;
    case R2_NOT: r = ~d; break;
    case R2_BLACK: r = 0; break;
    case R2_WHITE: r = 0xFFFFFFFFu; break;
    default: {
      // The code's four bits give the result for each (pen, destination) bit pair.
      unsigned code = static_cast<unsigned>(rop2 - 1) & 0xF;
      r = 0;
      for (unsigned i = 0; i < 4; ++i) {
        if (!(code & (1u << i))) continue;
        uint32_t pp = (i & 2) ? p : ~p;
        uint32_t dd = (i & 1) ? d : ~d;
        r |= pp & dd;
      }
    }
  }
  return r & 0x00FFFFFFu;
}

uint32_t ApplyRop3(uint8_t index, uint32_t p, uint32_t s, uint32_t d) {
  uint32_t r = 0;
  for (unsigned i = 0; i < 8; ++i) {
    if (!(index & (1u << i))) continue;
    uint32_t pp = (i & 4) ? p : ~p;
    uint32_t ss = (i & 2) ? s : ~s;
    uint32_t dd = (i & 1) ? d : ~d;
    r |= pp & ss & dd;
  }
  return r & 0x00FFFFFFu;
}

uint32_t StoreValue(const Target& t, uint32_t value) {
  value &= 0x00FFFFFFu;
  if (!t.mono) return value;
  unsigned sum = ((value >> 16) & 0xFF) + ((value >> 8) & 0xFF) + (value & 0xFF);
  return sum >= 384 ? 0x00FFFFFFu : 0;
}

static uint32_t* PixelAt(const Target& t, int64_t x, int64_t y) {
  return t.pixels + (y + t.originY) * t.stride + (x + t.originX);
}

void PlotRop2(const Target& t, int64_t x, int64_t y, uint32_t pen, int rop2) {
  if (!t.clip->Contains(x, y)) return;
  uint32_t* px = PixelAt(t, x, y);
  *px = StoreValue(t, ApplyRop2(rop2, pen, *px));
}

void FillBoxRop2(const Target& t, const Box& box, uint32_t color, int rop2) {
  if (rop2 == R2_COPYPEN) {
    FillBoxCopy(t, box, color);
    return;
  }
  if (rop2 == R2_NOP) return;
  for (const Box& c : t.clip->Boxes()) {
    Box b = Intersect(c, box);
    if (b.Empty()) continue;
    for (int64_t y = b.top; y < b.bottom; ++y) {
      uint32_t* row = PixelAt(t, b.left, y);
      for (int64_t x = 0; x < b.right - b.left; ++x) {
        row[x] = StoreValue(t, ApplyRop2(rop2, color, row[x]));
      }
    }
  }
}

void FillBoxCopy(const Target& t, const Box& box, uint32_t color) {
  uint32_t value = StoreValue(t, color);
  for (const Box& c : t.clip->Boxes()) {
    Box b = Intersect(c, box);
    if (b.Empty()) continue;
    for (int64_t y = b.top; y < b.bottom; ++y) {
      std::fill_n(PixelAt(t, b.left, y), b.right - b.left, value);
    }
  }
}

namespace {

// Contexts come and go hundreds of times per drawing step; reusing them keeps their
// storage (clip lists, the saved-state stack) and so their allocations. Never destroyed,
// like the object table.
constexpr size_t kPooledContexts = 8;
std::vector<std::unique_ptr<DeviceContext>>* pool = nullptr;

std::unique_ptr<DeviceContext> TakeContext() {
  if (!pool || pool->empty()) return std::make_unique<DeviceContext>();
  std::unique_ptr<DeviceContext> dc = std::move(pool->back());
  pool->pop_back();
  Region userClip = std::move(dc->state.userClip);
  userClip.Reset(Box{});
  dc->state = DcState{};
  dc->state.userClip = std::move(userClip);
  dc->windowVisible.Reset(Box{});
  dc->saved.clear();
  dc->boundsEnabled = false;
  dc->bounds = Box{};
  dc->clipKey = DeviceContext::ClipKey{};  // version 0: never matches
  return dc;
}

void ReturnContext(std::unique_ptr<DeviceContext> dc) {
  if (!pool) pool = new std::vector<std::unique_ptr<DeviceContext>>;
  if (pool->size() >= kPooledContexts) return;
  dc->window.reset();
  pool->push_back(std::move(dc));
}

}  // namespace

HDC NewDeviceContext(std::unique_ptr<SurfaceLink> window) {
  GdiObject* obj = nullptr;
  HDC handle = static_cast<HDC>(AllocObject(Kind::Dc, &obj));
  if (!handle) return nullptr;
  obj->dc = TakeContext();
  DeviceContext& dc = *obj->dc;
  dc.self = handle;
  bool isWindow = window != nullptr;
  dc.window = std::move(window);
  // All stock: a new DC holds no references.
  static const HGDIOBJ defaultPen = StockObject(BLACK_PEN);
  static const HGDIOBJ defaultBrush = StockObject(WHITE_BRUSH);
  static const HGDIOBJ defaultFont = StockObject(SYSTEM_FONT);
  dc.state.pen = defaultPen;
  dc.state.brush = defaultBrush;
  dc.state.font = defaultFont;
  dc.state.bitmap = isWindow ? nullptr : DefaultBitmap();
  return handle;
}

void AddStateRefs(const DcState& state, HDC holder) {
  AddRef(state.pen, holder);
  AddRef(state.brush, holder);
  AddRef(state.font, holder);
  if (state.bitmap) AddRef(state.bitmap, holder);
}

void ReleaseState(const DcState& state) {
  Release(state.pen);
  Release(state.brush);
  Release(state.font);
  if (state.bitmap) Release(state.bitmap);
}

void DestroyDeviceContext(HDC handle) {
  DeviceContext* dc = LookupDc(handle);
  if (!dc) return;
  ReleaseState(dc->state);
  for (const DcState& s : dc->saved) ReleaseState(s);
  dc->saved.clear();
  GdiObject* obj = LookupObject(handle, Kind::Dc);
  std::unique_ptr<DeviceContext> owned = std::move(obj->dc);
  FreeLookedUp(obj, handle);
  ReturnContext(std::move(owned));
}

HDC NewLinkedDC(std::unique_ptr<SurfaceLink> link) {
  if (!link) return nullptr;
  return NewDeviceContext(std::move(link));
}

bool DestroyLinkedDC(HDC dc) {
  DeviceContext* ctx = LookupDc(dc);
  if (!ctx || !ctx->window) return false;
  DestroyDeviceContext(dc);
  return true;
}

}  // namespace portable::gdi
