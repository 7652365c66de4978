// Input that every host hands the layer alike.
#pragma once

#include "../../win32.h"

namespace portable {

// Sizes top-level `window` so that its client area is width x height, as a user's resize
// would; false when the size is not positive or the window is gone.
bool FitClientArea(HWND window, int width, int height);

// The keyboard went elsewhere: every key still held goes up, so that no modifier stays down
// for good. False when none was held.
bool ReleaseHeldKeys();

}  // namespace portable
