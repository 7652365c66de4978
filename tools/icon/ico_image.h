// The pictures inside a Windows .ico file, as plain RGBA images, and the nearest-neighbour
// scaling that makes the other sizes of a desktop icon from one of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace icon {

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0xAARRGGBB, top row first
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Decodes the largest image of an .ico file (BMP images of 1, 4, 8, 24 or 32 bits a pixel,
// uncompressed). Pixels the AND mask marks transparent get alpha 0, the others 255; a 32-bit
// image with any alpha keeps its own. False with one line in *problem for anything else.
bool DecodeIco(const std::vector<uint8_t>& file, RgbaImage* image, std::string* problem);

// Each target pixel takes the source pixel under its centre: no blending, so a scaled icon
// shows only the original's colours.
RgbaImage ScaleNearest(const RgbaImage& source, int width, int height);

}  // namespace icon
