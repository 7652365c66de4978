// The program's entry. On Windows on the system's GDI it is all Windows' own; on our layer
// the window is shown through one real window. On Linux without arguments it puts the layer's
// windows on the desktop through SDL; with the screen-saver arguments it draws into an X window
// instead. In the browser it draws on the page's canvas.
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

#include "../platform/portable/host_sdl/host_sdl.h"
#include "../platform/portable/host_x11/host_x11.h"
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
    "start-up\n";

}  // namespace

int main(int argc, char** argv) {
  const SaverCommand command = ParseHackArguments(argc, argv, std::getenv("XSCREENSAVER_WINDOW"));
  switch (command.action) {
    case SaverAction::Animate:
      if (!portable::InstallSdlHost()) return 1;
      SpiralsMain();
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
