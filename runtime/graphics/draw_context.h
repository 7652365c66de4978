// The drawing-context bracket: every drawing operation gets a fresh device context carrying
// the window's saved drawing state, and stores the changed state back when it is done.
#pragma once

#include <cstdint>

#include "../window/window_record.h"

HDC DrawContextAcquire(WindowRecord* record);
int32_t DrawContextRelease(WindowRecord* record, HDC dc, int32_t refresh);
