// Which Windows virtual-key code an SDL key event stands for.
#pragma once

#include <SDL.h>

#include "../../win32.h"

namespace portable {

// The virtual-key code Windows would report for this key, or 0 when Windows has none.
// Letters follow the keyboard layout (as on Windows); digits, keypad and named keys follow
// the key's position. Keypad keys are digits only with NumLock on and Shift up, as on Windows.
UINT VirtualKeyFromSdl(SDL_Keycode sym, SDL_Scancode scancode, Uint16 mod);

}  // namespace portable
