#include "child_run.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

namespace bench {
namespace {

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; }

double MonotonicSeconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

}  // namespace

int RunChild(char** argv) {
  if (argv == nullptr || argv[0] == nullptr) {
    std::fprintf(stderr, "spirals_bench: --run-child needs a program\n");
    return 2;
  }
  std::fflush(nullptr);
  const double start = MonotonicSeconds();
  const pid_t pid = fork();
  if (pid < 0) {
    std::perror("spirals_bench: fork");
    return 2;
  }
  if (pid == 0) {
    dup2(STDERR_FILENO, STDOUT_FILENO);
    execv(argv[0], argv);
    std::perror("spirals_bench: exec");
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  pid_t waited = -1;
  do {
    waited = wait4(pid, &status, 0, &usage);
  } while (waited < 0 && errno == EINTR);
  const double wall = MonotonicSeconds() - start;
  if (waited != pid) {
    std::perror("spirals_bench: wait4");
    return 2;
  }
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  std::printf("wall_s=%.4f user_s=%.4f sys_s=%.4f maxrss_kib=%ld status=%d\n", wall,
              Seconds(usage.ru_utime), Seconds(usage.ru_stime), usage.ru_maxrss, code);
  return code == 0 ? 0 : 1;
}

}  // namespace bench
