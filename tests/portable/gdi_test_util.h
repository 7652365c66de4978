// Helpers for the GDI tests: a memory DC with its own bitmap, and pixel read-back.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32.h"

namespace gdi_test {

// A memory DC with a width x height 32-bit bitmap selected, filled with `fill`.
class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255))
      : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateCompatibleBitmap(dc_, width, height);
    previous_ = SelectObject(dc_, bitmap_);
    Fill(fill);
  }
  ~Canvas() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  int width() const { return width_; }
  int height() const { return height_; }

  void Fill(COLORREF color) {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) SetPixelV(dc_, x, y, color);
  }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

  // Every pixel as a character: '.' for `background`, '#' for `ink`, '?' otherwise.
  std::string Picture(COLORREF background, COLORREF ink) const {
    std::string out;
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        COLORREF c = At(x, y);
        out += c == background ? '.' : c == ink ? '#' : '?';
      }
      out += '\n';
    }
    return out;
  }
  int Count(COLORREF color) const {
    int n = 0;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) n += At(x, y) == color;
    return n;
  }

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ previous_;
};

inline std::string Rows(std::initializer_list<const char*> rows) {
  std::string out;
  for (const char* r : rows) {
    out += r;
    out += '\n';
  }
  return out;
}

}  // namespace gdi_test
