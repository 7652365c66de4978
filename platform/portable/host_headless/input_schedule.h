// Scripted input for headless runs: one input a line, `<ms> <what> [args]`, '#' comments.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace portable {

enum class ScriptedInputKind { Key, Wheel, LeftButton, RightButton, Close, Resize };

struct ScriptedInput {
  uint64_t atMs = 0;
  ScriptedInputKind kind = ScriptedInputKind::Key;
  int32_t a = 0;  // key: virtual key; wheel: notches; buttons: x; resize: width
  int32_t b = 0;  // buttons: y; resize: height
};

struct ScheduleParseResult {
  bool ok = true;
  int line = 0;                       // line number of the first malformed line
  std::string error;                  // what is wrong with it
  std::vector<ScriptedInput> inputs;  // in time order; equal times keep file order
};

ScheduleParseResult ParseInputSchedule(const std::string& text);

}  // namespace portable
