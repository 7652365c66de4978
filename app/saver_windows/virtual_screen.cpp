#include <windows.h>

#include "monitors.h"

PlainRect VirtualScreenArea() {
  const int32_t x = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int32_t y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return PlainRect{x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                   y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}
