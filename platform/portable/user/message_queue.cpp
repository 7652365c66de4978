// The thread's message queue: sent messages, posted messages, input, and the synthesised
// WM_PAINT and WM_TIMER, retrieved in Windows' order.
#include "message_queue.h"

#include <deque>

#include "../kernel/host.h"
#include "message_stamp.h"
#include "activation.h"
#include "paint.h"
#include "timers.h"
#include "window.h"
#include "window_registry.h"
#include "window_tree.h"

namespace portable::user {

namespace {

// Windows refuses posts beyond this many waiting messages per queue.
constexpr size_t kPostLimit = 10000;

struct Queue {
  std::deque<MSG> posted;
  std::deque<MSG> input;
  bool quit = false;
  int quitCode = 0;
};

Queue& TheQueue() {
  static Queue queue;
  return queue;
}

bool IsButtonDown(UINT m) {
  return m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN ||
         m == WM_LBUTTONDBLCLK || m == WM_RBUTTONDBLCLK || m == WM_MBUTTONDBLCLK;
}

// What Windows does when a mouse message leaves the queue: activation by click and the cursor
// shape. Returns false when the message is to be dropped (eaten, or its window died).
bool ProcessMouse(const MSG& msg) {
  if (msg.message == WM_MOUSEWHEEL) return true;
  Window* target = Peek(msg.hwnd);
  if (target == nullptr) return false;
  if (IsButtonDown(msg.message)) {
    Window* top = RootOf(target);
    if (top != nullptr && top->handle != State().active) {
      HWND topHandle = top->handle;
      LRESULT r = CallProcedure(*target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(topHandle),
                                MAKELPARAM(HTCLIENT, msg.message));
      if (r != MA_NOACTIVATE && r != MA_NOACTIVATEANDEAT && Peek(topHandle))
        ActivateWindow(topHandle, true);
      if (r == MA_ACTIVATEANDEAT || r == MA_NOACTIVATEANDEAT) return false;
    }
  }
  target = Peek(msg.hwnd);
  if (target == nullptr) return false;
  CallProcedure(*target, WM_SETCURSOR, reinterpret_cast<WPARAM>(msg.hwnd),
                MAKELPARAM(HTCLIENT, msg.message));
  return Peek(msg.hwnd) != nullptr;
}

bool Matches(const MSG& m, HWND filter, UINT first, UINT last) {
  return HwndFilterMatches(filter, m.hwnd) && RangeMatches(m.message, first, last);
}

bool Retrieve(LPMSG out, HWND filter, UINT first, UINT last, bool remove) {
  Queue& q = TheQueue();
  for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
    if (!Matches(*it, filter, first, last)) continue;
    *out = *it;
    if (remove) q.posted.erase(it);
    return true;
  }
  if (q.quit && (filter == nullptr || filter == reinterpret_cast<HWND>(-1))) {
    *out = StampMessage(nullptr, WM_QUIT, static_cast<WPARAM>(q.quitCode), 0);
    if (remove) q.quit = false;
    return true;
  }
  for (auto it = q.input.begin(); it != q.input.end();) {
    if (!Matches(*it, filter, first, last)) {
      ++it;
      continue;
    }
    MSG msg = *it;
    if (!remove) {
      *out = msg;
      return true;
    }
    q.input.erase(it);
    bool mouse = msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST;
    if (!mouse || ProcessMouse(msg)) {
      *out = msg;
      return true;
    }
    it = q.input.begin();  // the sends above may have changed the queue
  }
  if (RangeMatches(WM_PAINT, first, last)) {
    if (HWND hwnd = FindPaintWindow(filter)) {
      *out = StampMessage(hwnd, WM_PAINT, 0, 0);
      return true;
    }
  }
  return TakeDueTimer(filter, first, last, remove, out);
}

bool AnythingRetrievable() {
  Queue& q = TheQueue();
  // A pending update counts only where WM_PAINT can be retrieved (not under a hidden or
  // minimised ancestor), or a waiting loop would spin without ever sleeping.
  return !q.posted.empty() || q.quit || !q.input.empty() || FindPaintWindow(nullptr) != nullptr ||
         TimerDue(NowMs());
}

}  // namespace

bool PostInput(const MSG& msg) {
  Queue& q = TheQueue();
  // Mouse moves that nobody has read yet collapse into the newest, as Windows does.
  if (msg.message == WM_MOUSEMOVE && !q.input.empty() && q.input.back().message == WM_MOUSEMOVE &&
      q.input.back().hwnd == msg.hwnd) {
    q.input.back() = msg;
    return true;
  }
  if (q.input.size() >= kPostLimit) return false;
  q.input.push_back(msg);
  return true;
}

bool QueueEmptyOfInput() { return TheQueue().input.empty(); }

void DropQueuedMessages(HWND hwnd) {
  Queue& q = TheQueue();
  std::erase_if(q.posted, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
  std::erase_if(q.input, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
}

}  // namespace portable::user

using namespace portable::user;
using portable::CurrentHost;

LRESULT WINAPI SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = LookUp(hwnd);
  if (w == nullptr) return 0;
  return CallProcedure(*w, msg, wParam, lParam);
}

LRESULT WINAPI CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (proc == nullptr) return 0;
  return proc(hwnd, msg, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (hwnd != nullptr && LookUp(hwnd) == nullptr) return FALSE;
  auto& q = TheQueue();
  if (q.posted.size() >= kPostLimit) {
    SetLastError(ERROR_NOT_ENOUGH_QUOTA);
    return FALSE;
  }
  q.posted.push_back(StampMessage(hwnd, msg, wParam, lParam));
  return TRUE;
}

void WINAPI PostQuitMessage(int exitCode) {
  TheQueue().quit = true;
  TheQueue().quitCode = exitCode;
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
  if (msg == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (hwnd != nullptr && hwnd != reinterpret_cast<HWND>(-1) && LookUp(hwnd) == nullptr)
    return FALSE;
  CurrentHost().PollInput();
  return Retrieve(msg, hwnd, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL WINAPI WaitMessage(void) {
  CurrentHost().PollInput();
  if (AnythingRetrievable()) return TRUE;
  uint64_t when = 0;
  if (NextTimerExpiry(&when)) {
    CurrentHost().WaitForInput(when);
  } else {
    CurrentHost().WaitForInput(std::nullopt);
  }
  return TRUE;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  if (msg == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  if (hwnd != nullptr && hwnd != reinterpret_cast<HWND>(-1) && LookUp(hwnd) == nullptr) return -1;
  for (;;) {
    CurrentHost().PollInput();
    if (Retrieve(msg, hwnd, filterMin, filterMax, true))
      return msg->message == WM_QUIT ? FALSE : TRUE;
    if (hwnd != nullptr && hwnd != reinterpret_cast<HWND>(-1) && Peek(hwnd) == nullptr) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return -1;
    }
    WaitMessage();
  }
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
  if (msg == nullptr) return 0;
  if (msg->message == WM_TIMER && msg->lParam != 0) {
    // Only a procedure that a live timer registered is called: a forged lParam is not.
    TIMERPROC proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    if (!TimerProcRegistered(msg->hwnd, msg->wParam, proc)) return 0;
    proc(msg->hwnd, WM_TIMER, msg->wParam, TickFor(NowMs()));
    return 0;
  }
  if (msg->hwnd == nullptr) return 0;
  Window* w = LookUp(msg->hwnd);
  if (w == nullptr) return 0;
  HWND hwnd = msg->hwnd;
  LRESULT result = CallProcedure(*w, msg->message, msg->wParam, msg->lParam);
  if (msg->message == WM_PAINT) {
    // A procedure that left its update region alone still gets its background erased.
    if (Window* after = Peek(hwnd); after && after->update.pending && after->update.erase)
      EraseNow(*after);
  }
  return result;
}
