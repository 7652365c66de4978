// Pixels, lines and rectangles. Coordinates may be anything a 32-bit int holds: all
// arithmetic is 64-bit and every loop is bounded by the clip, never by the input.
#include <algorithm>
#include <climits>

#include "../kernel/host.h"
#include "device_context.h"
#include "gdi_handles.h"
#include "wide_product.h"

using portable::gdi::Box;
using portable::gdi::DeviceContext;
using portable::gdi::LookupDc;
using portable::gdi::Target;

namespace {

struct PenInfo {
  bool visible = false;
  uint32_t color = 0;
  int64_t width = 1;
  bool insideFrame = false;
  // Styled one-pixel pens: on and off runs in pixels, repeated along the line.
  const uint8_t* dashes = nullptr;
  int dashCount = 0;
  int dashPeriod = 0;
  bool opaqueGaps = false;  // OPAQUE background mode: gaps take the background colour
  uint32_t gapColor = 0;
};

constexpr uint8_t kDash[] = {18, 6};
constexpr uint8_t kDot[] = {3, 3};
constexpr uint8_t kDashDot[] = {9, 6, 3, 6};
constexpr uint8_t kDashDotDot[] = {9, 3, 3, 3, 3, 3};

template <size_t N>
void SetDashes(PenInfo* info, const uint8_t (&runs)[N]) {
  info->dashes = runs;
  info->dashCount = static_cast<int>(N);
  info->dashPeriod = 0;
  for (uint8_t r : runs) info->dashPeriod += r;
}

PenInfo CurrentPen(const DeviceContext& ctx) {
  PenInfo info;
  portable::gdi::GdiObject* obj =
      portable::gdi::LookupObject(ctx.state.pen, portable::gdi::Kind::Pen);
  if (!obj || obj->pen.lopnStyle == PS_NULL) return info;
  info.visible = true;
  info.color = portable::gdi::PixelFromColor(obj->pen.lopnColor);
  int64_t w = obj->pen.lopnWidth.x;
  info.width = std::max<int64_t>(1, w < 0 ? -w : w);
  info.insideFrame = obj->pen.lopnStyle == PS_INSIDEFRAME;
  // Wide pens are always solid, as on Windows.
  if (info.width == 1) {
    switch (obj->pen.lopnStyle) {
      case PS_DASH: SetDashes(&info, kDash); break;
      case PS_DOT: SetDashes(&info, kDot); break;
      case PS_DASHDOT: SetDashes(&info, kDashDot); break;
      case PS_DASHDOTDOT: SetDashes(&info, kDashDotDot); break;
      default: break;
    }
  }
  info.opaqueGaps = ctx.state.bkMode == OPAQUE;
  info.gapColor = portable::gdi::PixelFromColor(ctx.state.bkColor);
  return info;
}

// Whether pixel `index` of a styled line falls on a dash.
bool OnDash(const PenInfo& pen, int64_t index) {
  int64_t at = index % pen.dashPeriod;
  for (int i = 0; i < pen.dashCount; ++i) {
    if (at < pen.dashes[i]) return (i & 1) == 0;
    at -= pen.dashes[i];
  }
  return true;
}

bool CurrentBrush(const DeviceContext& ctx, uint32_t* color) {
  portable::gdi::GdiObject* obj =
      portable::gdi::LookupObject(ctx.state.brush, portable::gdi::Kind::Brush);
  if (!obj || obj->brush.lbStyle == BS_NULL) return false;
  *color = portable::gdi::PixelFromColor(obj->brush.lbColor);
  return true;
}

// One pixel of a one-pixel pen's line, styled or solid (wide lines: DrawWideLine).
void PenDot(const Target& t, int64_t x, int64_t y, const PenInfo& pen, int rop2, int64_t index) {
  if (pen.dashes) {
    if (OnDash(pen, index)) {
      portable::gdi::PlotRop2(t, x, y, pen.color, rop2);
    } else if (pen.opaqueGaps) {
      portable::gdi::PlotRop2(t, x, y, pen.gapColor, rop2);
    }
    return;
  }
  portable::gdi::PlotRop2(t, x, y, pen.color, rop2);
}

// A one-pixel pen's line from (x0, y0) towards (x1, y1), the end point excluded. Only the
// part of the line whose major coordinate lies within `limit` is walked. `phase`: pixels of
// the dash pattern already used. Returns the line's length in pixels.
int64_t DrawLine(const Target& t, int64_t x0, int64_t y0, int64_t x1, int64_t y1,
                 const PenInfo& pen, int rop2, const Box& limit, int64_t phase = 0) {
  int64_t dx = x1 - x0, dy = y1 - y0;
  int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  int64_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  bool xMajor = adx >= ady;
  int64_t steps = xMajor ? adx : ady;
  if (steps == 0) return 0;
  int64_t minor = xMajor ? ady : adx;
  int64_t start = xMajor ? x0 : y0;
  int64_t step = xMajor ? sx : sy;
  int64_t lo = xMajor ? limit.left : limit.top;
  int64_t hi = xMajor ? limit.right - 1 : limit.bottom - 1;
  // i such that start + step * i lies in [lo, hi]
  int64_t first = step > 0 ? lo - start : start - hi;
  int64_t last = step > 0 ? hi - start : start - lo;
  first = std::max<int64_t>(first, 0);
  last = std::min<int64_t>(last, steps - 1);
  for (int64_t i = first; i <= last; ++i) {
    // Nearest pixel on the minor axis; exact halves round away from the start.
    int64_t offset = portable::gdi::NearestOffset(i, minor, steps);
    int64_t px = xMajor ? x0 + sx * i : x0 + sx * offset;
    int64_t py = xMajor ? y0 + sy * offset : y0 + sy * i;
    PenDot(t, px, py, pen, rop2, phase + i);
  }
  return steps;
}

// A wide pen's line from (x0, y0) towards (x1, y1), the end point excluded: the union of the
// pen's squares centred on the line's pixels. It is painted one column of the union at a
// time (one row for a steep line) and only across the clip, so each pixel takes the raster
// operation once and the work never depends on the pen's width.
void DrawWideLine(const Target& t, int64_t x0, int64_t y0, int64_t x1, int64_t y1,
                  const PenInfo& pen, int rop2) {
  int64_t dx = x1 - x0, dy = y1 - y0;
  int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  bool xMajor = adx >= ady;
  int64_t steps = xMajor ? adx : ady;
  if (steps == 0) return;
  int64_t minor = xMajor ? ady : adx;
  int64_t majorStart = xMajor ? x0 : y0, minorStart = xMajor ? y0 : x0;
  int64_t majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
  int64_t minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
  // The minor coordinate of the line's pixel i, rounded as DrawLine rounds it.
  auto minorAt = [&](int64_t i) {
    return minorStart + minorStep * portable::gdi::NearestOffset(i, minor, steps);
  };
  int64_t w = pen.width, half = w / 2;
  int64_t majorFirst = majorStart, majorLast = majorStart + majorStep * (steps - 1);
  Box clip = t.clip->Bounds();
  int64_t lo = std::max(xMajor ? clip.left : clip.top, std::min(majorFirst, majorLast) - half);
  int64_t hi =
      std::min(xMajor ? clip.right : clip.bottom, std::max(majorFirst, majorLast) - half + w);
  for (int64_t c = lo; c < hi; ++c) {
    // Pixels whose square covers column c: major coordinate from c + half - w + 1 to c + half.
    int64_t from = majorStep > 0 ? c + half - w + 1 - majorStart : majorStart - (c + half);
    int64_t to = majorStep > 0 ? c + half - majorStart : majorStart - (c + half - w + 1);
    from = std::max<int64_t>(from, 0);
    to = std::min<int64_t>(to, steps - 1);
    if (from > to) continue;
    // The minor coordinate moves monotonically along the line: the ends bound the span.
    int64_t a = minorAt(from), b = minorAt(to);
    int64_t spanLo = std::min(a, b) - half, spanHi = std::max(a, b) - half + w;
    Box span = xMajor ? Box{c, spanLo, c + 1, spanHi} : Box{spanLo, c, spanHi, c + 1};
    portable::gdi::FillBoxRop2(t, span, pen.color, rop2);
  }
}

}  // namespace

namespace {

// Sets one pixel; the pixel written, or nullptr when the clip left it out.
inline uint32_t* PlotPixel(HDC dc, int x, int y, COLORREF color) {
  DeviceContext* ctx = LookupDc(dc);
  if (!ctx) return nullptr;
  const Target* t = portable::gdi::CurrentTarget(*ctx);
  if (!t) return nullptr;
  portable::gdi::AccumulatePixel(*ctx, x, y);
  if (t->clipIsBox) {
    const Box& c = t->clipBox;
    if (x < c.left || x >= c.right || y < c.top || y >= c.bottom) return nullptr;
  } else if (!t->clip->Contains(x, y)) {
    return nullptr;
  }
  const int64_t fx = x + t->originX, fy = y + t->originY;
  uint32_t* px = t->pixels + fy * t->stride + fx;
  // ROP2 does not apply to SetPixel, as on Windows.
  *px = portable::gdi::StoreValue(*t, portable::gdi::PixelFromColor(color));
  // The pixel is inside the clip, so it is exactly what changed.
  if (t->shownBy) {
    const RECT changed{static_cast<LONG>(fx), static_cast<LONG>(fy), static_cast<LONG>(fx + 1),
                       static_cast<LONG>(fy + 1)};
    portable::CurrentHost().PixelsChanged(t->shownBy, changed);
  }
  return px;
}

}  // namespace

namespace {

// Tells the host about one changed pixel (framebuffer coordinates); TRUE, for SetPixelV.
[[gnu::noinline]] BOOL ShowPixel(HWND shownBy, int64_t fx, int64_t fy) {
  const RECT changed{static_cast<LONG>(fx), static_cast<LONG>(fy), static_cast<LONG>(fx + 1),
                     static_cast<LONG>(fy + 1)};
  portable::CurrentHost().PixelsChanged(shownBy, changed);
  return TRUE;
}

[[gnu::noinline]] BOOL SetPixelVSlow(HDC dc, int x, int y, COLORREF color) {
  return PlotPixel(dc, x, y, color) != nullptr;
}

}  // namespace

// The animation's one call per point: the usual case (the DC looked up just before, target
// worked out, a one-rectangle clip, bounds that cannot overflow) is written out here, the rest
// left to PlotPixel.
BOOL WINAPI SetPixelV(HDC dc, int x, int y, COLORREF color) {
  if (!portable::gdi::IsRememberedDc(dc)) [[unlikely]]
    return SetPixelVSlow(dc, x, y, color);
  DeviceContext* ctx = portable::gdi::lastDc.dc;
  if (!ctx) return FALSE;
  if (ctx->targetLayout != *ctx->layoutCounter || ctx->targetVersion != ctx->clipVersion ||
      !ctx->target.clipIsBox || x == INT32_MAX || y == INT32_MAX) [[unlikely]] {
    return SetPixelVSlow(dc, x, y, color);
  }
  if (!ctx->targetUsable) return FALSE;
  if (ctx->boundsEnabled) {
    Box& b = ctx->bounds;
    if (b.left >= b.right || b.top >= b.bottom) {
      b.left = x;
      b.top = y;
      b.right = int64_t{x} + 1;
      b.bottom = int64_t{y} + 1;
    } else {
      b.left = std::min<int64_t>(b.left, x);
      b.top = std::min<int64_t>(b.top, y);
      b.right = std::max<int64_t>(b.right, int64_t{x} + 1);
      b.bottom = std::max<int64_t>(b.bottom, int64_t{y} + 1);
    }
  }
  const Target& t = ctx->target;
  const Box& c = t.clipBox;
  if (x < c.left || x >= c.right || y < c.top || y >= c.bottom) return FALSE;
  const int64_t fx = x + t.originX, fy = y + t.originY;
  t.pixels[fy * t.stride + fx] = portable::gdi::StoreValue(t, portable::gdi::PixelFromColor(color));
  return t.shownBy ? ShowPixel(t.shownBy, fx, fy) : TRUE;
}

COLORREF WINAPI SetPixel(HDC dc, int x, int y, COLORREF color) {
  const uint32_t* px = PlotPixel(dc, x, y, color);
  return px ? portable::gdi::ColorFromPixel(*px) : CLR_INVALID;
}

COLORREF WINAPI GetPixel(HDC dc, int x, int y) {
  DeviceContext* ctx = LookupDc(dc);
  if (!ctx) return CLR_INVALID;
  Target t;
  if (!portable::gdi::ResolveTarget(*ctx, &t)) return CLR_INVALID;
  // Like Windows' own DIB engine, reading ignores the clip the program set; only the surface
  // limits it.
  if (!portable::gdi::OnSurface(*ctx, t, x, y)) return CLR_INVALID;
  return portable::gdi::ColorFromPixel(t.pixels[(y + t.originY) * t.stride + (x + t.originX)]);
}

BOOL WINAPI LineTo(HDC dc, int x, int y) {
  DeviceContext* ctx = LookupDc(dc);
  if (!ctx) return FALSE;
  Target t;
  if (!portable::gdi::ResolveTarget(*ctx, &t)) return FALSE;
  POINT from = ctx->state.position;
  ctx->state.position = POINT{x, y};
  PenInfo pen = CurrentPen(*ctx);
  if (!pen.visible) return TRUE;
  int64_t half = pen.width / 2;
  Box extent = portable::gdi::NormalizedBox(from.x, from.y, x, y);
  extent = Box{extent.left - half, extent.top - half, extent.right + pen.width - half,
               extent.bottom + pen.width - half};
  portable::gdi::AccumulateBounds(*ctx, extent);
  if (pen.width > 1) {
    DrawWideLine(t, from.x, from.y, x, y, pen, ctx->state.rop2);
  } else {
    Box limit = t.clip->Bounds();
    limit = Box{limit.left - 1, limit.top - 1, limit.right + 1, limit.bottom + 1};
    DrawLine(t, from.x, from.y, x, y, pen, ctx->state.rop2, limit);
  }
  portable::gdi::FinishDrawing(t, extent);
  return TRUE;
}

BOOL WINAPI Rectangle(HDC dc, int left, int top, int right, int bottom) {
  DeviceContext* ctx = LookupDc(dc);
  if (!ctx) return FALSE;
  Target t;
  if (!portable::gdi::ResolveTarget(*ctx, &t)) return FALSE;
  Box r = portable::gdi::NormalizedBox(left, top, right, bottom);
  if (r.Empty()) return TRUE;
  PenInfo pen = CurrentPen(*ctx);
  uint32_t brushColor = 0;
  bool fill = CurrentBrush(*ctx, &brushColor);
  int rop2 = ctx->state.rop2;

  Box outer = r;
  Box interior;
  if (!pen.visible) {
    // Without an outline Windows fills one pixel less in each direction.
    interior = Box{r.left, r.top, r.right - 1, r.bottom - 1};
    outer = interior;
  } else if (pen.width <= 1 || pen.insideFrame) {
    int64_t w = pen.width;
    interior = Box{r.left + w, r.top + w, r.right - w, r.bottom - w};
  } else {
    // A wide pen is centred on the outline path.
    int64_t half = pen.width / 2;
    outer = Box{r.left - half, r.top - half, r.right - 1 - half + pen.width,
                r.bottom - 1 - half + pen.width};
    interior = Box{outer.left + pen.width, outer.top + pen.width, outer.right - pen.width,
                   outer.bottom - pen.width};
  }
  portable::gdi::AccumulateBounds(*ctx, outer);
  if (fill && !interior.Empty()) portable::gdi::FillBoxRop2(t, interior, brushColor, rop2);
  if (pen.visible && pen.dashes) {
    // A styled outline runs round the rectangle as one pattern, each corner drawn once.
    Box limit = t.clip->Bounds();
    limit = Box{limit.left - 1, limit.top - 1, limit.right + 1, limit.bottom + 1};
    int64_t l = r.left, tp = r.top, rt = r.right - 1, bt = r.bottom - 1;
    int64_t phase = 0;
    if (rt == l || bt == tp) {
      DrawLine(t, l, tp, rt, bt, pen, rop2, limit);
      portable::gdi::PlotRop2(t, rt, bt, pen.color, rop2);
    } else {
      phase += DrawLine(t, l, tp, rt, tp, pen, rop2, limit, phase);
      phase += DrawLine(t, rt, tp, rt, bt, pen, rop2, limit, phase);
      phase += DrawLine(t, rt, bt, l, bt, pen, rop2, limit, phase);
      DrawLine(t, l, bt, l, tp, pen, rop2, limit, phase);
    }
  } else if (pen.visible) {
    // Four bands that never overlap, so XOR-like modes touch each pixel once.
    int64_t w = std::min(
        {pen.width, (outer.right - outer.left + 1) / 2, (outer.bottom - outer.top + 1) / 2});
    Box bands[4] = {
        Box{outer.left, outer.top, outer.right, outer.top + w},
        Box{outer.left, std::max(outer.bottom - w, outer.top + w), outer.right, outer.bottom},
        Box{outer.left, outer.top + w, outer.left + w, outer.bottom - w},
        Box{std::max(outer.right - w, outer.left + w), outer.top + w, outer.right,
            outer.bottom - w},
    };
    for (const Box& band : bands) {
      if (!band.Empty()) portable::gdi::FillBoxRop2(t, band, pen.color, rop2);
    }
  }
  portable::gdi::FinishDrawing(t, outer);
  return TRUE;
}
