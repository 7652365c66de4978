// The window tree (parents, children, z-order, ids) and coordinate mapping.
#include "user_state.h"

using namespace portable::user;

HWND WINAPI GetParent(HWND hwnd) {
  Window* w = LookUp(hwnd);
  if (w == nullptr) return nullptr;
  return (w->style & WS_CHILD) ? w->parent : nullptr;
}

HWND WINAPI GetTopWindow(HWND hwnd) {
  if (hwnd == nullptr) {
    auto& tops = State().topLevels;
    return tops.empty() ? nullptr : tops.front();
  }
  Window* w = LookUp(hwnd);
  if (w == nullptr || w->children.empty()) return nullptr;
  return w->children.front();
}

HWND WINAPI GetWindow(HWND hwnd, UINT cmd) {
  Window* w = LookUp(hwnd);
  if (w == nullptr) return nullptr;
  if (cmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
  if (cmd == GW_OWNER) return nullptr;
  const std::vector<HWND>& siblings = Siblings(*w);
  size_t at = 0;
  while (at < siblings.size() && siblings[at] != hwnd) ++at;
  switch (cmd) {
    case GW_HWNDFIRST: return siblings.empty() ? nullptr : siblings.front();
    case GW_HWNDLAST: return siblings.empty() ? nullptr : siblings.back();
    case GW_HWNDNEXT: return at + 1 < siblings.size() ? siblings[at + 1] : nullptr;
    case GW_HWNDPREV: return at > 0 && at < siblings.size() ? siblings[at - 1] : nullptr;
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
  }
}

BOOL WINAPI EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam) {
  if (proc == nullptr) return FALSE;
  std::vector<HWND> list;
  if (parent == nullptr) {
    for (HWND h : State().topLevels) {
      list.push_back(h);
    }
  } else {
    Window* w = LookUp(parent);
    if (w == nullptr) return FALSE;
    CollectDescendants(*w, list);
  }
  // The list is taken first: windows made or destroyed by the callback do not upset the walk.
  for (HWND h : list) {
    if (Peek(h) == nullptr) continue;
    if (!proc(h, lParam)) return FALSE;
  }
  return TRUE;
}

HWND WINAPI GetDlgItem(HWND dialog, int id) {
  Window* w = LookUp(dialog);
  if (w == nullptr) return nullptr;
  for (HWND h : w->children) {
    Window* c = Peek(h);
    if (c != nullptr && static_cast<int>(c->id) == id) return h;
  }
  SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
  return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hwnd) {
  Window* w = LookUp(hwnd);
  if (w == nullptr || !(w->style & WS_CHILD)) return 0;
  return static_cast<int>(w->id);
}

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect) {
  Window* w = LookUp(hwnd);
  if (w == nullptr || rect == nullptr) return FALSE;
  *rect = RECT{0, 0, w->clientRect.right - w->clientRect.left, w->clientRect.bottom - w->clientRect.top};
  return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect) {
  Window* w = LookUp(hwnd);
  if (w == nullptr || rect == nullptr) return FALSE;
  POINT origin = ParentClientOrigin(*w);
  *rect = w->windowRect;
  OffsetRect(rect, origin.x, origin.y);
  return TRUE;
}

int WINAPI MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
  POINT a{0, 0}, b{0, 0};
  if (from != nullptr) {
    Window* w = LookUp(from);
    if (w == nullptr) return 0;
    a = ClientOriginOnScreen(*w);
  }
  if (to != nullptr) {
    Window* w = LookUp(to);
    if (w == nullptr) return 0;
    b = ClientOriginOnScreen(*w);
  }
  LONG dx = a.x - b.x, dy = a.y - b.y;
  if (points != nullptr) {
    for (UINT i = 0; i < count; ++i) {
      points[i].x += dx;
      points[i].y += dy;
    }
  }
  SetLastError(0);
  return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT point) {
  Window* w = LookUp(hwnd);
  if (w == nullptr || point == nullptr) return FALSE;
  POINT o = ClientOriginOnScreen(*w);
  point->x += o.x;
  point->y += o.y;
  return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hwnd, LPPOINT point) {
  Window* w = LookUp(hwnd);
  if (w == nullptr || point == nullptr) return FALSE;
  POINT o = ClientOriginOnScreen(*w);
  point->x -= o.x;
  point->y -= o.y;
  return TRUE;
}
