#include "settings_dialog.h"

#include <windows.h>

#include <string>

#include "registry.h"

namespace {

constexpr char TITLE[] = "Spirals screen saver settings";
constexpr char BAD_SPEED[] =
    "The speed must be a number from 0.1 to 15, such as 2.5, or empty for the speed drawn at "
    "start-up.";
constexpr char NOT_SAVED[] = "The settings could not be saved.";
constexpr char AS_DRAWN[] = "As drawn at start-up";

void showSettings(HWND dialog, const SaverSettings& settings) {
  HWND curves = GetDlgItem(dialog, SETTINGS_CURVES_ID);
  SendMessageA(curves, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AS_DRAWN));
  for (int n = SAVER_CURVES_LOW; n <= SAVER_CURVES_HIGH; ++n) {
    const std::string item = std::to_string(n) + " curves";
    SendMessageA(curves, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  const int chosen = settings.curves == 0 ? 0 : settings.curves - SAVER_CURVES_LOW + 1;
  SendMessageA(curves, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
  const std::string speed = settings.speed > 0.0 ? FormatSaverSpeed(settings.speed) : "";
  SetDlgItemTextA(dialog, SETTINGS_SPEED_ID, speed.c_str());
  CheckRadioButton(dialog, SETTINGS_EACH_MONITOR_ID, SETTINGS_ALL_MONITORS_ID,
                   settings.acrossMonitors ? SETTINGS_ALL_MONITORS_ID : SETTINGS_EACH_MONITOR_ID);
}

std::string trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The settings the controls show; false (with the speed field selected) when the speed is not
// one.
bool readSettings(HWND dialog, SaverSettings* settings) {
  const LRESULT chosen = SendDlgItemMessageA(dialog, SETTINGS_CURVES_ID, CB_GETCURSEL, 0, 0);
  settings->curves = chosen > 0 ? static_cast<int32_t>(chosen) + SAVER_CURVES_LOW - 1 : 0;
  if (settings->curves > SAVER_CURVES_HIGH) settings->curves = 0;
  char text[64] = "";
  GetDlgItemTextA(dialog, SETTINGS_SPEED_ID, text, sizeof text);
  const std::string speed = trimmed(text);
  settings->speed = 0.0;
  if (!speed.empty() && !ParseSaverSpeed(speed.c_str(), &settings->speed)) {
    MessageBoxA(dialog, BAD_SPEED, TITLE, MB_OK | MB_ICONEXCLAMATION);
    HWND field = GetDlgItem(dialog, SETTINGS_SPEED_ID);
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, 0, -1);
    return false;
  }
  settings->acrossMonitors = IsDlgButtonChecked(dialog, SETTINGS_ALL_MONITORS_ID) == BST_CHECKED;
  return true;
}

INT_PTR CALLBACK dialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: showSettings(dialog, LoadSaverSettings()); return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        SaverSettings settings;
        if (!readSettings(dialog, &settings)) return TRUE;
        if (!StoreSaverSettings(settings)) {
          MessageBoxA(dialog, NOT_SAVED, TITLE, MB_OK | MB_ICONERROR);
          return TRUE;
        }
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default: return FALSE;
  }
}

}  // namespace

SettingsDialogResult RunSettingsDialog(uintptr_t owner) {
  HWND ownerWindow = reinterpret_cast<HWND>(owner);
  if (owner != 0 && !IsWindow(ownerWindow)) return SettingsDialogResult::NoOwner;
  if (owner == 0) ownerWindow = GetForegroundWindow();
  const INT_PTR result =
      DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(SETTINGS_DIALOG), ownerWindow,
                      dialogProcedure, 0);
  if (result == IDOK) return SettingsDialogResult::Saved;
  if (result == IDCANCEL) return SettingsDialogResult::Cancelled;
  return SettingsDialogResult::Failed;
}
