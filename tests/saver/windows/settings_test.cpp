// The saver's settings under Wine: the registry's values as /s draws them (damaged ones read as
// the defaults), the settings dialog played as a user would, and the DPI awareness that the .scr
// declares and the program does not.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "app/saver_windows/settings_dialog.h"
#include "saver_harness.h"

namespace {

using namespace saver_test;

constexpr char kKey[] = "Software\\Spirals\\Screen Saver";
// The first reseed gives every curve a new colour 4000 ms after the window is made.
constexpr DWORD kBeforeReseedMs = 3500;

// Starts each test without stored settings, and leaves none behind.
class Settings : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteKeyA(HKEY_CURRENT_USER, kKey); }
  void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, kKey); }

  static void Store(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  static void StoreNumber(const char* name, DWORD value) {
    Store(name, REG_DWORD, &value, sizeof value);
  }
  static void StoreText(const char* name, const std::string& text, DWORD type = REG_SZ) {
    Store(name, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
  }
  // A value as "type:data" ("none" when missing), to compare the whole key at once.
  static std::string Read(const char* name) {
    BYTE data[128] = {};
    DWORD size = sizeof data;
    DWORD type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, kKey, name, RRF_RT_ANY, &type, data, &size) !=
        ERROR_SUCCESS) {
      return "none";
    }
    if (type == REG_DWORD) return "dword:" + std::to_string(*reinterpret_cast<DWORD*>(data));
    if (type == REG_SZ) return "sz:" + std::string(reinterpret_cast<char*>(data));
    return "type " + std::to_string(type);
  }
  static std::string ReadAll() {
    return Read("Curves") + " " + Read("Speed") + " " + Read("Monitors");
  }

  // Runs /s until it has drawn, and returns the distinct colours it shows before its first
  // reseed; then ends it with a key.
  static std::set<uint32_t> ColoursOfTheSaver() {
    std::set<uint32_t> colours;
    SaverProcess saver;
    EXPECT_TRUE(saver.Start("/s"));
    HWND window = nullptr;
    EXPECT_TRUE(PumpUntil([&] { return (window = WindowOf(saver.Id())) != nullptr; }, kPatienceMs))
        << "no saver window";
    if (window == nullptr) return colours;
    const DWORD appeared = GetTickCount();
    RECT r{};
    GetWindowRect(window, &r);
    bool seen = PumpUntil(
        [&] {
          std::set<uint32_t> now;
          int drawn = 0;
          for (const uint32_t p : GrabScreen(r)) {
            if (p != 0) now.insert(p), ++drawn;
          }
          if (now.count(0xFFFFFF) != 0 || drawn < 400 || GetTickCount() - appeared < 1000) {
            return false;
          }
          colours = now;
          return true;
        },
        kPatienceMs);
    EXPECT_TRUE(seen) << "the saver drew nothing";
    EXPECT_LT(GetTickCount() - appeared, kBeforeReseedMs) << "counted too late: the reseed's "
                                                             "new colours may be among them";
    PressKey('A');
    EXPECT_EQ(saver.WaitExit(10000), 0u);
    return colours;
  }
};

TEST_F(Settings, CurvesInTheRegistryGiveThatManyCurvesInTheSaver) {
  StoreNumber("Curves", 3);
  EXPECT_EQ(ColoursOfTheSaver().size(), 3u) << "three curves, one colour each";
}

TEST_F(Settings, DamagedValuesStillStartTheSaverWithTheDefaults) {
  StoreText("Curves", "3");                  // a number stored as text
  StoreText("Speed", "fast");                // not a number
  StoreNumber("Monitors", 7);                // neither 0 nor 1
  StoreText("Speed", "2.5", REG_EXPAND_SZ);  // the wrong type of text
  const std::set<uint32_t> colours = ColoursOfTheSaver();
  // As drawn at start-up: 2 to 11 curves.
  EXPECT_GE(colours.size(), 2u);
  EXPECT_LE(colours.size(), 11u);
  StoreNumber("Curves", 12);
  EXPECT_GE(ColoursOfTheSaver().size(), 2u) << "out of range: as drawn, and it still starts";
}

// Opens /c:<panel> and returns the dialog, or null.
HWND OpenDialog(SaverProcess& saver, const Panel& panel) {
  if (!saver.Start("/c:" + Decimal(panel.frame))) return nullptr;
  HWND dialog = nullptr;
  PumpUntil([&] { return (dialog = WindowOf(saver.Id(), "#32770")) != nullptr; }, kPatienceMs);
  return dialog;
}

TEST_F(Settings, TheDialogWritesEachControlOnOk) {
  Panel panel;
  SaverProcess saver;
  HWND dialog = OpenDialog(saver, panel);
  ASSERT_NE(dialog, nullptr) << "no settings dialog";
  // It shows the defaults.
  EXPECT_EQ(SendDlgItemMessageA(dialog, SETTINGS_CURVES_ID, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(SendDlgItemMessageA(dialog, SETTINGS_CURVES_ID, CB_GETCOUNT, 0, 0), 11);
  EXPECT_EQ(IsDlgButtonChecked(dialog, SETTINGS_EACH_MONITOR_ID), BST_CHECKED);
  EXPECT_EQ(GetWindowTextLengthA(GetDlgItem(dialog, SETTINGS_SPEED_ID)), 0);
  // Entry 3 is "4 curves", after "As drawn at start-up", 2 and 3.
  SendDlgItemMessageA(dialog, SETTINGS_CURVES_ID, CB_SETCURSEL, 3, 0);
  SetDlgItemTextA(dialog, SETTINGS_SPEED_ID, " 2.5 ");
  SendDlgItemMessageA(dialog, SETTINGS_ALL_MONITORS_ID, BM_CLICK, 0, 0);
  SendDlgItemMessageA(dialog, IDOK, BM_CLICK, 0, 0);
  EXPECT_EQ(saver.WaitExit(10000), 0u);
  EXPECT_EQ(ReadAll(), "dword:4 sz:2.5 dword:1");

  // Opened again, it shows what was stored; back to the defaults writes them.
  SaverProcess again;
  dialog = OpenDialog(again, panel);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(SendDlgItemMessageA(dialog, SETTINGS_CURVES_ID, CB_GETCURSEL, 0, 0), 3);
  char text[32] = "";
  GetDlgItemTextA(dialog, SETTINGS_SPEED_ID, text, sizeof text);
  EXPECT_STREQ(text, "2.5");
  EXPECT_EQ(IsDlgButtonChecked(dialog, SETTINGS_ALL_MONITORS_ID), BST_CHECKED);
  SendDlgItemMessageA(dialog, SETTINGS_CURVES_ID, CB_SETCURSEL, 0, 0);
  SetDlgItemTextA(dialog, SETTINGS_SPEED_ID, "");
  SendDlgItemMessageA(dialog, SETTINGS_EACH_MONITOR_ID, BM_CLICK, 0, 0);
  SendDlgItemMessageA(dialog, IDOK, BM_CLICK, 0, 0);
  EXPECT_EQ(again.WaitExit(10000), 0u);
  EXPECT_EQ(ReadAll(), "dword:0 sz: dword:0");
}

TEST_F(Settings, ABadSpeedKeepsTheDialogOpenAndWritesNothing) {
  Panel panel;
  SaverProcess saver;
  HWND dialog = OpenDialog(saver, panel);
  ASSERT_NE(dialog, nullptr);
  SetDlgItemTextA(dialog, SETTINGS_SPEED_ID, "16");
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  HWND warning = nullptr;
  ASSERT_TRUE(PumpUntil(
      [&] {
        for (HWND w : WindowsOf(saver.Id(), "#32770")) {
          if (w != dialog) warning = w;
        }
        return warning != nullptr;
      },
      kPatienceMs))
      << "no word about the speed";
  char text[160] = "";
  GetDlgItemTextA(warning, 0xFFFF, text, sizeof text);  // a message box's text
  EXPECT_STREQ(text,
               "The speed must be a number from 0.1 to 15, such as 2.5, or empty for the speed "
               "drawn at start-up.");
  PostMessageA(warning, WM_COMMAND, IDOK, 0);
  PumpFor(300);
  EXPECT_TRUE(saver.Running());
  EXPECT_EQ(ReadAll(), "none none none");
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(saver.WaitExit(10000), 0u);
}

TEST_F(Settings, EscapeOrCancelLeavesTheRegistryAsItWas) {
  StoreNumber("Curves", 5);
  StoreText("Speed", "1.5");
  StoreNumber("Monitors", 0);
  Panel panel;
  for (const bool escape : {true, false}) {
    SCOPED_TRACE(escape ? "ESC" : "Cancel");
    SaverProcess saver;
    HWND dialog = OpenDialog(saver, panel);
    ASSERT_NE(dialog, nullptr);
    SendDlgItemMessageA(dialog, SETTINGS_CURVES_ID, CB_SETCURSEL, 9, 0);
    SetDlgItemTextA(dialog, SETTINGS_SPEED_ID, "9");
    SendDlgItemMessageA(dialog, SETTINGS_ALL_MONITORS_ID, BM_CLICK, 0, 0);
    if (escape) {
      // To the control with the focus, as the keyboard would: the dialog's own loop turns it
      // into Cancel.
      GUITHREADINFO info{};
      info.cbSize = sizeof info;
      ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info));
      ASSERT_NE(info.hwndFocus, nullptr);
      PostMessageA(info.hwndFocus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
      PostMessageA(info.hwndFocus, WM_KEYUP, VK_ESCAPE, 0xC0010001);
    } else {
      SendDlgItemMessageA(dialog, IDCANCEL, BM_CLICK, 0, 0);
    }
    EXPECT_EQ(saver.WaitExit(10000), 0u);
    EXPECT_EQ(ReadAll(), "dword:5 sz:1.5 dword:0");
  }
}

// The manifest a program carries as resource 1, or "" without one.
std::string Manifest(const std::string& program) {
  HMODULE module = LoadLibraryExA(BesideMe(program).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return "(cannot open " + program + ")";
  std::string text;
  if (HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
    const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
    if (data != nullptr) text.assign(data, SizeofResource(module, found));
  }
  FreeLibrary(module);
  return text;
}

TEST(DpiAwareness, TheSaverDeclaresPerMonitorAwarenessAndTheProgramNone) {
  const std::string saver = Manifest(SAVER_FILE);
  EXPECT_NE(saver.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">"
                       "true/pm</dpiAware>"),
            std::string::npos)
      << saver;
  EXPECT_NE(saver.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos) << saver;
  const std::string program = Manifest(PROGRAM_FILE);
  EXPECT_EQ(program.find("dpiAware"), std::string::npos) << program;
  EXPECT_EQ(program.find("(cannot open"), std::string::npos) << program;
}

}  // namespace
