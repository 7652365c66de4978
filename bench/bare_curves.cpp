#include "bare_curves.h"

#include <cmath>

#include "../app/state.h"
#include "../runtime/core/numeric.h"

namespace bench {
namespace {

// The double nearest to 0.01132, as drawStep uses it.
constexpr double ANGLE_STEP = 0.01132;

}  // namespace

BareCurves CaptureAppCurves() {
  BareCurves state;
  state.curves = curves;
  state.speed = speed;
  state.lastCurve = lastCurve;
  state.currentSlot = currentSlot;
  state.variantSelector = variantSelector;
  state.clientWidth = clientWidth;
  state.clientHeight = clientHeight;
  return state;
}

int32_t BareStep(BareCurves& state, PixelBuffer& buffer) {
  state.currentSlot = state.currentSlot < state.lastCurve ? state.currentSlot + 1 : 0;
  const int32_t s = state.currentSlot;
  if (s < 0 || s >= CURVE_SLOTS) return 0;
  CurveSet& c = state.curves;
  int32_t written = 0;
  for (int32_t point = 0; point < POINTS_PER_STEP; ++point) {
    const double advance = state.speed * ANGLE_STEP;
    c.angle[s] = c.angle[s] + advance;
    const double t = c.angle[s];
    const double cosA = CosRad(t);
    const double sinA = SinRad(t);
    const double sum = c.bigRadius[s] + c.smallRadius[s];
    const double k = sum / c.smallRadius[s];
    const double phase = k * t;
    const double centreX = static_cast<double>(state.clientWidth / 2);
    const double centreY = static_cast<double>(state.clientHeight / 2);
    const double ringX = sum * cosA;
    const double penX = c.penDistance[s] * CosRad(phase);
    if (c.variantFlag[s] == 1 && state.variantSelector == 1) {
      c.x[s] = ringX - penX + centreX;
    } else {
      c.x[s] = ringX + penX + centreX;
    }
    const double ringY = sum * sinA;
    const double penY = c.penDistance[s] * SinRad(phase);
    c.y[s] = ringY - penY + centreY;
    if (!std::isfinite(c.x[s]) || !std::isfinite(c.y[s])) continue;
    const int32_t colour = nearestClamped(c.colour[s], 0, 0x00FFFFFF);
    if (WritePixel(buffer, nearestCoordinate(c.x[s]), nearestCoordinate(c.y[s]),
                   static_cast<uint32_t>(colour))) {
      ++written;
    }
  }
  return written;
}

}  // namespace bench
