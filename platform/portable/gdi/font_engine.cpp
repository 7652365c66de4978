#include "font_engine.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>

#include "face_lookup.h"
#include "system_font.h"

namespace portable::gdi {
namespace {

// Bytes 0x80-0x9F of Windows-1252; the five unassigned ones keep their C1 values.
constexpr uint16_t k1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr int64_t kMaxPixelSize = 256;  // keeps hostile heights from asking for huge glyphs
constexpr size_t kMaxCachedFonts = 16;  // with the size cap: glyph caches stay within ~256 MiB

// The System font's family in the cache; no fontconfig family has a control character.
const char kSystemFamily[] = "\x01System";
const char kFallbackFamily[] = "DejaVu Sans";

struct Key {
  std::string family;
  int64_t height;  // > 0: cell height, < 0: character height; the System font: its y scale
  int64_t width;   // the System font: its x scale; 0 otherwise
  bool bold;
  bool italic;
  bool operator<(const Key& o) const {
    return std::tie(family, height, width, bold, italic) <
           std::tie(o.family, o.height, o.width, o.bold, o.italic);
  }
};

enum class SystemFontState : uint8_t { Unread, Usable, Unusable };

struct Engine {
  bool started = false;
  FT_Library library = nullptr;
  bool warned = false;
  SystemFontState systemState = SystemFontState::Unread;
  SystemFontInfo system;
  std::map<Key, std::unique_ptr<RealizedFont>> fonts;
  // The request answered last and its answer: the drawing bracket makes the same font anew
  // for every operation. Forgotten whenever `fonts` loses entries.
  LOGFONTA lastAsked{};
  RealizedFont* lastRealized = nullptr;

  // At exit: faces before their library, and fontconfig's own caches last. The engine
  // itself stays, so text drawn later in the exit sequence goes on without glyphs.
  void ShutDown() {
    lastRealized = nullptr;
    fonts.clear();
    if (library) FT_Done_FreeType(library);
    library = nullptr;
    ShutDownFaceLookup();
    started = true;
    warned = true;
    systemState = SystemFontState::Unusable;
  }
};

struct EngineShutdown {
  Engine* engine = nullptr;
  ~EngineShutdown() {
    if (engine) engine->ShutDown();
  }
};

Engine& TheEngine() {
  static Engine* engine = new Engine;
  static EngineShutdown shutdown{engine};
  return *engine;
}

void WarnNoFont(Engine& e) {
  if (e.warned) return;
  e.warned = true;
  std::fprintf(stderr,
               "spirals: no usable font found; text is drawn without glyphs. "
               "Install the Debian package fonts-dejavu-core.\n");
}

// The System font, read once; nullptr (after one line on stderr) when its file is unusable.
const SystemFontInfo* SystemFont(Engine& e) {
  if (e.systemState == SystemFontState::Unread) {
    std::string problem;
    if (ReadSystemFontInfo(e.library, SystemFontPath(), &e.system, &problem)) {
      e.systemState = SystemFontState::Usable;
    } else {
      e.systemState = SystemFontState::Unusable;
      e.lastRealized = nullptr;
      if (FaceLookupAvailable()) {
        std::fprintf(stderr,
                     "spirals: the System font %s; text is drawn in %s Bold instead. "
                     "The Debian package %s provides the System font.\n",
                     problem.c_str(), kFallbackFamily, kSystemFontPackage);
      } else {
        // A build with no other faces: this is the only line about fonts it will say.
        e.warned = true;
        std::fprintf(stderr, "spirals: the System font %s; text is drawn without glyphs.\n",
                     problem.c_str());
      }
    }
  }
  return e.systemState == SystemFontState::Usable ? &e.system : nullptr;
}

// Windows face names that mean "the usual sans-serif" or "the usual fixed font" to programs.
// "System" lands here only when its own file is unusable.
std::string FamilyFor(const char* faceName) {
  std::string face;
  for (const char* p = faceName; *p; ++p)
    face += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
  if (face.empty() || face == "system" || face == "ms sans serif" ||
      face.rfind("ms shell dlg", 0) == 0) {
    return kFallbackFamily;
  }
  if (face == "fixedsys" || face == "terminal" || face == "courier" || face == "courier new") {
    return "DejaVu Sans Mono";
  }
  return faceName;
}

void Start(Engine& e) {
  if (e.started) return;
  e.started = true;
  if (FT_Init_FreeType(&e.library) != 0) {
    e.library = nullptr;
    return;
  }
  StartFaceLookup();
}

TEXTMETRICA FallbackMetrics() {
  TEXTMETRICA tm{};
  tm.tmHeight = kFallbackCellHeight;
  tm.tmAscent = 13;
  tm.tmDescent = 3;
  tm.tmInternalLeading = 3;
  tm.tmAveCharWidth = kFallbackCellWidth;
  tm.tmMaxCharWidth = kFallbackCellWidth;
  tm.tmWeight = FW_NORMAL;
  tm.tmDigitizedAspectX = 96;
  tm.tmDigitizedAspectY = 96;
  tm.tmFirstChar = 0x20;
  tm.tmLastChar = 0xFF;
  tm.tmDefaultChar = 0x1F;
  tm.tmBreakChar = 0x20;
  tm.tmPitchAndFamily = FF_SWISS;
  return tm;
}

// Sizes the face for the request and fills the metrics Windows would report.
TEXTMETRICA SizeFace(FT_Face face, int64_t height, bool bold, bool italic) {
  int64_t upem = face->units_per_EM > 0 ? face->units_per_EM : 2048;
  int64_t ascUnits = face->ascender, descUnits = -face->descender;
  if (const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
    if (os2->usWinAscent + os2->usWinDescent > 0) {
      ascUnits = os2->usWinAscent;
      descUnits = os2->usWinDescent;
    }
  }
  if (ascUnits + descUnits <= 0) {
    ascUnits = upem * 4 / 5;
    descUnits = upem / 5;
  }
  int64_t ppem, ascent, descent;
  if (height > 0) {
    // Cell height: the line is exactly `height` pixels; the em is what fits in it.
    int64_t cell = std::min(height, kMaxPixelSize);
    ppem = std::max<int64_t>(1, cell * upem / (ascUnits + descUnits));
    ascent = (cell * ascUnits * 2 + (ascUnits + descUnits)) / (2 * (ascUnits + descUnits));
    descent = cell - ascent;
  } else {
    // Character height: the em is `-height` pixels; the line is what the font needs.
    ppem = std::clamp<int64_t>(-height, 1, kMaxPixelSize);
    ascent = (ascUnits * ppem * 2 + upem) / (2 * upem);
    descent = (descUnits * ppem * 2 + upem) / (2 * upem);
  }
  FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem));
  TEXTMETRICA tm{};
  tm.tmHeight = static_cast<LONG>(ascent + descent);
  tm.tmAscent = static_cast<LONG>(ascent);
  tm.tmDescent = static_cast<LONG>(descent);
  tm.tmInternalLeading = static_cast<LONG>(std::max<int64_t>(0, ascent + descent - ppem));
  int64_t avgUnits = 0;
  if (const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
    avgUnits = os2->xAvgCharWidth;
  }
  if (avgUnits <= 0) avgUnits = upem / 2;
  tm.tmAveCharWidth =
      static_cast<LONG>(std::max<int64_t>(1, (avgUnits * ppem * 2 + upem) / (2 * upem)));
  tm.tmMaxCharWidth =
      static_cast<LONG>(std::max<int64_t>(1, (face->size->metrics.max_advance + 63) >> 6));
  tm.tmWeight = bold ? FW_BOLD : FW_NORMAL;
  tm.tmDigitizedAspectX = 96;
  tm.tmDigitizedAspectY = 96;
  tm.tmFirstChar = 0x20;
  tm.tmLastChar = 0xFF;
  tm.tmDefaultChar = 0x1F;
  tm.tmBreakChar = 0x20;
  tm.tmItalic = italic ? 1 : 0;
  bool fixed = FT_IS_FIXED_WIDTH(face);
  // Windows sets the low bit for variable pitch; 0x06: vector and TrueType.
  tm.tmPitchAndFamily = static_cast<BYTE>((fixed ? 0 : 1) | 0x06 | (fixed ? FF_MODERN : FF_SWISS));
  tm.tmCharSet = ANSI_CHARSET;
  return tm;
}

}  // namespace

uint32_t CodePointFrom1252(uint8_t ch) {
  if (ch >= 0x80 && ch <= 0x9F) return k1252High[ch - 0x80];
  return ch;
}

RealizedFont::RealizedFont(FT_FaceRec_* face, const TEXTMETRICA& metrics, const GlyphStyle& style)
    : face_(face), metrics_(metrics), style_(style) {
  static uint64_t made = 0;
  serial_ = ++made;
}

RealizedFont::~RealizedFont() {
  if (face_) FT_Done_Face(face_);
}

const Glyph& RealizedFont::GlyphFor(uint8_t ch) {
  if (!ready_[ch]) {
    Render(ch, &glyphs_[ch]);
    ready_[ch] = true;
  }
  return glyphs_[ch];
}

void RealizedFont::Render(uint8_t ch, Glyph* out) {
  *out = Glyph{};
  if (style_.raster) {
    RenderRaster(ch, out);
  } else {
    RenderOutline(ch, out);
  }
}

namespace {

// Copies a one-bit bitmap into `out`, each bit becoming an x by y block.
void CopyMono(const FT_Bitmap& bm, int xScale, int yScale, Glyph* out) {
  out->width = static_cast<int>(bm.width) * xScale;
  out->height = static_cast<int>(bm.rows) * yScale;
  out->mask.assign(static_cast<size_t>(out->width) * out->height, 0);
  for (int y = 0; y < out->height; ++y) {
    const unsigned char* row = bm.buffer + static_cast<ptrdiff_t>(y / yScale) * bm.pitch;
    uint8_t* dst = out->mask.data() + static_cast<size_t>(y) * out->width;
    for (int x = 0; x < out->width; ++x) {
      const int bit = x / xScale;
      dst[x] = (row[bit >> 3] >> (7 - (bit & 7))) & 1;
    }
  }
}

// Cuts the blank rows and columns off a glyph's mask: bitmap fonts keep whole cells, and text
// output only needs the ink.
void TrimToInk(Glyph* g) {
  int left = g->width, right = 0, top = g->height, bottom = 0;
  for (int y = 0; y < g->height; ++y) {
    for (int x = 0; x < g->width; ++x) {
      if (!g->mask[static_cast<size_t>(y) * g->width + x]) continue;
      left = std::min(left, x);
      right = std::max(right, x + 1);
      top = std::min(top, y);
      bottom = std::max(bottom, y + 1);
    }
  }
  if (right <= left) {
    g->width = g->height = 0;
    g->mask.clear();
    return;
  }
  std::vector<uint8_t> ink(static_cast<size_t>(right - left) * (bottom - top));
  for (int y = top; y < bottom; ++y) {
    std::copy_n(g->mask.begin() + static_cast<ptrdiff_t>(y) * g->width + left, right - left,
                ink.begin() + static_cast<ptrdiff_t>(y - top) * (right - left));
  }
  g->left += left;
  g->top -= top;
  g->width = right - left;
  g->height = bottom - top;
  g->mask = std::move(ink);
}

}  // namespace

void RealizedFont::RenderOutline(uint8_t ch, Glyph* out) {
  // Control characters draw nothing and take no room.
  if (ch < 0x20 || ch == 0x7F) return;
  if (!face_) {
    out->advance = kFallbackCellWidth;
    return;
  }
  FT_UInt index = FT_Get_Char_Index(face_, CodePointFrom1252(ch));  // 0: the missing-glyph box
  if (FT_Load_Glyph(face_, index, FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP) != 0) return;
  FT_GlyphSlot slot = face_->glyph;
  if (style_.embolden) FT_GlyphSlot_Embolden(slot);
  if (style_.slant) FT_GlyphSlot_Oblique(slot);
  out->advance = static_cast<int>((slot->advance.x + 32) >> 6);
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return;
  const FT_Bitmap& bm = slot->bitmap;
  if (bm.pixel_mode != FT_PIXEL_MODE_MONO) return;
  out->left = slot->bitmap_left;
  out->top = slot->bitmap_top;
  CopyMono(bm, 1, 1, out);
}

// Every byte has a glyph: those outside the font's range get its default character, as on
// Windows. The bitmaps are drawn as they are, only enlarged by whole pixels.
void RealizedFont::RenderRaster(uint8_t ch, Glyph* out) {
  FT_UInt index = FT_Get_Char_Index(face_, ch);  // 0: the default character
  if (FT_Load_Glyph(face_, index, FT_LOAD_DEFAULT) != 0) return;
  FT_GlyphSlot slot = face_->glyph;
  out->advance = static_cast<int>(slot->advance.x >> 6) * style_.xScale;
  const FT_Bitmap& bm = slot->bitmap;
  if (bm.pixel_mode != FT_PIXEL_MODE_MONO || bm.width > kMaxPixelSize || bm.rows > kMaxPixelSize) {
    return;
  }
  out->left = slot->bitmap_left * style_.xScale;
  out->top = slot->bitmap_top * style_.yScale;
  CopyMono(bm, style_.xScale, style_.yScale, out);
  TrimToInk(out);
}

namespace {

RealizedFont& RealizeAnew(Engine& e, const LOGFONTA& font) {
  char face[LF_FACESIZE + 1] = {};
  std::copy_n(font.lfFaceName, LF_FACESIZE, face);

  // Without a way to find other faces, every face is the System font.
  const SystemFontInfo* system =
      IsSystemFace(face) || !FaceLookupAvailable() ? SystemFont(e) : nullptr;
  std::optional<RasterScale> scale;
  if (system) scale = ScaleForRequest(*system, font);
  bool bold = font.lfWeight >= 600;
  bool italic = font.lfItalic != 0;
  // 0 asks for the default size: the System font's 16-pixel line.
  int64_t height = font.lfHeight == 0 ? 16 : font.lfHeight;
  Key key = scale ? Key{kSystemFamily, scale->y, scale->x, false, false}
                  : Key{FamilyFor(face), height, 0, bold, italic};
  auto found = e.fonts.find(key);
  if (found != e.fonts.end()) return *found->second;
  if (e.fonts.size() >= kMaxCachedFonts) {
    e.lastRealized = nullptr;
    e.fonts.clear();
  }

  std::unique_ptr<RealizedFont> realized;
  if (scale) {
    if (FT_Face raster = OpenSystemFace(e.library, *system)) {
      GlyphStyle style;
      style.raster = true;
      style.xScale = scale->x;
      style.yScale = scale->y;
      realized = std::make_unique<RealizedFont>(raster, SystemFontMetrics(*system, *scale), style);
    } else {
      // The file went away after it was read: from now on the outline font stands in.
      e.systemState = SystemFontState::Unusable;
      e.lastRealized = nullptr;
      std::fprintf(
          stderr,
          "spirals: the System font %s can no longer be read; text is drawn in %s Bold instead.\n",
          system->path.c_str(), kFallbackFamily);
      return RealizeAnew(e, font);
    }
  } else {
    FT_Face ftFace = OpenOutlineFace(e.library, key.family, bold, italic);
    if (!ftFace && key.family != kFallbackFamily) {
      ftFace = OpenOutlineFace(e.library, kFallbackFamily, bold, italic);
    }
    if (!ftFace) {
      WarnNoFont(e);
      realized = std::make_unique<RealizedFont>(nullptr, FallbackMetrics(), GlyphStyle{});
    } else {
      TEXTMETRICA tm = SizeFace(ftFace, height, bold, italic);
      GlyphStyle style;
      style.embolden = bold && !(ftFace->style_flags & FT_STYLE_FLAG_BOLD);
      style.slant = italic && !(ftFace->style_flags & FT_STYLE_FLAG_ITALIC);
      realized = std::make_unique<RealizedFont>(ftFace, tm, style);
    }
  }
  RealizedFont& ref = *realized;
  e.fonts.emplace(key, std::move(realized));
  return ref;
}

}  // namespace

RealizedFont& RealizeFont(const LOGFONTA& font) {
  Engine& e = TheEngine();
  Start(e);
  if (e.lastRealized && std::memcmp(&font, &e.lastAsked, sizeof font) == 0) return *e.lastRealized;
  RealizedFont& realized = RealizeAnew(e, font);
  e.lastAsked = font;
  e.lastRealized = &realized;
  return realized;
}

}  // namespace portable::gdi
