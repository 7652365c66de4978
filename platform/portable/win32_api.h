// The subset of the Win32 API that our portable layer implements, split as the Windows SDK
// splits it. Only included through platform/win32.h.
#pragma once

#include "windef.h"
#include "winerror.h"
#include "winbase.h"
#include "wingdi.h"
#include "winuser.h"
