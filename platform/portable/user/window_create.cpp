// CreateWindowExA: the window object and the creation messages in Windows' order.

#include <algorithm>

#include "mdi.h"
#include "menus.h"
#include "system_metrics.h"
#include "window.h"
#include "window_classes.h"
#include "window_destroy.h"
#include "window_pos.h"
#include "window_registry.h"
#include "window_surface.h"
#include "window_tree.h"

namespace portable::user {

namespace {

// Windows runs out of window handles at about this many per process; deeper trees than this
// would only exhaust the stack of the recursive walks.
constexpr size_t kWindowLimit = 10000;
constexpr int kNestingLimit = 256;

int Depth(HWND hwnd) {
  int depth = 0;
  for (Window* w = Peek(hwnd); w != nullptr && w->tree.parent != nullptr; w = Peek(w->tree.parent))
    ++depth;
  return depth;
}

// Windows corrects a few style bits of every new window.
void FixStyles(DWORD& style, DWORD& exStyle) {
  if ((style & (WS_CHILD | WS_POPUP)) != WS_CHILD) {
    style |= WS_CLIPSIBLINGS;
    if (!(style & WS_POPUP)) style |= WS_CAPTION;
  }
  if ((exStyle & WS_EX_DLGMODALFRAME) || (style & (WS_DLGFRAME | WS_THICKFRAME)))
    exStyle |= WS_EX_WINDOWEDGE;
}

// Default placement: overlapped windows cascade with three quarters of the screen; popups and
// children take 0.
void DefaultPlacement(DWORD style, int& x, int& y, int& cx, int& cy) {
  bool overlapped = !(style & (WS_CHILD | WS_POPUP));
  SIZE screen = ScreenSize();
  if (x == CW_USEDEFAULT) {
    static int cascade = 0;
    if (overlapped) {
      x = y = 26 * (cascade % 8);
      ++cascade;
    } else {
      x = y = 0;
    }
  }
  if (cx == CW_USEDEFAULT) {
    if (overlapped) {
      cx = screen.cx * 3 / 4;
      cy = screen.cy * 3 / 4;
    } else {
      cx = cy = 0;
    }
  }
  if (y == CW_USEDEFAULT) y = 0;
  if (cy == CW_USEDEFAULT) cy = 0;
}

}  // namespace

}  // namespace portable::user

using namespace portable::user;

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
  std::shared_ptr<WindowClass> cls = FindClass(className);
  if (!cls) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  Window* parentWindow = nullptr;
  if (parent != nullptr) {
    parentWindow = LookUp(parent);
    if (parentWindow == nullptr) return nullptr;
  }
  bool mdiChild = (exStyle & WS_EX_MDICHILD) != 0;
  if (mdiChild) {
    if (parentWindow == nullptr || !IsMdiClient(*parentWindow)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
    style |= WS_CHILD | WS_CLIPSIBLINGS;
    if (!(parentWindow->style & MDIS_ALLCHILDSTYLES)) {
      style |= WS_SYSMENU | WS_CAPTION | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    }
    size_t count = 0;
    for (HWND h : parentWindow->tree.children) {
      if (Window* c = Peek(h); c && (c->exStyle & WS_EX_MDICHILD)) ++count;
    }
    menu = reinterpret_cast<HMENU>(static_cast<uintptr_t>(parentWindow->mdi.firstChild + count));
  }
  bool child = (style & (WS_CHILD | WS_POPUP)) == WS_CHILD;
  if (child && parentWindow == nullptr) {
    SetLastError(ERROR_TLW_WITH_WSCHILD);
    return nullptr;
  }
  if (!child && menu != nullptr && !MenuIsValid(menu)) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return nullptr;
  }
  if (State().windows.size() >= kWindowLimit) {
    SetLastError(ERROR_NO_MORE_USER_HANDLES);
    return nullptr;
  }
  if (child && Depth(parent) + 1 >= kNestingLimit) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  DWORD requestedStyle = style;
  FixStyles(style, exStyle);
  DefaultPlacement(style, x, y, width, height);
  x = ClampCoordinate(x);
  y = ClampCoordinate(y);
  width = ClampExtent(width);
  height = ClampExtent(height);

  UserState& s = State();
  auto owned = std::make_shared<Window>();
  Window& w = *owned;
  w.handle = reinterpret_cast<HWND>(s.nextHandle);
  s.nextHandle += 4;
  w.cls = cls;
  w.proc = cls->proc;
  w.style = style & ~WS_VISIBLE;
  w.exStyle = exStyle;
  w.tree.parent = child ? parent : nullptr;
  w.id = child ? static_cast<LONG_PTR>(reinterpret_cast<uintptr_t>(menu)) : 0;
  w.menu = child ? nullptr : menu;
  w.instance = instance;
  w.extra.assign(static_cast<size_t>(cls->wndExtra), 0);
  HWND hwnd = w.handle;
  s.windows.emplace(hwnd, owned);
  ++cls->windows;
  if (child) {
    parentWindow->tree.children.push_back(
        hwnd);  // new children go to the bottom: creation order is tab order
  } else {
    s.topLevels.insert(s.topLevels.begin(), hwnd);
  }
  LayoutChanged();

  if ((style & WS_THICKFRAME) || !(style & (WS_POPUP | WS_CHILD))) {
    MINMAXINFO mmi = MinMaxFor(w);
    if (Peek(hwnd) == nullptr) return nullptr;
    width = std::clamp<int>(width, mmi.ptMinTrackSize.x,
                            std::max(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x));
    height = std::clamp<int>(height, mmi.ptMinTrackSize.y,
                             std::max(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y));
  }
  w.windowRect = RECT{x, y, x + width, y + height};
  w.clientRect = w.windowRect;
  w.normalRect = w.windowRect;
  LayoutChanged();

  CREATESTRUCTA cs{
      param,      instance,  menu,   parent, height, width, y, x, static_cast<LONG>(w.style),
      windowName, className, exStyle};
  if (!CallProcedure(w, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    if (Peek(hwnd)) DestroyImpl(hwnd, false);
    return nullptr;
  }
  if (Peek(hwnd) == nullptr) return nullptr;
  RECT rect = w.windowRect;
  CallProcedure(w, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&rect));
  if (Peek(hwnd) == nullptr) return nullptr;
  w.clientRect = rect;
  LayoutChanged();
  if (!child) SyncFramebuffer(w);

  cs.style = static_cast<LONG>(w.style);
  if (CallProcedure(w, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    if (Peek(hwnd)) DestroyWindow(hwnd);
    return nullptr;
  }
  if (Peek(hwnd) == nullptr) return nullptr;
  CallProcedure(
      w, WM_SIZE, SIZE_RESTORED,
      MAKELPARAM(w.clientRect.right - w.clientRect.left, w.clientRect.bottom - w.clientRect.top));
  if (Peek(hwnd) == nullptr) return nullptr;
  CallProcedure(w, WM_MOVE, 0, MAKELPARAM(w.clientRect.left, w.clientRect.top));
  if (Peek(hwnd) == nullptr) return nullptr;

  DWORD minMax = w.style & (WS_MINIMIZE | WS_MAXIMIZE);
  if (minMax) {
    w.style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
    LayoutChanged();
    RECT r;
    UINT flags = MinMaximize(w, (minMax & WS_MINIMIZE) ? SW_MINIMIZE : SW_MAXIMIZE, &r);
    if (Peek(hwnd) == nullptr) return nullptr;
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 flags | SWP_NOZORDER | SWP_NOACTIVATE);
    if (Peek(hwnd) == nullptr) return nullptr;
  }
  if (child) SendParentNotify(w, WM_CREATE);
  if (Peek(hwnd) == nullptr) return nullptr;
  if (requestedStyle & WS_VISIBLE) {
    int show = SW_SHOW;
    if (w.style & WS_MINIMIZE)
      show = SW_SHOWMINIMIZED;
    else if (w.style & WS_MAXIMIZE)
      show = SW_SHOWMAXIMIZED;
    ShowWindow(hwnd, show);
  }
  if (mdiChild && Peek(hwnd) && Peek(parent)) MdiChildCreated(*Peek(parent), hwnd);
  return Peek(hwnd) ? hwnd : nullptr;
}
