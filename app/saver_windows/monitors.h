// The screens the Windows saver covers. The choice of monitors is this one file, so a test can
// link its own in its place.
#pragma once

#include <vector>

#include "../saver_settings.h"

// Every monitor's rectangle in virtual-screen coordinates, the primary one first; empty when
// the system names none.
std::vector<SaverArea> SaverMonitors();

// The rectangle around all monitors.
SaverArea VirtualScreenArea();
