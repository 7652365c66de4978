#include "x11_errors.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>

namespace portable {

namespace {

XErrorHandler previousHandler = nullptr;
bool installed = false;

int OnXError(Display* display, XErrorEvent* error) { return FilterXError(display, error); }

}  // namespace

int FilterXError(void* display, void* errorEvent) {
  auto* error = static_cast<XErrorEvent*>(errorEvent);
  // SDL ends its wait for events by sending a message to one of our windows over a second
  // connection. The server may handle that message after the window's destruction, which came
  // over the first connection: the window is gone on purpose, nothing is lost.
  if (error->error_code == BadWindow && error->request_code == X_SendEvent) return 0;
  return previousHandler != nullptr ? previousHandler(static_cast<Display*>(display), error) : 0;
}

void TolerateStaleWakeups() {
  if (installed) return;
  installed = true;
  previousHandler = XSetErrorHandler(OnXError);
}

}  // namespace portable
