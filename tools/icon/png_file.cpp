#include "png_file.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

namespace icon {
namespace {

// libpng reports errors by longjmp: nothing with a destructor may be made after setjmp in
// these two, so the rows are allocated by the callers.
bool WriteRows(FILE* file, const RgbaImage& image, std::vector<png_byte>& row) {
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
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
               static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 9);
  png_write_info(png, info);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const uint32_t p = image.At(x, y);
      row[4 * x] = static_cast<png_byte>(p >> 16);
      row[4 * x + 1] = static_cast<png_byte>(p >> 8);
      row[4 * x + 2] = static_cast<png_byte>(p);
      row[4 * x + 3] = static_cast<png_byte>(p >> 24);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool ReadRows(FILE* file, RgbaImage* image, std::vector<png_byte>& bytes) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_init_io(png, file);
  png_read_info(png, info);
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_read_update_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  if (width == 0 || height == 0 || width > 4096 || height > 4096 ||
      png_get_rowbytes(png, info) != width * 4) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  bytes.resize(static_cast<size_t>(width) * height * 4);
  for (png_uint_32 y = 0; y < height; ++y) png_read_row(png, bytes.data() + y * width * 4, nullptr);
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  image->width = static_cast<int>(width);
  image->height = static_cast<int>(height);
  return true;
}

}  // namespace

bool WritePng(const RgbaImage& image, const std::string& path, std::string* problem) {
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() != static_cast<size_t>(image.width) * image.height) {
    *problem = "no image to write";
    return false;
  }
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    *problem = "cannot create " + path;
    return false;
  }
  std::vector<png_byte> row(static_cast<size_t>(image.width) * 4);
  const bool written = WriteRows(file, image, row);
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    *problem = "cannot write " + path;
    std::remove(path.c_str());
    return false;
  }
  return true;
}

bool ReadPng(const std::string& path, RgbaImage* image, std::string* problem) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    *problem = "cannot open " + path;
    return false;
  }
  std::vector<png_byte> bytes;
  const bool read = ReadRows(file, image, bytes);
  std::fclose(file);
  if (!read) {
    *problem = path + " is not a PNG file this reader takes";
    return false;
  }
  image->pixels.resize(static_cast<size_t>(image->width) * image->height);
  for (size_t i = 0; i < image->pixels.size(); ++i) {
    const png_byte* p = bytes.data() + i * 4;
    image->pixels[i] = (static_cast<uint32_t>(p[3]) << 24) | (static_cast<uint32_t>(p[0]) << 16) |
                       (static_cast<uint32_t>(p[1]) << 8) | p[2];
  }
  return true;
}

}  // namespace icon
