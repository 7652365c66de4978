// DestroyWindow: hide, give up activation and focus, WM_DESTROY parent first, WM_NCDESTROY
// children first, then the handle is gone. The object lives on until the outermost call into
// its window procedure has returned.
#include "window_destroy.h"

#include <algorithm>

#include "../kernel/host.h"
#include "activation.h"
#include "mdi.h"
#include "menus.h"
#include "message_queue.h"
#include "paint.h"
#include "timers.h"
#include "window.h"
#include "window_registry.h"
#include "window_tree.h"

namespace portable::user {

namespace {

void SendDestroy(HWND hwnd) {
  Window* w = Peek(hwnd);
  if (w == nullptr) return;
  CallProcedure(*w, WM_DESTROY, 0, 0);
  w = Peek(hwnd);
  if (w == nullptr) return;
  for (HWND child : std::vector<HWND>(w->tree.children)) {
    if (Window* c = Peek(child)) c->destroying = true;
    SendDestroy(child);
  }
}

void Unlink(Window& w) {
  UserState& s = State();
  std::vector<HWND>& siblings = Siblings(w);
  std::erase(siblings, w.handle);
  LayoutChanged();
  KillWindowTimers(w.handle);
  DropQueuedMessages(w.handle);
  ClearUpdate(w);
  if (w.menu != nullptr) {
    DestroyMenuTree(w.menu);
    w.menu = nullptr;
  }
  --w.cls->windows;
  if (s.active == w.handle) s.active = nullptr;
  if (s.focus == w.handle) s.focus = nullptr;
  if (w.fb.hostKnows) {
    w.fb.hostKnows = false;
    CurrentHost().TopLevelDestroyed(w.handle);
  }
  w.dead = true;
  std::shared_ptr<Window> keep =
      Hold(w.handle);  // the map's reference goes; callers may hold theirs
  if (lastPeeked.hwnd == w.handle) lastPeeked = LastPeeked{};
  s.windows.erase(w.handle);
  LayoutChanged();
}

void Finish(HWND hwnd) {
  Window* w = Peek(hwnd);
  if (w == nullptr) return;
  std::shared_ptr<Window> keep = Hold(hwnd);
  w->destroying = true;
  for (HWND child : std::vector<HWND>(w->tree.children)) Finish(child);
  CallProcedure(*w, WM_NCDESTROY, 0, 0);
  if (Peek(hwnd) == w) Unlink(*w);
}

}  // namespace

BOOL DestroyImpl(HWND hwnd, bool sendDestroy) {
  Window* w = LookUp(hwnd);
  if (w == nullptr) return FALSE;
  if (w->destroying) return TRUE;
  std::shared_ptr<Window> keep = Hold(hwnd);
  w->destroying = true;
  HWND parent = w->tree.parent;
  bool mdiChild = (w->exStyle & WS_EX_MDICHILD) != 0;
  if (sendDestroy) {
    if (w->style & WS_CHILD) SendParentNotify(*w, WM_DESTROY);
    if (Peek(hwnd) && (w->style & WS_VISIBLE)) {
      SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    }
    if (Peek(hwnd) && State().active == hwnd) ActivateOtherWindow(hwnd);
    if (Peek(hwnd)) FocusLeaving(*w);
    SendDestroy(hwnd);
  }
  Finish(hwnd);
  if (mdiChild) {
    if (Window* client = Peek(parent)) MdiChildGone(*client, hwnd);
  }
  return TRUE;
}

}  // namespace portable::user

using namespace portable::user;

BOOL WINAPI DestroyWindow(HWND hwnd) { return DestroyImpl(hwnd, true); }

BOOL WINAPI IsWindow(HWND hwnd) { return Peek(hwnd) != nullptr ? TRUE : FALSE; }
