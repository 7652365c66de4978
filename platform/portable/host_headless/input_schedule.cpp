#include "input_schedule.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <sstream>

namespace portable {
namespace {

constexpr int32_t MAX_WHEEL_NOTCHES = 273;  // 120 x 273 still fits the signed 16-bit delta
constexpr int32_t MAX_COORDINATE = 32767;
constexpr int32_t MAX_WINDOW_SIZE = 16384;

bool ParseUnsigned(const std::string& token, uint64_t* out) {
  if (token.empty() || token[0] == '-' || token[0] == '+') return false;
  const char* end = token.data() + token.size();
  auto [ptr, ec] = std::from_chars(token.data(), end, *out);
  return ec == std::errc() && ptr == end;
}

bool ParseInt(const std::string& token, int32_t low, int32_t high, int32_t* out) {
  if (token.empty() || token[0] == '+') return false;
  const char* end = token.data() + token.size();
  int64_t value = 0;
  auto [ptr, ec] = std::from_chars(token.data(), end, value);
  if (ec != std::errc() || ptr != end || value < low || value > high) return false;
  *out = static_cast<int32_t>(value);
  return true;
}

// A word of the file as a message shows it: printable ASCII as it is, any other byte as \xNN,
// a long word cut short, so that the message stays one short line whatever the file holds.
std::string Quoted(const std::string& word) {
  constexpr size_t kShown = 24;
  std::string out = "'";
  for (size_t i = 0; i < word.size() && i < kShown; ++i) {
    const auto c = static_cast<unsigned char>(word[i]);
    if (c >= 0x20 && c <= 0x7E) {
      out += static_cast<char>(c);
    } else {
      char hex[5];
      std::snprintf(hex, sizeof(hex), "\\x%02X", c);
      out += hex;
    }
  }
  if (word.size() > kShown) out += "...";
  return out + "'";
}

// Parses the tokens of one line; empty `error` means success.
std::string ParseLine(const std::vector<std::string>& t, ScriptedInput* in) {
  if (!ParseUnsigned(t[0], &in->atMs)) return "the time must be a whole number of milliseconds";
  if (t.size() < 2) return "an input is missing after the time";
  const std::string& what = t[1];
  const size_t args = t.size() - 2;
  if (what == "key") {
    if (args != 1) return "key takes one virtual-key code";
    in->kind = ScriptedInputKind::Key;
    if (!ParseInt(t[2], 1, 254, &in->a)) return "the virtual-key code must be 1 to 254";
  } else if (what == "wheel") {
    if (args != 1) return "wheel takes one number of notches";
    in->kind = ScriptedInputKind::Wheel;
    if (!ParseInt(t[2], -MAX_WHEEL_NOTCHES, MAX_WHEEL_NOTCHES, &in->a) || in->a == 0)
      return "the notches must be a non-zero whole number from -273 to 273";
  } else if (what == "lbutton" || what == "rbutton") {
    if (args != 2) return what + " takes a client x and y";
    in->kind = what == "lbutton" ? ScriptedInputKind::LeftButton : ScriptedInputKind::RightButton;
    if (!ParseInt(t[2], -MAX_COORDINATE - 1, MAX_COORDINATE, &in->a) ||
        !ParseInt(t[3], -MAX_COORDINATE - 1, MAX_COORDINATE, &in->b))
      return "the coordinates must be whole numbers from -32768 to 32767";
  } else if (what == "close") {
    if (args != 0) return "close takes no arguments";
    in->kind = ScriptedInputKind::Close;
  } else if (what == "resize") {
    if (args != 2) return "resize takes an outer width and height";
    in->kind = ScriptedInputKind::Resize;
    if (!ParseInt(t[2], 1, MAX_WINDOW_SIZE, &in->a) || !ParseInt(t[3], 1, MAX_WINDOW_SIZE, &in->b))
      return "the size must be whole numbers from 1 to 16384";
  } else {
    return "unknown input " + Quoted(what);
  }
  return {};
}

}  // namespace

ScheduleParseResult ParseInputSchedule(const std::string& text) {
  ScheduleParseResult result;
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::vector<std::string> tokens;
    for (std::string w; words >> w;) tokens.push_back(w);
    if (tokens.empty()) continue;
    ScriptedInput input;
    std::string error = ParseLine(tokens, &input);
    if (!error.empty()) {
      result.ok = false;
      result.line = number;
      result.error = error;
      result.inputs.clear();
      return result;
    }
    result.inputs.push_back(input);
  }
  std::stable_sort(result.inputs.begin(), result.inputs.end(),
                   [](const ScriptedInput& x, const ScriptedInput& y) { return x.atMs < y.atMs; });
  return result;
}

}  // namespace portable
