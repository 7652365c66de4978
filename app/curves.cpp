#include "curves.h"

#include <cmath>

#include "../runtime/core/numeric.h"
#include "../runtime/graphics/draw.h"
#include "../runtime/window/pump.h"
#include "state.h"
#include "status_line.h"

namespace {

// Far outside any client area, yet far from overflowing when the layer adds an origin.
constexpr int32_t COORDINATE_LIMIT = 0x40000000;
// The double nearest to 0.01132 (0x3F872EF0AE536502).
constexpr double ANGLE_STEP = 0.01132;

int32_t slotLimit(int32_t n) { return n < CURVE_SLOTS - 1 ? n : CURVE_SLOTS - 1; }

}  // namespace

// To the nearest whole number, ties to even, as nearbyint gives it under the rounding to nearest
// that start-up sets: from 2^52 on every double is whole, and below, adding 2^52 of the same
// sign leaves no room for a fraction, so the sum's own rounding is the answer (2^52 is even, so
// ties keep going to even). Some C libraries round through the x87 unit, many times slower, and
// this runs twice for every point.
double roundHalfEven(double value) {
  constexpr double kWhole = 0x1p52;
  if (!(std::fabs(value) < kWhole)) return value;
  const double shift = std::copysign(kWhole, value);
  return std::copysign((value + shift) - shift, value);
}

int32_t nearestClamped(double value, int32_t low, int32_t high) {
  if (std::isnan(value)) return low;
  const double rounded = roundHalfEven(value);
  if (rounded <= static_cast<double>(low)) return low;
  if (rounded >= static_cast<double>(high)) return high;
  return static_cast<int32_t>(rounded);
}

int32_t nearestCoordinate(double value) {
  return nearestClamped(value, -COORDINATE_LIMIT, COORDINATE_LIMIT);
}

double radiusScale(int32_t width) { return static_cast<double>(width / 400) + 0.2; }

void resetCurves(int32_t n) {
  const int32_t last = slotLimit(n);
  for (int32_t i = 0; i <= last; ++i) {
    // Each draw is its own statement: the generator must be used in exactly this order.
    const float band = static_cast<float>(5 * i);
    float first = RandomReal(1.0f, band);
    float second = RandomReal(1.0f, 65.0f);
    curves.bigRadius[i] = static_cast<double>(first + second);
    first = RandomReal(1.0f, band);
    second = RandomReal(1.0f, 45.0f);
    curves.smallRadius[i] = static_cast<double>(first + second);
    first = RandomReal(1.0f, band);
    second = RandomReal(1.0f, 35.0f);
    curves.penDistance[i] = static_cast<double>(first + second);
    const float start = RandomReal(1.0f, static_cast<float>(300 * i)) + 25.0f;
    curves.angle[i] = static_cast<double>(start);
    curves.variantFlag[i] = i % 2;
  }
}

void reseedCurves(int32_t n) {
  PumpMessages(PUMP_DRAIN);
  const float selector = RandomReal(1.0f, 3.0f);
  variantSelector = nearestClamped(selector, 1, 3);
  const int32_t last = slotLimit(n);
  for (int32_t i = 0; i <= last; ++i) {
    const int32_t c1 = nearestClamped(RandomReal(1.0f, 255.0f), 0, 255);
    const int32_t c2 = nearestClamped(RandomReal(1.0f, 255.0f), 0, 255);
    const int32_t c3 = nearestClamped(RandomReal(1.0f, 255.0f), 0, 255);
    curves.colour[i] = static_cast<double>(RgbPack(c1, c3, c2));
    const float offset = static_cast<float>(3 * i);
    const float big = RandomReal(1.0f, 65.0f) + offset;
    const float small = RandomReal(1.0f, 45.0f) + offset;
    const float pen = RandomReal(1.0f, 35.0f) + offset;
    const double f = radiusScale(clientWidth);
    curves.bigRadius[i] = static_cast<double>(big) * f;
    curves.smallRadius[i] = static_cast<double>(small) * f;
    curves.penDistance[i] = static_cast<double>(pen) * f;
  }
}

void drawStep() {
  WaitForSingleObject(slotMutex, INFINITE);
  if (currentSlot < lastCurve) {
    ++currentSlot;
  } else {
    currentSlot = 0;
  }
  const int32_t s = currentSlot;
  ReleaseMutex(slotMutex);

  PumpMessages(PUMP_DRAIN);

  if (s >= 0 && s < CURVE_SLOTS) {
    for (int32_t point = 0; point < POINTS_PER_STEP; ++point) {
      const double advance = speed * ANGLE_STEP;
      curves.angle[s] = curves.angle[s] + advance;
      const double t = curves.angle[s];
      const double cosA = CosRad(t);
      const double sinA = SinRad(t);
      const double sum = curves.bigRadius[s] + curves.smallRadius[s];
      const double k = sum / curves.smallRadius[s];
      const double phase = k * t;
      const double centreX = static_cast<double>(clientWidth / 2);
      const double centreY = static_cast<double>(clientHeight / 2);
      const double ringX = sum * cosA;
      const double penX = curves.penDistance[s] * CosRad(phase);
      if (curves.variantFlag[s] == 1 && variantSelector == 1) {
        curves.x[s] = ringX - penX + centreX;
      } else {
        curves.x[s] = ringX + penX + centreX;
      }
      const double ringY = sum * sinA;
      const double penY = curves.penDistance[s] * SinRad(phase);
      curves.y[s] = ringY - penY + centreY;
      // An unseeded slot (radius 0) gives no finite point: nothing to plot.
      if (!std::isfinite(curves.x[s]) || !std::isfinite(curves.y[s])) continue;
      const int32_t colour = nearestClamped(curves.colour[s], 0, 0x00FFFFFF);
      DrawPoint(&mainWindow, nearestCoordinate(curves.x[s]), nearestCoordinate(curves.y[s]),
                static_cast<COLORREF>(colour));
    }
  }

  printStatusLine();
  ReleaseSemaphore(drawSemaphore, 1, nullptr);
}
