// The one include for every Win32 name used by the runtime and the application.
// On Windows it is the real <windows.h>; everywhere else it is our own subset,
// implemented in platform/portable.
#pragma once

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// Common-control bar styles, used by the frame layout.
#include <commctrl.h>
#else
#include "portable/win32_api.h"
#endif
