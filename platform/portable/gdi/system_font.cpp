#include "system_font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_WINFONTS_H

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace portable::gdi {
namespace {

// Larger than any raster font; keeps a hostile file or request from asking for huge glyphs.
constexpr int kMaxCell = 256;

bool Fail(std::string* problem, std::string why) {
  if (problem) *problem = std::move(why);
  return false;
}

// Opens face 0 of the file with its one bitmap size and its byte-indexed character map.
FT_Face OpenRaw(FT_Library library, const std::string& path, FT_Error* error) {
  FT_Face face = nullptr;
  *error = FT_New_Face(library, path.c_str(), 0, &face);
  if (*error != 0) return nullptr;
  return face;
}

bool SelectBitmap(FT_Face face) {
  if (face->num_fixed_sizes < 1 || face->num_charmaps < 1) return false;
  if (FT_Select_Size(face, 0) != 0) return false;
  // The FNT driver's one map takes character codes as the file's own bytes.
  return FT_Set_Charmap(face, face->charmaps[0]) == 0;
}

}  // namespace

std::string SystemFontPath() {
  const char* chosen = std::getenv("SPIRALS_SYSTEM_FONT");
  if (chosen && *chosen) return chosen;
#if defined(_WIN32)
  // Windows keeps it in its fonts folder; WINDIR names the Windows folder in every process.
  const char* windows = std::getenv("WINDIR");
  return std::string(windows && *windows ? windows : "C:\\Windows") + "\\Fonts\\vgasys.fon";
#else
  return "/usr/share/wine/fonts/vgasys.fon";
#endif
}

bool IsSystemFace(const char* faceName) {
  static constexpr char kName[] = "system";
  size_t i = 0;
  for (; i < LF_FACESIZE && faceName[i] != '\0'; ++i) {
    if (i >= sizeof(kName) - 1) return false;
    if (std::tolower(static_cast<unsigned char>(faceName[i])) != kName[i]) return false;
  }
  return i == sizeof(kName) - 1;
}

bool ReadSystemFontInfo(FT_Library library, const std::string& path, SystemFontInfo* out,
                        std::string* problem) {
  if (!library) return Fail(problem, "FreeType did not start");
  FT_Error error = 0;
  FT_Face face = OpenRaw(library, path, &error);
  if (!face) {
    if (error == FT_Err_Cannot_Open_Resource) return Fail(problem, path + " is missing");
    return Fail(problem, path + " is not a font FreeType can read");
  }
  FT_WinFNT_HeaderRec h{};
  bool ok = FT_Get_WinFNT_Header(face, &h) == 0 && SelectBitmap(face);
  FT_Done_Face(face);
  if (!ok) return Fail(problem, path + " is not a Windows bitmap font");
  if (h.pixel_height < 1 || h.pixel_height > kMaxCell || h.ascent > h.pixel_height ||
      h.internal_leading > h.pixel_height || h.max_width < 1 || h.max_width > kMaxCell ||
      h.first_char > h.last_char) {
    return Fail(problem, path + " has impossible metrics");
  }
  SystemFontInfo info;
  info.path = path;
  info.pixelHeight = h.pixel_height;
  info.ascent = h.ascent;
  info.internalLeading = h.internal_leading;
  info.externalLeading = h.external_leading;
  info.averageWidth = std::max<int>(1, h.avg_width);
  info.maxWidth = h.max_width;
  info.weight = h.weight;
  info.horizontalResolution = h.horizontal_resolution;
  info.verticalResolution = h.vertical_resolution;
  info.firstChar = h.first_char;
  info.lastChar = h.last_char;
  info.defaultChar = h.default_char;
  info.breakChar = h.break_char;
  info.italic = h.italic;
  info.underline = h.underline;
  info.strikeOut = h.strike_out;
  info.pitchAndFamily = h.pitch_and_family;
  info.charSet = h.charset;
  *out = std::move(info);
  return true;
}

FT_Face OpenSystemFace(FT_Library library, const SystemFontInfo& info) {
  if (!library) return nullptr;
  FT_Error error = 0;
  FT_Face face = OpenRaw(library, info.path, &error);
  if (!face) return nullptr;
  if (!SelectBitmap(face)) {
    FT_Done_Face(face);
    return nullptr;
  }
  return face;
}

RasterScale ScaleForRequest(const SystemFontInfo& info, const LOGFONTA& font) {
  const int64_t cell = info.pixelHeight;
  const int64_t character = std::max(1, info.pixelHeight - info.internalLeading);
  int64_t y = 1;
  if (font.lfHeight > 0) {
    y = font.lfHeight / cell;
  } else if (font.lfHeight < 0) {
    y = -static_cast<int64_t>(font.lfHeight) / character;
  }
  y = std::clamp<int64_t>(y, 1, std::max<int64_t>(1, kMaxCell / cell));
  int64_t x = y;
  if (font.lfWidth != 0) {
    x = std::abs(static_cast<int64_t>(font.lfWidth)) / info.averageWidth;
    x = std::clamp<int64_t>(x, 1, std::max<int64_t>(1, kMaxCell / info.maxWidth));
  } else {
    x = std::min<int64_t>(x, std::max<int64_t>(1, kMaxCell / info.maxWidth));
  }
  return RasterScale{static_cast<int>(x), static_cast<int>(y)};
}

TEXTMETRICA SystemFontMetrics(const SystemFontInfo& info, RasterScale scale) {
  TEXTMETRICA tm{};
  tm.tmHeight = info.pixelHeight * scale.y;
  tm.tmAscent = info.ascent * scale.y;
  tm.tmDescent = (info.pixelHeight - info.ascent) * scale.y;
  tm.tmInternalLeading = info.internalLeading * scale.y;
  tm.tmExternalLeading = info.externalLeading * scale.y;
  tm.tmAveCharWidth = info.averageWidth * scale.x;
  tm.tmMaxCharWidth = info.maxWidth * scale.x;
  tm.tmWeight = info.weight;
  tm.tmOverhang = 0;
  tm.tmDigitizedAspectX = info.horizontalResolution;
  tm.tmDigitizedAspectY = info.verticalResolution;
  tm.tmFirstChar = info.firstChar;
  tm.tmLastChar = info.lastChar;
  // The file counts these from its first character; Windows reports the character codes.
  tm.tmDefaultChar = static_cast<BYTE>(info.firstChar + info.defaultChar);
  tm.tmBreakChar = static_cast<BYTE>(info.firstChar + info.breakChar);
  tm.tmItalic = info.italic;
  tm.tmUnderlined = info.underline;
  tm.tmStruckOut = info.strikeOut;
  tm.tmPitchAndFamily = info.pitchAndFamily;
  tm.tmCharSet = info.charSet;
  return tm;
}

}  // namespace portable::gdi
