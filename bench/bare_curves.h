// The drawing step without the window system: the same points, computed with the same
// formulas and roundings as drawStep, written straight into a plain pixel buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "../app/curves.h"

namespace bench {

struct PixelBuffer {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, like the layer's framebuffer

  PixelBuffer(int32_t w, int32_t h)
      : width(w), height(h), pixels(static_cast<std::size_t>(w) * h) {}
};

// Everything drawStep reads, copied out of the application so both run on the same curves.
struct BareCurves {
  CurveSet curves{};
  double speed = 0.0;
  int32_t lastCurve = 0;
  int32_t currentSlot = 0;
  int32_t variantSelector = 0;
  int32_t clientWidth = 0;
  int32_t clientHeight = 0;
};

// A copy of the application's current curve state.
BareCurves CaptureAppCurves();

// One step: the next slot advanced by 400 points, each written as one pixel (clipped to the
// buffer, as the layer clips to the client area). Returns the pixels written.
int32_t BareStep(BareCurves& state, PixelBuffer& buffer);

// One raw pixel write: clip and store, COLORREF (0x00BBGGRR) turned into 0x00RRGGBB.
inline bool WritePixel(PixelBuffer& buffer, int32_t x, int32_t y, uint32_t colorref) {
  if (x < 0 || y < 0 || x >= buffer.width || y >= buffer.height) return false;
  const uint32_t rgb = (colorref & 0xFFu) << 16 | (colorref & 0xFF00u) | (colorref >> 16 & 0xFFu);
  buffer.pixels[static_cast<std::size_t>(y) * buffer.width + x] = rgb;
  return true;
}

}  // namespace bench
