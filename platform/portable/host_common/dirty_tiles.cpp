#include "dirty_tiles.h"

#include <algorithm>

namespace portable {

void DirtyTiles::Resize(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  columns_ = (width_ + kTileSize - 1) / kTileSize;
  rows_ = (height_ + kTileSize - 1) / kTileSize;
  tiles_.assign(static_cast<size_t>(columns_) * static_cast<size_t>(rows_), 0);
  count_ = 0;
}

void DirtyTiles::Add(const RECT& rect) {
  const LONG left = std::max<LONG>(rect.left, 0);
  const LONG top = std::max<LONG>(rect.top, 0);
  const LONG right = std::min<LONG>(rect.right, width_);
  const LONG bottom = std::min<LONG>(rect.bottom, height_);
  if (left >= right || top >= bottom) return;
  const int c0 = left / kTileSize, c1 = (right - 1) / kTileSize;
  const int r0 = top / kTileSize, r1 = (bottom - 1) / kTileSize;
  for (int r = r0; r <= r1; ++r) {
    uint8_t* row = tiles_.data() + static_cast<size_t>(r) * columns_;
    for (int c = c0; c <= c1; ++c) {
      count_ += row[c] == 0;
      row[c] = 1;
    }
  }
}

void DirtyTiles::TakeRects(std::vector<RECT>* out) {
  out->clear();
  if (count_ == 0) return;
  // Rectangles that reach down to the row being read, by index into `out`.
  open_.clear();
  for (int r = 0; r < rows_; ++r) {
    next_.clear();
    const uint8_t* row = tiles_.data() + static_cast<size_t>(r) * columns_;
    const LONG top = r * kTileSize, bottom = std::min(top + kTileSize, height_);
    for (int c = 0; c < columns_;) {
      if (!row[c]) {
        ++c;
        continue;
      }
      const int start = c;
      while (c < columns_ && row[c]) ++c;
      const LONG left = start * kTileSize, right = std::min(c * kTileSize, width_);
      size_t index = out->size();
      for (size_t i : open_) {
        if ((*out)[i].left == left && (*out)[i].right == right) {
          index = i;
          break;
        }
      }
      if (index == out->size()) {
        out->push_back(RECT{left, top, right, bottom});
      } else {
        (*out)[index].bottom = bottom;
      }
      next_.push_back(index);
    }
    open_.swap(next_);
  }
  Clear();
}

void DirtyTiles::Clear() {
  if (count_ == 0) return;
  std::fill(tiles_.begin(), tiles_.end(), 0);
  count_ = 0;
}

}  // namespace portable
