// MDI: the client window that holds the children, its arrangement messages, and the default
// procedures of frames and children.
#include "mdi.h"

#include <algorithm>

#include "system_metrics.h"
#include "window.h"
#include "window_registry.h"
#include "window_tree.h"

namespace portable::user {

namespace {

std::vector<HWND> MdiChildren(const Window& client, bool includeMinimised) {
  std::vector<HWND> out;
  for (HWND h : client.tree.children) {
    Window* c = Peek(h);
    if (c == nullptr || !(c->exStyle & WS_EX_MDICHILD) || c->destroying || !(c->style & WS_VISIBLE))
      continue;
    if (!includeMinimised && c->minimized) continue;
    out.push_back(h);
  }
  return out;
}

void Activate(HWND clientHandle, HWND child) {
  Window* client = Peek(clientHandle);
  if (client == nullptr) return;
  HWND old = client->mdi.active;
  if (old == child) return;
  client->mdi.active = child;
  if (Window* prev = Peek(old)) {
    CallProcedure(*prev, WM_NCACTIVATE, FALSE, 0);
    if (Peek(old))
      SendMessageA(old, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(old),
                   reinterpret_cast<LPARAM>(child));
  }
  Window* next = Peek(child);
  if (next == nullptr) return;
  SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (Peek(child) == nullptr) return;
  CallProcedure(*next, WM_NCACTIVATE, TRUE, 0);
  if (Peek(child))
    SendMessageA(child, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(old),
                 reinterpret_cast<LPARAM>(child));
  Window* root = RootOf(Peek(child));
  if (root != nullptr && root->handle == State().active && Peek(child)) SetFocus(child);
}

void Tile(Window& client, WPARAM how) {
  std::vector<HWND> kids = MdiChildren(client, false);
  if (kids.empty()) return;
  HWND clientHandle = client.handle;
  int width = client.clientRect.right - client.clientRect.left;
  int height = client.clientRect.bottom - client.clientRect.top;
  int n = static_cast<int>(kids.size());
  // Horizontal tiling stacks full-width rows; vertical tiling puts full-height columns side by
  // side.
  for (int i = 0; i < n; ++i) {
    if (Peek(clientHandle) == nullptr) return;
    if (how & MDITILE_HORIZONTAL) {
      int top = height * i / n, bottom = height * (i + 1) / n;
      MoveWindow(kids[static_cast<size_t>(i)], 0, top, width, bottom - top, TRUE);
    } else {
      int left = width * i / n, right = width * (i + 1) / n;
      MoveWindow(kids[static_cast<size_t>(i)], left, 0, right - left, height, TRUE);
    }
  }
}

void Cascade(Window& client) {
  std::vector<HWND> kids = MdiChildren(client, false);
  if (kids.empty()) return;
  HWND clientHandle = client.handle;
  int width = client.clientRect.right - client.clientRect.left;
  int height = client.clientRect.bottom - client.clientRect.top;
  int step = Metric(SM_CYCAPTION) + Metric(SM_CYSIZEFRAME) + Metric(SM_CXPADDEDBORDER);
  int n = static_cast<int>(kids.size());
  int w = std::max(width - step * (n - 1), Metric(SM_CXMINTRACK));
  int h = std::max(height - step * (n - 1), Metric(SM_CYMINTRACK));
  // Bottom of the z-order first, so the active child ends up in front, furthest down.
  for (int i = 0; i < n; ++i) {
    if (Peek(clientHandle) == nullptr) return;
    HWND child = kids[static_cast<size_t>(n - 1 - i)];
    SetWindowPos(child, HWND_TOP, step * i, step * i, w, h, SWP_NOACTIVATE);
  }
}

void ArrangeIcons(Window& client) {
  HWND clientHandle = client.handle;
  int width = client.clientRect.right - client.clientRect.left;
  int height = client.clientRect.bottom - client.clientRect.top;
  int x = 0, y = height;
  for (HWND h : MdiChildren(client, true)) {
    Window* c = Peek(h);
    if (Peek(clientHandle) == nullptr) return;
    if (c == nullptr || !c->minimized) continue;
    int iconW = c->windowRect.right - c->windowRect.left;
    int iconH = c->windowRect.bottom - c->windowRect.top;
    if (x > 0 && x + iconW > width) {
      x = 0;
      y -= iconH;
    }
    SetWindowPos(h, nullptr, x, y - iconH, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    x += iconW;
  }
}

}  // namespace

bool IsMdiClient(const Window& w) {
  return w.cls->system && w.cls->proc != nullptr && w.cls->name == "MDIClient";
}

void MdiChildCreated(Window& client, HWND child) { Activate(client.handle, child); }

void MdiChildGone(Window& client, HWND child) {
  if (client.mdi.active != child) return;
  client.mdi.active = nullptr;
  std::vector<HWND> kids = MdiChildren(client, true);
  if (!kids.empty()) Activate(client.handle, kids.front());
}

LRESULT CALLBACK MdiClientProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = Peek(hwnd);
  if (w == nullptr) return 0;
  switch (msg) {
    case WM_NCCREATE: {
      // Scroll bars show only when children reach outside; ours never show.
      w->style &= ~(WS_HSCROLL | WS_VSCROLL);
      LayoutChanged();
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
      if (cs != nullptr && cs->lpCreateParams != nullptr) {
        auto* ccs = static_cast<CLIENTCREATESTRUCT*>(cs->lpCreateParams);
        w->mdi.windowMenu = static_cast<HMENU>(ccs->hWindowMenu);
        w->mdi.firstChild = ccs->idFirstChild;
      }
      return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    case WM_MDIDESTROY: {
      HWND child = reinterpret_cast<HWND>(wParam);
      if (IsDescendant(hwnd, child)) DestroyWindow(child);
      return 0;
    }
    case WM_MDIACTIVATE: {
      HWND child = reinterpret_cast<HWND>(wParam);
      if (Window* c = Peek(child); c && c->tree.parent == hwnd) Activate(hwnd, child);
      return 0;
    }
    case WM_MDIGETACTIVE:
      if (lParam != 0) {
        Window* active = Peek(w->mdi.active);
        *reinterpret_cast<BOOL*>(lParam) = active != nullptr && active->maximized;
      }
      return reinterpret_cast<LRESULT>(w->mdi.active);
    case WM_MDITILE: Tile(*w, wParam); return TRUE;
    case WM_MDICASCADE: Cascade(*w); return TRUE;
    case WM_MDIICONARRANGE: ArrangeIcons(*w); return 0;
    case WM_SETFOCUS:
      if (w->mdi.active != nullptr && Peek(w->mdi.active)) SetFocus(w->mdi.active);
      return 0;
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

}  // namespace portable::user

using namespace portable::user;

LRESULT WINAPI DefFrameProcA(HWND frame, HWND mdiClient, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* client = Peek(mdiClient);
  switch (msg) {
    case WM_COMMAND:
      if (client != nullptr && lParam == 0) {
        UINT id = LOWORD(wParam);
        for (HWND h : MdiChildren(*client, true)) {
          Window* c = Peek(h);
          if (c != nullptr && static_cast<UINT>(c->id) == id) {
            if (c->minimized) ShowWindow(h, SW_RESTORE);
            SendMessageA(mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(h), 0);
            return 0;
          }
        }
      }
      break;
    case WM_SIZE:
      // A minimised frame keeps its client's size for the restore.
      if (client != nullptr && wParam != SIZE_MINIMIZED) {
        MoveWindow(mdiClient, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
      }
      break;
    case WM_SETFOCUS:
      if (client != nullptr) {
        SetFocus(mdiClient);
        return 0;
      }
      break;
    default: break;
  }
  return DefWindowProcA(frame, msg, wParam, lParam);
}

LRESULT WINAPI DefMDIChildProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = Peek(hwnd);
  if (w == nullptr) return 0;
  HWND client = w->tree.parent;
  switch (msg) {
    case WM_CLOSE: SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(hwnd), 0); return 0;
    case WM_SETFOCUS:
    case WM_CHILDACTIVATE:
      if (Window* c = Peek(client); c && IsMdiClient(*c) && c->mdi.active != hwnd)
        Activate(client, hwnd);
      return 0;
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}
