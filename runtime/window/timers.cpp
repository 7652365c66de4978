// Window timers; a closed record starts and stops nothing.
#include "timers.h"

int32_t TimerStart(WindowRecord* record, uint32_t interval, uint32_t id, TIMERPROC routine) {
  if (record == nullptr || record->hwnd == nullptr) return 0;
  SetTimer(record->hwnd, id, interval, routine);
  return 0;
}

int32_t TimerStop(WindowRecord* record, uint32_t id) {
  if (record == nullptr || record->hwnd == nullptr) return 0;
  KillTimer(record->hwnd, id);
  return 0;
}
