#include "settings_dialog.h"

#include <windows.h>

#include <string>
#include <vector>

#include "registry.h"

namespace {

constexpr char TITLE[] = "Spirals screen saver settings";
constexpr char BAD_SPEED[] =
    "The speed must be a number from 0.1 to 15, such as 2.5, or empty for the speed drawn at "
    "start-up.";
constexpr char NOT_SAVED[] = "The settings could not be saved.";
constexpr char AS_DRAWN[] = "As drawn at start-up";
// Predefined control classes by their atoms.
constexpr WORD BUTTON = 0x0080;
constexpr WORD EDIT = 0x0081;
constexpr WORD STATIC = 0x0082;
constexpr WORD COMBO_BOX = 0x0085;

// A dialog template in memory, so the dialog needs no resource of the program's.
class Template {
 public:
  Template(const char* title, short width, short height) {
    addDword(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    addDword(0);
    countAt_ = words_.size();
    words_.push_back(0);
    for (short v : {short{0}, short{0}, width, height}) words_.push_back(static_cast<WORD>(v));
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the dialog class
    addText(title);
    words_.push_back(8);  // point size
    addText("MS Shell Dlg");
  }
  void add(WORD type, int id, const char* text, DWORD style, short x, short y, short w, short h) {
    if (words_.size() % 2 != 0) words_.push_back(0);  // items start on a DWORD
    addDword(style | WS_CHILD | WS_VISIBLE);
    addDword(0);
    for (short v : {x, y, w, h}) words_.push_back(static_cast<WORD>(v));
    words_.push_back(static_cast<WORD>(id));
    words_.push_back(0xFFFF);
    words_.push_back(type);
    addText(text);
    words_.push_back(0);  // no creation data
    ++words_[countAt_];
  }
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void addDword(DWORD v) {
    words_.push_back(LOWORD(v));
    words_.push_back(HIWORD(v));
  }
  // The texts here are ASCII.
  void addText(const char* text) {
    for (const char* p = text; *p != '\0'; ++p) words_.push_back(static_cast<WORD>(*p));
    words_.push_back(0);
  }
  std::vector<WORD> words_;
  size_t countAt_ = 0;
};

Template makeTemplate() {
  Template t(TITLE, 262, 122);
  t.add(STATIC, -1, "&Curves:", SS_LEFT, 10, 12, 56, 8);
  t.add(COMBO_BOX, SETTINGS_CURVES_ID, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 70, 10, 182,
        160);
  t.add(STATIC, -1, "&Speed:", SS_LEFT, 10, 32, 56, 8);
  t.add(EDIT, SETTINGS_SPEED_ID, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 70, 30, 44, 13);
  t.add(STATIC, -1, "0.1 to 15; empty: as drawn at start-up", SS_LEFT, 120, 32, 132, 8);
  t.add(STATIC, -1, "Monitors:", SS_LEFT, 10, 54, 56, 8);
  t.add(BUTTON, SETTINGS_EACH_MONITOR_ID, "&Each monitor its own animation",
        BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 70, 53, 182, 10);
  t.add(BUTTON, SETTINGS_ALL_MONITORS_ID, "One animation &across all monitors", BS_AUTORADIOBUTTON,
        70, 67, 182, 10);
  t.add(BUTTON, IDOK, "OK", BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 146, 98, 50, 14);
  t.add(BUTTON, IDCANCEL, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 202, 98, 50, 14);
  return t;
}

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
  const Template dialog = makeTemplate();
  const INT_PTR result = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), dialog.get(),
                                                 ownerWindow, dialogProcedure, 0);
  if (result == IDOK) return SettingsDialogResult::Saved;
  if (result == IDCANCEL) return SettingsDialogResult::Cancelled;
  return SettingsDialogResult::Failed;
}
