// The GDI half of FillRect (a USER32 call): a PATCOPY of a rectangle with a brush.
#pragma once

#include "../../win32.h"

namespace portable::gdi {

// Whether `dc` names a live device context.
bool IsDeviceContext(HDC dc);
// Selects `brush` into `dc`, fills `rect` with PATCOPY and selects the previous brush again;
// false when `brush` cannot be selected or the fill fails.
bool FillWithBrush(HDC dc, const RECT& rect, HBRUSH brush);

}  // namespace portable::gdi
