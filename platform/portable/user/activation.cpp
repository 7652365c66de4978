// The active window and the keyboard focus, with the messages Windows sends when they move.
#include "activation.h"

#include <algorithm>

#include "window.h"
#include "window_registry.h"
#include "window_tree.h"

namespace portable::user {

namespace {

void SendIfAlive(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (Window* w = Peek(hwnd)) CallProcedure(*w, msg, wParam, lParam);
}

void AppActivation(bool active) {
  for (HWND h : std::vector<HWND>(State().topLevels))
    SendIfAlive(h, WM_ACTIVATEAPP, active ? TRUE : FALSE, 0);
}

void ChangeFocus(HWND to) {
  UserState& s = State();
  HWND old = s.focus;
  if (old == to) return;
  s.focus = to;
  SendIfAlive(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(to), 0);
  if (to != nullptr && s.focus == to)
    SendIfAlive(to, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
}

}  // namespace

HWND ActivateWindow(HWND hwnd, bool byMouse) {
  UserState& s = State();
  HWND old = s.active;
  if (hwnd == old) return old;
  if (Window* prev = Peek(old)) {
    CallProcedure(*prev, WM_NCACTIVATE, FALSE, reinterpret_cast<LPARAM>(hwnd));
    SendIfAlive(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(old) ? 1 : 0),
                reinterpret_cast<LPARAM>(hwnd));
  } else {
    old = nullptr;
  }
  s.active = Peek(hwnd) ? hwnd : nullptr;
  if (s.active != nullptr) {
    std::vector<HWND>& tops = s.topLevels;
    auto it = std::find(tops.begin(), tops.end(), hwnd);
    if (it != tops.end() && it != tops.begin()) {
      tops.erase(it);
      tops.insert(tops.begin(), hwnd);
    }
  }
  if (old == nullptr && s.active != nullptr) AppActivation(true);
  if (old != nullptr && s.active == nullptr) AppActivation(false);
  if (s.active == nullptr) {
    ChangeFocus(nullptr);
    return old;
  }
  SendIfAlive(hwnd, WM_NCACTIVATE, TRUE, reinterpret_cast<LPARAM>(old));
  SendIfAlive(hwnd, WM_ACTIVATE,
              MAKEWPARAM(byMouse ? WA_CLICKACTIVE : WA_ACTIVE, IsIconic(hwnd) ? 1 : 0),
              reinterpret_cast<LPARAM>(old));
  // A procedure that kept WM_ACTIVATE from the default still gets the focus.
  if (s.active == hwnd && Peek(hwnd) && s.focus != hwnd && !IsDescendant(hwnd, s.focus)) {
    ChangeFocus(IsIconic(hwnd) ? nullptr : hwnd);
  }
  return old;
}

void ActivateOtherWindow(HWND leaving) {
  for (HWND h : State().topLevels) {
    Window* w = Peek(h);
    if (h == leaving || w == nullptr || w->destroying || !(w->style & WS_VISIBLE) ||
        (w->style & WS_DISABLED) || w->minimized) {
      continue;
    }
    ActivateWindow(h, false);
    return;
  }
  ActivateWindow(nullptr, false);
}

void FocusLeaving(Window& w) {
  UserState& s = State();
  if (s.focus != nullptr && (s.focus == w.handle || IsDescendant(w.handle, s.focus)))
    ChangeFocus(nullptr);
}

}  // namespace portable::user

using namespace portable::user;

HWND WINAPI SetFocus(HWND hwnd) {
  UserState& s = State();
  HWND old = s.focus;
  if (hwnd == nullptr) {
    ChangeFocus(nullptr);
    return old;
  }
  Window* w = LookUp(hwnd);
  if (w == nullptr) return nullptr;
  if (w->style & WS_DISABLED) return nullptr;
  Window* root = RootOf(w);
  if (root->handle != s.active) {
    ActivateWindow(root->handle, false);
    if (Peek(hwnd) == nullptr) return nullptr;
    if (s.focus == hwnd) return old;
  }
  old = s.focus;
  ChangeFocus(hwnd);
  return old;
}

HWND WINAPI GetFocus(void) { return State().focus; }

HWND WINAPI SetActiveWindow(HWND hwnd) {
  if (hwnd == nullptr) return ActivateWindow(nullptr, false);
  Window* w = LookUp(hwnd);
  if (w == nullptr) return nullptr;
  if ((w->style & (WS_CHILD | WS_POPUP)) == WS_CHILD) return State().active;
  return ActivateWindow(hwnd, false);
}

HWND WINAPI GetActiveWindow(void) { return State().active; }

HWND WINAPI GetForegroundWindow(void) { return State().active; }
