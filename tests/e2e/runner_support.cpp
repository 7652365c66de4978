#include "runner_support.h"

#include <fcntl.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/kit/reference_random.h"

namespace e2e {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "spirals-e2e-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const char* made = mkdtemp(buffer.data());
  path_ = made != nullptr ? made : "";
}

TempDir::~TempDir() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream f(path, std::ios::binary);
  f << text;
}

RunResult RunHeadless(const std::vector<std::string>& args) {
  TempDir dir;
  const std::string outPath = dir.File("stdout");
  const std::string errPath = dir.File("stderr");
  const std::string program = SPIRALS_BINARY_DIR "/spirals-headless";
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  RunResult result;
  const pid_t pid = fork();
  if (pid == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0) _exit(126);
    dup2(out, 1);
    dup2(err, 2);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  if (pid < 0) return result;
  int status = 0;
  if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) result.status = WEXITSTATUS(status);
  result.out = ReadFile(outPath);
  result.err = ReadFile(errPath);
  return result;
}

std::vector<TextLine> ParseTextLog(const std::string& log) {
  std::vector<TextLine> lines;
  std::istringstream in(log);
  std::string line;
  while (std::getline(in, line)) {
    TextLine t{};
    int used = 0;
    if (std::sscanf(line.c_str(), "%" SCNu64 " %d %d %n", &t.ms, &t.x, &t.y, &used) < 3) continue;
    // Exactly one blank separates the fields; the text keeps its own blanks.
    size_t start = 0;
    for (int fields = 0; fields < 3 && start < line.size(); ++start)
      if (line[start] == ' ') ++fields;
    t.text = line.substr(start);
    lines.push_back(t);
  }
  return lines;
}

std::vector<EventLine> ParseEventLog(const std::string& log) {
  std::vector<EventLine> lines;
  std::istringstream in(log);
  std::string line;
  while (std::getline(in, line)) {
    EventLine e{};
    if (std::sscanf(line.c_str(), "%" SCNu64 " %d %" SCNd32 " %" SCNu64, &e.ms, &e.depth,
                    &e.eventId, &e.param1) == 4)
      lines.push_back(e);
  }
  return lines;
}

bool LoadPng(const std::string& path, Image* out) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  // Only what the runner writes is accepted: 8-bit RGB without alpha.
  if (image.format != PNG_FORMAT_RGB) {
    png_image_free(&image);
    return false;
  }
  out->width = static_cast<int>(image.width);
  out->height = static_cast<int>(image.height);
  out->rgb.assign(PNG_IMAGE_SIZE(image), 0);
  if (!png_image_finish_read(&image, nullptr, out->rgb.data(), 0, nullptr)) {
    png_image_free(&image);
    return false;
  }
  return true;
}

StartValues StartValuesFor(uint32_t tickCount) {
  kit::ReferenceRandom random{kit::SeedFromTick(tickCount)};
  const int32_t curve = static_cast<int32_t>(random.NextHigh16() % 10) + 1;
  const double speed = static_cast<double>(random.NextHigh16() % 6) + 0.5;
  return {curve, speed};
}

namespace {

std::string NumberText(double v) {
  char buffer[64];
  const double whole = std::trunc(v);
  if (v == whole) {
    std::snprintf(buffer, sizeof buffer, " %lld", static_cast<long long>(whole));
  } else {
    std::snprintf(buffer, sizeof buffer, " %.2f", v);
  }
  return buffer;
}

}  // namespace

std::string StatusText(double speed, int32_t lastCurve) {
  return "Velocita'[ + - ] =" + NumberText(speed) + "   Tipo[ 1-9 ] =" + NumberText(lastCurve) +
         "       Mouse SX=Ridisegna  DX=Pausa  ESC=Esci          ";
}

std::string PauseText() {
  return "Pausa - Mouse DX=Contnua  ESC=Esci          " + std::string(255, ' ');
}

Summary ParseSummary(const std::string& out) {
  Summary s;
  const size_t at = out.rfind("client ");
  if (at == std::string::npos) return s;
  unsigned long long time = 0;
  int consumed = 0;
  if (std::sscanf(out.c_str() + at, "client %dx%d\ntime %llu\nexit %d\n%n", &s.clientWidth,
                  &s.clientHeight, &time, &s.exitCode, &consumed) == 4 &&
      at + static_cast<size_t>(consumed) == out.size()) {
    s.time = time;
    s.ok = true;
  }
  return s;
}

}  // namespace e2e

namespace e2e {

RunOutput RunFull(const RunPlan& plan) {
  TempDir dir;
  std::vector<std::string> args = {
      "--tick-count", std::to_string(plan.tickCount), "--screen",    plan.screen,
      "--run-ms",     std::to_string(plan.runMs),     "--png",       dir.File("frame.png"),
      "--text-log",   dir.File("text.log"),           "--event-log", dir.File("event.log")};
  if (!plan.events.empty()) {
    WriteFile(dir.File("events.txt"), plan.events);
    args.push_back("--events");
    args.push_back(dir.File("events.txt"));
  }
  RunOutput run;
  run.result = RunHeadless(args);
  run.summary = ParseSummary(run.result.out);
  run.text = ParseTextLog(ReadFile(dir.File("text.log")));
  run.events = ParseEventLog(ReadFile(dir.File("event.log")));
  run.pngBytes = ReadFile(dir.File("frame.png"));
  run.imageOk = LoadPng(dir.File("frame.png"), &run.image);
  return run;
}

std::vector<uint64_t> TickTimes(uint64_t start, uint64_t period, uint64_t end) {
  std::vector<uint64_t> times;
  for (uint64_t t = start + period; t <= end; t += period) times.push_back(t);
  return times;
}

std::vector<uint64_t> TimerTimes(const std::vector<EventLine>& events, uint64_t id, uint64_t from,
                                 uint64_t to) {
  std::vector<uint64_t> times;
  for (const EventLine& e : events)
    if (e.eventId == 275 && e.param1 == id && e.ms >= from && e.ms <= to) times.push_back(e.ms);
  return times;
}

std::string LastTextAtOrBefore(const std::vector<TextLine>& text, uint64_t ms) {
  std::string last;
  for (const TextLine& t : text)
    if (t.ms <= ms) last = t.text;
  return last;
}

int CountColoured(const Image& image, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = std::max(0, y0); y < std::min(image.height, y1); ++y)
    for (int x = std::max(0, x0); x < std::min(image.width, x1); ++x) {
      const uint32_t p = image.At(x, y);
      if (p != 0 && p != 0xFFFFFF) ++n;
    }
  return n;
}

}  // namespace e2e
