// How X errors are taken. Xlib's default prints several lines and ends the process with exit
// code 1; a saver's window vanishing under it is normal, so that is noted and the host ends
// the program cleanly. Other errors are reported once, on one line.
#pragma once

#include <X11/Xlib.h>

namespace portable {

void InstallX11ErrorHandlers();

// True once a request failed with BadWindow or BadDrawable: the window drawn into is gone.
bool X11WindowLost();

// Errors of the requests made while a trap lives are kept in the trap instead: for checking a
// window given on the command line.
class X11ErrorTrap {
 public:
  explicit X11ErrorTrap(Display* display);
  X11ErrorTrap(const X11ErrorTrap&) = delete;
  X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;
  ~X11ErrorTrap();
  // Waits for the server's answers to everything sent so far; the first error code, 0 for none.
  int Check();

 private:
  Display* display_;
};

}  // namespace portable
