// The seam between GDI and the window manager: GDI draws on a window's pixels through a
// SurfaceLink that the window manager implements and hands over when it makes a window DC.
#pragma once

#include <cstdint>
#include <memory>

#include "../../win32.h"
#include "clip_region.h"

namespace portable::gdi {

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

// Where a window DC's pixels live. The window manager implements it, so GDI knows windows
// only through it.
class SurfaceLink {
 public:
  virtual ~SurfaceLink() = default;
  // Fills the buffer, origin and extent of `out` (not its clip); false when the window is gone.
  virtual bool Resolve(Target* out, RECT* visibleClient) = 0;
  // The part of the visible client rect this DC may draw on (paint clip, children).
  virtual void DrawableArea(const RECT& visibleClient, Region* out) = 0;
  virtual void PixelsChanged(const RECT& clientRect) = 0;
  virtual void TextDrawn(int x, int y, const char* text, int length) = 0;
};

// A device context that draws through `link`; nullptr when GDI's object table is full.
HDC NewLinkedDC(std::unique_ptr<SurfaceLink> link);
// Frees a DC made by NewLinkedDC; false if `dc` is not one.
bool DestroyLinkedDC(HDC dc);

}  // namespace portable::gdi
