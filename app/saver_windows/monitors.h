// The screens the Windows saver covers. The choice of monitors (monitors.cpp) is a file of its
// own, so a test can link its own in its place; the virtual screen is virtual_screen.cpp.
#pragma once

#include <vector>

#include "../saver_settings.h"

// Every monitor's rectangle in virtual-screen coordinates, the primary one first; empty when
// the system names none.
std::vector<PlainRect> SaverMonitors();

// The rectangle around all monitors.
PlainRect VirtualScreenArea();
