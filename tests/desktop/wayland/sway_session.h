// A private headless Wayland compositor for the desktop tests: sway with its headless backend
// and pixman renderer, one output, no XWayland. sway refuses to run as root; run as root, the
// tests start it as the system user that scripts/setup makes for the saver daemon.
#pragma once

#include <string>
#include <vector>

#include "../xvfb/xvfb_session.h"

namespace desktop_test {

class SwaySession {
 public:
  SwaySession() = default;
  SwaySession(const SwaySession&) = delete;
  SwaySession& operator=(const SwaySession&) = delete;
  ~SwaySession();

  // Starts it with one width x height output of that integer scale; false with the reason in
  // *error when no compositor can start here (sway's own words included).
  bool Start(int width, int height, std::string* error, int scale = 1);
  // WAYLAND_DISPLAY for its clients: the socket's absolute path.
  const std::string& Display() const { return display_; }
  pid_t Pid() const { return sway_.Pid(); }
  // Ends it at once, as a crash would.
  void Kill() { sway_.Kill(); }

  // swaymsg with these arguments; its exit code, its output in *out.
  int Message(const std::vector<std::string>& arguments, std::string* out = nullptr) const;
  // A client of this compositor (grim, wtype, ...) run to its end.
  int Client(const std::vector<std::string>& argv, std::string* out = nullptr) const;
  // The whole output, through grim.
  bool Screenshot(Image* image) const;

 private:
  Child sway_;
  std::string folder_;  // the runtime folder: sockets, configuration, log
  std::string display_;
  std::string ipc_;
};

}  // namespace desktop_test
