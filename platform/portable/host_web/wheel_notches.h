// The page's wheel events as the notches the desktop sends: one WM_MOUSEWHEEL of +120 (away
// from the user) or -120 per notch. Browsers report wheels in pixels, lines or pages, and
// touchpads in small steps; the remainder below one notch is kept for the next event.
#pragma once

namespace portable {

class WheelNotches {
 public:
  // WheelEvent.deltaMode values.
  static constexpr int kPixels = 0;
  static constexpr int kLines = 1;
  static constexpr int kPages = 2;
  // One event never makes more notches than this.
  static constexpr int kMaxPerEvent = 16;

  // A wheel event: `deltaY` in `deltaMode` units (positive towards the user) and the legacy
  // `wheelDeltaY` (positive away from the user, 120 a notch; 0 where the browser has none).
  // Returns the whole notches it completes, positive away from the user.
  int Add(int deltaMode, double deltaY, double wheelDeltaY);

  // Windows' wheel units not yet sent.
  double Pending() const { return pending_; }

 private:
  double pending_ = 0;
};

}  // namespace portable
