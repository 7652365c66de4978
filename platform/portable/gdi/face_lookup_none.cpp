#include "face_lookup.h"

namespace portable::gdi {

bool FaceLookupAvailable() { return false; }

void StartFaceLookup() {}

FT_FaceRec_* OpenOutlineFace(FT_LibraryRec_*, const std::string&, bool, bool) { return nullptr; }

void ShutDownFaceLookup() {}

}  // namespace portable::gdi
