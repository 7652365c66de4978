#include "tests/fonts/fon_file.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace fon {
namespace {

constexpr uint16_t kFontResource = 0x8008;

class Bytes {
 public:
  explicit Bytes(std::vector<uint8_t> data) : data_(std::move(data)) {}
  bool Has(size_t at, size_t count) const {
    return at <= data_.size() && count <= data_.size() - at;
  }
  uint8_t U8(size_t at) const { return Has(at, 1) ? data_[at] : 0; }
  uint16_t U16(size_t at) const { return static_cast<uint16_t>(U8(at) | U8(at + 1) << 8); }
  uint32_t U32(size_t at) const { return U16(at) | static_cast<uint32_t>(U16(at + 2)) << 16; }

 private:
  std::vector<uint8_t> data_;
};

bool Fail(std::string* error, const std::string& why) {
  *error = why;
  return false;
}

// Offset of the first FONT resource in the NE executable around it.
bool FindFontResource(const Bytes& b, size_t* at, std::string* error) {
  if (b.U16(0) != 0x5A4D) return Fail(error, "not an MZ executable");
  const size_t ne = b.U32(0x3C);
  if (!b.Has(ne, 0x40) || b.U16(ne) != 0x454E) return Fail(error, "no NE header");
  size_t table = ne + b.U16(ne + 0x24);
  const unsigned shift = b.U16(table);
  table += 2;
  while (b.Has(table, 8)) {
    const uint16_t type = b.U16(table);
    const uint16_t count = b.U16(table + 2);
    if (type == 0) break;
    if (type == kFontResource && count > 0) {
      *at = static_cast<size_t>(b.U16(table + 8)) << shift;
      return true;
    }
    table += 8 + 12 * static_cast<size_t>(count);
  }
  return Fail(error, "no FONT resource");
}

}  // namespace

const Glyph& FontFile::For(uint8_t byte) const {
  if (byte < firstChar || byte > lastChar) byte = static_cast<uint8_t>(firstChar + defaultChar);
  return glyphs[byte - firstChar];
}

int FontFile::Width(const std::string& text) const {
  int width = 0;
  for (char c : text) width += For(static_cast<uint8_t>(c)).width;
  return width;
}

bool ReadFon(const std::string& path, FontFile* out, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Fail(error, "cannot open " + path);
  const Bytes b(std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {}));
  size_t f = 0;
  if (!FindFontResource(b, &f, error)) return false;
  if (!b.Has(f, 148)) return Fail(error, "truncated FNT header");
  FontFile font;
  font.version = b.U16(f);
  if (font.version != 0x200 && font.version != 0x300) return Fail(error, "unknown FNT version");
  font.verticalResolution = b.U16(f + 70);
  font.horizontalResolution = b.U16(f + 72);
  font.ascent = b.U16(f + 74);
  font.internalLeading = b.U16(f + 76);
  font.externalLeading = b.U16(f + 78);
  font.italic = b.U8(f + 80);
  font.weight = b.U16(f + 83);
  font.charSet = b.U8(f + 85);
  font.pixelHeight = b.U16(f + 88);
  font.pitchAndFamily = b.U8(f + 90);
  font.averageWidth = b.U16(f + 91);
  font.maxWidth = b.U16(f + 93);
  font.firstChar = b.U8(f + 95);
  font.lastChar = b.U8(f + 96);
  font.defaultChar = b.U8(f + 97);
  font.breakChar = b.U8(f + 98);
  for (size_t p = f + b.U32(f + 105); b.Has(p, 1) && b.U8(p) != 0; ++p) font.face += char(b.U8(p));
  if (font.firstChar > font.lastChar || font.pixelHeight == 0) return Fail(error, "empty font");
  const bool v3 = font.version == 0x300;
  const size_t entry = v3 ? 6 : 4;
  size_t table = f + (v3 ? 148 : 118);
  for (int c = font.firstChar; c <= font.lastChar; ++c, table += entry) {
    if (!b.Has(table, entry)) return Fail(error, "truncated character table");
    Glyph g;
    g.width = b.U16(table);
    const size_t bits = f + (v3 ? b.U32(table + 2) : b.U16(table + 2));
    const size_t columns = (static_cast<size_t>(g.width) + 7) / 8;
    if (!b.Has(bits, columns * font.pixelHeight)) return Fail(error, "glyph outside the file");
    g.ink.assign(static_cast<size_t>(g.width) * font.pixelHeight, 0);
    // Bitmaps are stored a column of 8 pixels at a time, top row first.
    for (int y = 0; y < font.pixelHeight; ++y) {
      for (int x = 0; x < g.width; ++x) {
        const uint8_t byte = b.U8(bits + static_cast<size_t>(x / 8) * font.pixelHeight + y);
        g.ink[static_cast<size_t>(y) * g.width + x] = (byte >> (7 - x % 8)) & 1;
      }
    }
    font.glyphs.push_back(std::move(g));
  }
  if (font.firstChar + font.defaultChar > font.lastChar) return Fail(error, "no default character");
  *out = std::move(font);
  return true;
}

std::string SystemFontPath() {
#if defined(_WIN32)
  const char* windows = std::getenv("WINDIR");
  return std::string(windows && *windows ? windows : "C:\\Windows") + "\\Fonts\\vgasys.fon";
#else
  const char* chosen = std::getenv("SPIRALS_SYSTEM_FONT");
  return chosen && *chosen ? chosen : "/usr/share/wine/fonts/vgasys.fon";
#endif
}

std::vector<std::string> Render(const FontFile& font, const std::string& text) {
  std::vector<std::string> rows(static_cast<size_t>(font.pixelHeight));
  for (char c : text) {
    const Glyph& g = font.For(static_cast<uint8_t>(c));
    for (int y = 0; y < font.pixelHeight; ++y) {
      for (int x = 0; x < g.width; ++x) {
        rows[static_cast<size_t>(y)] += g.ink[static_cast<size_t>(y) * g.width + x] ? '#' : '.';
      }
    }
  }
  return rows;
}

}  // namespace fon
