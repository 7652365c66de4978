// DefWindowProcA: what Windows does with the messages a window procedure leaves to it.
#include <algorithm>
#include <cstring>

#include "../kernel/host.h"
#include "system_metrics.h"
#include "window.h"
#include "window_longs.h"
#include "window_pos.h"
#include "window_registry.h"
#include "window_tree.h"

namespace portable::user {

namespace {

LRESULT NcCalcSize(Window& w, WPARAM calcValid, LPARAM lParam) {
  if (lParam == 0) return 0;
  RECT* rect = calcValid ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                         : reinterpret_cast<RECT*>(lParam);
  if (w.style & WS_MINIMIZE) {
    rect->right = rect->left;
    rect->bottom = rect->top;
    return 0;
  }
  RECT insets = FrameInsets(w.style, w.exStyle);
  rect->left += insets.left;
  rect->top += insets.top;
  rect->right -= insets.right;
  rect->bottom -= insets.bottom;
  if (w.style & WS_VSCROLL) rect->right -= Metric(SM_CXVSCROLL);
  if (w.style & WS_HSCROLL) rect->bottom -= Metric(SM_CYHSCROLL);
  rect->right = std::max(rect->right, rect->left);
  rect->bottom = std::max(rect->bottom, rect->top);
  return 0;
}

LRESULT HitTest(Window& w, LPARAM lParam) {
  POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  POINT origin = ParentClientOrigin(w);
  RECT window = w.windowRect, client = w.clientRect;
  OffsetRect(&window, origin.x, origin.y);
  OffsetRect(&client, origin.x, origin.y);
  if (PtInRect(&client, pt)) return HTCLIENT;
  if (!PtInRect(&window, pt)) return HTNOWHERE;
  if ((w.style & WS_CAPTION) == WS_CAPTION && pt.y < client.top && pt.x >= client.left &&
      pt.x < client.right && pt.y >= client.top - Metric(SM_CYCAPTION)) {
    return HTCAPTION;
  }
  return HTBORDER;
}

LRESULT EraseBackground(Window& w, HDC dc) {
  HBRUSH brush = w.cls->background;
  if (brush == nullptr || dc == nullptr) return 0;
  RECT box;
  GetClipBox(dc, &box);
  FillRect(dc, &box, brush);
  return 1;
}

LRESULT PositionChanged(Window& w, const WINDOWPOS* wp) {
  if (wp == nullptr) return 0;
  HWND hwnd = w.handle;
  if (!(wp->flags & SWP_NOCLIENTMOVE)) {
    CallProcedure(w, WM_MOVE, 0, MAKELPARAM(w.clientRect.left, w.clientRect.top));
  }
  Window* alive = Peek(hwnd);
  if (alive != nullptr && !(wp->flags & SWP_NOCLIENTSIZE)) {
    WPARAM type = alive->minimized   ? SIZE_MINIMIZED
                  : alive->maximized ? SIZE_MAXIMIZED
                                     : SIZE_RESTORED;
    CallProcedure(*alive, WM_SIZE, type,
                  MAKELPARAM(alive->clientRect.right - alive->clientRect.left,
                             alive->clientRect.bottom - alive->clientRect.top));
  }
  return 0;
}

LRESULT PositionChanging(Window& w, WINDOWPOS* wp) {
  if (wp == nullptr || (wp->flags & SWP_NOSIZE) || w.minimized) return 0;
  if (!(w.style & WS_THICKFRAME) && (w.style & (WS_POPUP | WS_CHILD))) return 0;
  MINMAXINFO mmi = MinMaxFor(w);
  if (w.maximized) return 0;
  wp->cx = std::clamp<int>(wp->cx, mmi.ptMinTrackSize.x,
                           std::max(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x));
  wp->cy = std::clamp<int>(wp->cy, mmi.ptMinTrackSize.y,
                           std::max(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y));
  return 0;
}

LRESULT SetCursorDefault(Window& w, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = w.handle;
  if ((w.style & WS_CHILD) && w.tree.parent != nullptr) {
    if (Window* parent = Peek(w.tree.parent)) {
      if (CallProcedure(*parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
    }
  }
  Window* alive = Peek(hwnd);
  if (alive == nullptr) return FALSE;
  if (static_cast<short>(LOWORD(lParam)) == HTCLIENT) {
    if (alive->cls->cursor == nullptr) return FALSE;
    SetCursor(alive->cls->cursor);
    return TRUE;
  }
  SetCursor(ArrowCursor());
  return FALSE;
}

HWND Root(Window& w) { return RootOf(&w)->handle; }

}  // namespace

}  // namespace portable::user

using namespace portable::user;

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = Peek(hwnd);
  if (w == nullptr) return 0;
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
      if (cs != nullptr && cs->lpszName != nullptr && !IS_INTRESOURCE(cs->lpszName))
        StoreWindowText(*w, cs->lpszName);
      return TRUE;
    }
    case WM_NCCALCSIZE: return NcCalcSize(*w, wParam, lParam);
    case WM_NCHITTEST: return HitTest(*w, lParam);
    case WM_NCPAINT: return 0;
    case WM_NCACTIVATE: return TRUE;
    case WM_SETTEXT: StoreWindowText(*w, reinterpret_cast<LPCSTR>(lParam)); return TRUE;
    case WM_GETTEXT: {
      auto* buffer = reinterpret_cast<char*>(lParam);
      if (buffer == nullptr || wParam == 0) return 0;
      size_t n = std::min(w->title.size(), static_cast<size_t>(wParam - 1));
      std::memcpy(buffer, w->title.data(), n);
      buffer[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(w->title.size());
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_CLOSE: SendMessageA(hwnd, WM_CLOSE, 0, 0); break;
        case SC_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); break;
        case SC_MAXIMIZE: ShowWindow(hwnd, SW_MAXIMIZE); break;
        case SC_RESTORE: ShowWindow(hwnd, SW_RESTORE); break;
        case SC_KEYMENU: {
          // The window menu is the real window's, where a host shows one.
          Window& root = *RootOf(w);
          if (root.style & WS_SYSMENU)
            portable::CurrentHost().KeyMenu(root.handle, static_cast<int>(lParam & 0xFF));
          break;
        }
        default: break;
      }
      return 0;
    case WM_SYSKEYDOWN:
      // Alt+F4 asks the top-level window to close.
      if (wParam == VK_F4 && (HIWORD(lParam) & 0x2000))
        PostMessageA(Root(*w), WM_SYSCOMMAND, SC_CLOSE, 0);
      return 0;
    case WM_SYSCHAR:
      // Alt with a character opens the window menu (Alt+Space) or picks from it; a child asks
      // its parent for Alt+Space. Tab and Esc belong to task switching.
      if ((HIWORD(lParam) & 0x2000) && wParam != 0 && wParam != '\t' && wParam != 0x1B) {
        if (wParam == ' ' && (w->style & WS_CHILD) && w->tree.parent != nullptr)
          return SendMessageA(w->tree.parent, msg, wParam, lParam);
        SendMessageA(hwnd, WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(wParam));
      }
      return 0;
    case WM_ERASEBKGND: return EraseBackground(*w, reinterpret_cast<HDC>(wParam));
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (BeginPaint(hwnd, &ps)) EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_WINDOWPOSCHANGING: return PositionChanging(*w, reinterpret_cast<WINDOWPOS*>(lParam));
    case WM_WINDOWPOSCHANGED:
      return PositionChanged(*w, reinterpret_cast<const WINDOWPOS*>(lParam));
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !(w->style & WS_MINIMIZE)) SetFocus(hwnd);
      return 0;
    case WM_SETCURSOR: return SetCursorDefault(*w, wParam, lParam);
    case WM_MOUSEACTIVATE:
      if ((w->style & WS_CHILD) && w->tree.parent != nullptr) {
        LRESULT r = SendMessageA(w->tree.parent, WM_MOUSEACTIVATE, wParam, lParam);
        if (r) return r;
      }
      return MA_ACTIVATE;
    case WM_MOUSEWHEEL:
      // Children pass the wheel up until someone takes it.
      if ((w->style & WS_CHILD) && w->tree.parent != nullptr)
        return SendMessageA(w->tree.parent, msg, wParam, lParam);
      return 0;
    default: return 0;
  }
}
