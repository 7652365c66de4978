#include "brush_fill.h"

#include "device_context.h"
#include "gdi_handles.h"

namespace portable::gdi {

bool IsDeviceContext(HDC dc) { return LookupDc(dc) != nullptr; }

bool FillWithBrush(HDC dc, const RECT& rect, HBRUSH brush) {
  HGDIOBJ previous = SelectObject(dc, brush);
  if (!previous) return false;
  const bool ok = PatBltBox(*LookupDc(dc), BoxFromRect(rect), PATCOPY);
  SelectObject(dc, previous);
  return ok;
}

}  // namespace portable::gdi
