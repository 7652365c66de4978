// Window timers of a runtime window.
#pragma once

#include <cstdint>

#include "window_record.h"

int32_t TimerStart(WindowRecord* record, uint32_t interval, uint32_t id, TIMERPROC routine);
int32_t TimerStop(WindowRecord* record, uint32_t id);
