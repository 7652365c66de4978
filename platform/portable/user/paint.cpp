// Update regions and painting. A window's update region is kept as its bounding box in client
// coordinates; WM_PAINT is synthesised at retrieval while the box is not empty.
#include "paint.h"

#include <cstring>

#include "window_dc.h"
#include "window.h"
#include "window_registry.h"
#include "window_tree.h"
#include "message_stamp.h"

namespace portable::user {

namespace {

RECT ClientBox(const Window& w) {
  return RECT{0, 0, w.clientRect.right - w.clientRect.left, w.clientRect.bottom - w.clientRect.top};
}

bool Covers(const RECT& outer, const RECT& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
         outer.bottom >= inner.bottom;
}

// Takes `cut` out of the box where the rest is still a rectangle; otherwise the box stays.
void Subtract(RECT& box, const RECT& cut) {
  if (cut.left <= box.left && cut.right >= box.right) {
    if (cut.top <= box.top && cut.bottom > box.top)
      box.top = cut.bottom;
    else if (cut.bottom >= box.bottom && cut.top < box.bottom)
      box.bottom = cut.top;
  } else if (cut.top <= box.top && cut.bottom >= box.bottom) {
    if (cut.left <= box.left && cut.right > box.left)
      box.left = cut.right;
    else if (cut.right >= box.right && cut.left < box.right)
      box.right = cut.left;
  }
}

// The part of `box` (parent client coordinates) that lies in child `c`, in c's client coordinates.
bool ChildPart(const Window& c, const RECT& box, RECT* out) {
  RECT shifted = box;
  OffsetRect(&shifted, -c.clientRect.left, -c.clientRect.top);
  RECT client = ClientBox(c);
  return IntersectRect(out, &shifted, &client) != FALSE;
}

void ValidateTree(Window& w, const RECT* rect) {
  if (rect == nullptr) {
    ClearUpdate(w);
  } else if (w.update.pending) {
    RECT client = ClientBox(w);
    RECT cut;
    if (IntersectRect(&cut, rect, &client)) {
      if (Covers(cut, w.update.box))
        ClearUpdate(w);
      else
        Subtract(w.update.box, cut);
    }
  }
  if (w.style & WS_CLIPCHILDREN) return;
  RECT box = rect ? *rect : ClientBox(w);
  for (HWND h : std::vector<HWND>(w.tree.children)) {
    Window* c = Peek(h);
    RECT part;
    if (c != nullptr && ChildPart(*c, box, &part)) ValidateTree(*c, &part);
  }
}

void InvalidateAll(bool erase) {
  for (HWND h : std::vector<HWND>(State().topLevels)) {
    if (Window* w = Peek(h)) InvalidateTree(*w, nullptr, erase, true);
  }
}

}  // namespace

void SetUpdate(Window& w, const RECT& clientBox, bool erase) {
  RECT client = ClientBox(w);
  RECT box;
  if (!IntersectRect(&box, &clientBox, &client)) return;
  if (!w.update.pending) {
    w.update.pending = true;
    w.update.box = box;
    ++State().paintPending;
  } else {
    UnionRect(&w.update.box, &w.update.box, &box);
  }
  if (erase) w.update.erase = true;
}

void ClearUpdate(Window& w) {
  if (w.update.pending) --State().paintPending;
  w.update.pending = false;
  w.update.box = RECT{};
  w.update.erase = false;
  w.update.delayedErase = false;
}

void InvalidateTree(Window& w, const RECT* clientRect, bool erase, bool allChildren) {
  if (!VisibleChain(w) || w.minimized) return;
  RECT box = clientRect ? *clientRect : ClientBox(w);
  SetUpdate(w, box, erase);
  if (!allChildren && (w.style & WS_CLIPCHILDREN)) return;
  for (HWND h : std::vector<HWND>(w.tree.children)) {
    Window* c = Peek(h);
    RECT part;
    if (c != nullptr && ChildPart(*c, box, &part)) InvalidateTree(*c, &part, erase, allChildren);
  }
}

void EraseNow(Window& w) {
  HWND hwnd = w.handle;
  if (w.update.ncPaint) {
    w.update.ncPaint = false;
    CallProcedure(w, WM_NCPAINT, 1, 0);
  }
  Window* alive = Peek(hwnd);
  if (alive == nullptr || !alive->update.pending || !alive->update.erase) return;
  alive->update.erase = false;
  RECT box = alive->update.box;
  HDC dc = CreateWindowDC(hwnd, &box);
  LRESULT erased = CallProcedure(*alive, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  if (dc) DestroyWindowDC(dc);
  if (Window* after = Peek(hwnd); after && after->update.pending)
    after->update.delayedErase = erased == 0;
}

namespace {

HWND FindIn(const std::vector<HWND>& list, HWND filter) {
  for (HWND h : list) {
    Window* w = Peek(h);
    if (w == nullptr || !(w->style & WS_VISIBLE)) continue;
    if (w->update.pending && HwndFilterMatches(filter, h)) return h;
    if (!w->minimized) {
      if (HWND found = FindIn(w->tree.children, filter)) return found;
    }
  }
  return nullptr;
}

}  // namespace

HWND FindPaintWindow(HWND filter) {
  if (State().paintPending <= 0) return nullptr;
  return FindIn(State().topLevels, filter);
}

}  // namespace portable::user

using namespace portable::user;
using portable::CreateWindowDC;
using portable::DestroyWindowDC;

BOOL WINAPI InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
  if (hwnd == nullptr) {
    InvalidateAll(erase != FALSE);
    return TRUE;
  }
  Window* w = LookUp(hwnd);
  if (w == nullptr) return FALSE;
  InvalidateTree(*w, rect, erase != FALSE, false);
  return TRUE;
}

BOOL WINAPI ValidateRect(HWND hwnd, const RECT* rect) {
  if (hwnd == nullptr) {
    InvalidateAll(true);
    return TRUE;
  }
  Window* w = LookUp(hwnd);
  if (w == nullptr) return FALSE;
  ValidateTree(*w, rect);
  return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase) {
  Window* w = LookUp(hwnd);
  if (w == nullptr) return FALSE;
  if (erase && w->update.pending && (w->update.erase || w->update.ncPaint)) {
    EraseNow(*w);
    w = Peek(hwnd);
    if (w == nullptr) return FALSE;
  }
  if (!w->update.pending) {
    if (rect) SetRectEmpty(rect);
    return FALSE;
  }
  if (rect) *rect = w->update.box;
  return TRUE;
}

BOOL WINAPI UpdateWindow(HWND hwnd) {
  Window* w = LookUp(hwnd);
  if (w == nullptr) return FALSE;
  std::vector<HWND> order{hwnd};
  CollectDescendants(*w, order);
  for (HWND h : order) {
    Window* target = Peek(h);
    if (target != nullptr && target->update.pending && VisibleChain(*target))
      CallProcedure(*target, WM_PAINT, 0, 0);
  }
  return TRUE;
}

HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT paint) {
  Window* w = LookUp(hwnd);
  if (w == nullptr || paint == nullptr) {
    if (w != nullptr) SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (w->update.ncPaint) {
    w->update.ncPaint = false;
    CallProcedure(*w, WM_NCPAINT, 1, 0);
    w = Peek(hwnd);
    if (w == nullptr) return nullptr;
  }
  RECT box = w->update.pending ? w->update.box : RECT{};
  bool erase = w->update.erase;
  bool delayed = w->update.delayedErase;
  ClearUpdate(*w);
  HDC dc = CreateWindowDC(hwnd, &box);
  BOOL fErase = delayed ? TRUE : FALSE;
  if (erase)
    fErase = CallProcedure(*w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0 ? TRUE : FALSE;
  std::memset(paint, 0, sizeof(*paint));
  paint->hdc = dc;
  paint->fErase = fErase;
  paint->rcPaint = box;
  return dc;
}

BOOL WINAPI EndPaint(HWND, const PAINTSTRUCT* paint) {
  if (paint == nullptr) return FALSE;
  if (paint->hdc) DestroyWindowDC(paint->hdc);
  return TRUE;
}
