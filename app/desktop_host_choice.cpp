#include "desktop_host_choice.h"

#include <string_view>

namespace {

bool Set(const char* value) { return value != nullptr && *value != '\0'; }

}  // namespace

DesktopChoice ChooseDesktopHost(SaverAction action, const DesktopEnvironment& environment) {
  DesktopChoice choice;
  if (Set(environment.spiralsHost)) {
    const std::string_view named = environment.spiralsHost;
    if (named != "wayland" && named != "x11") {
      choice.problem = "SPIRALS_HOST must be wayland or x11, not \"" + std::string(named) + "\"";
      return choice;
    }
    choice.forced = true;
    choice.host = named == "wayland" ? DesktopHost::Wayland : DesktopHost::X11;
  } else if (Set(environment.sdlVideoDriver)) {
    // Someone asked SDL for a driver: Wayland is ours to serve; any other stays SDL's.
    const std::string_view driver = environment.sdlVideoDriver;
    choice.host =
        driver.find("wayland") != std::string_view::npos ? DesktopHost::Wayland : DesktopHost::X11;
  } else if (Set(environment.waylandDisplay)) {
    choice.host = DesktopHost::Wayland;
  }
  const bool screenSaver = action == SaverAction::Root || action == SaverAction::WindowId;
  if (screenSaver && choice.host == DesktopHost::Wayland) {
    const std::string option = action == SaverAction::Root ? "--root" : "--window-id";
    const std::string session =
        Set(environment.waylandDisplay)
            ? std::string("WAYLAND_DISPLAY is ") + environment.waylandDisplay
            : std::string("SPIRALS_HOST is wayland");
    choice.problem = option + " draws for XScreenSaver, which runs on X11, and this is a Wayland " +
                     "session (" + session + "); SPIRALS_HOST=x11 draws through XWayland";
  }
  // The saver's own window (--window) is an X window too.
  if (action == SaverAction::OwnWindow) choice.host = DesktopHost::X11;
  return choice;
}
