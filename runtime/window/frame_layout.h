// Fitting an MDI frame's client window between its toolbars and status bars.
#pragma once

#include <cstdint>

#include "../../platform/win32.h"

// Lays out the frame's bars and its MDI client; non-zero when it did.
int32_t FrameLayout(HWND frame, HWND mdiClient);
