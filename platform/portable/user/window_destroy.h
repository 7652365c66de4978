// DestroyWindow and its parts.
#pragma once

#include "../../win32.h"

namespace portable::user {

// DestroyWindow's work; a failed WM_NCCREATE destroys without WM_DESTROY.
BOOL DestroyImpl(HWND hwnd, bool sendDestroy);

}  // namespace portable::user
