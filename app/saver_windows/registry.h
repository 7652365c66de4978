// Where the Windows saver keeps its settings: HKEY_CURRENT_USER\Software\Spirals\Screen Saver,
// with Curves (REG_DWORD), Speed (REG_SZ) and Monitors (REG_DWORD).
#pragma once

#include "../saver_settings.h"

constexpr char SAVER_SETTINGS_KEY[] = "Software\\Spirals\\Screen Saver";

// The stored settings; whatever is missing, of the wrong type or out of range reads as its
// default, so the saver always starts.
SaverSettings LoadSaverSettings();

// Writes all three values; false when the key or a value could not be written.
bool StoreSaverSettings(const SaverSettings& settings);
