#include "primary_monitor.h"

#include <SDL.h>

namespace portable {
namespace {

MonitorArea SdlDisplayZero() {
  SDL_Rect bounds{};
  if (SDL_GetDisplayBounds(0, &bounds) != 0 || bounds.w <= 0 || bounds.h <= 0) return {};
  MonitorArea area{bounds.x, bounds.y, bounds.w, bounds.h};
  // The mode may be more current than the bounds (a mode switched since SDL looked).
  SDL_DisplayMode mode{};
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0) {
    area.width = mode.w;
    area.height = mode.h;
  }
  return area;
}

MonitorSource source = nullptr;

}  // namespace

MonitorArea PrimaryMonitor() { return source != nullptr ? source() : SdlDisplayZero(); }

void SetPrimaryMonitorSource(MonitorSource replacement) { source = replacement; }

}  // namespace portable
