// Fonts for text output: a LOGFONTA is realised as a FreeType face, rendered in monochrome like
// the bitmap fonts of Windows, with glyphs cached per character. The System font comes from its
// bitmap font file (system_font.h); every other face is found through fontconfig. Nothing is
// loaded until the first text call needs it.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <vector>

#include "../../win32.h"

struct FT_FaceRec_;

namespace portable::gdi {

struct Glyph {
  int left = 0;  // pixels from the pen position to the first column
  int top = 0;   // rows from the first row down to the baseline
  int width = 0;
  int height = 0;
  int advance = 0;            // pen movement
  std::vector<uint8_t> mask;  // width * height, 1 where the glyph has ink
};

// How glyphs come out of the face.
struct GlyphStyle {
  bool raster = false;  // a bitmap font indexed by the byte itself, scaled by whole pixels
  int xScale = 1;       // raster only
  int yScale = 1;
  bool embolden = false;  // outline only: synthesised bold and slant
  bool slant = false;
};

class RealizedFont {
 public:
  // Takes ownership of `face`; nullptr draws nothing in cells of the fallback size.
  RealizedFont(FT_FaceRec_* face, const TEXTMETRICA& metrics, const GlyphStyle& style);
  ~RealizedFont();
  RealizedFont(const RealizedFont&) = delete;
  RealizedFont& operator=(const RealizedFont&) = delete;

  const TEXTMETRICA& Metrics() const { return metrics_; }
  // Tells this realisation from every other made in the process, even one made later at the
  // same address.
  uint64_t Serial() const { return serial_; }
  bool HasGlyphs() const { return face_ != nullptr; }
  // A Windows-1252 byte's glyph.
  const Glyph& GlyphFor(uint8_t ch);
  int Advance(uint8_t ch) { return GlyphFor(ch).advance; }

 private:
  void Render(uint8_t ch, Glyph* out);
  void RenderOutline(uint8_t ch, Glyph* out);
  void RenderRaster(uint8_t ch, Glyph* out);

  FT_FaceRec_* face_;
  uint64_t serial_ = 0;
  TEXTMETRICA metrics_;
  GlyphStyle style_;
  std::array<Glyph, 256> glyphs_;
  std::bitset<256> ready_;
};

// The realisation of `font`; valid until the next call (the cache may be trimmed then).
RealizedFont& RealizeFont(const LOGFONTA& font);

// The Unicode code point of a Windows-1252 byte.
uint32_t CodePointFrom1252(uint8_t ch);

// Size of the cell used when no font could be loaded.
constexpr int kFallbackCellWidth = 7;
constexpr int kFallbackCellHeight = 16;

}  // namespace portable::gdi
