// Closing a runtime window, and the window registry's release at shutdown.
#pragma once

#include <cstdint>

#include "window_record.h"

int32_t WindowClose(WindowRecord* record);
int32_t WindowRegistryFree();
