// The program's text log (SPIRALS_TEXT_LOG) as the desktop tests read it: every text drawn,
// with the status line's numbers picked out.
#pragma once

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "xvfb_session.h"

namespace desktop_test {

inline const std::string kSpeedLabel = "Velocita'[ + - ] =";
inline const std::string kCurveLabel = "   Tipo[ 1-9 ] =";

struct TextLine {
  long ms = 0;
  int x = 0;
  int y = 0;
  std::string text;
  bool IsStatus() const { return text.rfind(kSpeedLabel, 0) == 0; }
  // The number after the curve label; -1 when absent.
  int Curves() const {
    const size_t at = text.find(kCurveLabel);
    if (at == std::string::npos) return -1;
    return std::atoi(text.c_str() + at + kCurveLabel.size());
  }
  double Speed() const { return std::atof(text.c_str() + kSpeedLabel.size()); }
};

// The lines of the log at `path`, "<ms> <x> <y> <text>" each.
inline std::vector<TextLine> ReadTextLog(const std::string& path) {
  std::vector<TextLine> lines;
  std::istringstream in(ReadFile(path));
  std::string raw;
  while (std::getline(in, raw)) {
    TextLine line;
    std::istringstream fields(raw);
    if (!(fields >> line.ms >> line.x >> line.y)) continue;
    const size_t textAt = static_cast<size_t>(fields.tellg()) + 1;
    line.text = textAt <= raw.size() ? raw.substr(textAt) : "";
    lines.push_back(line);
  }
  return lines;
}

}  // namespace desktop_test
