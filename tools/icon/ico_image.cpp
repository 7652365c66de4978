#include "ico_image.h"

#include <cstddef>

namespace icon {
namespace {

constexpr size_t kDirectorySize = 6;
constexpr size_t kEntrySize = 16;
constexpr size_t kInfoHeaderSize = 40;

uint32_t Read16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t Read32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Bytes of one bottom-up row of `width` pixels at `bits` each: rows end on a 4-byte boundary.
size_t RowBytes(int width, int bits) {
  return (static_cast<size_t>(width) * static_cast<size_t>(bits) + 31) / 32 * 4;
}

struct Entry {
  int width = 0;  // 0 in the directory means 256
  int height = 0;
  uint32_t bytes = 0;
  uint32_t offset = 0;
};

bool Fail(std::string* problem, const std::string& text) {
  *problem = text;
  return false;
}

bool DecodeBitmap(const uint8_t* data, size_t size, const Entry& entry, RgbaImage* image,
                  std::string* problem) {
  if (size >= 8 && data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G')
    return Fail(problem, "PNG-compressed icon images are not supported");
  if (size < kInfoHeaderSize) return Fail(problem, "the image header is cut short");
  const uint32_t headerSize = Read32(data);
  if (headerSize < kInfoHeaderSize || headerSize > size)
    return Fail(problem, "the image header has a bad size");
  const int32_t width = static_cast<int32_t>(Read32(data + 4));
  const int32_t doubleHeight = static_cast<int32_t>(Read32(data + 8));
  const uint32_t planes = Read16(data + 12);
  const int bits = static_cast<int>(Read16(data + 14));
  const uint32_t compression = Read32(data + 16);
  const uint32_t coloursUsed = Read32(data + 32);
  if (width <= 0 || width > 256 || doubleHeight <= 0 || doubleHeight % 2 != 0 ||
      doubleHeight / 2 > 256)
    return Fail(problem, "the image has a bad size");
  const int height = doubleHeight / 2;
  if (width != entry.width || height != entry.height)
    return Fail(problem, "the image's size differs from its directory entry");
  if (planes != 1) return Fail(problem, "the image has more than one plane");
  if (compression != 0) return Fail(problem, "compressed bitmaps are not supported");
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
    return Fail(problem, "unsupported bits per pixel: " + std::to_string(bits));

  const uint32_t paletteLimit = bits <= 8 ? (1u << bits) : 0;
  const uint32_t paletteSize = bits <= 8 ? (coloursUsed == 0 ? paletteLimit : coloursUsed) : 0;
  if (paletteSize > paletteLimit) return Fail(problem, "the palette is larger than the bits allow");
  // Deeper images may carry an optimal palette too, which their pixels do not use.
  const size_t paletteEntries = bits <= 8 ? paletteSize : coloursUsed;
  const size_t paletteAt = headerSize;
  const size_t colourAt = paletteAt + paletteEntries * 4;
  const size_t colourRow = RowBytes(width, bits);
  const size_t maskAt = colourAt + colourRow * static_cast<size_t>(height);
  const size_t maskRow = RowBytes(width, 1);
  if (maskAt + maskRow * static_cast<size_t>(height) > size)
    return Fail(problem, "the image data is cut short");

  image->width = width;
  image->height = height;
  image->pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  bool anyAlpha = false;
  for (int y = 0; y < height; ++y) {
    // Rows are stored bottom-up.
    const uint8_t* row = data + colourAt + colourRow * static_cast<size_t>(height - 1 - y);
    for (int x = 0; x < width; ++x) {
      uint32_t argb = 0;
      if (bits <= 8) {
        const size_t bitAt = static_cast<size_t>(x) * static_cast<size_t>(bits);
        const uint32_t shift = 8 - static_cast<uint32_t>(bits) - bitAt % 8;
        const uint32_t index = (row[bitAt / 8] >> shift) & ((1u << bits) - 1);
        if (index >= paletteSize)
          return Fail(problem, "a pixel names colour " + std::to_string(index) +
                                   " of a palette of " + std::to_string(paletteSize));
        const uint8_t* c = data + paletteAt + static_cast<size_t>(index) * 4;
        argb = (static_cast<uint32_t>(c[2]) << 16) | (c[1] << 8) | c[0];
      } else {
        const uint8_t* c = row + static_cast<size_t>(x) * static_cast<size_t>(bits / 8);
        argb = (static_cast<uint32_t>(c[2]) << 16) | (c[1] << 8) | c[0];
        if (bits == 32) {
          argb |= static_cast<uint32_t>(c[3]) << 24;
          anyAlpha = anyAlpha || c[3] != 0;
        }
      }
      image->pixels[static_cast<size_t>(y) * width + x] = argb;
    }
  }
  // Without alpha of its own, the AND mask says which pixels show: a set bit is transparent.
  if (anyAlpha) return true;
  for (int y = 0; y < height; ++y) {
    const uint8_t* mask = data + maskAt + maskRow * static_cast<size_t>(height - 1 - y);
    for (int x = 0; x < width; ++x) {
      uint32_t& p = image->pixels[static_cast<size_t>(y) * width + x];
      const bool transparent = (mask[x / 8] >> (7 - x % 8)) & 1;
      p = transparent ? (p & 0x00FFFFFFu) : (p | 0xFF000000u);
    }
  }
  return true;
}

}  // namespace

bool DecodeIco(const std::vector<uint8_t>& file, RgbaImage* image, std::string* problem) {
  if (file.size() < kDirectorySize) return Fail(problem, "too short for an icon file");
  const uint8_t* data = file.data();
  if (Read16(data) != 0 || Read16(data + 2) != 1) return Fail(problem, "not an icon file");
  const size_t count = Read16(data + 4);
  if (count == 0) return Fail(problem, "the icon file holds no image");
  if (kDirectorySize + count * kEntrySize > file.size())
    return Fail(problem, "the icon directory is cut short");

  Entry best;
  bool found = false;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* e = data + kDirectorySize + i * kEntrySize;
    Entry entry;
    entry.width = e[0] == 0 ? 256 : e[0];
    entry.height = e[1] == 0 ? 256 : e[1];
    entry.bytes = Read32(e + 8);
    entry.offset = Read32(e + 12);
    if (entry.offset > file.size() || entry.bytes > file.size() - entry.offset)
      return Fail(problem, "image " + std::to_string(i) + " lies outside the file");
    if (!found || entry.width * entry.height > best.width * best.height) best = entry;
    found = true;
  }
  return DecodeBitmap(data + best.offset, best.bytes, best, image, problem);
}

RgbaImage ScaleNearest(const RgbaImage& source, int width, int height) {
  RgbaImage out;
  if (source.width <= 0 || source.height <= 0 || width <= 0 || height <= 0) return out;
  out.width = width;
  out.height = height;
  out.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    // The centre of target row y, (y + 0.5) * source / target, in integers.
    const int sy = static_cast<int>((2 * static_cast<int64_t>(y) + 1) * source.height /
                                    (2 * static_cast<int64_t>(height)));
    for (int x = 0; x < width; ++x) {
      const int sx = static_cast<int>((2 * static_cast<int64_t>(x) + 1) * source.width /
                                      (2 * static_cast<int64_t>(width)));
      out.pixels[static_cast<size_t>(y) * width + x] = source.At(sx, sy);
    }
  }
  return out;
}

}  // namespace icon
