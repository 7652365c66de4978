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
    bool operator==(const ClipKey& o) const {
      return pixels == o.pixels && originX == o.originX && originY == o.originY &&
             extent.left == o.extent.left && extent.top == o.extent.top &&
             extent.right == o.extent.right && extent.bottom == o.extent.bottom &&
             visible.left == o.visible.left && visible.top == o.visible.top &&
             visible.right == o.visible.right && visible.bottom == o.visible.bottom &&
             version == o.version;
    }
  };
  ClipKey clipKey;
  Region effectiveClip;
};

}  // namespace portable::gdi
