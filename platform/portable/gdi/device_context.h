// A device context: its drawing state, its saved states, its bounds, and where its pixels go
// (a bitmap for a memory DC, a window's framebuffer for a window DC).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "../../win32.h"
#include "clip_region.h"

namespace portable::gdi {

// Everything SaveDC keeps and RestoreDC brings back.
struct DcState {
  HGDIOBJ pen = nullptr;
  HGDIOBJ brush = nullptr;
  HGDIOBJ font = nullptr;
  HGDIOBJ bitmap = nullptr;  // memory DCs only
  POINT position{0, 0};
  int bkMode = OPAQUE;
  COLORREF bkColor = 0x00FFFFFF;
  COLORREF textColor = 0;
  UINT textAlign = TA_TOP | TA_LEFT | TA_NOUPDATECP;
  int rop2 = R2_COPYPEN;
  bool hasUserClip = false;  // false: only the device's visible area limits drawing
  Region userClip;
};

// Pixels to draw into for one call, resolved fresh each time so that a resized or destroyed
// window is never written through a stale pointer.
struct Target {
  uint32_t* pixels = nullptr;
  int stride = 0;
  int64_t originX = 0, originY = 0;  // device pixel of logical (0, 0)
  Box extent;                        // logical area backed by pixels
  Box visible;                       // window DCs: the visible client rect; else `extent`
  const Region* clip = nullptr;      // effective clip, logical, inside `extent`
  bool mono = false;                 // 1-bit target: colours collapse to black or white
};

// Where a window DC's pixels live; implemented next to the window DC code.
class SurfaceLink {
 public:
  virtual ~SurfaceLink() = default;
  virtual HWND Window() const = 0;
  // Fills the buffer, origin and extent of `out` (not its clip); false when the window is gone.
  virtual bool Resolve(Target* out, RECT* visibleClient) = 0;
  // The part of the visible client rect this DC may draw on (paint clip, children).
  virtual void DrawableArea(const RECT& visibleClient, Region* out) = 0;
  virtual void PixelsChanged(const RECT& clientRect) = 0;
  virtual void TextDrawn(int x, int y, const char* text, int length) = 0;
};

struct DeviceContext {
  HDC self = nullptr;
  std::unique_ptr<SurfaceLink> window;  // null for memory DCs
  Region windowVisible;                 // window DCs: DrawableArea for the cached clip key
  DcState state;
  std::vector<DcState> saved;
  bool boundsEnabled = false;
  Box bounds;  // empty when reset
  uint64_t clipVersion = 1;

  // Effective clip cache, valid while the key matches.
  struct ClipKey {
    const void* pixels = nullptr;
    int64_t originX = 0, originY = 0;
    Box extent;
    RECT visible{0, 0, 0, 0};
    uint64_t version = 0;
    bool operator==(const ClipKey& o) const;
  };
  ClipKey clipKey;
  Region effectiveClip;
};

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
