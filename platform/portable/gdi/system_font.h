// The System font, the default font of every device context: the bitmap font that Debian's
// fonts-wine ships (vgasys.fon), read through FreeType's Windows FNT driver and drawn one bit
// per pixel exactly as its bitmaps are. Its metrics come from the file's own header.
#pragma once

#include <string>

#include "../../win32.h"

struct FT_FaceRec_;
struct FT_LibraryRec_;

namespace portable::gdi {

// What the file says about the font, read once.
struct SystemFontInfo {
  std::string path;
  int pixelHeight = 0;
  int ascent = 0;
  int internalLeading = 0;
  int externalLeading = 0;
  int averageWidth = 0;
  int maxWidth = 0;
  int weight = 0;
  int horizontalResolution = 0;
  int verticalResolution = 0;
  BYTE firstChar = 0;
  BYTE lastChar = 0;
  BYTE defaultChar = 0;  // relative to firstChar, as the file keeps it
  BYTE breakChar = 0;    // likewise
  BYTE italic = 0;
  BYTE underline = 0;
  BYTE strikeOut = 0;
  BYTE pitchAndFamily = 0;
  BYTE charSet = 0;
};

// Whole multiples by which a request enlarges the font, as GDI scales raster fonts.
struct RasterScale {
  int x = 1;
  int y = 1;
};

// The font file: $SPIRALS_SYSTEM_FONT when set, else fonts-wine's vgasys.fon (on Windows the
// vgasys.fon of the Windows fonts folder).
std::string SystemFontPath();
// The Debian package that provides the default file.
constexpr const char kSystemFontPackage[] = "fonts-wine";

// True when `faceName` names the System font (any letter case).
bool IsSystemFace(const char* faceName);

// Reads and checks the file at `path`. False with a one-line reason in `problem` when it is
// missing or is not a usable bitmap font.
bool ReadSystemFontInfo(FT_LibraryRec_* library, const std::string& path, SystemFontInfo* out,
                        std::string* problem);

// A face of the file ready to load glyphs by their Windows-1252 byte; nullptr on failure.
FT_FaceRec_* OpenSystemFace(FT_LibraryRec_* library, const SystemFontInfo& info);

// How `font` scales the System font: a cell height (lfHeight > 0) or character height
// (lfHeight < 0) that holds the font's own one whole number of times or more; lfWidth the same
// against the average width, or the height's factor when 0.
RasterScale ScaleForRequest(const SystemFontInfo& info, const LOGFONTA& font);

// The metrics GetTextMetricsA reports for the font at `scale`.
TEXTMETRICA SystemFontMetrics(const SystemFontInfo& info, RasterScale scale);

}  // namespace portable::gdi
