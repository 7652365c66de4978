// Lines of text drawn before, kept as the pixels of their cell box: a program that prints the
// same line again and again (a status line) has it copied rather than drawn glyph by glyph.
// Only lines on an opaque background are kept, where the box's every pixel is the line's own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "../../win32.h"

namespace portable::gdi {

// What a line's pixels depend on.
struct TextLineKey {
  uint64_t font = 0;   // RealizedFont::Serial
  uint32_t ink = 0;    // the text colour, as stored in the target
  uint32_t paper = 0;  // the background colour, as stored in the target
  const char* text = nullptr;
  UINT count = 0;
};

struct TextLine {
  uint64_t font = 0;
  uint32_t ink = 0;
  uint32_t paper = 0;
  std::string text;
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // width * height
};

// The kept line for `key`, or nullptr.
const TextLine* FindTextLine(const TextLineKey& key);
// Room for the pixels of a new line (the oldest kept one makes way), to be drawn by the
// caller; nullptr when the line is too large to keep.
TextLine* KeepTextLine(const TextLineKey& key, int64_t width, int64_t height);

}  // namespace portable::gdi
