// The Windows saver's settings dialog (/c): the number of curves, the speed and the monitors,
// with OK and Cancel; the settings are stored only on OK.
#pragma once

#include <cstdint>

enum class SettingsDialogResult : uint8_t {
  Saved,      // OK: the settings are stored
  Cancelled,  // Cancel, ESC or the close button: nothing was written
  NoOwner,    // the owner named is not a window
  Failed,     // the dialog could not be made
};

// Control ids, for tests that play the user.
constexpr int SETTINGS_CURVES_ID = 101;  // drop-down list: "As drawn at start-up", 2 ... 11
constexpr int SETTINGS_SPEED_ID = 102;   // edit: empty for as drawn, else 0.1 to 15
constexpr int SETTINGS_EACH_MONITOR_ID = 103;
constexpr int SETTINGS_ALL_MONITORS_ID = 104;

// Shows the dialog modally, owned by the window `owner` names (0: the foreground window).
SettingsDialogResult RunSettingsDialog(uintptr_t owner);
