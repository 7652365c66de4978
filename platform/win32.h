// The one include for every Win32 name used by the runtime and the application. A build on
// the system's USER32 and GDI32 (the CMake target spirals_platform_system defines
// SPIRALS_SYSTEM_WIN32) gets the real <windows.h>; every build on our own layer, the Windows
// program on it included, gets our subset, implemented in platform/portable.
#pragma once

#if defined(SPIRALS_SYSTEM_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// Common-control bar styles, used by the frame layout.
#include <commctrl.h>
#else
#include "portable/win32_api.h"
#endif
