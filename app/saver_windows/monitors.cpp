#include "monitors.h"

#include <windows.h>

namespace {

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(monitor, &info)) return TRUE;
  const RECT& r = info.rcMonitor;
  auto* areas = reinterpret_cast<std::vector<PlainRect>*>(list);
  const PlainRect area = ToPlainRect(r);
  if (info.dwFlags & MONITORINFOF_PRIMARY) {
    areas->insert(areas->begin(), area);
  } else {
    areas->push_back(area);
  }
  return TRUE;
}

}  // namespace

std::vector<PlainRect> SaverMonitors() {
  std::vector<PlainRect> areas;
  EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&areas));
  return areas;
}
