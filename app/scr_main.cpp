// The screen saver for Windows, spirals.scr: what the system and the control panel ask of it.
// The same file makes the saver on the system's GDI (spirals-gdi.scr) and on our layer
// (spirals.scr), where the windows the control panel names are real ones, outside the layer.
#include <cstdint>
#include <cstdlib>

#include "../platform/win32.h"
#include "saver.h"
#include "saver_command.h"
#include "startup.h"

#if !defined(SPIRALS_SYSTEM_WIN32)
#include <cstdio>
#include <string>

#include "../platform/portable/host_win32/host_win32.h"
#endif

namespace {

constexpr int EXIT_BAD_INPUT = 2;
constexpr char NO_SETTINGS[] = "This screen saver has no settings to change.";

RECT virtualScreen() {
  const LONG x = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const LONG y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return RECT{x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN),
              y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

#if defined(SPIRALS_SYSTEM_WIN32)
// The handle a number names, if the number fits one and the window exists.
HWND liveWindow(uint64_t value) {
  if (value == 0 || value > UINTPTR_MAX) return nullptr;
  HWND hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
  return IsWindow(hwnd) ? hwnd : nullptr;
}

int runFullScreen() { SaverMain(fullScreenPlan(virtualScreen())); }

int runPreview(uint64_t window) {
  HWND parent = liveWindow(window);
  RECT client{};
  if (parent == nullptr || !GetClientRect(parent, &client)) return EXIT_BAD_INPUT;
  SaverMain(previewPlan(parent, client.right, client.bottom));
}

int showSettings(uint64_t window) {
  HWND owner = window != 0 ? liveWindow(window) : GetForegroundWindow();
  if (window != 0 && owner == nullptr) return EXIT_BAD_INPUT;
  MessageBoxA(owner, NO_SETTINGS, MAIN_TITLE, MB_OK | MB_ICONINFORMATION);
  return 0;
}
#else
bool installHost(uintptr_t parent) {
  std::string problem;
  if (portable::InstallWin32Host(parent, &problem)) return true;
  std::fprintf(stderr, "spirals: %s\n", problem.c_str());
  return false;
}

// The host reports the system's screens, so the plan covers every monitor as the other does.
int runFullScreen() {
  if (!installHost(0)) return 1;
  SaverMain(fullScreenPlan(virtualScreen()));
}

// Our one window, shown in a real child of the control panel's window.
int runPreview(uint64_t window) {
  int width = 0, height = 0;
  if (window == 0 || window > UINTPTR_MAX ||
      !portable::win32::RealClientSize(static_cast<uintptr_t>(window), &width, &height)) {
    return EXIT_BAD_INPUT;
  }
  if (!installHost(static_cast<uintptr_t>(window))) return EXIT_BAD_INPUT;
  SaverMain(windowPlan(width, height, SaverInput::Ignored));
}

int showSettings(uint64_t window) {
  if (window != 0 &&
      (window > UINTPTR_MAX ||
       !portable::win32::RealClientSize(static_cast<uintptr_t>(window), nullptr, nullptr)))
    return EXIT_BAD_INPUT;
  const uintptr_t owner =
      window != 0 ? static_cast<uintptr_t>(window) : portable::win32::ForegroundWindow();
  portable::win32::ShowInformation(owner, NO_SETTINGS, MAIN_TITLE);
  return 0;
}
#endif

int saverEntry(int argc, const char* const* argv) {
  const SaverCommand command = ParseSaverArguments(argc, argv);
  switch (command.action) {
    case SaverAction::FullScreen: return runFullScreen();
    case SaverAction::Preview: return runPreview(command.window);
    case SaverAction::Settings: return showSettings(command.window);
    case SaverAction::ChangePassword: return 0;
    default: return EXIT_BAD_INPUT;
  }
}

}  // namespace

#if defined(SPIRALS_SYSTEM_WIN32)
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return saverEntry(__argc, __argv); }
#else
int main(int argc, char** argv) { return saverEntry(argc, argv); }
#endif
