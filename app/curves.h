// The eleven curve slots and the operations that seed and advance them.
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

// Round to nearest, ties to even; NaN gives `low`, anything outside [low, high] is clamped.
int32_t nearestClamped(double value, int32_t low, int32_t high);
// A pixel coordinate: far-away values are clamped well outside any client area, never UB.
int32_t nearestCoordinate(double value);

// Scale of reseeded radii for a client width: (width div 400) + 0.2.
double radiusScale(int32_t width);

void resetCurves(int32_t n);
void reseedCurves(int32_t n);
void drawStep();
