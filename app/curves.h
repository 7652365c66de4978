// The eleven curve slots and the operations that seed and advance them.
#pragma once

#include <cstdint>

#include "curve_set.h"

// The nearest whole number, ties to even (nearbyint under rounding to nearest).
double roundHalfEven(double value);
// Round to nearest, ties to even; NaN gives `low`, anything outside [low, high] is clamped.
int32_t nearestClamped(double value, int32_t low, int32_t high);
// A pixel coordinate: far-away values are clamped well outside any client area, never UB.
int32_t nearestCoordinate(double value);

// Scale of reseeded radii for a client width: (width div 400) + 0.2.
double radiusScale(int32_t width);

void resetCurves(int32_t n);
void reseedCurves(int32_t n);
void drawStep();
