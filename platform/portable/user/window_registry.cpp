#include "window_registry.h"

#include "window.h"

namespace portable::user {

constinit uint64_t layoutGeneration = 1;

UserState& State() {
  static UserState state;
  return state;
}

constinit LastPeeked lastPeeked;

Window* PeekSlow(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  UserState& s = State();
  auto it = s.windows.find(hwnd);
  if (it == s.windows.end()) return nullptr;
  lastPeeked = LastPeeked{hwnd, it->second.get()};
  return lastPeeked.window;
}

Window* LookUp(HWND hwnd) {
  Window* w = Peek(hwnd);
  if (w == nullptr) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

std::shared_ptr<Window> Hold(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  auto& windows = State().windows;
  auto it = windows.find(hwnd);
  return it == windows.end() ? nullptr : it->second;
}

LRESULT CallProcedure(Window& w, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (w.dead || w.proc == nullptr) return 0;
  std::shared_ptr<Window> keep = Hold(w.handle);
  if (!keep) return 0;
  return w.proc(w.handle, msg, wParam, lParam);
}

}  // namespace portable::user

size_t portable::LiveWindows() { return portable::user::State().windows.size(); }
