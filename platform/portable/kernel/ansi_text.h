// Windows-1252 text: lstrcmpA, lstrcmpiA and lstrlenA (declared in winbase.h), and the
// upper-casing they share with USER32's CharUpperA.
#pragma once

#include "../../win32.h"

namespace portable {

// The capital of a Windows-1252 character; characters without one stay as they are.
unsigned char UpperAnsi(unsigned char c);

}  // namespace portable
