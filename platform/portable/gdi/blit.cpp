// PatBlt and BitBlt with the raster operations of three operands.
#include <algorithm>
#include <vector>

#include "device_context.h"
#include "gdi_handles.h"

using portable::gdi::Box;
using portable::gdi::DeviceContext;
using portable::gdi::LookupDc;
using portable::gdi::Target;

namespace {

uint8_t RopIndex(DWORD rop) { return static_cast<uint8_t>((rop >> 16) & 0xFF); }
// Whether the result depends on the source, or on the pattern.
bool UsesSource(uint8_t i) { return ((i & 0xCC) >> 2) != (i & 0x33); }
bool UsesPattern(uint8_t i) { return ((i & 0xF0) >> 4) != (i & 0x0F); }

bool BrushPixel(const DeviceContext& ctx, uint32_t* color) {
  portable::gdi::GdiObject* obj =
      portable::gdi::LookupObject(ctx.state.brush, portable::gdi::Kind::Brush);
  if (!obj || obj->brush.lbStyle == BS_NULL) return false;
  *color = portable::gdi::PixelFromColor(obj->brush.lbColor);
  return true;
}

// Destination box from x, y and extents of either sign.
Box DestBox(int x, int y, int width, int height) {
  return portable::gdi::NormalizedBox(x, y, int64_t{x} + width, int64_t{y} + height);
}

bool PatternFill(DeviceContext& ctx, const Box& box, uint8_t index) {
  Target t;
  if (!portable::gdi::ResolveTarget(ctx, &t)) return false;
  portable::gdi::AccumulateBounds(ctx, box);
  uint32_t pattern = 0;
  // A null brush has no pattern to apply: nothing is drawn.
  if (UsesPattern(index) && !BrushPixel(ctx, &pattern)) return true;
  switch (index) {
    case 0xF0: portable::gdi::FillBoxCopy(t, box, pattern); break;
    case 0x00: portable::gdi::FillBoxCopy(t, box, 0); break;
    case 0xFF: portable::gdi::FillBoxCopy(t, box, 0x00FFFFFF); break;
    case 0xAA: break;  // destination unchanged
    default:
      for (const Box& c : t.clip->Boxes()) {
        Box b = portable::gdi::Intersect(c, box);
        for (int64_t y = b.top; y < b.bottom; ++y) {
          uint32_t* row = t.pixels + (y + t.originY) * t.stride + (b.left + t.originX);
          for (int64_t x = 0; x < b.right - b.left; ++x) {
            row[x] =
                portable::gdi::StoreValue(t, portable::gdi::ApplyRop3(index, pattern, 0, row[x]));
          }
        }
      }
  }
  portable::gdi::FinishDrawing(t, box);
  return true;
}

}  // namespace

namespace portable::gdi {

bool PatBltBox(DeviceContext& dc, const Box& box, DWORD rop) {
  uint8_t index = RopIndex(rop);
  if (UsesSource(index)) return false;
  return PatternFill(dc, box, index);
}

}  // namespace portable::gdi

BOOL WINAPI PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
  DeviceContext* ctx = LookupDc(dc);
  uint8_t index = RopIndex(rop);
  if (!ctx || UsesSource(index)) return FALSE;
  return PatternFill(*ctx, DestBox(x, y, width, height), index) ? TRUE : FALSE;
}

BOOL WINAPI BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                   DWORD rop) {
  DeviceContext* dctx = LookupDc(dest);
  if (!dctx) return FALSE;
  uint8_t index = RopIndex(rop);
  if (!UsesSource(index))
    return PatternFill(*dctx, DestBox(x, y, width, height), index) ? TRUE : FALSE;
  DeviceContext* sctx = LookupDc(src);
  if (!sctx) return FALSE;
  // Negative extents mirror nothing here: they only say which corner was given.
  int64_t w = width, h = height, dx0 = x, dy0 = y, sx0 = srcX, sy0 = srcY;
  if (w < 0) {
    dx0 += w;
    sx0 += w;
    w = -w;
  }
  if (h < 0) {
    dy0 += h;
    sy0 += h;
    h = -h;
  }
  Box destBox{dx0, dy0, dx0 + w, dy0 + h};
  uint32_t pattern = 0;
  if (UsesPattern(index) && !BrushPixel(*dctx, &pattern)) pattern = 0;

  Target st;
  if (!portable::gdi::ResolveTarget(*sctx, &st)) return FALSE;
  // Readable source: its pixels, limited to the visible client area for a window.
  Box readable = st.extent;
  Box sourceExtent;
  if (portable::gdi::DeviceExtent(*sctx, &sourceExtent))
    readable = portable::gdi::Intersect(readable, sourceExtent);
  const uint32_t* sp = st.pixels;
  int64_t sStride = st.stride, sox = st.originX, soy = st.originY;

  Target dt;
  if (!portable::gdi::ResolveTarget(*dctx, &dt)) return FALSE;
  portable::gdi::AccumulateBounds(*dctx, destBox);
  // Destination pixels whose source lies outside the readable area stay unchanged.
  int64_t shiftX = dx0 - sx0, shiftY = dy0 - sy0;
  Box area =
      portable::gdi::Intersect(destBox, Box{readable.left + shiftX, readable.top + shiftY,
                                            readable.right + shiftX, readable.bottom + shiftY});
  area = portable::gdi::Intersect(area, dt.clip->Bounds());
  if (area.Empty()) return TRUE;

  // Reading and writing the same buffer: take a copy of the source first.
  std::vector<uint32_t> copy;
  if (sp == dt.pixels) {
    int64_t cw = area.right - area.left, ch = area.bottom - area.top;
    copy.resize(static_cast<size_t>(cw * ch));
    for (int64_t r = 0; r < ch; ++r) {
      const uint32_t* from =
          sp + (area.top - shiftY + r + soy) * sStride + (area.left - shiftX + sox);
      std::copy_n(from, cw, copy.begin() + r * cw);
    }
    sp = copy.data();
    sStride = cw;
    sox = shiftX - area.left;
    soy = shiftY - area.top;
  }

  for (const Box& c : dt.clip->Boxes()) {
    Box b = portable::gdi::Intersect(c, area);
    for (int64_t yy = b.top; yy < b.bottom; ++yy) {
      uint32_t* row = dt.pixels + (yy + dt.originY) * dt.stride + (b.left + dt.originX);
      const uint32_t* srow = sp + (yy - shiftY + soy) * sStride + (b.left - shiftX + sox);
      int64_t n = b.right - b.left;
      if (index == 0xCC && !dt.mono) {
        std::copy_n(srow, n, row);
        continue;
      }
      for (int64_t i = 0; i < n; ++i) {
        row[i] = portable::gdi::StoreValue(
            dt, portable::gdi::ApplyRop3(index, pattern, srow[i], row[i]));
      }
    }
  }
  portable::gdi::FinishDrawing(dt, area);
  return TRUE;
}
