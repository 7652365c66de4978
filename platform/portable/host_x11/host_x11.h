// The screen-saver host: the layer's window shown in an X window that a screen locker lends
// (or the root window, or one of the saver's own), through Xlib.
#pragma once

#include <string>

#include "../../win32.h"

namespace portable {

enum class X11Target {
  Lent,  // the window `id`, or the root window when `id` is 0
  Own,   // a new window for trying the saver out
};

// Opens the display, checks the window and installs the host. The saver's window is to have
// the size left in *size. False, with one line why in *problem, when the display or the
// window cannot be used.
bool InstallX11Host(X11Target target, unsigned long id, SIZE* size, std::string* problem);

}  // namespace portable
