// Errors of the X server that the desktop host survives instead of letting Xlib end the
// program.
#pragma once

namespace portable {

// Installs, once, a filter in front of the current X error handler. Harmless without X11: it is
// only ever called for an X connection.
void TolerateStaleWakeups();

// The filter itself: 0 for an error it drops, else what the handler before it returns.
int FilterXError(void* display, void* error);

}  // namespace portable
