// MDI clients and their children: the pieces creation and destruction use.
#pragma once

#include "../../win32.h"
#include "window.h"

namespace portable::user {

bool IsMdiClient(const Window& w);
void MdiChildCreated(Window& client, HWND child);
void MdiChildGone(Window& client, HWND child);

}  // namespace portable::user
