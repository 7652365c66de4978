// Window titles for desktops that speak UTF-8.
#pragma once

#include <cstddef>

namespace portable {

// A Windows-1252 string as UTF-8 into `out` (always terminated; a character that does not fit
// whole is left out with everything after it).
void AnsiToUtf8(const char* ansi, char* out, size_t outSize);

}  // namespace portable
