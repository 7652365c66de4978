// The screen saver for Windows, spirals.scr: what the system and the control panel ask of it.
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

namespace {

constexpr int EXIT_BAD_INPUT = 2;
constexpr SaverGroupHooks GROUP_HOOKS{SaverGroupEnded, SaverGroupOpened, SaverGroupClosed};

// The handle a number names, if the number fits one and the window exists.
HWND liveWindow(uint64_t value) {
  if (value == 0 || value > UINTPTR_MAX) return nullptr;
  HWND hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
  return IsWindow(hwnd) ? hwnd : nullptr;
}

RECT asRect(const SaverArea& area) { return RECT{area.left, area.top, area.right, area.bottom}; }

// /s: one window on each monitor, the first here and the others in copies of this program;
// or one over them all.
[[noreturn]] void fullScreen() {
  const SaverSettings settings = LoadSaverSettings();
  SaverArea area = VirtualScreenArea();
  bool grouped = false;
  if (!settings.acrossMonitors) {
    const std::vector<SaverArea> monitors = SaverMonitors();
    if (!monitors.empty()) area = monitors.front();
    if (monitors.size() > 1) {
      grouped = StartSaverCopies(std::vector<SaverArea>(monitors.begin() + 1, monitors.end()));
    }
  }
  SaverPlan plan = fullScreenPlan(asRect(area));
  if (grouped) plan.group = GROUP_HOOKS;
  SaverMain(plan, settings);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const SaverCommand command = ParseSaverArguments(__argc, __argv);
  switch (command.action) {
    case SaverAction::FullScreen: fullScreen();
    case SaverAction::FullScreenCopy: {
      if (!JoinSaverGroup(command.copy)) return EXIT_BAD_INPUT;
      if (SaverGroupEnded()) return 0;
      SaverPlan plan = fullScreenPlan(asRect(command.copy.area));
      plan.input = SaverInput::EndOnInput;
      plan.group = GROUP_HOOKS;
      SaverMain(plan, LoadSaverSettings());
    }
    case SaverAction::Preview: {
      HWND parent = liveWindow(command.window);
      RECT client{};
      if (parent == nullptr || !GetClientRect(parent, &client)) return EXIT_BAD_INPUT;
      SaverMain(previewPlan(parent, client.right, client.bottom), LoadSaverSettings());
    }
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
