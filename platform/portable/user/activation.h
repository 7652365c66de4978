// The active window and the keyboard focus.
#pragma once

#include "../../win32.h"
#include "window.h"

namespace portable::user {

HWND ActivateWindow(HWND hwnd, bool byMouse);
// `leaving` goes away or hides: the next top-level window becomes active.
void ActivateOtherWindow(HWND leaving);
// `w` goes away or hides: the focus leaves it and its descendants.
void FocusLeaving(Window& w);

}  // namespace portable::user
