#include "png_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>

namespace portable {
namespace {

// libpng reports errors by longjmp; nothing with a destructor lives across it below.
bool WriteRows(FILE* file, const FrameCapture& frame, std::vector<png_byte>& row) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(frame.width),
               static_cast<png_uint_32>(frame.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 6);
  png_write_info(png, info);
  for (int y = 0; y < frame.height; ++y) {
    const uint32_t* src = frame.pixels.data() + static_cast<size_t>(y) * frame.width;
    for (int x = 0; x < frame.width; ++x) {
      row[3 * x] = static_cast<png_byte>(src[x] >> 16);
      row[3 * x + 1] = static_cast<png_byte>(src[x] >> 8);
      row[3 * x + 2] = static_cast<png_byte>(src[x]);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool WritePng(const FrameCapture& frame, const char* path) {
  if (frame.width <= 0 || frame.height <= 0 ||
      frame.pixels.size() < static_cast<size_t>(frame.width) * frame.height)
    return false;
  FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  std::vector<png_byte> row(static_cast<size_t>(frame.width) * 3);
  const bool written = WriteRows(file, frame, row);
  const bool closed = std::fclose(file) == 0;
  return written && closed;
}

}  // namespace portable
