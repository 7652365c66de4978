// System metrics and the sizes derived from them.
#pragma once

#include "../../win32.h"

namespace portable::user {

// Non-client sizes of a style: how far the client area lies inside the window rectangle.
RECT FrameInsets(DWORD style, DWORD exStyle);
SIZE ScreenSize();
int Metric(int index);
HCURSOR ArrowCursor();

}  // namespace portable::user
