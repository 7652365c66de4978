// The screen saver for Windows, spirals.scr: what the system and the control panel ask of it.
#include <cstdint>
#include <cstdlib>

#include "../platform/win32.h"
#include "saver.h"
#include "saver_command.h"
#include "startup.h"

namespace {

constexpr int EXIT_BAD_INPUT = 2;
constexpr char NO_SETTINGS[] = "This screen saver has no settings to change.";

// The handle a number names, if the number fits one and the window exists.
HWND liveWindow(uint64_t value) {
  if (value == 0 || value > UINTPTR_MAX) return nullptr;
  HWND hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
  return IsWindow(hwnd) ? hwnd : nullptr;
}

RECT virtualScreen() {
  const LONG x = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const LONG y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return RECT{x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN),
              y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const SaverCommand command = ParseSaverArguments(__argc, __argv);
  switch (command.action) {
    case SaverAction::FullScreen: SaverMain(fullScreenPlan(virtualScreen()));
    case SaverAction::Preview: {
      HWND parent = liveWindow(command.window);
      RECT client{};
      if (parent == nullptr || !GetClientRect(parent, &client)) return EXIT_BAD_INPUT;
      SaverMain(previewPlan(parent, client.right, client.bottom));
    }
    case SaverAction::Settings: {
      HWND owner = command.window != 0 ? liveWindow(command.window) : GetForegroundWindow();
      if (command.window != 0 && owner == nullptr) return EXIT_BAD_INPUT;
      MessageBoxA(owner, NO_SETTINGS, MAIN_TITLE, MB_OK | MB_ICONINFORMATION);
      return 0;
    }
    case SaverAction::ChangePassword: return 0;
    default: return EXIT_BAD_INPUT;
  }
}
