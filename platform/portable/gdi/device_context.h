// Device contexts: resolving where a DC draws, pixel helpers, making and freeing DCs.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>

#include "../../win32.h"
#include "clip_region.h"
#include "dc_record.h"
#include "gdi_handles.h"
#include "surface_link.h"

namespace portable::gdi {

// Works out where `dc` draws; nullptr when nothing can be drawn (dead window).
const Target* RefreshTarget(DeviceContext& dc);
// Where `dc` draws, worked out again only when the window layout, the clip or the bitmap
// changed since the last time; nullptr when nothing can be drawn.
inline const Target* CurrentTarget(DeviceContext& dc) {
  if (dc.targetLayout == *dc.layoutCounter && dc.targetVersion == dc.clipVersion) [[likely]] {
    return dc.targetUsable ? &dc.target : nullptr;
  }
  return RefreshTarget(dc);
}
// The same as a copy in `out`; false when nothing can be drawn.
inline bool ResolveTarget(DeviceContext& dc, Target* out) {
  const Target* t = CurrentTarget(dc);
  *out = t ? *t : Target{};
  return t != nullptr;
}
// Whether (x, y) is on the device's drawable surface, ignoring the DC's own clip (what
// GetPixel may read).
bool OnSurface(const DeviceContext& dc, const Target& target, int64_t x, int64_t y);
// Logical extent of the device (bitmap size or client area): used to clip bounds.
bool DeviceExtent(DeviceContext& dc, Box* out);

// The DC's drawing changed pixels inside `touched` (logical, unclipped); tells the host that
// shows them.
void FinishDrawing(const Target& target, const Box& touched);
// Adds a primitive's extent to the DC's bounds when accumulation is enabled.
void AccumulateBounds(DeviceContext& dc, const Box& box);
// The same for the one pixel (x, y), the commonest case.
inline void AccumulatePixel(DeviceContext& dc, int x, int y) {
  if (!dc.boundsEnabled) return;
  const Box pixel{x, y, int64_t{x} + 1, int64_t{y} + 1};
  if (x == INT32_MAX || y == INT32_MAX) [[unlikely]] {
    AccumulateBounds(dc, pixel);  // clamped into 32 bits there
    return;
  }
  if (dc.bounds.Empty()) {
    dc.bounds = pixel;
    return;
  }
  dc.bounds.left = std::min(dc.bounds.left, pixel.left);
  dc.bounds.top = std::min(dc.bounds.top, pixel.top);
  dc.bounds.right = std::max(dc.bounds.right, pixel.right);
  dc.bounds.bottom = std::max(dc.bounds.bottom, pixel.bottom);
}

// Colour conversions: COLORREF 0x00BBGGRR <-> pixel 0x00RRGGBB.
inline uint32_t PixelFromColor(COLORREF c) {
  return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline COLORREF ColorFromPixel(uint32_t p) {
  return ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
}

// Two-operand raster operation (R2_*) of pen `p` on destination `d`.
uint32_t ApplyRop2(int rop2, uint32_t p, uint32_t d);
// Three-operand raster operation (its index byte) of pattern, source and destination.
uint32_t ApplyRop3(uint8_t index, uint32_t p, uint32_t s, uint32_t d);

// Pixel-level helpers; coordinates logical, every write clipped.
// What a colour becomes in the target's pixels.
inline uint32_t StoreValue(const Target& t, uint32_t value) {
  value &= 0x00FFFFFFu;
  if (!t.mono) return value;
  unsigned sum = ((value >> 16) & 0xFF) + ((value >> 8) & 0xFF) + (value & 0xFF);
  return sum >= 384 ? 0x00FFFFFFu : 0;
}
void PlotRop2(const Target& t, int64_t x, int64_t y, uint32_t pen, int rop2);
void FillBoxRop2(const Target& t, const Box& box, uint32_t color, int rop2);
void FillBoxCopy(const Target& t, const Box& box, uint32_t color);

// PatBlt on a box that may exceed what a 32-bit width can say.
bool PatBltBox(DeviceContext& dc, const Box& box, DWORD rop);

// Creates a DC object with the defaults of a new DC; `window` null for a memory DC.
HDC NewDeviceContext(std::unique_ptr<SurfaceLink> window);
// A state starts or stops holding its selected objects (a copy made by SaveDC holds them too).
inline void AddStateRefs(const DcState& state, HDC holder) {
  if (state.counted == 0) return;
  if (state.counted & kCountedPen) AddRef(state.pen, holder);
  if (state.counted & kCountedBrush) AddRef(state.brush, holder);
  if (state.counted & kCountedFont) AddRef(state.font, holder);
  if (state.counted & kCountedBitmap) AddRef(state.bitmap, holder);
}
inline bool HoldsOnlyStock(const DcState& state) { return state.counted == 0; }
inline void ReleaseState(const DcState& state) {
  const uint8_t counted = state.counted;
  if (counted == 0) return;
  if (counted & kCountedPen) ReleaseCounted(state.pen);
  if (counted & kCountedBrush) ReleaseCounted(state.brush);
  if (counted & kCountedFont) ReleaseCounted(state.font);
  if (counted & kCountedBitmap) ReleaseCounted(state.bitmap);
}
// Releases everything the DC holds and frees it.
void DestroyDeviceContext(HDC dc);

}  // namespace portable::gdi
