#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include "face_lookup.h"

namespace portable::gdi {
namespace {

FcConfig* config = nullptr;

}  // namespace

bool FaceLookupAvailable() { return true; }

void StartFaceLookup() {
  if (!config) config = FcInitLoadConfigAndFonts();
}

FT_Face OpenOutlineFace(FT_Library library, const std::string& family, bool bold, bool italic) {
  if (!config || !library) return nullptr;
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return nullptr;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return nullptr;
  FcChar8* file = nullptr;
  int index = 0;
  FT_Face face = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    if (FT_New_Face(library, reinterpret_cast<const char*>(file), index, &face) != 0) {
      face = nullptr;
    } else if (!FT_IS_SCALABLE(face)) {
      FT_Done_Face(face);
      face = nullptr;
    }
  }
  FcPatternDestroy(match);
  return face;
}

void ShutDownFaceLookup() {
  // fontconfig's own caches go last.
  if (config) {
    FcConfigDestroy(config);
    FcFini();
  }
  config = nullptr;
}

}  // namespace portable::gdi
