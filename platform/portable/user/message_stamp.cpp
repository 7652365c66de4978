// What every message carries when the queue hands it out (its time and the cursor position),
// and the window and message filters of retrieval.
#include "message_stamp.h"

#include "../kernel/host.h"
#include "window_tree.h"

namespace portable::user {

namespace {

POINT cursor{0, 0};

}  // namespace

POINT CursorPos() { return cursor; }

void SetCursorPos(POINT screen) { cursor = screen; }

uint64_t NowMs() { return CurrentHost().GetClock().NowMs(); }

DWORD TickFor(uint64_t ms) { return static_cast<DWORD>(CurrentHost().TickBase() + ms); }

MSG StampMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG msg{};
  msg.hwnd = hwnd;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = TickFor(NowMs());
  msg.pt = CursorPos();
  return msg;
}

bool HwndFilterMatches(HWND filter, HWND hwnd) {
  if (filter == nullptr) return true;
  if (filter == reinterpret_cast<HWND>(-1)) return hwnd == nullptr;
  return hwnd == filter || IsDescendant(filter, hwnd);
}

bool RangeMatches(UINT msg, UINT first, UINT last) {
  if (first == 0 && last == 0) return true;
  return msg >= first && msg <= last;
}

}  // namespace portable::user
