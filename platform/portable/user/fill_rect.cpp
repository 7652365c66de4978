// FillRect: a USER32 call, because a brush value may name a system colour.
#include "../gdi/brush_fill.h"

int WINAPI FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  if (!portable::gdi::IsDeviceContext(dc) || !rect || !brush) return 0;
  if (rect->right <= rect->left || rect->bottom <= rect->top) return 1;
  // Small values are COLOR_* + 1, as in a window class's background.
  uintptr_t value = reinterpret_cast<uintptr_t>(brush);
  HBRUSH temporary = nullptr;
  if (value <= 64) {
    temporary = CreateSolidBrush(GetSysColor(static_cast<int>(value) - 1));
    if (!temporary) return 0;
    brush = temporary;
  } else if (GetObjectType(brush) != OBJ_BRUSH) {
    return 0;
  }
  const bool ok = portable::gdi::FillWithBrush(dc, *rect, brush);
  if (temporary) DeleteObject(temporary);
  return ok ? 1 : 0;
}
