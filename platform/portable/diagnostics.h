// Counters for tests and benchmarks: what each part of the layer holds right now. Not Win32.
#pragma once

#include "gdi/gdi_usage.h"
#include "kernel/global_memory.h"
#include "kernel/heap.h"
#include "user/timers.h"
#include "user/window_registry.h"
