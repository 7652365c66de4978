// spirals-icon-png: one size of the desktop icon, made from the program's .ico.
// Usage: spirals-icon-png ICON.ico SIZE OUTPUT.png
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ico_image.h"
#include "png_file.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: spirals-icon-png ICON.ico SIZE OUTPUT.png\n", stderr);
    return 2;
  }
  char* end = nullptr;
  const long size = std::strtol(argv[2], &end, 10);
  if (end == argv[2] || *end != '\0' || size < 1 || size > 1024) {
    std::fprintf(stderr, "spirals-icon-png: bad size %s (1 to 1024 pixels)\n", argv[2]);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "spirals-icon-png: cannot read %s\n", argv[1]);
    return 1;
  }
  const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
  icon::RgbaImage image;
  std::string problem;
  if (!icon::DecodeIco(file, &image, &problem)) {
    std::fprintf(stderr, "spirals-icon-png: %s: %s\n", argv[1], problem.c_str());
    return 1;
  }
  const int side = static_cast<int>(size);
  const icon::RgbaImage scaled = icon::ScaleNearest(image, side, side);
  if (!icon::WritePng(scaled, argv[3], &problem)) {
    std::fprintf(stderr, "spirals-icon-png: %s\n", problem.c_str());
    return 1;
  }
  return 0;
}
