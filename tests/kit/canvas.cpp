#include "tests/kit/canvas.h"

namespace kit {

Canvas::Canvas(int width, int height, COLORREF fill, HDC like) : width_(width), height_(height) {
  dc_ = CreateCompatibleDC(like);
  bitmap_ = CreateCompatibleBitmap(like != nullptr ? like : dc_, width, height);
  if (dc_ != nullptr && bitmap_ != nullptr) previous_ = SelectObject(dc_, bitmap_);
  if (ok()) Fill(fill);
}

Canvas::~Canvas() {
  if (dc_ != nullptr) {
    if (previous_ != nullptr) SelectObject(dc_, previous_);
    DeleteDC(dc_);
  }
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
}

void Canvas::Fill(COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  HGDIOBJ old = SelectObject(dc_, brush);
  PatBlt(dc_, 0, 0, width_, height_, PATCOPY);
  SelectObject(dc_, old);
  DeleteObject(brush);
}

int Canvas::Count(COLORREF colour, int left, int top, int right, int bottom) const {
  int n = 0;
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) n += At(x, y) == colour;
  }
  return n;
}

std::string Canvas::Picture(std::initializer_list<std::pair<COLORREF, char>> legend) const {
  std::string out;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const COLORREF c = At(x, y);
      char shown = '?';
      for (const auto& [colour, character] : legend) {
        if (c == colour) {
          shown = character;
          break;
        }
      }
      out += shown;
    }
    out += '\n';
  }
  return out;
}

std::string Rows(std::initializer_list<const char*> rows) {
  std::string out;
  for (const char* r : rows) {
    out += r;
    out += '\n';
  }
  return out;
}

}  // namespace kit
