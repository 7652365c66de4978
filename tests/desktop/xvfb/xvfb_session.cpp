#include "xvfb_session.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace desktop_test {
namespace {

using Clock = std::chrono::steady_clock;

int ElapsedMs(Clock::time_point since) {
  return static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (std::string& s : strings) out.push_back(s.data());
  out.push_back(nullptr);
  return out;
}

std::vector<std::string> MergedEnvironment(const std::vector<std::string>& changes) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) env.emplace_back(*e);
  for (const std::string& change : changes) {
    const std::string name = change.substr(0, change.find('=') + 1);
    std::erase_if(env, [&](const std::string& e) { return e.compare(0, name.size(), name) == 0; });
    if (change.size() > name.size()) env.push_back(change);
  }
  return env;
}

bool WaitPid(pid_t pid, int timeoutMs, int* status) {
  const auto start = Clock::now();
  for (;;) {
    const pid_t r = waitpid(pid, status, WNOHANG);
    if (r == pid) return true;
    if (r < 0) return false;
    if (ElapsedMs(start) >= timeoutMs) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace

XvfbSession::~XvfbSession() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    int status = 0;
    if (!WaitPid(pid_, 5000, &status)) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
    }
  }
}

bool XvfbSession::Start(int width, int height, std::string* error, int depth) {
  int fds[2];
  if (pipe(fds) != 0) {
    *error = "pipe failed";
    return false;
  }
  const std::string screen =
      std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(depth);
  std::vector<std::string> args = {
      "Xvfb",     "-displayfd", std::to_string(fds[1]), "-screen", "0", screen, "-nolisten", "tcp",
      "-noreset", "-br"};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  auto argv = Pointers(args);
  const int rc = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (rc != 0) {
    close(fds[0]);
    pid_ = -1;
    *error = "cannot start Xvfb (is the xvfb package installed?)";
    return false;
  }
  // Xvfb writes its display number once it accepts clients.
  std::string number;
  const auto start = Clock::now();
  while (number.find('\n') == std::string::npos && ElapsedMs(start) < 30000) {
    pollfd p{fds[0], POLLIN, 0};
    if (poll(&p, 1, 200) <= 0) continue;
    char buffer[32];
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    number.append(buffer, static_cast<size_t>(n));
  }
  close(fds[0]);
  if (number.find('\n') == std::string::npos) {
    *error = "Xvfb did not report a display";
    return false;
  }
  // Built in place: GCC 12 at -O3 misreads `":" + substr` as an overlapping copy.
  display_.assign(1, ':');
  display_.append(number, 0, number.find('\n'));
  setenv("DISPLAY", display_.c_str(), 1);
  return true;
}

bool Child::Start(const std::vector<std::string>& argvIn, const std::vector<std::string>& env,
                  const std::string& stderrPath) {
  std::vector<std::string> args = argvIn;
  std::vector<std::string> envStrings = MergedEnvironment(env);
  auto argv = Pointers(args);
  auto envp = Pointers(envStrings);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!stderrPath.empty()) {
    posix_spawn_file_actions_addopen(&actions, 2, stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
  }
  const int rc = posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) pid_ = -1;
  return rc == 0;
}

bool Child::WaitExit(int timeoutMs, int* status) {
  if (pid_ <= 0) return false;
  if (!WaitPid(pid_, timeoutMs, status)) return false;
  pid_ = -1;
  return true;
}

bool Child::Running() {
  if (pid_ <= 0) return false;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) == pid_) {
    pid_ = -1;
    return false;
  }
  return true;
}

void Child::Kill() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
}

int Run(const std::vector<std::string>& argvIn, std::string* out, int timeoutMs) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  std::vector<std::string> args = argvIn;
  auto argv = Pointers(args);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_addclose(&actions, fds[1]);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (rc != 0) {
    close(fds[0]);
    return -1;
  }
  std::string data;
  const auto start = Clock::now();
  for (;;) {
    pollfd p{fds[0], POLLIN, 0};
    const int left = timeoutMs - ElapsedMs(start);
    if (left <= 0) break;
    if (poll(&p, 1, left) <= 0) break;
    char buffer[65536];
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    data.append(buffer, static_cast<size_t>(n));
  }
  close(fds[0]);
  int status = 0;
  if (!WaitPid(pid, std::max(timeoutMs - ElapsedMs(start), 1000), &status)) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
  }
  if (out) *out = std::move(data);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool DecodePpm(const std::string& data, Image* image) {
  size_t pos = 0;
  // Header: P6, width, height, maxval, separated by blanks and comments.
  auto next = [&](long* value) {
    while (pos < data.size()) {
      if (data[pos] == '#') {
        while (pos < data.size() && data[pos] != '\n') ++pos;
      } else if (std::isspace(static_cast<unsigned char>(data[pos]))) {
        ++pos;
      } else {
        break;
      }
    }
    const size_t begin = pos;
    while (pos < data.size() && std::isdigit(static_cast<unsigned char>(data[pos]))) ++pos;
    if (pos == begin || pos - begin > 6) return false;
    *value = std::stol(data.substr(begin, pos - begin));
    return true;
  };
  if (data.size() < 2 || data[0] != 'P' || data[1] != '6') return false;
  pos = 2;
  long width = 0, height = 0, maxval = 0;
  if (!next(&width) || !next(&height) || !next(&maxval) || maxval != 255 || width <= 0 ||
      height <= 0)
    return false;
  ++pos;  // the one blank before the pixels
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  if (data.size() < pos + count * 3) return false;
  image->width = static_cast<int>(width);
  image->height = static_cast<int>(height);
  image->pixels.resize(count);
  const auto* p = reinterpret_cast<const unsigned char*>(data.data() + pos);
  for (size_t i = 0; i < count; ++i, p += 3) {
    image->pixels[i] =
        (static_cast<uint32_t>(p[0]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[2];
  }
  return true;
}

bool Screenshot(Image* image) {
  std::string data;
  if (Run({"import", "-window", "root", "-depth", "8", "ppm:-"}, &data) != 0) return false;
  return DecodePpm(data, image);
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs, int stepMs) {
  const auto start = Clock::now();
  for (;;) {
    if (done()) return true;
    if (ElapsedMs(start) >= timeoutMs) return done();
    std::this_thread::sleep_for(std::chrono::milliseconds(stepMs));
  }
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string MakeTempFolder() {
  char path[] = "/tmp/spirals_desktop_XXXXXX";
  return mkdtemp(path) ? path : "/tmp";
}

}  // namespace desktop_test
