// Window texts, longs and class words.
#pragma once

#include "../../win32.h"
#include "window.h"

namespace portable::user {

void StoreWindowText(Window& w, LPCSTR text);

}  // namespace portable::user
