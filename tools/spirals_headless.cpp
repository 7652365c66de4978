// spirals-headless: runs the spiral program on the headless host with a virtual clock and
// reports what happened (picture, texts, handler calls, final size, time and exit code).
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "../app/startup.h"
#include "../platform/portable/host_headless/gif_writer.h"
#include "../platform/portable/host_headless/headless_host.h"
#include "../runtime/window/event_dispatch.h"

namespace {

constexpr int EXIT_BAD_INPUT = 2;
constexpr uint32_t DEFAULT_GIF_FPS = 25;
// GIF delays count hundredths of a second, and players stretch delays under two of them.
constexpr uint32_t MAX_GIF_FPS = 50;

const char USAGE[] =
    "usage: spirals-headless [--tick-count N] [--screen WxH] [--run-ms MS] [--events FILE]\n"
    "                        [--png FILE] [--gif FILE [--gif-fps N]] [--text-log FILE]\n"
    "                        [--event-log FILE]\n";

struct Options {
  portable::HeadlessOptions host;
  std::string events, png, gif, textLog, eventLog;
  uint32_t gifFps = 0;  // 0: not given
};

[[noreturn]] void Refuse(const std::string& why) {
  std::fprintf(stderr, "spirals-headless: %s\n%s", why.c_str(), USAGE);
  std::exit(EXIT_BAD_INPUT);
}

template <typename T>
bool ParseNumber(const char* begin, const char* end, T* out) {
  if (begin == end || *begin == '-' || *begin == '+') return false;
  auto [ptr, ec] = std::from_chars(begin, end, *out);
  return ec == std::errc() && ptr == end;
}

bool ParseScreen(const std::string& text, SIZE* out) {
  const size_t x = text.find('x');
  if (x == std::string::npos) return false;
  int32_t w = 0;
  int32_t h = 0;
  const char* s = text.c_str();
  if (!ParseNumber(s, s + x, &w) || !ParseNumber(s + x + 1, s + text.size(), &h)) return false;
  if (w < 1 || h < 1 || w > 16384 || h > 16384) return false;
  *out = SIZE{w, h};
  return true;
}

Options ParseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (name == "--help" || name == "-h") {
      std::fputs(USAGE, stdout);
      std::exit(0);
    }
    if (i + 1 >= argc) Refuse("missing value after " + name);
    const std::string value = argv[++i];
    const char* v = value.c_str();
    if (name == "--tick-count") {
      if (!ParseNumber(v, v + value.size(), &o.host.tickBase))
        Refuse("--tick-count takes a number from 0 to 4294967295");
    } else if (name == "--screen") {
      if (!ParseScreen(value, &o.host.screen)) Refuse("--screen takes WxH, each 1 to 16384");
    } else if (name == "--run-ms") {
      if (!ParseNumber(v, v + value.size(), &o.host.runMs) || o.host.runMs > (1ull << 40))
        Refuse("--run-ms takes a whole number of milliseconds");
    } else if (name == "--events") {
      o.events = value;
    } else if (name == "--png") {
      o.png = value;
    } else if (name == "--gif") {
      o.gif = value;
    } else if (name == "--gif-fps") {
      if (!ParseNumber(v, v + value.size(), &o.gifFps) || o.gifFps < 1 || o.gifFps > MAX_GIF_FPS)
        Refuse("--gif-fps takes a whole number of frames a second from 1 to 50");
    } else if (name == "--text-log") {
      o.textLog = value;
    } else if (name == "--event-log") {
      o.eventLog = value;
    } else {
      Refuse("unknown option " + name);
    }
  }
  if (o.gifFps != 0 && o.gif.empty()) Refuse("--gif-fps needs --gif FILE");
  if (o.gifFps == 0) o.gifFps = DEFAULT_GIF_FPS;
  return o;
}

std::vector<portable::ScriptedInput> ReadEvents(const std::string& path) {
  if (path.empty()) return {};
  std::ifstream file(path, std::ios::binary);
  if (!file) Refuse("cannot read the events file " + path);
  std::ostringstream text;
  text << file.rdbuf();
  portable::ScheduleParseResult parsed = portable::ParseInputSchedule(text.str());
  if (!parsed.ok) {
    std::fprintf(stderr, "spirals-headless: %s: line %d: %s\n", path.c_str(), parsed.line,
                 parsed.error.c_str());
    std::exit(EXIT_BAD_INPUT);
  }
  return std::move(parsed.inputs);
}

// Opened before the run, so that a file that cannot be written is refused at once.
int OpenRecording(const std::string& path) {
  if (path.empty()) return -1;
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) Refuse("cannot write " + path + ": " + std::strerror(errno));
  return fd;
}

// Writes the recording; false after saying why on standard error.
bool FinishRecording(const portable::HeadlessHost& host, int fd, const std::string& path) {
  const portable::FrameRecorder* recorder = host.Recorder();
  std::string error = "nothing was recorded";
  bool ok = false;
  if (recorder != nullptr && recorder->Finished()) {
    ok = portable::WriteGif(recorder->Result(), fd, &error);
    const size_t lossy = recorder->Result().lossyFrames;
    if (ok && lossy > 0) {
      std::fprintf(stderr,
                   "spirals-headless: %zu frame%s of %s showed more than 256 colours; each kept "
                   "its 256 most used and drew the others in the nearest of them\n",
                   lossy, lossy == 1 ? "" : "s", path.c_str());
    }
  } else {
    close(fd);
  }
  if (!ok)
    std::fprintf(stderr, "spirals-headless: cannot write the recording to %s: %s\n", path.c_str(),
                 error.c_str());
  return ok;
}

FILE* OpenLog(const std::string& path) {
  if (path.empty()) return nullptr;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) Refuse("cannot write " + path);
  return f;
}

portable::HeadlessHost* host = nullptr;
FILE* eventLog = nullptr;

void LogDispatch(int32_t eventId, WPARAM param1, int32_t depth) {
  std::fprintf(eventLog, "%llu %d %d %llu\n", static_cast<unsigned long long>(host->NowMs()), depth,
               eventId, static_cast<unsigned long long>(param1));
}

}  // namespace

int main(int argc, char** argv) {
  static Options options = ParseOptions(argc, argv);
  std::vector<portable::ScriptedInput> inputs = ReadEvents(options.events);
  FILE* textLog = OpenLog(options.textLog);
  eventLog = OpenLog(options.eventLog);
  static const int gifFd = OpenRecording(options.gif);

  // Lives until the process ends: ExitProcess reports through it.
  static portable::HeadlessHost headless(options.host, std::move(inputs));
  host = &headless;
  if (gifFd >= 0) host->RecordFrames(options.gifFps);
  portable::SetHost(host);
  if (textLog != nullptr) {
    host->SetTextHandler([textLog](uint64_t ms, int x, int y, const char* text, int length) {
      std::fprintf(textLog, "%llu %d %d ", static_cast<unsigned long long>(ms), x, y);
      std::fwrite(text, 1, static_cast<size_t>(length), textLog);
      std::fputc('\n', textLog);
    });
  }
  if (eventLog != nullptr) DispatchObserver = LogDispatch;
  host->SetExitHandler([textLog](UINT) {
    bool ok = true;
    DispatchObserver = nullptr;
    if (eventLog != nullptr && std::fclose(eventLog) != 0) ok = false;
    if (textLog != nullptr && std::fclose(textLog) != 0) ok = false;
    eventLog = nullptr;
    if (!options.png.empty() && !portable::WritePng(host->LastFrame(), options.png.c_str())) {
      std::fprintf(stderr, "spirals-headless: cannot write the picture to %s\n",
                   options.png.c_str());
      ok = false;
    }
    if (gifFd >= 0 && !FinishRecording(*host, gifFd, options.gif)) ok = false;
    if (!ok) std::fprintf(stderr, "spirals-headless: an output could not be written\n");
    return ok;
  });
  SpiralsMain();
}
