// Device context lifetime and state: memory DCs, SaveDC/RestoreDC, object selection, and the
// simple attributes (position, colours, modes, alignment).
#include "device_context.h"
#include "gdi_handles.h"

using portable::gdi::DcState;
using portable::gdi::DeviceContext;
using portable::gdi::GdiObject;
using portable::gdi::Kind;
using portable::gdi::LookupDc;
using portable::gdi::LookupDcSlow;

HDC WINAPI CreateCompatibleDC(HDC dc) {
  if (dc && !LookupDc(dc)) return nullptr;
  return portable::gdi::NewDeviceContext(nullptr);
}

BOOL WINAPI DeleteDC(HDC dc) {
  DeviceContext* ctx = LookupDc(dc);
  // Window DCs belong to USER32 (ReleaseDC, EndPaint).
  if (!ctx || ctx->window) return FALSE;
  portable::gdi::DestroyDeviceContext(dc);
  return TRUE;
}

namespace {

// RestoreDC to any level, with clips on either side.
[[gnu::noinline]] BOOL RestoreLevel(DeviceContext* ctx, int64_t level) {
  // The states above the one restored are dropped, with their clips.
  for (size_t i = ctx->saved.size(); i-- > static_cast<size_t>(level);) {
    if (ctx->saved[i].hasUserClip) ctx->savedClips.pop_back();
    portable::gdi::ReleaseState(ctx->saved[i]);
  }
  const DcState restored = ctx->saved[static_cast<size_t>(level - 1)];
  ctx->saved.resize(static_cast<size_t>(level - 1));
  const bool clipChanged = ctx->state.hasUserClip || restored.hasUserClip;
  if (restored.hasUserClip) {
    ctx->userClip = std::move(ctx->savedClips.back());
    ctx->savedClips.pop_back();
  }
  if (clipChanged || restored.bitmap != ctx->state.bitmap) ++ctx->clipVersion;
  // The saved copy's references move back with it; the current state's go.
  const DcState old = ctx->state;
  ctx->state = restored;
  portable::gdi::ReleaseState(old);
  return TRUE;
}

// SaveDC with room to grow, a clip or objects to count.
[[gnu::noinline]] int SaveAny(DeviceContext* ctx, HDC dc) {
  ctx->saved.push_back(ctx->state);
  if (ctx->state.hasUserClip) ctx->savedClips.push_back(ctx->userClip);
  portable::gdi::AddStateRefs(ctx->state, dc);
  return static_cast<int>(ctx->saved.size());
}

// The usual calls make no call of their own: a DC not looked up just before is found here,
// in tail position.
[[gnu::noinline]] int SaveLookedUp(HDC dc) { return LookupDcSlow(dc) ? SaveDC(dc) : 0; }
[[gnu::noinline]] BOOL RestoreLookedUp(HDC dc, int savedDc) {
  return LookupDcSlow(dc) ? RestoreDC(dc, savedDc) : FALSE;
}

}  // namespace

int WINAPI SaveDC(HDC dc) {
  if (!portable::gdi::IsRememberedDc(dc)) [[unlikely]]
    return SaveLookedUp(dc);
  DeviceContext* ctx = portable::gdi::lastDc.dc;
  if (!ctx) return 0;
  std::vector<DcState>& saved = ctx->saved;
  if (saved.size() == saved.capacity() || ctx->state.hasUserClip ||
      !portable::gdi::HoldsOnlyStock(ctx->state)) [[unlikely]]
    return SaveAny(ctx, dc);
  // Stock objects are not counted, and there is room: a copy is all.
  saved.push_back(ctx->state);
  return static_cast<int>(saved.size());
}

BOOL WINAPI RestoreDC(HDC dc, int savedDc) {
  if (!portable::gdi::IsRememberedDc(dc)) [[unlikely]]
    return RestoreLookedUp(dc, savedDc);
  DeviceContext* ctx = portable::gdi::lastDc.dc;
  if (!ctx) return FALSE;
  const int64_t depth = static_cast<int64_t>(ctx->saved.size());
  const int64_t level = savedDc < 0 ? depth + 1 + savedDc : savedDc;
  if (level < 1 || level > depth) return FALSE;
  if (level != depth || ctx->state.hasUserClip || ctx->saved.back().hasUserClip) {
    return RestoreLevel(ctx, level);
  }
  // The usual pairing with the last SaveDC, no clip on either side: the current state lets go
  // of its objects, the saved copy's references move back with it.
  portable::gdi::ReleaseState(ctx->state);
  const HGDIOBJ bitmap = ctx->state.bitmap;
  ctx->state = ctx->saved.back();
  ctx->saved.pop_back();
  if (ctx->state.bitmap != bitmap) ++ctx->clipVersion;
  return TRUE;
}

namespace {

// Puts `object` into the state's `slot`, counted by `bit`; the object that was there.
inline HGDIOBJ Replace(DcState& state, HGDIOBJ* slot, uint8_t bit, HDC dc, GdiObject* obj,
                       HGDIOBJ object) {
  HGDIOBJ previous = *slot;
  if (previous == object) return previous;
  if (obj->stock) {
    state.counted &= static_cast<uint8_t>(~bit);
  } else {
    portable::gdi::AddRefLookedUp(obj, dc);
    state.counted |= bit;
  }
  *slot = object;
  // The previous object may have been waiting for this release to be deleted; its handle is
  // still what Windows returns.
  if (portable::gdi::IsStockHandle(previous)) return previous;
  return portable::gdi::ReleaseAndReturn(previous);
}

[[gnu::noinline]] HGDIOBJ SelectBrushOrBitmap(DeviceContext* ctx, HDC dc, GdiObject* obj,
                                              HGDIOBJ object) {
  if (obj->kind == Kind::Brush)
    return Replace(ctx->state, &ctx->state.brush, portable::gdi::kCountedBrush, dc, obj, object);
  if (obj->kind != Kind::Bitmap || ctx->window) return nullptr;
  // A bitmap lives in one DC at a time; the stock 1x1 bitmap may be in many.
  if (!obj->stock && obj->bitmap->owner && obj->bitmap->owner != dc) return nullptr;
  HGDIOBJ previous =
      Replace(ctx->state, &ctx->state.bitmap, portable::gdi::kCountedBitmap, dc, obj, object);
  if (previous != object) ++ctx->clipVersion;  // another surface to draw on
  return previous;
}

[[gnu::noinline]] HGDIOBJ SelectLookedUp(HDC dc, HGDIOBJ object) {
  return portable::gdi::LookupDcSlow(dc) ? SelectObject(dc, object) : nullptr;
}

}  // namespace

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
  if (!portable::gdi::IsRememberedDc(dc)) [[unlikely]]
    return SelectLookedUp(dc, object);
  DeviceContext* ctx = portable::gdi::lastDc.dc;
  GdiObject* obj = portable::gdi::LookupObject(object);
  if (!ctx || !obj || obj->deletePending) return nullptr;
  if (obj->kind == Kind::Pen)
    return Replace(ctx->state, &ctx->state.pen, portable::gdi::kCountedPen, dc, obj, object);
  if (obj->kind == Kind::Font)
    return Replace(ctx->state, &ctx->state.font, portable::gdi::kCountedFont, dc, obj, object);
  return SelectBrushOrBitmap(ctx, dc, obj, object);
}

HGDIOBJ WINAPI GetCurrentObject(HDC dc, UINT type) {
  DeviceContext* ctx = LookupDc(dc);
  if (!ctx) return nullptr;
  switch (type) {
    case OBJ_PEN: return ctx->state.pen;
    case OBJ_BRUSH: return ctx->state.brush;
    case OBJ_FONT: return ctx->state.font;
    case OBJ_BITMAP: return ctx->window ? portable::gdi::DefaultBitmap() : ctx->state.bitmap;
    default: return nullptr;
  }
}

BOOL WINAPI MoveToEx(HDC dc, int x, int y, LPPOINT previous) {
  DeviceContext* ctx = LookupDc(dc);
  if (!ctx) return FALSE;
  if (previous) *previous = ctx->state.position;
  ctx->state.position = POINT{x, y};
  return TRUE;
}

BOOL WINAPI GetCurrentPositionEx(HDC dc, LPPOINT point) {
  DeviceContext* ctx = LookupDc(dc);
  if (!ctx || !point) return FALSE;
  *point = ctx->state.position;
  return TRUE;
}

int WINAPI SetBkMode(HDC dc, int mode) {
  DeviceContext* ctx = LookupDc(dc);
  if (!ctx || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  int previous = ctx->state.bkMode;
  ctx->state.bkMode = mode;
  return previous;
}

int WINAPI GetBkMode(HDC dc) {
  DeviceContext* ctx = LookupDc(dc);
  return ctx ? ctx->state.bkMode : 0;
}

COLORREF WINAPI SetBkColor(HDC dc, COLORREF color) {
  DeviceContext* ctx = LookupDc(dc);
  if (!ctx) return CLR_INVALID;
  COLORREF previous = ctx->state.bkColor;
  ctx->state.bkColor = color;
  return previous;
}

COLORREF WINAPI GetBkColor(HDC dc) {
  DeviceContext* ctx = LookupDc(dc);
  return ctx ? ctx->state.bkColor : CLR_INVALID;
}

COLORREF WINAPI SetTextColor(HDC dc, COLORREF color) {
  DeviceContext* ctx = LookupDc(dc);
  if (!ctx) return CLR_INVALID;
  COLORREF previous = ctx->state.textColor;
  ctx->state.textColor = color;
  return previous;
}

COLORREF WINAPI GetTextColor(HDC dc) {
  DeviceContext* ctx = LookupDc(dc);
  return ctx ? ctx->state.textColor : CLR_INVALID;
}

UINT WINAPI SetTextAlign(HDC dc, UINT align) {
  DeviceContext* ctx = LookupDc(dc);
  if (!ctx) return GDI_ERROR;
  UINT previous = ctx->state.textAlign;
  ctx->state.textAlign = align;
  return previous;
}

UINT WINAPI GetTextAlign(HDC dc) {
  DeviceContext* ctx = LookupDc(dc);
  return ctx ? ctx->state.textAlign : GDI_ERROR;
}

int WINAPI SetROP2(HDC dc, int rop2) {
  DeviceContext* ctx = LookupDc(dc);
  if (!ctx || rop2 < R2_BLACK || rop2 > R2_WHITE) return 0;
  int previous = ctx->state.rop2;
  ctx->state.rop2 = rop2;
  return previous;
}

int WINAPI GetROP2(HDC dc) {
  DeviceContext* ctx = LookupDc(dc);
  return ctx ? ctx->state.rop2 : 0;
}
