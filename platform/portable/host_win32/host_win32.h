// The Windows host: our layer inside a Windows program, its top-level window shown in one real
// window of the system's, the system's input and clocks fed to the layer.
#pragma once

#include <cstdint>
#include <string>

#include "../../win32.h"

namespace portable {

// Installs the host. With `parent` (a real window, as a screen saver's preview names it), our
// top-level window is shown in a real child window filling that window's client area, and the
// program ends when it goes away; with 0, in a real top-level window of its own. The size our
// window is to have goes to *size, when given: the parent's client area, or the screen. False,
// with one line in *problem, when it cannot start.
bool InstallWin32Host(uintptr_t parent, std::string* problem, SIZE* size = nullptr);

}  // namespace portable
