// The one include for every Win32 name used by the runtime and the application.
// On Windows it is the real <windows.h>; everywhere else it is our own subset,
// implemented in platform/portable.
#pragma once

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// Common-control bar styles, used by the frame layout; <commctrl.h> is not needed for them.
#ifndef CCS_TOP
#define CCS_TOP 0x00000001L
#endif
#ifndef CCS_BOTTOM
#define CCS_BOTTOM 0x00000003L
#endif
#ifndef CCS_VERT
#define CCS_VERT 0x00000080L
#endif
#else
#include "portable/win32_api.h"
#endif
