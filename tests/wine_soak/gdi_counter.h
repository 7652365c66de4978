// Counts the GDI objects the program makes and deletes, by routing this executable's own
// imports of the creating and deleting functions through counting wrappers. Under Wine,
// GetGuiResources reports 0 for everything; this count works there and on Windows alike.
#pragma once

#include <cstddef>

namespace gdisoak {

// Patches the import table; false when no import could be found.
bool InstallGdiCounter();
// Objects made and not yet deleted (pens, brushes, fonts, bitmaps, memory DCs), and window
// DCs fetched and not yet released.
size_t LiveCountedObjects();
size_t HeldWindowDcs();

}  // namespace gdisoak
