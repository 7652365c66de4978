// Writes a captured framebuffer as an 8-bit RGB PNG.
#pragma once

#include <cstdint>
#include <vector>

namespace portable {

// A copy of a framebuffer: width x height pixels 0x00RRGGBB, rows packed.
struct FrameCapture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

// False when the file cannot be written. Same capture, same bytes: no time or text chunks.
bool WritePng(const FrameCapture& frame, const char* path);

}  // namespace portable
