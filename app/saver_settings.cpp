#include "saver_settings.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Longer texts are not numbers anyone typed.
constexpr size_t TEXT_LIMIT = 32;

bool onlyDigits(const char* begin, const char* end) {
  for (const char* p = begin; p != end; ++p) {
    if (*p < '0' || *p > '9') return false;
  }
  return true;
}

}  // namespace

bool ParseSaverCurves(const char* text, int32_t* curves) {
  if (text == nullptr) return false;
  const size_t length = std::strlen(text);
  if (length == 0 || length > TEXT_LIMIT || !onlyDigits(text, text + length)) return false;
  int32_t value = 0;
  const auto [end, error] = std::from_chars(text, text + length, value);
  if (error != std::errc() || end != text + length) return false;
  if (value < SAVER_CURVES_LOW || value > SAVER_CURVES_HIGH) return false;
  *curves = value;
  return true;
}

bool ParseSaverSpeed(const char* text, double* speed) {
  if (text == nullptr) return false;
  const size_t length = std::strlen(text);
  if (length == 0 || length > TEXT_LIMIT) return false;
  const char* end = text + length;
  const char* point = std::strchr(text, '.');
  if (point != nullptr) {
    if (length == 1 || !onlyDigits(text, point) || !onlyDigits(point + 1, end)) return false;
  } else if (!onlyDigits(text, end)) {
    return false;
  }
  // Digits with at most one point read alike in the "C" locale, the only one the program runs
  // in (it never sets another); strtod takes "2." and ".5" too. (Not from_chars: the browser
  // build's C++ library has no floating-point form of it.)
  char* stop = nullptr;
  const double value = std::strtod(text, &stop);
  if (stop != end) return false;
  if (!(value >= SAVER_SPEED_LOW && value <= SAVER_SPEED_HIGH)) return false;
  *speed = value;
  return true;
}

std::string FormatSaverSpeed(double speed) {
  char text[40] = "";
  for (int digits = 1; digits <= 17; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, speed);
    if (std::strtod(text, nullptr) == speed) break;
  }
  return text;
}

SaverSettings SaverSettingsFromStored(std::optional<uint32_t> curves,
                                      std::optional<std::string> speed,
                                      std::optional<uint32_t> monitors) {
  SaverSettings settings;
  if (curves && *curves >= static_cast<uint32_t>(SAVER_CURVES_LOW) &&
      *curves <= static_cast<uint32_t>(SAVER_CURVES_HIGH)) {
    settings.curves = static_cast<int32_t>(*curves);
  }
  double value = 0.0;
  if (speed && speed->find('\0') == std::string::npos && ParseSaverSpeed(speed->c_str(), &value)) {
    settings.speed = value;
  }
  settings.acrossMonitors = monitors && *monitors == 1;
  return settings;
}
