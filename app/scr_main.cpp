// The screen saver for Windows: what the system and the control panel ask of it. The same file
// makes the saver on the system's GDI (spirals-gdi.scr) and on our layer (spirals.scr), where
// the windows the control panel names are real ones, outside the layer, and our one window is
// shown through host_win32.
#include <cstdint>
#include <cstdlib>

#include "../platform/win32.h"
#include "saver.h"
#include "saver_command.h"
#include "saver_windows/monitors.h"
#include "saver_windows/process_group.h"
#include "saver_windows/registry.h"
#include "saver_windows/settings_dialog.h"
#include "startup.h"

#if !defined(SPIRALS_SYSTEM_WIN32)
#include <cstdio>
#include <string>

#include "../platform/portable/host_win32/host_win32.h"
#endif

namespace {

constexpr int EXIT_BAD_INPUT = 2;
constexpr SaverGroupHooks GROUP_HOOKS{SaverGroupEnded, SaverGroupOpened, SaverGroupClosed};

#if defined(SPIRALS_SYSTEM_WIN32)
bool installHost(uintptr_t) { return true; }

// The handle a number names, if the number fits one and the window exists.
HWND liveWindow(uint64_t value) {
  if (value == 0 || value > UINTPTR_MAX) return nullptr;
  HWND hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
  return IsWindow(hwnd) ? hwnd : nullptr;
}

int runPreview(uint64_t window) {
  HWND parent = liveWindow(window);
  RECT client{};
  if (parent == nullptr || !GetClientRect(parent, &client)) return EXIT_BAD_INPUT;
  SaverMain(previewPlan(parent, client.right, client.bottom), LoadSaverSettings());
}
#else
bool installHost(uintptr_t parent, SIZE* size = nullptr) {
  std::string problem;
  if (portable::InstallWin32Host(parent, &problem, size)) return true;
  std::fprintf(stderr, "spirals: %s\n", problem.c_str());
  return false;
}

// Our one window, shown in a real child of the control panel's window.
int runPreview(uint64_t window) {
  SIZE client{};
  if (window == 0 || window > UINTPTR_MAX || !installHost(static_cast<uintptr_t>(window), &client))
    return EXIT_BAD_INPUT;
  SaverMain(windowPlan(client.cx, client.cy, SaverInput::Ignored), LoadSaverSettings());
}
#endif

// /s: one window on each monitor, the first here and the others in copies of this program;
// or one over them all.
int runFullScreen() {
  const SaverSettings settings = LoadSaverSettings();
  PlainRect area = VirtualScreenArea();
  bool grouped = false;
  if (!settings.acrossMonitors) {
    const std::vector<PlainRect> monitors = SaverMonitors();
    if (!monitors.empty()) area = monitors.front();
    if (monitors.size() > 1) {
      grouped = StartSaverCopies(std::vector<PlainRect>(monitors.begin() + 1, monitors.end()));
    }
  }
  if (!installHost(0)) return 1;
  SaverPlan plan = fullScreenPlan(ToRect<RECT>(area));
  if (grouped) plan.group = GROUP_HOOKS;
  SaverMain(plan, settings);
}

// A copy on one further monitor, started by the first.
int runCopy(const SaverCopy& copy) {
  if (!JoinSaverGroup(copy)) return EXIT_BAD_INPUT;
  if (SaverGroupEnded()) return 0;
  if (!installHost(0)) return 1;
  SaverPlan plan = fullScreenPlan(ToRect<RECT>(copy.area));
  plan.input = SaverInput::EndOnInput;
  plan.group = GROUP_HOOKS;
  SaverMain(plan, LoadSaverSettings());
}

int saverEntry(int argc, const char* const* argv) {
  const SaverCommand command = ParseSaverArguments(argc, argv);
  switch (command.action) {
    case SaverAction::FullScreen: return runFullScreen();
    case SaverAction::FullScreenCopy: return runCopy(command.copy);
    case SaverAction::Preview: return runPreview(command.window);
    case SaverAction::Settings: {
      const bool bad = command.window > UINTPTR_MAX ||
                       RunSettingsDialog(static_cast<uintptr_t>(command.window)) ==
                           SettingsDialogResult::NoOwner;
      return bad ? EXIT_BAD_INPUT : 0;
    }
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
