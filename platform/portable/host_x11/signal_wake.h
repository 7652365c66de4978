// SIGTERM and SIGINT as something a wait can see: the handler only notes the signal and writes
// one byte to a pipe, which the host's poll() watches next to the X connection.
#pragma once

namespace portable {

// Installs the handlers (once per process). False when the pipe cannot be made.
bool InstallSignalWake();
// The pipe's reading end, for poll(); -1 before InstallSignalWake.
int SignalWakeFd();
// True once SIGTERM or SIGINT has arrived; empties the pipe.
bool StopRequested();

}  // namespace portable
