// One frame of a recording: the rectangle of pixels that changed since the picture before,
// in palette indices with a palette of its own, kept run-length coded until it is written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "png_writer.h"

namespace portable {

// A picture as the recorder sees it. Beyond its width and height it is black, so pictures of
// different sizes compare as the window would show them on a black canvas.
struct PictureView {
  const uint32_t* pixels = nullptr;  // 0x00RRGGBB
  int width = 0;
  int height = 0;
  int stride = 0;
  uint32_t At(int x, int y) const {
    return x < width && y < height ? pixels[static_cast<size_t>(y) * stride + x] : 0;
  }
};
PictureView ViewOf(const FrameCapture& frame);

struct FrameChange {
  // The changed rectangle; width 0 when nothing changed.
  int left = 0, top = 0, width = 0, height = 0;
  std::vector<uint32_t> palette;  // 0x00RRGGBB, at most 256 entries with the transparent one
  int transparent = -1;           // the index that leaves the pixel below as it was, or -1
  std::vector<uint8_t> runs;      // row by row, (count - 1, index) pairs; no run spans two rows
  bool lossy = false;             // more than 256 colours: the least used became the nearest kept
};

// How `after` differs from `before`. Without `before` (the first frame) the whole of `after`
// is stored, and its palette always holds black for a canvas larger than the picture.
FrameChange DescribeChange(const PictureView* before, const PictureView& after);

// The index of the palette colour nearest to `colour` (squared distance in RGB).
int NearestColour(const std::vector<uint32_t>& palette, size_t count, uint32_t colour);

// Calls `row(y, indices)` for every row of the change, indices one per pixel of the rectangle.
template <typename RowFn>
void ForEachRow(const FrameChange& change, RowFn row) {
  std::vector<uint8_t> line(static_cast<size_t>(change.width));
  size_t at = 0;
  for (int y = 0; y < change.height; ++y) {
    size_t x = 0;
    while (x < line.size() && at + 1 < change.runs.size()) {
      const size_t count = static_cast<size_t>(change.runs[at]) + 1;
      const uint8_t index = change.runs[at + 1];
      at += 2;
      for (size_t i = 0; i < count && x < line.size(); ++i) line[x++] = index;
    }
    row(change.top + y, line);
  }
}

}  // namespace portable
