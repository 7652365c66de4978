// Decodes an animated GIF with the system's giflib and composes its frames as a viewer shows
// them, so that tests can compare every frame with the runner's PNGs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

struct GifFrame {
  int left = 0, top = 0, width = 0, height = 0;  // the stored rectangle
  int delayCs = 0;
  int disposal = 0;
  int transparent = -1;
  int paletteSize = 0;             // entries of its own colour map
  std::vector<uint32_t> composed;  // the whole canvas after this frame, 0x00RRGGBB
};

struct GifAnimation {
  bool ok = false;
  std::string error;
  int width = 0, height = 0;
  bool loopsForever = false;
  bool globalPalette = false;
  std::vector<GifFrame> frames;
};

// Reads the file; `ok` false with `error` on any failure. The canvas starts black.
GifAnimation ReadGif(const std::string& path);

}  // namespace e2e
