// Virtual-key codes for the page's keyboard events, by the same rules as the desktop: digits
// of the main row and keys without a character by position, the keypad by whether it types
// digits (NumLock on), letters and punctuation by the character the layout puts on the key.
#pragma once

#include <string_view>

#include "../../win32.h"

namespace portable {

// `code` and `key` are a KeyboardEvent's properties of those names ("Digit5" and "%", say);
// 0 for keys that have no virtual-key code in our subset.
UINT VirtualKeyFromDom(std::string_view code, std::string_view key);

}  // namespace portable
