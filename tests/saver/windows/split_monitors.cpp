// In place of the saver's monitor function, for the test build spirals-split.scr: two monitors
// side by side, the halves of the virtual screen (Wine on a virtual display reports one).
#include "app/saver_windows/monitors.h"

std::vector<PlainRect> SaverMonitors() {
  const PlainRect all = VirtualScreenArea();
  const int32_t middle = all.left + (all.right - all.left) / 2;
  return {PlainRect{all.left, all.top, middle, all.bottom},
          PlainRect{middle, all.top, all.right, all.bottom}};
}
