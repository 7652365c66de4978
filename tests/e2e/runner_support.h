// Running build/spirals-headless from tests: temp files, the process, its logs and its PNG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

struct RunResult {
  int status = -1;  // exit status, or -1 when the runner did not exit normally
  std::string out;
  std::string err;
};

// A fresh folder under the system's temp folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

RunResult RunHeadless(const std::vector<std::string>& args);
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);

struct TextLine {
  uint64_t ms;
  int x, y;
  std::string text;
};
std::vector<TextLine> ParseTextLog(const std::string& log);

struct EventLine {
  uint64_t ms;
  int depth;
  int32_t eventId;
  uint64_t param1;
};
std::vector<EventLine> ParseEventLog(const std::string& log);

struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
  uint32_t At(int x, int y) const {  // 0x00RRGGBB
    const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
  }
};
// Decodes an 8-bit RGB PNG with the system's libpng; false on any failure.
bool LoadPng(const std::string& path, Image* out);

// What the program draws at start-up for a tick count: lastCurve and speed from the
// generator seeded with (int32)tick / 2.
struct StartValues {
  int32_t lastCurve;
  double speed;
};
StartValues StartValuesFor(uint32_t tickCount);

// The status line and pause line as the program prints them.
std::string StatusText(double speed, int32_t lastCurve);
std::string PauseText();

// The summary lines at the end of standard output.
struct Summary {
  bool ok = false;
  int clientWidth = 0, clientHeight = 0;
  uint64_t time = 0;
  int exitCode = -1;
};
Summary ParseSummary(const std::string& out);

}  // namespace e2e

namespace e2e {

// One run with every output captured.
struct RunOutput {
  RunResult result;
  Summary summary;
  std::vector<TextLine> text;
  std::vector<EventLine> events;
  std::string pngBytes;
  Image image;
  bool imageOk = false;
};

struct RunPlan {
  uint32_t tickCount = 1000000;
  std::string screen = "1024x768";
  uint64_t runMs = 0;
  std::string events;  // contents of the events file; none when empty
};

RunOutput RunFull(const RunPlan& plan);

// Times at which a timer started at `start` with `period` ticks, up to `end` inclusive.
std::vector<uint64_t> TickTimes(uint64_t start, uint64_t period, uint64_t end);

// Event-log times of WM_TIMER for timer `id` within [from, to].
std::vector<uint64_t> TimerTimes(const std::vector<EventLine>& events, uint64_t id, uint64_t from,
                                 uint64_t to);

// The last text drawn at or before `ms`; empty when none.
std::string LastTextAtOrBefore(const std::vector<TextLine>& text, uint64_t ms);

// Pixels that are neither black nor white.
int CountColoured(const Image& image, int x0, int y0, int x1, int y1);

}  // namespace e2e
