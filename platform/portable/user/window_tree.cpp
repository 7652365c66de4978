// The window tree (parents, children, z-order, ids) and coordinate mapping.
#include "window_tree.h"

#include "window.h"
#include "window_registry.h"

namespace portable::user {

std::vector<HWND>& Siblings(const Window& w) {
  if (w.tree.parent != nullptr) {
    if (Window* p = Peek(w.tree.parent)) return p->tree.children;
  }
  return State().topLevels;
}

Window* RootOf(Window* w) {
  while (w != nullptr && w->tree.parent != nullptr) {
    Window* p = Peek(w->tree.parent);
    if (p == nullptr) break;
    w = p;
  }
  return w;
}

bool IsDescendant(HWND ancestor, HWND hwnd) {
  Window* w = Peek(hwnd);
  while (w != nullptr && w->tree.parent != nullptr) {
    if (w->tree.parent == ancestor) return true;
    w = Peek(w->tree.parent);
  }
  return false;
}

void CollectDescendants(const Window& w, std::vector<HWND>& out) {
  for (HWND child : w.tree.children) {
    out.push_back(child);
    if (Window* c = Peek(child)) CollectDescendants(*c, out);
  }
}

POINT ParentClientOrigin(const Window& w) {
  if (w.tree.parent == nullptr) return POINT{0, 0};
  Window* p = Peek(w.tree.parent);
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
    if (cur->tree.parent == nullptr) return true;
    cur = Peek(cur->tree.parent);
  }
  return false;
}

void SendParentNotify(Window& w, UINT event) {
  Window* cur = &w;
  while ((cur->style & WS_CHILD) && !(cur->exStyle & WS_EX_NOPARENTNOTIFY)) {
    Window* parent = Peek(cur->tree.parent);
    if (parent == nullptr) break;
    CallProcedure(*parent, WM_PARENTNOTIFY, MAKEWPARAM(event, static_cast<WORD>(w.id)),
                  reinterpret_cast<LPARAM>(w.handle));
    cur = Peek(cur->tree.parent);
    if (cur == nullptr || Peek(w.handle) == nullptr) break;
  }
}

}  // namespace portable::user

using namespace portable::user;

HWND WINAPI GetParent(HWND hwnd) {
  Window* w = LookUp(hwnd);
  if (w == nullptr) return nullptr;
  return (w->style & WS_CHILD) ? w->tree.parent : nullptr;
}

HWND WINAPI GetTopWindow(HWND hwnd) {
  if (hwnd == nullptr) {
    auto& tops = State().topLevels;
    return tops.empty() ? nullptr : tops.front();
  }
  Window* w = LookUp(hwnd);
  if (w == nullptr || w->tree.children.empty()) return nullptr;
  return w->tree.children.front();
}

HWND WINAPI GetWindow(HWND hwnd, UINT cmd) {
  Window* w = LookUp(hwnd);
  if (w == nullptr) return nullptr;
  if (cmd == GW_CHILD) return w->tree.children.empty() ? nullptr : w->tree.children.front();
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
  for (HWND h : w->tree.children) {
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
  *rect = RECT{0, 0, w->clientRect.right - w->clientRect.left,
               w->clientRect.bottom - w->clientRect.top};
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
