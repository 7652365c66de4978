// Window and thread timers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "../../win32.h"

namespace portable::user {

bool TimerDue(uint64_t now);
bool TakeDueTimer(HWND filter, UINT first, UINT last, bool remove, MSG* out);
bool NextTimerExpiry(uint64_t* when);
bool TimerProcRegistered(HWND hwnd, UINT_PTR id, TIMERPROC proc);
void KillWindowTimers(HWND hwnd);

}  // namespace portable::user

namespace portable {

// Running timers over all windows, for leak checks in tests and benchmarks.
size_t LiveTimers();

}  // namespace portable
