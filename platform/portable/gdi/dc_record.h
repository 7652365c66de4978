// A device context's record: its drawing state, its saved states, its bounds, and where its
// pixels go (a bitmap for a memory DC, a window's framebuffer for a window DC).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "../../win32.h"
#include "clip_region.h"
#include "surface_link.h"

namespace portable::gdi {

// Everything SaveDC keeps and RestoreDC brings back, except the clip region itself: a plain
// record, so that saving and restoring are copies.
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
  // Which of the objects above are counted (not stock), so that a state of stock objects is
  // saved, restored and reset without a look at each.
  uint8_t counted = 0;
};
inline constexpr uint8_t kCountedPen = 1, kCountedBrush = 2, kCountedFont = 4, kCountedBitmap = 8;

// The states of a new window DC and a new memory DC, prepared with the stock objects, so that
// resetting a DC is one copy. All stock: a new DC holds no references.
extern DcState newWindowDcState;
extern DcState newMemoryDcState;

struct DeviceContext {
  HDC self = nullptr;
  std::unique_ptr<SurfaceLink> window;  // null for memory DCs
  // Changes whenever what `window` resolves to may have changed; a constant for memory DCs.
  const uint64_t* layoutCounter = nullptr;
  DcState state;
  Region userClip;  // the clip of `state` when it has one
  std::vector<DcState> saved;
  std::vector<Region> savedClips;  // one per saved state that has a clip, oldest first
  bool boundsEnabled = false;
  Box bounds;  // empty when reset
  // Raised whenever the state's clip or bitmap changes.
  uint64_t clipVersion = 1;

  // Where drawing goes, worked out once and kept while the layout and the clip stay as they
  // were: `targetLayout` 0 means not worked out.
  uint64_t targetLayout = 0;
  uint64_t targetVersion = 0;
  bool targetUsable = false;
  Target target;
  Region windowVisible;  // window DCs: the area the window lets this DC draw on
  Region effectiveClip;
  Region textClip;  // scratch for text output, kept for its storage
};

}  // namespace portable::gdi
