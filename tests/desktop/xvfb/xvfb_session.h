// What the desktop tests need around a private virtual X server: starting it, running
// programs on it, screenshots, and patient polling.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace desktop_test {

// An Xvfb on a display number it chose itself (-displayfd), so tests running at the same time
// never share one. DISPLAY points at it while the session lives.
class XvfbSession {
 public:
  XvfbSession() = default;
  XvfbSession(const XvfbSession&) = delete;
  XvfbSession& operator=(const XvfbSession&) = delete;
  ~XvfbSession();
  // `depth` bits a pixel on the screen: 24 as most displays, 16 for a narrower one.
  bool Start(int width, int height, std::string* error, int depth = 24);
  const std::string& Display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

// A started program.
class Child {
 public:
  Child() = default;
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() { Kill(); }
  // `env` entries NAME=value are added to ours; "NAME=" alone removes NAME. Standard error
  // goes to `stderrPath` when given.
  bool Start(const std::vector<std::string>& argv, const std::vector<std::string>& env = {},
             const std::string& stderrPath = "");
  // Waits up to timeoutMs for the exit; true with the wait status in *status.
  bool WaitExit(int timeoutMs, int* status);
  bool Running();
  void Kill();
  pid_t Pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
};

// Runs a command to its end; its exit code (-1 when it could not run or was killed). Output
// goes to *out when given. Gives up after timeoutMs.
int Run(const std::vector<std::string>& argv, std::string* out = nullptr, int timeoutMs = 30000);

struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Decodes a binary PPM (P6, maxval 255).
bool DecodePpm(const std::string& data, Image* image);
// The whole screen of the current DISPLAY.
bool Screenshot(Image* image);

// Calls `done` every stepMs until it returns true or timeoutMs passed; its last answer.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs, int stepMs = 50);

std::string ReadFile(const std::string& path);
// A fresh empty folder under /tmp.
std::string MakeTempFolder();

}  // namespace desktop_test
