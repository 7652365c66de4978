// Window classes: registration and lookup.
#pragma once

#include <memory>

#include "../../win32.h"
#include "window.h"

namespace portable::user {

// Class lookup by name or atom; registers the system classes on first use.
std::shared_ptr<WindowClass> FindClass(LPCSTR nameOrAtom);

}  // namespace portable::user
