// The monitor the program fills. On Windows the screen that SM_CXSCREEN and SM_CYSCREEN
// measure, with (0, 0) at its top-left corner, is the primary monitor; on an X server with
// several monitors it is RandR's primary output, which need not sit at the root window's
// (0, 0).
#pragma once

namespace portable {

// A monitor's place on the X screen and its size, in pixels.
struct MonitorArea {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The primary monitor. SDL lists RandR's primary output as its display 0 (and, when no output
// is primary, the first); an empty area when SDL knows no display.
MonitorArea PrimaryMonitor();

// Where PrimaryMonitor looks; tests put a monitor layout of their own in place. nullptr goes
// back to SDL's.
using MonitorSource = MonitorArea (*)();
void SetPrimaryMonitorSource(MonitorSource source);

}  // namespace portable
