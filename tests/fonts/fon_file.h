// Reads the first bitmap font of a Windows .fon file by itself, without FreeType, so that
// tests can hold drawn text against the file's own bitmaps and header.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fon {

struct Glyph {
  int width = 0;
  std::vector<uint8_t> ink;  // pixelHeight rows of `width` entries, 1 where the bitmap is set
};

struct FontFile {
  std::string face;
  int version = 0;
  int pixelHeight = 0;
  int ascent = 0;
  int internalLeading = 0;
  int externalLeading = 0;
  int averageWidth = 0;
  int maxWidth = 0;
  int weight = 0;
  int horizontalResolution = 0;
  int verticalResolution = 0;
  uint8_t firstChar = 0;
  uint8_t lastChar = 0;
  uint8_t defaultChar = 0;  // relative to firstChar
  uint8_t breakChar = 0;    // relative to firstChar
  uint8_t italic = 0;
  uint8_t pitchAndFamily = 0;
  uint8_t charSet = 0;
  std::vector<Glyph> glyphs;  // firstChar to lastChar

  // The glyph a byte draws: bytes outside the font draw its default character.
  const Glyph& For(uint8_t byte) const;
  int Width(const std::string& text) const;
};

// False with a reason in `error` when the file cannot be read or holds no usable font.
bool ReadFon(const std::string& path, FontFile* out, std::string* error);

// Where the System font of this machine is: Windows' Fonts folder, or on Linux the file our
// layer reads ($SPIRALS_SYSTEM_FONT or fonts-wine's vgasys.fon).
std::string SystemFontPath();

// `text` drawn with the font at scale 1: one row string per pixel row, '#' for ink, '.' for
// none; each character's cell as wide as its advance.
std::vector<std::string> Render(const FontFile& font, const std::string& text);

}  // namespace fon
