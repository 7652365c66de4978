// In place of the saver's monitor function, for the test build spirals-split.scr: two monitors
// side by side, the halves of the virtual screen (Wine on a virtual display reports one).
#include <windows.h>

#include "app/saver_windows/monitors.h"

SaverArea VirtualScreenArea() {
  const int32_t x = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int32_t y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return SaverArea{x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                   y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

std::vector<SaverArea> SaverMonitors() {
  const SaverArea all = VirtualScreenArea();
  const int32_t middle = all.left + (all.right - all.left) / 2;
  return {SaverArea{all.left, all.top, middle, all.bottom},
          SaverArea{middle, all.top, all.right, all.bottom}};
}
