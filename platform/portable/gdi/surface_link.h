// The seam between GDI and the window manager: GDI draws on a window's pixels through a
// SurfaceLink that the window manager implements and hands over when it makes a window DC.
#pragma once

#include <cstdint>
#include <memory>

#include "../../win32.h"
#include "clip_region.h"

namespace portable::gdi {

// Pixels to draw into, worked out again whenever the window layout changed, so that a resized
// or destroyed window is never written through a stale pointer.
struct Target {
  uint32_t* pixels = nullptr;
  int stride = 0;
  int64_t originX = 0, originY = 0;  // device pixel of logical (0, 0)
  Box extent;                        // logical area backed by pixels
  Box visible;                       // window DCs: the visible client rect; else `extent`
  const Region* clip = nullptr;      // effective clip, logical, inside `extent`
  bool clipIsBox = false;            // the clip is `clipBox` alone (which may be empty)
  Box clipBox;
  bool mono = false;       // 1-bit target: colours collapse to black or white
  HWND shownBy = nullptr;  // the top-level window whose framebuffer this is, if any
};

// Where a window DC's pixels live. The window manager implements it, so GDI knows windows
// only through it.
class SurfaceLink {
 public:
  virtual ~SurfaceLink() = default;
  // Fills the buffer, origin, extent and top-level window of `out` (not its clip); false when
  // the window is gone.
  virtual bool Resolve(Target* out, RECT* visibleClient) = 0;
  // The part of the visible client rect this DC may draw on (paint clip, children).
  virtual void DrawableArea(const RECT& visibleClient, Region* out) = 0;
  virtual void TextDrawn(int x, int y, const char* text, int length) = 0;
  // A counter that changes whenever Resolve or DrawableArea could answer differently; read at
  // every drawing call, so it is a plain number, not a call. Lives as long as the process.
  virtual const uint64_t* LayoutCounter() const = 0;
};

// A window DC without a handle, kept for the next one: its drawing state is a new DC's, its
// link and what was worked out about its surface stay. It keeps its slot in GDI's object
// table, where no handle reaches it.
struct ParkedDc {
  uint32_t slot = 0;  // the slot's index + 1; 0: none
  explicit operator bool() const { return slot != 0; }
};

// A device context that draws through `link`; nullptr when GDI's object table is full.
HDC NewLinkedDC(std::unique_ptr<SurfaceLink> link);
// Frees a DC made by NewLinkedDC; false if `dc` is not one.
bool DestroyLinkedDC(HDC dc);
// Ends the handle of a DC made by NewLinkedDC (or UnparkLinkedDC) and keeps its record, reset
// to a new DC's state, every object it held let go, and tells its link; empty if `dc` is not
// one.
ParkedDc ParkLinkedDC(HDC dc, SurfaceLink** link);
// A new handle for a parked DC, which is parked no longer; `linkChanged`: its link now names
// another window or paint area. nullptr if `parked` is not a parked DC.
HDC UnparkLinkedDC(ParkedDc parked, bool linkChanged);
// Frees a parked DC for good.
void FreeParkedDC(ParkedDc parked);

}  // namespace portable::gdi
