#include "wheel_notches.h"

#include <cmath>

namespace portable {
namespace {

constexpr double kNotch = 120;
// A notch is three lines, or about 100 pixels, in the browsers' usual settings.
constexpr double kUnitsPerLine = kNotch / 3;
constexpr double kUnitsPerPixel = kNotch / 100;

}  // namespace

int WheelNotches::Add(int deltaMode, double deltaY, double wheelDeltaY) {
  double units = 0;
  if (std::isfinite(wheelDeltaY) && wheelDeltaY != 0) {
    units = wheelDeltaY;
  } else if (std::isfinite(deltaY)) {
    switch (deltaMode) {
      case kLines: units = -deltaY * kUnitsPerLine; break;
      case kPages: units = -deltaY * kNotch; break;
      default: units = -deltaY * kUnitsPerPixel; break;
    }
  }
  if (units == 0) return 0;
  // Turning the other way forgets what was left of the last direction.
  if ((units > 0) != (pending_ > 0) && pending_ != 0) pending_ = 0;
  const double limit = kNotch * kMaxPerEvent;
  pending_ += units;
  if (pending_ > limit) pending_ = limit;
  if (pending_ < -limit) pending_ = -limit;
  const double whole = std::trunc(pending_ / kNotch);
  pending_ -= whole * kNotch;
  return static_cast<int>(whole);
}

}  // namespace portable
