#include "registry.h"

#include <windows.h>

namespace {

// More than any speed's text: a longer value is malformed anyway.
constexpr DWORD SPEED_TEXT_LIMIT = 64;

std::optional<uint32_t> readNumber(HKEY key, const char* name) {
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof value) {
    return std::nullopt;
  }
  return value;
}

std::optional<std::string> readText(HKEY key, const char* name) {
  DWORD type = 0;
  char text[SPEED_TEXT_LIMIT + 1] = "";
  DWORD size = SPEED_TEXT_LIMIT;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ) {
    return std::nullopt;
  }
  // Stored with or without its terminating zero.
  std::string value(text, size);
  while (!value.empty() && value.back() == '\0') value.pop_back();
  return value;
}

bool writeNumber(HKEY key, const char* name, DWORD value) {
  return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                        sizeof value) == ERROR_SUCCESS;
}

}  // namespace

SaverSettings LoadSaverSettings() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, SAVER_SETTINGS_KEY, 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS) {
    return SaverSettings{};
  }
  const SaverSettings settings = SaverSettingsFromStored(
      readNumber(key, "Curves"), readText(key, "Speed"), readNumber(key, "Monitors"));
  RegCloseKey(key);
  return settings;
}

bool StoreSaverSettings(const SaverSettings& settings) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, SAVER_SETTINGS_KEY, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const std::string speed = settings.speed > 0.0 ? FormatSaverSpeed(settings.speed) : "";
  const bool ok =
      writeNumber(key, "Curves", static_cast<DWORD>(settings.curves)) &&
      RegSetValueExA(key, "Speed", 0, REG_SZ, reinterpret_cast<const BYTE*>(speed.c_str()),
                     static_cast<DWORD>(speed.size() + 1)) == ERROR_SUCCESS &&
      writeNumber(key, "Monitors", settings.acrossMonitors ? 1 : 0);
  RegCloseKey(key);
  return ok;
}
