// Outline faces by family and style. The desktop finds their files through fontconfig; a build
// without fontconfig (the browser's, whose only font file is the System font) finds none, and
// every face there is drawn in the System font.
#pragma once

#include <string>

struct FT_FaceRec_;
struct FT_LibraryRec_;

namespace portable::gdi {

// False in a build that has no way to find outline faces.
bool FaceLookupAvailable();

// Loads the font configuration; called once, before the first lookup.
void StartFaceLookup();

// The best scalable face for the request, opened with `library`; nullptr when none is found.
FT_FaceRec_* OpenOutlineFace(FT_LibraryRec_* library, const std::string& family, bool bold,
                             bool italic);

// Frees the font configuration at exit; lookups find nothing afterwards.
void ShutDownFaceLookup();

}  // namespace portable::gdi
