// The screen saver's settings, the same on both platforms: what they may hold and how their
// stored and typed forms read. Plain C++ only, so the Windows saver's registry and dialog code,
// built against the system's headers, uses it too.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "../platform/plain_rect.h"

constexpr int32_t SAVER_CURVES_LOW = 2;
constexpr int32_t SAVER_CURVES_HIGH = 11;
// The band the speed ladders keep the speed in.
constexpr double SAVER_SPEED_LOW = 0.1;
constexpr double SAVER_SPEED_HIGH = 15.0;

struct SaverSettings {
  int32_t curves = 0;           // 0: as drawn at start-up; else 2 to 11 curves
  double speed = 0.0;           // 0: as drawn at start-up; else 0.1 to 15
  bool acrossMonitors = false;  // Windows: one window over all monitors instead of one each
};

// A whole number of curves, 2 to 11: decimal digits only.
bool ParseSaverCurves(const char* text, int32_t* curves);
// A speed from 0.1 to 15 written as digits with at most one decimal point (".5" and "2."
// too); no sign, blank or exponent.
bool ParseSaverSpeed(const char* text, double* speed);
// The shortest decimal text that reads back as `speed` ("2.5", "0.1", "15").
std::string FormatSaverSpeed(double speed);

// The settings from their stored values, each absent when missing or of the wrong type. A
// value that is absent, out of range or malformed reads as its default.
SaverSettings SaverSettingsFromStored(std::optional<uint32_t> curves,
                                      std::optional<std::string> speed,
                                      std::optional<uint32_t> monitors);
