// Window placement: size limits, minimise and maximise, and the coordinate range of Windows.
#pragma once

#include <algorithm>

#include "../../win32.h"
#include "window.h"

namespace portable::user {

// Windows keeps window coordinates and sizes inside 16 bits.
inline int ClampCoordinate(int v) { return std::clamp(v, -32768, 32767); }
inline int ClampExtent(int v) { return std::clamp(v, 0, 32767); }

// The size limits Windows asks the window for (WM_GETMINMAXINFO).
MINMAXINFO MinMaxFor(Window& w);
// The rectangle and SetWindowPos flags of a minimise, maximise or restore (SW_MINIMIZE,
// SW_MAXIMIZE, SW_RESTORE).
UINT MinMaximize(Window& w, int cmd, RECT* newRect);

}  // namespace portable::user
