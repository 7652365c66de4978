// The changed parts of a window as a grid of tiles, so that a picture copies the tiles that
// changed, not the box around them: curves scattered over the screen touch a small part of it.
#pragma once

#include <cstdint>
#include <vector>

#include "../../win32.h"

namespace portable {

class DirtyTiles {
 public:
  static constexpr int kTileSize = 32;  // pixels each way

  // A window of width x height, all clean; the grid follows the new size.
  void Resize(int width, int height);
  // Marks the tiles under `rect`, clipped to the window; empty or inverted rects mark nothing.
  void Add(const RECT& rect);
  void AddAll() { Add(RECT{0, 0, width_, height_}); }
  bool Empty() const { return count_ == 0; }
  // The dirty tiles as rectangles within the window, runs along a tile row joined into one,
  // a run joined with the one above it when they span the same columns. Clears the grid.
  void TakeRects(std::vector<RECT>* out);
  void Clear();

 private:
  int width_ = 0, height_ = 0;
  int columns_ = 0, rows_ = 0;
  std::vector<uint8_t> tiles_;       // rows_ x columns_, 1 when dirty
  size_t count_ = 0;                 // dirty tiles
  std::vector<size_t> open_, next_;  // TakeRects' scratch, kept for its storage
};

}  // namespace portable
