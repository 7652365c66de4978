// Position, size, z-order and visibility: SetWindowPos and what builds on it.
#include "window_pos.h"

#include <algorithm>

#include "activation.h"
#include "paint.h"
#include "system_metrics.h"
#include "window.h"
#include "window_registry.h"
#include "window_surface.h"
#include "window_tree.h"

namespace portable::user {

namespace {

constexpr UINT kPublicSwpFlags = 0x07FF;

SIZE ParentArea(const Window& w) {
  if (w.tree.parent != nullptr) {
    if (Window* p = Peek(w.tree.parent)) {
      return SIZE{p->clientRect.right - p->clientRect.left,
                  p->clientRect.bottom - p->clientRect.top};
    }
  }
  return ScreenSize();
}

void Reorder(Window& w, HWND after) {
  std::vector<HWND>& siblings = Siblings(w);
  auto it = std::find(siblings.begin(), siblings.end(), w.handle);
  if (it == siblings.end()) return;
  siblings.erase(it);
  LayoutChanged();
  if (after == HWND_BOTTOM) {
    siblings.push_back(w.handle);
    return;
  }
  auto pos = std::find(siblings.begin(), siblings.end(), after);
  if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST ||
      pos == siblings.end()) {
    siblings.insert(siblings.begin(), w.handle);
  } else {
    siblings.insert(pos + 1, w.handle);
  }
}

bool AlreadyInPlace(const Window& w, HWND after) {
  const std::vector<HWND>& siblings = Siblings(w);
  if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
    return !siblings.empty() && siblings.front() == w.handle;
  }
  if (after == HWND_BOTTOM) return !siblings.empty() && siblings.back() == w.handle;
  auto pos = std::find(siblings.begin(), siblings.end(), after);
  return pos != siblings.end() && pos + 1 != siblings.end() && *(pos + 1) == w.handle;
}

void Normalise(const Window& w, WINDOWPOS& wp) {
  wp.cx = ClampExtent(wp.cx);
  wp.cy = ClampExtent(wp.cy);
  wp.x = ClampCoordinate(wp.x);
  wp.y = ClampCoordinate(wp.y);
  if (wp.cx == w.windowRect.right - w.windowRect.left &&
      wp.cy == w.windowRect.bottom - w.windowRect.top) {
    wp.flags |= SWP_NOSIZE;
  }
  if (wp.x == w.windowRect.left && wp.y == w.windowRect.top) wp.flags |= SWP_NOMOVE;
  if (!(wp.flags & SWP_NOZORDER) && AlreadyInPlace(w, wp.hwndInsertAfter)) wp.flags |= SWP_NOZORDER;
  if ((w.style & WS_CHILD) || w.handle == State().active) wp.flags |= SWP_NOACTIVATE;
}

void InvalidateGrowth(Window& w, const RECT& oldClient) {
  int oldW = oldClient.right - oldClient.left, oldH = oldClient.bottom - oldClient.top;
  int newW = w.clientRect.right - w.clientRect.left, newH = w.clientRect.bottom - w.clientRect.top;
  UINT cs = w.cls->style;
  if (((cs & CS_HREDRAW) && oldW != newW) || ((cs & CS_VREDRAW) && oldH != newH)) {
    InvalidateTree(w, nullptr, true, false);
    return;
  }
  if (newW > oldW) {
    RECT r{oldW, 0, newW, newH};
    InvalidateTree(w, &r, true, false);
  }
  if (newH > oldH) {
    RECT r{0, oldH, newW, newH};
    InvalidateTree(w, &r, true, false);
  }
}

}  // namespace

MINMAXINFO MinMaxFor(Window& w) {
  RECT insets = FrameInsets(w.style, w.exStyle);
  SIZE area = ParentArea(w);
  MINMAXINFO mmi{};
  mmi.ptMaxSize =
      POINT{area.cx + insets.left + insets.right, area.cy + insets.left + insets.bottom};
  mmi.ptMaxPosition = POINT{-insets.left, -insets.left};
  mmi.ptMinTrackSize = POINT{Metric(SM_CXMINTRACK), Metric(SM_CYMINTRACK)};
  mmi.ptMaxTrackSize = POINT{Metric(SM_CXMAXTRACK), Metric(SM_CYMAXTRACK)};
  CallProcedure(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  return mmi;
}

UINT MinMaximize(Window& w, int cmd, RECT* newRect) {
  if (cmd == SW_MINIMIZE) {
    if (!w.minimized && !w.maximized) w.normalRect = w.windowRect;
    w.minimized = true;
    w.maximized = false;
    w.style = (w.style | WS_MINIMIZE) & ~WS_MAXIMIZE;
    LayoutChanged();
    constexpr int kIconWidth = 160, kIconHeight = 28;
    POINT at{-32000, -32000};
    if (w.tree.parent != nullptr) at = POINT{0, ParentArea(w).cy - kIconHeight};
    *newRect = RECT{at.x, at.y, at.x + kIconWidth, at.y + kIconHeight};
    return SWP_FRAMECHANGED | SWP_NOCOPYBITS;
  }
  if (cmd == SW_MAXIMIZE) {
    MINMAXINFO mmi = MinMaxFor(w);
    if (!w.minimized && !w.maximized) w.normalRect = w.windowRect;
    w.minimized = false;
    w.maximized = true;
    w.style = (w.style | WS_MAXIMIZE) & ~WS_MINIMIZE;
    LayoutChanged();
    *newRect = RECT{mmi.ptMaxPosition.x, mmi.ptMaxPosition.y, mmi.ptMaxPosition.x + mmi.ptMaxSize.x,
                    mmi.ptMaxPosition.y + mmi.ptMaxSize.y};
    return SWP_FRAMECHANGED;
  }
  if (!w.minimized && !w.maximized) {
    *newRect = w.windowRect;
    return SWP_NOSIZE | SWP_NOMOVE;
  }
  w.minimized = false;
  w.maximized = false;
  w.style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
  LayoutChanged();
  *newRect = w.normalRect;
  return SWP_FRAMECHANGED;
}

}  // namespace portable::user

using namespace portable::user;

BOOL WINAPI SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  Window* w = LookUp(hwnd);
  if (w == nullptr) return FALSE;
  std::shared_ptr<Window> keep = Hold(hwnd);
  flags &= kPublicSwpFlags;
  if (w->style & WS_VISIBLE)
    flags &= ~SWP_SHOWWINDOW;
  else
    flags &= ~SWP_HIDEWINDOW;
  WINDOWPOS wp{hwnd, insertAfter, x, y, cx, cy, flags};
  if (flags & SWP_NOMOVE) {
    wp.x = w->windowRect.left;
    wp.y = w->windowRect.top;
  }
  if (flags & SWP_NOSIZE) {
    wp.cx = w->windowRect.right - w->windowRect.left;
    wp.cy = w->windowRect.bottom - w->windowRect.top;
  }
  Normalise(*w, wp);
  if (!(wp.flags & SWP_NOSENDCHANGING)) {
    CallProcedure(*w, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
    if (Peek(hwnd) == nullptr) return FALSE;
    wp.flags &= kPublicSwpFlags;
    Normalise(*w, wp);
  }
  RECT oldWindow = w->windowRect;
  RECT oldClient = w->clientRect;
  RECT newWindow{wp.x, wp.y, wp.x + wp.cx, wp.y + wp.cy};
  RECT newClient = oldClient;
  if (!(wp.flags & SWP_NOSIZE) || (wp.flags & SWP_FRAMECHANGED)) {
    NCCALCSIZE_PARAMS params{};
    params.rgrc[0] = newWindow;
    params.rgrc[1] = oldWindow;
    params.rgrc[2] = oldClient;
    params.lppos = &wp;
    CallProcedure(*w, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
    if (Peek(hwnd) == nullptr) return FALSE;
    newClient = params.rgrc[0];
  } else {
    OffsetRect(&newClient, newWindow.left - oldWindow.left, newWindow.top - oldWindow.top);
  }
  w->windowRect = newWindow;
  w->clientRect = newClient;
  LayoutChanged();
  bool clientSized = (newClient.right - newClient.left) != (oldClient.right - oldClient.left) ||
                     (newClient.bottom - newClient.top) != (oldClient.bottom - oldClient.top);
  bool clientMoved = newClient.left != oldClient.left || newClient.top != oldClient.top;
  if (!clientSized) wp.flags |= SWP_NOCLIENTSIZE;
  if (!clientMoved) wp.flags |= SWP_NOCLIENTMOVE;
  if (!(wp.flags & SWP_NOZORDER)) Reorder(*w, wp.hwndInsertAfter);
  bool shown = (wp.flags & SWP_SHOWWINDOW) != 0;
  bool hidden = (wp.flags & SWP_HIDEWINDOW) != 0;
  if (shown) w->style |= WS_VISIBLE;
  if (hidden) w->style &= ~WS_VISIBLE;
  LayoutChanged();
  if (hidden) {
    std::vector<HWND> tree{hwnd};
    CollectDescendants(*w, tree);
    for (HWND h : tree) {
      if (Window* t = Peek(h)) ClearUpdate(*t);
    }
  }
  if (clientSized) SyncFramebuffer(*w);
  if (!(wp.flags & SWP_NOREDRAW)) {
    if (clientSized && !shown) InvalidateGrowth(*w, oldClient);
    // Children share their top-level window's pixels: a moved child's old pixels stay behind,
    // so it paints itself anew where it lands.
    if ((w->style & WS_CHILD) && clientMoved && !shown && !hidden)
      InvalidateTree(*w, nullptr, true, true);
    bool childChanged = (w->style & WS_CHILD) && (hidden || !EqualRect(&oldWindow, &newWindow));
    if (childChanged) {
      if (Window* parent = Peek(w->tree.parent)) InvalidateTree(*parent, &oldWindow, true, false);
    }
  }
  if (shown) {
    w->update.ncPaint = true;
    InvalidateTree(*w, nullptr, true, true);
  }
  if (!(wp.flags & SWP_NOACTIVATE) && !(w->style & WS_CHILD) && (w->style & WS_VISIBLE)) {
    ActivateWindow(hwnd, false);
    if (Peek(hwnd) == nullptr) return FALSE;
  }
  if (shown && !(w->style & WS_CHILD)) {
    EraseNow(*w);
    if (Peek(hwnd) == nullptr) return FALSE;
  }
  CallProcedure(*w, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  if (Peek(hwnd) == nullptr) return TRUE;
  if (hidden) {
    if (State().active == hwnd) ActivateOtherWindow(hwnd);
    if (Peek(hwnd)) FocusLeaving(*w);
  }
  return TRUE;
}

BOOL WINAPI MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(hwnd, nullptr, x, y, width, height,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL WINAPI ShowWindow(HWND hwnd, int cmdShow) {
  Window* w = LookUp(hwnd);
  if (w == nullptr) return FALSE;
  std::shared_ptr<Window> keep = Hold(hwnd);
  bool wasVisible = (w->style & WS_VISIBLE) != 0;
  bool show = true;
  UINT flags = 0;
  RECT r = w->windowRect;
  switch (cmdShow) {
    case SW_HIDE:
      if (!wasVisible) return FALSE;
      show = false;
      flags = SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE;
      if (hwnd != State().active) flags |= SWP_NOACTIVATE | SWP_NOZORDER;
      break;
    case SW_SHOWMINNOACTIVE:
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
      flags = SWP_SHOWWINDOW |
              (w->minimized ? SWP_NOSIZE | SWP_NOMOVE : MinMaximize(*w, SW_MINIMIZE, &r));
      if (cmdShow != SW_SHOWMINIMIZED) flags |= SWP_NOACTIVATE | SWP_NOZORDER;
      break;
    case SW_SHOWMAXIMIZED:
      flags = SWP_SHOWWINDOW |
              (w->maximized ? SWP_NOSIZE | SWP_NOMOVE : MinMaximize(*w, SW_MAXIMIZE, &r));
      if (Peek(hwnd) == nullptr) return FALSE;
      break;
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE:
      flags = SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOMOVE;
      if (cmdShow == SW_SHOWNA) flags |= SWP_NOZORDER;
      if (w->minimized)
        flags = (flags & ~(SWP_NOSIZE | SWP_NOMOVE)) | MinMaximize(*w, SW_RESTORE, &r);
      break;
    case SW_SHOW: flags = SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE; break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
    case SW_SHOWDEFAULT: flags = SWP_SHOWWINDOW | MinMaximize(*w, SW_RESTORE, &r); break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return FALSE;
  }
  if (w->style & WS_CHILD) flags |= SWP_NOACTIVATE | SWP_NOZORDER;
  if (show != wasVisible) {
    CallProcedure(*w, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (Peek(hwnd) == nullptr) return wasVisible;
  }
  if (wasVisible && show && (flags & SWP_NOSIZE) && (flags & SWP_NOMOVE)) {
    // Nothing to change but maybe the activation.
    if (!(flags & SWP_NOACTIVATE) && !(w->style & WS_CHILD)) ActivateWindow(hwnd, false);
    return TRUE;
  }
  SetWindowPos(hwnd, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
  if (cmdShow == SW_MINIMIZE && Peek(hwnd) && State().active == hwnd) ActivateOtherWindow(hwnd);
  return wasVisible ? TRUE : FALSE;
}

BOOL WINAPI IsWindowVisible(HWND hwnd) {
  Window* w = Peek(hwnd);
  return w != nullptr && VisibleChain(*w) ? TRUE : FALSE;
}

BOOL WINAPI IsIconic(HWND hwnd) {
  Window* w = Peek(hwnd);
  return w != nullptr && (w->style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL WINAPI IsZoomed(HWND hwnd) {
  Window* w = Peek(hwnd);
  return w != nullptr && (w->style & WS_MAXIMIZE) ? TRUE : FALSE;
}
