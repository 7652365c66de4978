#include "window_registry.h"

#include "../kernel/host.h"
#include "user_state.h"

namespace portable::user {

UserState& State() {
  static UserState state;
  return state;
}

Window* Peek(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  UserState& s = State();
  if (hwnd == s.lastPeeked) return s.lastPeekedWindow;
  auto it = s.windows.find(hwnd);
  if (it == s.windows.end()) return nullptr;
  s.lastPeeked = hwnd;
  s.lastPeekedWindow = it->second.get();
  return s.lastPeekedWindow;
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

std::vector<HWND>& Siblings(const Window& w) {
  if (w.parent != nullptr) {
    if (Window* p = Peek(w.parent)) return p->children;
  }
  return State().topLevels;
}

Window* RootOf(Window* w) {
  while (w != nullptr && w->parent != nullptr) {
    Window* p = Peek(w->parent);
    if (p == nullptr) break;
    w = p;
  }
  return w;
}

bool IsDescendant(HWND ancestor, HWND hwnd) {
  Window* w = Peek(hwnd);
  while (w != nullptr && w->parent != nullptr) {
    if (w->parent == ancestor) return true;
    w = Peek(w->parent);
  }
  return false;
}

void CollectDescendants(const Window& w, std::vector<HWND>& out) {
  for (HWND child : w.children) {
    out.push_back(child);
    if (Window* c = Peek(child)) CollectDescendants(*c, out);
  }
}

POINT ParentClientOrigin(const Window& w) {
  if (w.parent == nullptr) return POINT{0, 0};
  Window* p = Peek(w.parent);
  return p ? ClientOriginOnScreen(*p) : POINT{0, 0};
}

POINT ClientOriginOnScreen(const Window& w) {
  POINT origin = ParentClientOrigin(w);
  origin.x += w.clientRect.left;
  origin.y += w.clientRect.top;
  return origin;
}

bool VisibleChain(const Window& w) {
  const Window* cur = &w;
  while (cur != nullptr) {
    if (!(cur->style & WS_VISIBLE)) return false;
    if (cur->parent == nullptr) return true;
    cur = Peek(cur->parent);
  }
  return false;
}

uint64_t NowMs() { return CurrentHost().GetClock().NowMs(); }

DWORD TickFor(uint64_t ms) { return static_cast<DWORD>(CurrentHost().TickBase() + ms); }

}  // namespace portable::user

size_t portable::LiveWindows() { return portable::user::State().windows.size(); }
