// Which desktop the Linux program shows itself on, from its environment: the Wayland host on a
// Wayland session, SDL on X11; SPIRALS_HOST=wayland or x11 decides instead. Pure: it reads no
// variable itself and opens nothing, so that every case can be tried.
#pragma once

#include <string>

#include "saver_command.h"

enum class DesktopHost { Wayland, X11 };

// The variables that decide; nullptr where unset.
struct DesktopEnvironment {
  const char* spiralsHost = nullptr;     // SPIRALS_HOST
  const char* waylandDisplay = nullptr;  // WAYLAND_DISPLAY
  const char* sdlVideoDriver = nullptr;  // SDL_VIDEODRIVER
};

struct DesktopChoice {
  DesktopHost host = DesktopHost::X11;
  // SPIRALS_HOST named the host: no other is tried when it fails.
  bool forced = false;
  // Non-empty: the program cannot go on; one line for standard error.
  std::string problem;
};

// For the program (`action` Animate) and the X11 saver modes (Root, WindowId, OwnWindow),
// which draw into X windows and so refuse a Wayland session unless SPIRALS_HOST=x11.
DesktopChoice ChooseDesktopHost(SaverAction action, const DesktopEnvironment& environment);
