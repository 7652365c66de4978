// The system's clocks and what it says of the display, for the Windows host.
#include <windows.h>

#include "../system_link.h"

namespace portable::win32 {

uint64_t CounterMicroseconds() {
  static const uint64_t frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<uint64_t>(f.QuadPart);
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  const uint64_t ticks = static_cast<uint64_t>(now.QuadPart);
  // In two parts, so that a counter of many days at a high frequency does not overflow.
  return ticks / frequency * 1000000u + ticks % frequency * 1000000u / frequency;
}

uint32_t SystemTickCount() { return GetTickCount(); }

void SleepMilliseconds(uint32_t ms) { Sleep(ms); }

int32_t SystemMetric(int index) { return GetSystemMetrics(index); }

PlainRect FrameInsets(uint32_t style, uint32_t exStyle) {
  RECT rect{0, 0, 0, 0};
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  return ToPlainRect(RECT{-rect.left, -rect.top, rect.right, rect.bottom});
}

DisplayInfo QueryDisplay() {
  DisplayInfo info;
  info.width = GetSystemMetrics(SM_CXSCREEN);
  info.height = GetSystemMetrics(SM_CYSCREEN);
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  // 0 and 1 stand for the hardware's default rate.
  if (EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode) && mode.dmDisplayFrequency > 1)
    info.refreshHz = static_cast<int32_t>(mode.dmDisplayFrequency);
  return info;
}

}  // namespace portable::win32
