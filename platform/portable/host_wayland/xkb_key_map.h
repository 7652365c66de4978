// Which Windows virtual-key code a key of a Wayland keyboard stands for, read through
// xkbcommon, by the rules of the SDL host's map: letters and punctuation follow the layout,
// digits of the main row and keys without a character follow the key's position, keypad keys
// are digits only when they type digits (NumLock on, Shift up).
#pragma once

#include <xkbcommon/xkbcommon.h>

#include "../../win32.h"

namespace portable {

// `keycode` is xkbcommon's number of the key (the compositor's evdev code plus 8); `state`
// holds the modifiers and locks at the time of the key. 0 when Windows has no code for it.
//
// A key is known by its symbols first and by its position only where the symbols say
// nothing: a virtual keyboard (an on-screen keyboard, a remote desktop, a test's typist) sends
// a keymap of its own whose key numbers are no places on a real keyboard.
UINT VirtualKeyFromXkb(xkb_state* state, xkb_keycode_t keycode);

}  // namespace portable
