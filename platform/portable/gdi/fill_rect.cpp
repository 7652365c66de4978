// USER32's FillRect: a PATCOPY of the rectangle with a brush or a system colour.
#include "device_context.h"
#include "gdi_handles.h"

int WINAPI FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  if (!portable::gdi::LookupDc(dc) || !rect || !brush) return 0;
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
  HGDIOBJ previous = SelectObject(dc, brush);
  BOOL ok = FALSE;
  if (previous) {
    ok = portable::gdi::PatBltBox(*portable::gdi::LookupDc(dc), portable::gdi::BoxFromRect(*rect), PATCOPY);
    SelectObject(dc, previous);
  }
  if (temporary) DeleteObject(temporary);
  return ok ? 1 : 0;
}
