// Text output and measurement with the DC's font.
#include <algorithm>
#include <climits>

#include "device_context.h"
#include "font_engine.h"
#include "gdi_handles.h"
#include "text_cache.h"

using portable::gdi::Box;
using portable::gdi::DeviceContext;
using portable::gdi::LookupDc;
using portable::gdi::RealizedFont;
using portable::gdi::Target;

namespace {

// More than any sensible line; also keeps the width sum far from overflow.
constexpr UINT kMaxTextLength = 1u << 20;

RealizedFont* DcFont(const DeviceContext& ctx) {
  portable::gdi::GdiObject* obj =
      portable::gdi::LookupObject(ctx.state.font, portable::gdi::Kind::Font);
  if (!obj) return nullptr;
  return &portable::gdi::RealizeFont(obj->font);
}

int64_t TextWidth(RealizedFont& font, const char* text, UINT count, const INT* dx) {
  int64_t width = 0;
  for (UINT i = 0; i < count; ++i) {
    width += dx ? dx[i] : font.Advance(static_cast<uint8_t>(text[i]));
  }
  return width;
}

void DrawGlyphs(const Target& t, RealizedFont& font, const char* text, UINT count, const INT* dx,
                int64_t left, int64_t baseline, uint32_t color) {
  uint32_t value = portable::gdi::StoreValue(t, color);
  int64_t penX = left;
  for (UINT i = 0; i < count; ++i) {
    const portable::gdi::Glyph& g = font.GlyphFor(static_cast<uint8_t>(text[i]));
    int64_t gx = penX + g.left, gy = baseline - g.top;
    Box glyphBox{gx, gy, gx + g.width, gy + g.height};
    for (const Box& c : t.clip->Boxes()) {
      Box b = portable::gdi::Intersect(c, glyphBox);
      for (int64_t y = b.top; y < b.bottom; ++y) {
        const uint8_t* mask = g.mask.data() + (y - gy) * g.width + (b.left - gx);
        uint32_t* row = t.pixels + (y + t.originY) * t.stride + (b.left + t.originX);
        for (int64_t i = 0; i < b.right - b.left; ++i) {
          if (mask[i]) row[i] = value;
        }
      }
    }
    penX += dx ? dx[i] : g.advance;
  }
}

// Copies the part of a kept line inside `clip` (and `limit`, when given) to its box.
// True when any pixel took a new value: a line printed again over itself changes nothing that
// a host must show again.
bool CopyLine(const Target& t, const portable::gdi::TextLine& line, int64_t left, int64_t top,
              const Box* limit) {
  const Box lineBox{left, top, left + line.width, top + line.height};
  bool changed = false;
  for (const Box& c : t.clip->Boxes()) {
    Box b = portable::gdi::Intersect(c, lineBox);
    if (limit) b = portable::gdi::Intersect(b, *limit);
    if (b.Empty()) continue;
    const size_t n = static_cast<size_t>(b.right - b.left);
    for (int64_t y = b.top; y < b.bottom; ++y) {
      const uint32_t* from = line.pixels.data() + (y - top) * line.width + (b.left - left);
      uint32_t* to = t.pixels + (y + t.originY) * t.stride + (b.left + t.originX);
      if (std::equal(from, from + n, to)) continue;
      std::copy_n(from, n, to);
      changed = true;
    }
  }
  return changed;
}

// Draws the line into a kept line's pixels: the background, then the ink, as on a target
// whose clip is the line's box.
void DrawLineInto(portable::gdi::TextLine& line, const Target& like, RealizedFont& font,
                  const char* text, UINT count, uint32_t ink, uint32_t paper) {
  std::fill(line.pixels.begin(), line.pixels.end(), paper);
  const Box box{0, 0, line.width, line.height};
  portable::gdi::Region clip(box);
  Target t;
  t.pixels = line.pixels.data();
  t.stride = line.width;
  t.extent = box;
  t.visible = box;
  t.clip = &clip;
  t.mono = like.mono;
  DrawGlyphs(t, font, text, count, nullptr, 0, font.Metrics().tmAscent, ink);
}

}  // namespace

BOOL WINAPI ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text,
                        UINT count, const INT* dx) {
  DeviceContext* ctx = LookupDc(dc);
  if (!ctx || (count > 0 && !text) || count > kMaxTextLength) return FALSE;
  Target t;
  if (!portable::gdi::ResolveTarget(*ctx, &t)) return FALSE;
  RealizedFont* font = DcFont(*ctx);
  if (!font) return FALSE;
  const TEXTMETRICA& tm = font->Metrics();
  // A line on an opaque background drawn before with the same font and colours is copied.
  const bool keepable = count > 0 && !dx && ctx->state.bkMode == OPAQUE;
  const portable::gdi::TextLineKey lineKey{
      font->Serial(),
      portable::gdi::StoreValue(t, portable::gdi::PixelFromColor(ctx->state.textColor)),
      portable::gdi::StoreValue(t, portable::gdi::PixelFromColor(ctx->state.bkColor)), text, count};
  const portable::gdi::TextLine* kept = keepable ? portable::gdi::FindTextLine(lineKey) : nullptr;
  int64_t width = kept ? kept->width : TextWidth(*font, text, count, dx);

  UINT align = ctx->state.textAlign;
  bool updateCp = (align & TA_UPDATECP) != 0;
  int64_t ox = updateCp ? ctx->state.position.x : x;
  int64_t oy = updateCp ? ctx->state.position.y : y;
  int64_t left = ox;
  if ((align & TA_CENTER) == TA_CENTER) {
    left = ox - width / 2;
  } else if (align & TA_RIGHT) {
    left = ox - width;
  }
  int64_t top = oy;
  if ((align & TA_BASELINE) == TA_BASELINE) {
    top = oy - tm.tmAscent;
  } else if (align & TA_BOTTOM) {
    top = oy - tm.tmHeight;
  }
  if (updateCp && count > 0) {
    int64_t nx = ox;
    if ((align & TA_CENTER) == TA_CENTER) {
    } else if (align & TA_RIGHT) {
      nx = ox - width;
    } else {
      nx = ox + width;
    }
    ctx->state.position.x = static_cast<LONG>(std::clamp<int64_t>(nx, INT_MIN, INT_MAX));
  }

  Box touched;
  Box optRect;
  bool textChanged = true;
  if (rect)
    optRect = portable::gdi::NormalizedBox(rect->left, rect->top, rect->right, rect->bottom);
  if ((options & ETO_OPAQUE) && rect) {
    portable::gdi::FillBoxCopy(t, optRect, portable::gdi::PixelFromColor(ctx->state.bkColor));
    touched = optRect;
  }
  Box textBox{left, top, left + width, top + tm.tmHeight};
  if (count > 0) {
    const Box* limit = (options & ETO_CLIPPED) && rect ? &optRect : nullptr;
    if (!kept && keepable) {
      if (portable::gdi::TextLine* line =
              portable::gdi::KeepTextLine(lineKey, width, tm.tmHeight)) {
        DrawLineInto(*line, t, *font, text, count, lineKey.ink, lineKey.paper);
        kept = line;
      }
    }
    if (kept) {
      textChanged = CopyLine(t, *kept, left, top, limit);
    } else {
      portable::gdi::Region& clip = ctx->textClip;
      clip = *t.clip;
      if (limit) clip.IntersectBox(*limit);
      Target textTarget = t;
      textTarget.clip = &clip;
      textTarget.clipIsBox = false;  // narrowed: only `clip` tells
      if (ctx->state.bkMode == OPAQUE) {
        portable::gdi::FillBoxCopy(textTarget, textBox,
                                   portable::gdi::PixelFromColor(ctx->state.bkColor));
      }
      // Ink stays inside the text's cell box, as with the bitmap fonts of Windows.
      clip.IntersectBox(textBox);
      DrawGlyphs(textTarget, *font, text, count, dx, left, top + tm.tmAscent,
                 portable::gdi::PixelFromColor(ctx->state.textColor));
    }
    if (touched.Empty()) {
      touched = textBox;
    } else if (!textBox.Empty()) {
      touched =
          Box{std::min(touched.left, textBox.left), std::min(touched.top, textBox.top),
              std::max(touched.right, textBox.right), std::max(touched.bottom, textBox.bottom)};
    }
  }
  portable::gdi::AccumulateBounds(*ctx, touched);
  const bool filled = (options & ETO_OPAQUE) && rect;
  portable::gdi::FinishDrawing(t, textChanged ? touched : filled ? optRect : Box{});
  if (ctx->window && count > 0) {
    RECT at = portable::gdi::RectFromBox(textBox);
    ctx->window->TextDrawn(at.left, at.top, text, static_cast<int>(count));
  }
  return TRUE;
}

BOOL WINAPI TextOutA(HDC dc, int x, int y, LPCSTR text, int count) {
  if (count < 0) return FALSE;
  return ExtTextOutA(dc, x, y, 0, nullptr, text, static_cast<UINT>(count), nullptr);
}

BOOL WINAPI GetTextExtentPoint32A(HDC dc, LPCSTR text, int count, LPSIZE size) {
  DeviceContext* ctx = LookupDc(dc);
  if (!ctx || !size || count < 0 || (count > 0 && !text) ||
      static_cast<UINT>(count) > kMaxTextLength) {
    return FALSE;
  }
  RealizedFont* font = DcFont(*ctx);
  if (!font) return FALSE;
  int64_t width = TextWidth(*font, text, static_cast<UINT>(count), nullptr);
  size->cx = static_cast<LONG>(std::min<int64_t>(width, INT_MAX));
  size->cy = font->Metrics().tmHeight;
  return TRUE;
}

BOOL WINAPI GetTextMetricsA(HDC dc, TEXTMETRICA* metrics) {
  DeviceContext* ctx = LookupDc(dc);
  if (!ctx || !metrics) return FALSE;
  RealizedFont* font = DcFont(*ctx);
  if (!font) return FALSE;
  *metrics = font->Metrics();
  return TRUE;
}
