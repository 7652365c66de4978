// The window tree: siblings, ancestors, descendants, and where client areas lie on screen.
#pragma once

#include <vector>

#include "../../win32.h"
#include "window.h"

namespace portable::user {

// The siblings list that holds `w` (its parent's children, or the top-level list).
std::vector<HWND>& Siblings(const Window& w);
Window* RootOf(Window* w);
bool IsDescendant(HWND ancestor, HWND hwnd);
// Descendants in enumeration order: each child, then its own descendants.
void CollectDescendants(const Window& w, std::vector<HWND>& out);

// Client (0, 0) of `w` in screen coordinates.
POINT ClientOriginOnScreen(const Window& w);
// The screen point of a parent-client coordinate system (nullptr parent = screen).
POINT ParentClientOrigin(const Window& w);
// `w` and all its ancestors have WS_VISIBLE.
bool VisibleChain(const Window& w);

// WM_PARENTNOTIFY for `event` (WM_CREATE, WM_DESTROY) to the ancestors of a child window.
void SendParentNotify(Window& w, UINT event);

}  // namespace portable::user
