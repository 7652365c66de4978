#include "signal_wake.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace portable {
namespace {

int pipeFds[2] = {-1, -1};
volatile sig_atomic_t stopSignalled = 0;

void OnStopSignal(int) {
  const int savedErrno = errno;
  stopSignalled = 1;
  const char byte = 1;
  // A full pipe already wakes the wait: the byte may be dropped.
  [[maybe_unused]] const ssize_t written = write(pipeFds[1], &byte, 1);
  errno = savedErrno;
}

bool SetFlags(int fd) {
  const int status = fcntl(fd, F_GETFL);
  return status >= 0 && fcntl(fd, F_SETFL, status | O_NONBLOCK) == 0 &&
         fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

}  // namespace

bool InstallSignalWake() {
  if (pipeFds[0] >= 0) return true;
  int fds[2];
  if (pipe(fds) != 0) return false;
  if (!SetFlags(fds[0]) || !SetFlags(fds[1])) {
    close(fds[0]);
    close(fds[1]);
    return false;
  }
  pipeFds[0] = fds[0];
  pipeFds[1] = fds[1];
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  return true;
}

int SignalWakeFd() { return pipeFds[0]; }

bool StopRequested() {
  if (pipeFds[0] >= 0) {
    char buffer[64];
    while (read(pipeFds[0], buffer, sizeof buffer) > 0) {
    }
  }
  return stopSignalled != 0;
}

}  // namespace portable
