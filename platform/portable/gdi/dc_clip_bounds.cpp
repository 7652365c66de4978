// Clipping (GetClipBox, ExcludeClipRect, IntersectClipRect) and bounds accumulation.
#include <climits>

#include "device_context.h"
#include "gdi_handles.h"

using portable::gdi::Box;
using portable::gdi::DeviceContext;
using portable::gdi::LookupDc;
using portable::gdi::Region;

namespace {

// The clip of a DC that has none of its own: all of logical space.
const Box kEverything{INT32_MIN, INT32_MIN, int64_t{INT32_MAX} + 1, int64_t{INT32_MAX} + 1};

int EffectiveComplexity(DeviceContext& ctx) {
  portable::gdi::Target target;
  if (!portable::gdi::ResolveTarget(ctx, &target)) return ERROR;
  return target.clip->Complexity();
}

// An explicit rectangle counts even while accumulation is off.
[[gnu::noinline]] void AccumulateRect(DeviceContext& ctx, const RECT& rect) {
  bool enabled = ctx.boundsEnabled;
  ctx.boundsEnabled = true;
  portable::gdi::AccumulateBounds(
      ctx, portable::gdi::NormalizedBox(rect.left, rect.top, rect.right, rect.bottom));
  ctx.boundsEnabled = enabled;
}

}  // namespace

int WINAPI GetClipBox(HDC dc, LPRECT rect) {
  DeviceContext* ctx = LookupDc(dc);
  if (!ctx || !rect) return ERROR;
  portable::gdi::Target target;
  if (!portable::gdi::ResolveTarget(*ctx, &target)) return ERROR;
  *rect = portable::gdi::RectFromBox(target.clip->Bounds());
  return target.clip->Complexity();
}

int WINAPI ExcludeClipRect(HDC dc, int left, int top, int right, int bottom) {
  DeviceContext* ctx = LookupDc(dc);
  if (!ctx) return ERROR;
  if (!ctx->state.hasUserClip) {
    ctx->userClip.Reset(kEverything);
    ctx->state.hasUserClip = true;
  }
  ctx->userClip.SubtractBox(portable::gdi::NormalizedBox(left, top, right, bottom));
  ++ctx->clipVersion;
  return EffectiveComplexity(*ctx);
}

int WINAPI IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
  DeviceContext* ctx = LookupDc(dc);
  if (!ctx) return ERROR;
  Box box = portable::gdi::NormalizedBox(left, top, right, bottom);
  if (!ctx->state.hasUserClip) {
    ctx->userClip.Reset(box);
    ctx->state.hasUserClip = true;
  } else {
    ctx->userClip.IntersectBox(box);
  }
  ++ctx->clipVersion;
  return EffectiveComplexity(*ctx);
}

namespace {

// SetBoundsRect with a rectangle to add, or on a DC not looked up just before.
[[gnu::noinline]] UINT SetBoundsAny(HDC dc, const RECT* rect, UINT flags) {
  DeviceContext* ctx = LookupDc(dc);
  if (!ctx) return 0;
  if ((flags & DCB_ENABLE) && (flags & DCB_DISABLE)) return 0;
  UINT previous =
      (ctx->boundsEnabled ? DCB_ENABLE : DCB_DISABLE) | (ctx->bounds.Empty() ? DCB_RESET : DCB_SET);
  if (flags & DCB_RESET) ctx->bounds = Box{};
  if ((flags & DCB_ACCUMULATE) && rect) AccumulateRect(*ctx, *rect);
  if (flags & DCB_ENABLE) ctx->boundsEnabled = true;
  if (flags & DCB_DISABLE) ctx->boundsEnabled = false;
  return previous;
}

}  // namespace

UINT WINAPI SetBoundsRect(HDC dc, const RECT* rect, UINT flags) {
  if (!portable::gdi::IsRememberedDc(dc) || ((flags & DCB_ACCUMULATE) && rect)) [[unlikely]]
    return SetBoundsAny(dc, rect, flags);
  DeviceContext* ctx = portable::gdi::lastDc.dc;
  if (!ctx) return 0;
  if ((flags & DCB_ENABLE) && (flags & DCB_DISABLE)) return 0;
  const UINT previous =
      (ctx->boundsEnabled ? DCB_ENABLE : DCB_DISABLE) | (ctx->bounds.Empty() ? DCB_RESET : DCB_SET);
  if (flags & DCB_RESET) ctx->bounds = Box{};
  if (flags & DCB_ENABLE) ctx->boundsEnabled = true;
  if (flags & DCB_DISABLE) ctx->boundsEnabled = false;
  return previous;
}

UINT WINAPI GetBoundsRect(HDC dc, LPRECT rect, UINT flags) {
  DeviceContext* ctx = LookupDc(dc);
  if (!ctx) return 0;
  UINT result = 0;
  if (rect) {
    if (ctx->bounds.Empty()) {
      *rect = RECT{0, 0, 0, 0};
      result = DCB_RESET;
    } else {
      // Reported within the device's surface, as Windows does.
      Box bounds = ctx->bounds;
      Box extent;
      if (portable::gdi::DeviceExtent(*ctx, &extent)) {
        bounds = portable::gdi::Intersect(bounds, extent);
        if (bounds.Empty()) bounds = Box{};
      }
      *rect = portable::gdi::RectFromBox(bounds);
      result = DCB_SET;
    }
  }
  if (flags & DCB_RESET) ctx->bounds = Box{};
  return result | (ctx->boundsEnabled ? DCB_ENABLE : DCB_DISABLE);
}
