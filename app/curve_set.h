// The eleven curve slots: where each curve is, its shape and its colour.
#pragma once

#include <cstdint>

constexpr int32_t CURVE_SLOTS = 11;
constexpr int32_t POINTS_PER_STEP = 400;
// Timer-driven steps allowed open at once; a further one is refused so nesting stays bounded.
constexpr int32_t MAX_OPEN_TIMER_STEPS = 10;

struct CurveSet {
  double x[CURVE_SLOTS];
  double y[CURVE_SLOTS];
  double angle[CURVE_SLOTS];
  double bigRadius[CURVE_SLOTS];
  double smallRadius[CURVE_SLOTS];
  double penDistance[CURVE_SLOTS];
  double colour[CURVE_SLOTS];
  int32_t variantFlag[CURVE_SLOTS];
};
