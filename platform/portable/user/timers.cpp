// Window and thread timers. A timer yields WM_TIMER when due, synthesised at retrieval; taking
// it moves the schedule on by whole periods, so a late timer ticks once and keeps its phase.
#include <vector>

#include "timers.h"
#include "window_registry.h"
#include "message_stamp.h"

namespace portable::user {

namespace {

struct Timer {
  HWND hwnd;
  UINT_PTR id;
  UINT period;
  uint64_t next;
  TIMERPROC proc;
};

// Windows stops handing out timers somewhere around this many per process.
constexpr size_t kTimerLimit = 10000;

std::vector<Timer>& Timers() {
  static std::vector<Timer> timers;
  return timers;
}

Timer* Find(HWND hwnd, UINT_PTR id) {
  for (Timer& t : Timers()) {
    if (t.hwnd == hwnd && t.id == id) return &t;
  }
  return nullptr;
}

}  // namespace

bool TimerDue(uint64_t now) {
  for (const Timer& t : Timers()) {
    if (t.next <= now) return true;
  }
  return false;
}

bool NextTimerExpiry(uint64_t* when) {
  bool any = false;
  for (const Timer& t : Timers()) {
    if (!any || t.next < *when) *when = t.next;
    any = true;
  }
  return any;
}

bool TakeDueTimer(HWND filter, UINT first, UINT last, bool remove, MSG* out) {
  if (!RangeMatches(WM_TIMER, first, last)) return false;
  uint64_t now = NowMs();
  Timer* best = nullptr;
  for (Timer& t : Timers()) {
    if (t.next > now || !HwndFilterMatches(filter, t.hwnd)) continue;
    if (best == nullptr || t.next < best->next) best = &t;
  }
  if (best == nullptr) return false;
  *out = StampMessage(best->hwnd, WM_TIMER, best->id, reinterpret_cast<LPARAM>(best->proc));
  if (remove)
    best->next += static_cast<uint64_t>(best->period) * ((now - best->next) / best->period + 1);
  return true;
}

bool TimerProcRegistered(HWND hwnd, UINT_PTR id, TIMERPROC proc) {
  Timer* t = Find(hwnd, id);
  return t != nullptr && t->proc == proc;
}

void KillWindowTimers(HWND hwnd) {
  std::erase_if(Timers(), [hwnd](const Timer& t) { return t.hwnd == hwnd; });
}

}  // namespace portable::user

size_t portable::LiveTimers() { return portable::user::Timers().size(); }

using namespace portable::user;

UINT_PTR WINAPI SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  if (hwnd != nullptr && LookUp(hwnd) == nullptr) return 0;
  if (elapse < USER_TIMER_MINIMUM) elapse = USER_TIMER_MINIMUM;
  if (elapse > USER_TIMER_MAXIMUM) elapse = USER_TIMER_MAXIMUM;
  uint64_t now = NowMs();
  if (hwnd == nullptr) {
    // A thread timer keeps its id only when it names a running thread timer.
    if (id == 0 || Find(nullptr, id) == nullptr) {
      static UINT_PTR nextThreadId = 0x7FFF;
      do {
        nextThreadId = nextThreadId > 1 ? nextThreadId - 1 : 0x7FFF;
      } while (Find(nullptr, nextThreadId) != nullptr);
      id = nextThreadId;
    }
  }
  if (Timer* t = Find(hwnd, id)) {
    t->period = elapse;
    t->next = now + elapse;
    t->proc = proc;
    return id == 0 ? 1 : id;
  }
  if (Timers().size() >= kTimerLimit) {
    SetLastError(ERROR_NO_SYSTEM_RESOURCES);
    return 0;
  }
  Timers().push_back(Timer{hwnd, id, elapse, now + elapse, proc});
  return id == 0 ? 1 : id;
}

BOOL WINAPI KillTimer(HWND hwnd, UINT_PTR id) {
  if (hwnd != nullptr && LookUp(hwnd) == nullptr) return FALSE;
  auto& timers = Timers();
  for (auto it = timers.begin(); it != timers.end(); ++it) {
    if (it->hwnd == hwnd && it->id == id) {
      timers.erase(it);
      return TRUE;
    }
  }
  return FALSE;
}
