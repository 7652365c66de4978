#include "device_context.h"

#include <algorithm>
#include <climits>

#include "../kernel/host.h"
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

const Target* RefreshTarget(DeviceContext& dc) {
  Target& t = dc.target;
  t = Target{};
  RECT visible{0, 0, 0, 0};
  const bool usable = dc.window ? dc.window->Resolve(&t, &visible) : ResolveBitmap(dc, &t);
  dc.targetLayout = *dc.layoutCounter;
  dc.targetVersion = dc.clipVersion;
  dc.targetUsable = usable;
  if (!usable) return nullptr;
  Region& clip = dc.effectiveClip;
  if (dc.window) {
    // A DC kept across a resize follows the new client area.
    dc.window->DrawableArea(visible, &dc.windowVisible);
    const std::vector<Box>& area = dc.windowVisible.Boxes();
    if (area.size() == 1) {
      clip.Reset(Intersect(t.extent, area.front()));  // the usual case: one rectangle
    } else {
      clip.Reset(t.extent);
      clip.IntersectRegion(dc.windowVisible);
    }
  } else {
    clip.Reset(t.extent);
  }
  if (dc.state.hasUserClip) clip.IntersectRegion(dc.userClip);
  t.clip = &clip;
  t.clipIsBox = clip.Boxes().size() <= 1;
  t.clipBox = clip.Empty() ? Box{} : clip.Boxes().front();
  t.visible = dc.window ? BoxFromRect(visible) : t.extent;
  return &t;
}

bool OnSurface(const DeviceContext& dc, const Target& target, int64_t x, int64_t y) {
  auto inside = [x, y](const Box& b) {
    return x >= b.left && x < b.right && y >= b.top && y < b.bottom;
  };
  if (!inside(target.extent) || !inside(target.visible)) return false;
  return !dc.window || dc.windowVisible.Contains(x, y);
}

bool DeviceExtent(DeviceContext& dc, Box* out) {
  const Target* t = CurrentTarget(dc);
  if (!t) return false;
  *out = dc.window ? t->visible : t->extent;
  return true;
}

void FinishDrawing(const Target& target, const Box& touched) {
  if (!target.shownBy || !target.clip) return;
  Box changed = Intersect(touched, target.clip->Bounds());
  if (changed.Empty()) return;
  // The clip lies inside the framebuffer, so the change needs no clamping there.
  changed.left += target.originX;
  changed.right += target.originX;
  changed.top += target.originY;
  changed.bottom += target.originY;
  CurrentHost().PixelsChanged(target.shownBy, RectFromBox(changed));
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

// Memory DCs have no layout to follow: only their own clip and bitmap count.
constexpr uint64_t kNoLayout = 1;

// Lets go of every object the DC holds and gives it a new DC's state, keeping its storage.
[[gnu::noinline]] void DropSavedStates(DeviceContext& dc) {
  for (const DcState& s : dc.saved) ReleaseState(s);
  dc.saved.clear();
  dc.savedClips.clear();
}

[[gnu::noinline]] void DropClip(DeviceContext& dc) {
  // The clip worked out stays good unless the state had a clip of its own.
  ++dc.clipVersion;
  dc.userClip.Reset(Box{});
}

inline void ResetToNew(DeviceContext& dc) {
  ReleaseState(dc.state);
  if (!dc.saved.empty()) DropSavedStates(dc);
  if (dc.state.hasUserClip) DropClip(dc);
  dc.state = dc.window ? newWindowDcState : newMemoryDcState;
  dc.boundsEnabled = false;
  dc.bounds = Box{};
}

// Contexts that were freed, kept with their storage (clip lists, the saved-state stack) for
// the next. Never destroyed, like the object table.
constexpr size_t kPooledContexts = 8;
std::vector<std::unique_ptr<DeviceContext>>* pool = nullptr;

std::unique_ptr<DeviceContext> TakeContext() {
  if (!pool || pool->empty()) return std::make_unique<DeviceContext>();
  std::unique_ptr<DeviceContext> dc = std::move(pool->back());
  pool->pop_back();
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
  dc.window = std::move(window);
  dc.layoutCounter = dc.window ? dc.window->LayoutCounter() : &kNoLayout;
  dc.targetLayout = 0;
  ResetToNew(dc);
  return handle;
}

void DestroyDeviceContext(HDC handle) {
  DeviceContext* dc = LookupDc(handle);
  if (!dc) return;
  ResetToNew(*dc);
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

namespace {

// The slot stays the DC's; a new generation ends the handle.
inline ParkedDc ParkReset(HDC handle, DeviceContext* dc) {
  const uint32_t slot = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle) & kIndexMask);
  GdiObject* obj = slotView.base[slot - 1];
  obj->kind = Kind::Parked;
  obj->handle = 0;
  obj->generation = static_cast<uint16_t>((obj->generation + 1) & kGenerationMask);
  --slotView.live[static_cast<size_t>(Kind::Dc)];
  ForgetDc();
  dc->self = nullptr;
  return ParkedDc{slot};
}

[[gnu::noinline]] ParkedDc ParkAny(HDC handle, SurfaceLink** link) {
  DeviceContext* dc = LookupDc(handle);
  if (!dc || !dc->window) return ParkedDc();
  *link = dc->window.get();
  ResetToNew(*dc);
  return ParkReset(handle, dc);
}

}  // namespace

ParkedDc ParkLinkedDC(HDC handle, SurfaceLink** link) {
  // Usually the DC just drawn with, given back with nothing saved, clipped or selected.
  if (!IsRememberedDc(handle)) [[unlikely]]
    return ParkAny(handle, link);
  DeviceContext* dc = lastDc.dc;
  if (!dc || !dc->window || !dc->saved.empty() || dc->state.hasUserClip ||
      !HoldsOnlyStock(dc->state)) [[unlikely]]
    return ParkAny(handle, link);
  *link = dc->window.get();
  dc->state = newWindowDcState;
  dc->boundsEnabled = false;
  dc->bounds = Box{};
  return ParkReset(handle, dc);
}

namespace {

GdiObject* ParkedSlot(ParkedDc parked) {
  if (parked.slot == 0 || parked.slot > slotView.count) return nullptr;
  GdiObject* obj = slotView.base[parked.slot - 1];
  return obj->kind == Kind::Parked ? obj : nullptr;
}

}  // namespace

HDC UnparkLinkedDC(ParkedDc parked, bool linkChanged) {
  GdiObject* obj = ParkedSlot(parked);
  if (!obj) return nullptr;
  obj->kind = Kind::Dc;
  ++slotView.live[static_cast<size_t>(Kind::Dc)];
  DeviceContext& dc = *obj->dc;
  if (linkChanged) dc.targetLayout = 0;
  dc.self = static_cast<HDC>(EncodeHandle(parked.slot - 1, obj->generation));
  obj->handle = reinterpret_cast<uintptr_t>(dc.self);
  RememberDc(dc.self, &dc);  // the calls that follow are on this DC
  return dc.self;
}

void FreeParkedDC(ParkedDc parked) {
  GdiObject* obj = ParkedSlot(parked);
  if (!obj) return;
  // Back to a live DC for a moment, so that the slot is freed the one way.
  obj->kind = Kind::Dc;
  ++slotView.live[static_cast<size_t>(Kind::Dc)];
  obj->handle = reinterpret_cast<uintptr_t>(EncodeHandle(parked.slot - 1, obj->generation));
  std::unique_ptr<DeviceContext> owned = std::move(obj->dc);
  FreeLookedUp(obj, reinterpret_cast<HGDIOBJ>(obj->handle));
  ReturnContext(std::move(owned));
}

}  // namespace portable::gdi
