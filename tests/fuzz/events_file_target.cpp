// The headless runner's events file parser on any bytes. A file is either accepted, giving
// its inputs in time order with every value in range and surviving a round trip through its
// own text, or refused with one printable line that names the first bad line; parsing is line
// by line, so that line alone fails the same way and the lines before it pass.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "../../platform/portable/host_headless/input_schedule.h"
#include "fuzz_input.h"

namespace {

using portable::ScheduleParseResult;
using portable::ScriptedInput;
using portable::ScriptedInputKind;

bool InRange(const ScriptedInput& in) {
  switch (in.kind) {
    case ScriptedInputKind::Key: return in.a >= 1 && in.a <= 254 && in.b == 0;
    case ScriptedInputKind::Wheel: return in.a != 0 && in.a >= -273 && in.a <= 273 && in.b == 0;
    case ScriptedInputKind::LeftButton:
    case ScriptedInputKind::RightButton:
      return in.a >= -32768 && in.a <= 32767 && in.b >= -32768 && in.b <= 32767;
    case ScriptedInputKind::Close: return in.a == 0 && in.b == 0;
    case ScriptedInputKind::Resize: return in.a >= 1 && in.a <= 16384 && in.b >= 1 && in.b <= 16384;
  }
  return false;
}

std::string Line(const ScriptedInput& in) {
  std::string s = std::to_string(in.atMs);
  switch (in.kind) {
    case ScriptedInputKind::Key: return s + " key " + std::to_string(in.a);
    case ScriptedInputKind::Wheel: return s + " wheel " + std::to_string(in.a);
    case ScriptedInputKind::LeftButton:
      return s + " lbutton " + std::to_string(in.a) + " " + std::to_string(in.b);
    case ScriptedInputKind::RightButton:
      return s + " rbutton " + std::to_string(in.a) + " " + std::to_string(in.b);
    case ScriptedInputKind::Close: return s + " close";
    case ScriptedInputKind::Resize:
      return s + " resize " + std::to_string(in.a) + " " + std::to_string(in.b);
  }
  return s;
}

bool Same(const std::vector<ScriptedInput>& a, const std::vector<ScriptedInput>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].atMs != b[i].atMs || a[i].kind != b[i].kind || a[i].a != b[i].a || a[i].b != b[i].b)
      return false;
  }
  return true;
}

// The lines as the parser sees them: split at '\n', a last line without one counts.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// What the line holds once its comment is cut: tokens or nothing.
bool HasTokens(const std::string& line) {
  const std::string body = line.substr(0, line.find('#'));
  return std::any_of(body.begin(), body.end(), [](char c) {
    return c != ' ' && c != '\t' && c != '\r' && c != '\v' && c != '\f';
  });
}

void CheckRefusal(const std::string& text, const ScheduleParseResult& r) {
  FUZZ_CHECK(r.inputs.empty());
  FUZZ_CHECK(!r.error.empty());
  // The message is printed after "file: line N: ", so it must read as one short line.
  FUZZ_CHECK(r.error.size() <= 120);
  for (char c : r.error) FUZZ_CHECK(c >= 0x20 && c <= 0x7E);
  const std::vector<std::string> lines = SplitLines(text);
  FUZZ_CHECK(r.line >= 1 && static_cast<size_t>(r.line) <= lines.size());
  const std::string& bad = lines[static_cast<size_t>(r.line) - 1];
  FUZZ_CHECK(HasTokens(bad));
  const ScheduleParseResult alone = portable::ParseInputSchedule(bad);
  FUZZ_CHECK(!alone.ok && alone.line == 1 && alone.error == r.error);
  std::string before;
  for (int i = 0; i + 1 < r.line; ++i) before += lines[static_cast<size_t>(i)] + "\n";
  FUZZ_CHECK(portable::ParseInputSchedule(before).ok);
}

void CheckAcceptance(const std::string& text, const ScheduleParseResult& r) {
  FUZZ_CHECK(r.error.empty());
  size_t inputLines = 0;
  for (const std::string& line : SplitLines(text)) inputLines += HasTokens(line) ? 1 : 0;
  FUZZ_CHECK(r.inputs.size() == inputLines);
  for (size_t i = 0; i < r.inputs.size(); ++i) {
    FUZZ_CHECK(InRange(r.inputs[i]));
    if (i > 0) FUZZ_CHECK(r.inputs[i - 1].atMs <= r.inputs[i].atMs);
  }
  std::string again;
  for (const ScriptedInput& in : r.inputs) again += Line(in) + "\n";
  const ScheduleParseResult reparsed = portable::ParseInputSchedule(again);
  FUZZ_CHECK(reparsed.ok);
  FUZZ_CHECK(Same(reparsed.inputs, r.inputs));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const ScheduleParseResult r = portable::ParseInputSchedule(text);
  if (r.ok) {
    CheckAcceptance(text, r);
  } else {
    CheckRefusal(text, r);
  }
  return 0;
}
