// The program's entry. On Windows on the system's GDI it is all Windows' own; on our layer
// the window is shown through one real window. On Linux without arguments it puts the layer's
// window on the desktop: as a Wayland toplevel on a Wayland session, through SDL on X11; with
// the screen-saver arguments it draws into an X window instead. In the browser it draws on the
// page's canvas.
#include "../platform/win32.h"
#include "startup.h"

#if defined(SPIRALS_SYSTEM_WIN32)
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { SpiralsMain(); }
#elif defined(_WIN32)
#include <cstdio>
#include <string>

#include "../platform/portable/host_win32/host_win32.h"

int main() {
  std::string problem;
  if (!portable::InstallWin32Host(0, &problem)) {
    std::fprintf(stderr, "spirals: %s\n", problem.c_str());
    return 1;
  }
  SpiralsMain();
}
#elif defined(__EMSCRIPTEN__)
#include "../platform/portable/host_web/host_web.h"

int main() {
  if (!portable::InstallWebHost()) return 1;
  SpiralsMain();
}
#else
#include <cstdio>
#include <cstdlib>
#include <string>

#include "../platform/portable/host_sdl/host_sdl.h"
#include "../platform/portable/host_wayland/host_wayland.h"
#include "../platform/portable/host_x11/host_x11.h"
#include "desktop_host_choice.h"
#include "saver.h"
#include "saver_command.h"

namespace {

constexpr int EXIT_BAD_INPUT = 2;

const char USAGE[] =
    "usage: spirals                    the animation in a full-screen window\n"
    "       spirals --root             as a screen saver: in $XSCREENSAVER_WINDOW, else the root "
    "window\n"
    "       spirals --window-id ID     as a screen saver in the window ID (0x... or decimal)\n"
    "       spirals --window           the screen saver in a window of its own (ESC ends it)\n"
    "  with a saver mode:  --curves N  draw N curves (2 to 11) instead of the number drawn at "
    "start-up\n"
    "                      --speed S   run at speed S (0.1 to 15) instead of the speed drawn at "
    "start-up\n"
    "  SPIRALS_HOST=wayland or x11 picks the desktop (default: Wayland when WAYLAND_DISPLAY is "
    "set)\n";

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

// The animation on the desktop the environment names. A Wayland session that cannot be
// reached falls back on its X server (XWayland), unless Wayland was asked for by name.
[[noreturn]] void Animate(const DesktopChoice& choice) {
  if (choice.host == DesktopHost::Wayland) {
    std::string problem;
    if (portable::InstallWaylandHost(&problem)) SpiralsMain();
    if (choice.forced || !Set("DISPLAY")) {
      std::fprintf(stderr, "spirals: %s\n", problem.c_str());
      std::exit(1);
    }
  }
  if (!portable::InstallSdlHost()) std::exit(1);
  SpiralsMain();
}

}  // namespace

int main(int argc, char** argv) {
  const SaverCommand command = ParseHackArguments(argc, argv, std::getenv("XSCREENSAVER_WINDOW"));
  DesktopEnvironment environment;
  environment.spiralsHost = std::getenv("SPIRALS_HOST");
  environment.waylandDisplay = std::getenv("WAYLAND_DISPLAY");
  environment.sdlVideoDriver = std::getenv("SDL_VIDEODRIVER");
  const DesktopChoice choice = ChooseDesktopHost(command.action, environment);
  if (command.action != SaverAction::Refused && command.action != SaverAction::Help &&
      !choice.problem.empty()) {
    std::fprintf(stderr, "spirals: %s\n", choice.problem.c_str());
    return EXIT_BAD_INPUT;
  }
  switch (command.action) {
    case SaverAction::Animate: Animate(choice);
    case SaverAction::Help: std::fputs(USAGE, stdout); return 0;
    case SaverAction::Root:
    case SaverAction::WindowId:
    case SaverAction::OwnWindow: break;
    default: std::fprintf(stderr, "spirals: %s\n", command.problem.c_str()); return EXIT_BAD_INPUT;
  }
  const bool own = command.action == SaverAction::OwnWindow;
  SIZE size{0, 0};
  std::string problem;
  if (!portable::InstallX11Host(own ? portable::X11Target::Own : portable::X11Target::Lent,
                                static_cast<unsigned long>(command.window), &size, &problem)) {
    std::fprintf(stderr, "spirals: %s\n", problem.c_str());
    return EXIT_BAD_INPUT;
  }
  SaverMain(windowPlan(size.cx, size.cy, own ? SaverInput::EndOnEscape : SaverInput::Ignored),
            command.settings);
}
#endif
