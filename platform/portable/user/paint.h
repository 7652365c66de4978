// Update regions and the window that WM_PAINT is synthesised for.
#pragma once

#include "../../win32.h"
#include "window.h"

namespace portable::user {

void SetUpdate(Window& w, const RECT& clientBox, bool erase);
void ClearUpdate(Window& w);
void InvalidateTree(Window& w, const RECT* clientRect, bool erase, bool allChildren);
// Sends WM_NCPAINT and WM_ERASEBKGND now when they are pending (window shown).
void EraseNow(Window& w);
// The first visible window (matching `filter`) with a non-empty update region.
HWND FindPaintWindow(HWND filter);

}  // namespace portable::user
