// Device contexts on a window's client area, as GetDC and BeginPaint hand them out.
#pragma once

#include "../../win32.h"

namespace portable {

// A device context on `hwnd`'s client area. `paintClip` (client coordinates) narrows it to the
// area being painted; nullptr means the whole client area. Child windows are excluded when the
// window has WS_CLIPCHILDREN.
HDC CreateWindowDC(HWND hwnd, const RECT* paintClip);
// Gives back a context made by CreateWindowDC: its handle ends, its record is kept for the
// next one. False if `dc` is not one.
bool DestroyWindowDC(HDC dc);

}  // namespace portable
