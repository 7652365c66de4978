#include "monitors.h"

#include <windows.h>

namespace {

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(monitor, &info)) return TRUE;
  const RECT& r = info.rcMonitor;
  auto* areas = reinterpret_cast<std::vector<SaverArea>*>(list);
  const SaverArea area{r.left, r.top, r.right, r.bottom};
  if (info.dwFlags & MONITORINFOF_PRIMARY) {
    areas->insert(areas->begin(), area);
  } else {
    areas->push_back(area);
  }
  return TRUE;
}

}  // namespace

std::vector<SaverArea> SaverMonitors() {
  std::vector<SaverArea> areas;
  EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&areas));
  return areas;
}

SaverArea VirtualScreenArea() {
  const int32_t x = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int32_t y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return SaverArea{x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                   y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}
