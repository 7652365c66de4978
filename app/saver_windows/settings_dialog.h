// The Windows saver's settings dialog (/c): the number of curves, the speed and the monitors,
// with OK and Cancel; the settings are stored only on OK.
#pragma once

#include <cstdint>

#include "settings_ids.h"

enum class SettingsDialogResult : uint8_t {
  Saved,      // OK: the settings are stored
  Cancelled,  // Cancel, ESC or the close button: nothing was written
  NoOwner,    // the owner named is not a window
  Failed,     // the dialog could not be made
};

// Shows the dialog (SETTINGS_DIALOG in the program's resources) modally, owned by the window
// `owner` names (0: the foreground window).
SettingsDialogResult RunSettingsDialog(uintptr_t owner);
