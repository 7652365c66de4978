// Device contexts: resolving where a DC draws, pixel helpers, making and freeing DCs.
#pragma once

#include <cstdint>
#include <memory>

#include "../../win32.h"
#include "clip_region.h"
#include "dc_record.h"
#include "surface_link.h"

namespace portable::gdi {

// Sets up `out` for drawing into `dc`; false when nothing can be drawn (dead window).
bool ResolveTarget(DeviceContext& dc, Target* out);
// Whether (x, y) is on the device's drawable surface, ignoring the DC's own clip (what
// GetPixel may read).
bool OnSurface(const DeviceContext& dc, const Target& target, int64_t x, int64_t y);
// Logical extent of the device (bitmap size or client area): used to clip bounds.
bool DeviceExtent(DeviceContext& dc, Box* out);

// The DC's drawing changed pixels inside `touched` (logical, unclipped); tells the window.
void FinishDrawing(DeviceContext& dc, const Target& target, const Box& touched);
// Adds a primitive's extent to the DC's bounds when accumulation is enabled.
void AccumulateBounds(DeviceContext& dc, const Box& box);

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
uint32_t StoreValue(const Target& t, uint32_t value);
void PlotRop2(const Target& t, int64_t x, int64_t y, uint32_t pen, int rop2);
void FillBoxRop2(const Target& t, const Box& box, uint32_t color, int rop2);
void FillBoxCopy(const Target& t, const Box& box, uint32_t color);

// PatBlt on a box that may exceed what a 32-bit width can say.
bool PatBltBox(DeviceContext& dc, const Box& box, DWORD rop);

// Creates a DC object with the defaults of a new DC; `window` null for a memory DC.
HDC NewDeviceContext(std::unique_ptr<SurfaceLink> window);
// A state starts or stops holding its selected objects (a copy made by SaveDC holds them too).
void AddStateRefs(const DcState& state, HDC holder);
void ReleaseState(const DcState& state);
// Releases everything the DC holds and frees it.
void DestroyDeviceContext(HDC dc);

}  // namespace portable::gdi
