// The Wayland desktop host: the program's window as an xdg-shell toplevel of the compositor,
// its pictures in shared memory, the seat's keyboard and pointer as Windows input.
#pragma once

#include <string>

namespace portable {

// Connects to the compositor (WAYLAND_DISPLAY) and installs the host. False, with one line
// why in *problem, when there is no compositor or it lacks what the host needs.
bool InstallWaylandHost(std::string* problem);

}  // namespace portable
