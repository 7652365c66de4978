// A small memory device context with its own bitmap, for drawing and reading back exact pixels.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>

#include "platform/win32.h"
#include "tests/kit/colours.h"

namespace kit {

class Canvas {
 public:
  // A width x height bitmap, filled with `fill`, compatible with `like` (a window DC, so that
  // it has the display's format) or, when null, made from a memory DC.
  Canvas(int width, int height, COLORREF fill = kWhite, HDC like = nullptr);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  // False when the DC or its bitmap could not be made.
  bool ok() const { return dc_ != nullptr && bitmap_ != nullptr && previous_ != nullptr; }
  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  int width() const { return width_; }
  int height() const { return height_; }

  // The whole bitmap in one colour, whatever the DC's clipping and state.
  void Fill(COLORREF colour);
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  // Pixels of `colour` inside [left, right) x [top, bottom); the whole bitmap by default.
  int Count(COLORREF colour) const { return Count(colour, 0, 0, width_, height_); }
  int Count(COLORREF colour, int left, int top, int right, int bottom) const;
  // Every pixel as a character, row by row: the character `legend` gives its colour, '?' for a
  // colour it does not name.
  std::string Picture(std::initializer_list<std::pair<COLORREF, char>> legend) const;

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

// Rows of a picture, each ended by a newline.
std::string Rows(std::initializer_list<const char*> rows);

}  // namespace kit
