// A saver (SAVER_FILE: spirals.scr on our layer, spirals-gdi.scr on the system's GDI) as
// Windows' screen-saver control panel and the system drive it: the preview in a window of ours,
// the saver itself ended by input, the settings dialog's owner, and refused arguments. The .scr
// is the one built next to this program.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "saver_harness.h"

namespace {

using namespace saver_test;

TEST(ControlPanel, PreviewFillsTheWindowItIsGivenAndEndsWithIt) {
  Panel panel;
  ASSERT_NE(panel.monitor, nullptr);
  SaverProcess saver;
  ASSERT_TRUE(saver.Start("/p " + Decimal(panel.monitor)));
  HWND child = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return (child = GetWindow(panel.monitor, GW_CHILD)) != nullptr; },
                        kPatienceMs))
      << "no preview window appeared";
  DWORD owner = 0;
  GetWindowThreadProcessId(child, &owner);
  EXPECT_EQ(owner, saver.Id()) << "the preview belongs to the saver's process";
  RECT client{};
  GetClientRect(child, &client);
  EXPECT_EQ(client.right, 152);
  EXPECT_EQ(client.bottom, 112);
  EXPECT_TRUE(GetWindowLongA(child, GWL_STYLE) & WS_CHILD);
  char title[64] = "";
  GetWindowTextA(child, title, sizeof title);
  EXPECT_STREQ(title, kTitle);

  RECT onScreen{};
  GetWindowRect(child, &onScreen);
  EXPECT_TRUE(PumpUntil([&] { return DrawnOnScreen(onScreen) > 100; }, kPatienceMs))
      << "no curves in the preview";
  // Clicks and keys in the preview do not end it.
  PostMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  PostMessageA(child, WM_KEYDOWN, VK_ESCAPE, 0);
  PumpFor(500);
  EXPECT_TRUE(saver.Running());

  DestroyWindow(panel.frame);
  EXPECT_EQ(saver.WaitExit(kPatienceMs), 0u)
      << "the preview must end, with 0, when its parent goes";
}

// Run as a second process by the next test: a panel whose process is then killed.
TEST(ControlPanelHelper, HoldsAPanelUntilKilled) {
  char file[MAX_PATH] = "";
  if (GetEnvironmentVariableA("SAVER_PANEL_HANDLE_FILE", file, MAX_PATH) == 0)
    GTEST_SKIP() << "only as a helper";
  Panel panel;
  const std::string handle = Decimal(panel.monitor);
  HANDLE out = CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(out, handle.data(), static_cast<DWORD>(handle.size()), &written, nullptr);
  CloseHandle(out);
  PumpFor(kPatienceMs * 4);
}

TEST(ControlPanel, PreviewEndsWhenThePanelsProcessDies) {
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  char folder[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, folder);
  const std::string file = std::string(folder) + "saver_panel_handle.txt";
  DeleteFileA(file.c_str());
  SetEnvironmentVariableA("SAVER_PANEL_HANDLE_FILE", file.c_str());
  std::string commandLine = "\"" + std::string(self) + "\" --gtest_filter=ControlPanelHelper.*";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION helper{};
  ASSERT_TRUE(CreateProcessA(self, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &helper));
  SetEnvironmentVariableA("SAVER_PANEL_HANDLE_FILE", nullptr);
  std::string handle;
  PumpUntil(
      [&] {
        HANDLE in = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
        if (in == INVALID_HANDLE_VALUE) return false;
        char text[32] = "";
        DWORD read = 0;
        ReadFile(in, text, sizeof text - 1, &read, nullptr);
        CloseHandle(in);
        handle.assign(text, read);
        return !handle.empty();
      },
      kPatienceMs);
  ASSERT_FALSE(handle.empty()) << "the helper did not make its panel";
  HWND monitor = reinterpret_cast<HWND>(static_cast<uintptr_t>(std::stoull(handle)));
  SaverProcess saver;
  ASSERT_TRUE(saver.Start("/p " + handle));
  EXPECT_TRUE(PumpUntil([&] { return GetWindow(monitor, GW_CHILD) != nullptr; }, kPatienceMs));
  // Under Wine the panel's windows and the preview in them go without a WM_DESTROY to us.
  TerminateProcess(helper.hProcess, 1);
  WaitForSingleObject(helper.hProcess, kPatienceMs);
  CloseHandle(helper.hProcess);
  CloseHandle(helper.hThread);
  DeleteFileA(file.c_str());
  EXPECT_EQ(saver.WaitExit(kPatienceMs), 0u)
      << "the preview must end, with 0, when the panel's process dies";
}

TEST(ControlPanel, SaverCoversTheVirtualScreenAndIgnoresSmallMoves) {
  const RECT screen = VirtualScreen();
  const int cx = (screen.left + screen.right) / 2;
  const int cy = (screen.top + screen.bottom) / 2;
  SetCursorPos(cx, cy);
  PumpFor(200);
  SaverProcess saver;
  ASSERT_TRUE(saver.Start("/s"));
  HWND window = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return (window = WindowOf(saver.Id())) != nullptr; }, kPatienceMs))
      << "no saver window appeared";
  RECT rect{};
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, screen.left);
  EXPECT_EQ(rect.top, screen.top);
  EXPECT_EQ(rect.right, screen.right);
  EXPECT_EQ(rect.bottom, screen.bottom);
  EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & WS_CAPTION, 0);
  // The window opens in the system's window colour (white) and is cleared to black at its
  // first paint; from then on the top-left corner, where the status line would be, stays black.
  const RECT statusArea{screen.left, screen.top, screen.left + 300, screen.top + 16};
  EXPECT_TRUE(PumpUntil([&] { return DrawnOnScreen(statusArea) == 0; }, kPatienceMs))
      << "never cleared";
  const RECT middle{cx - 150, cy - 150, cx + 150, cy + 150};
  EXPECT_TRUE(PumpUntil([&] { return DrawnOnScreen(middle) > 200; }, kPatienceMs))
      << "no curves on the screen";
  PumpFor(500);
  EXPECT_EQ(DrawnOnScreen(statusArea), 0) << "no status line";

  MoveMouseTo(cx + 3, cy);
  PumpFor(1000);
  EXPECT_TRUE(saver.Running()) << "a move of 3 pixels ended it";
  CURSORINFO cursor{};
  cursor.cbSize = sizeof cursor;
  ASSERT_TRUE(GetCursorInfo(&cursor));
  EXPECT_EQ(cursor.hCursor, nullptr) << "no cursor over the saver";
  MoveMouseTo(cx + 60, cy);
  EXPECT_EQ(saver.WaitExit(10000), 0u) << "a move of 60 pixels must end it with 0";
}

TEST(ControlPanel, AKeyEndsTheSaver) {
  SaverProcess saver;
  ASSERT_TRUE(saver.Start("/S"));
  ASSERT_TRUE(PumpUntil([&] { return WindowOf(saver.Id()) != nullptr; }, kPatienceMs));
  PumpFor(500);
  ASSERT_TRUE(saver.Running());
  PressKey('A');
  EXPECT_EQ(saver.WaitExit(10000), 0u);
}

TEST(ControlPanel, SettingsDialogIsOwnedByTheGivenWindowAndEndsTheProgramWhenClosed) {
  Panel panel;
  for (const std::string& arguments :
       {"/c:" + Decimal(panel.frame), std::string("/c"), std::string()}) {
    SCOPED_TRACE("arguments \"" + arguments + "\"");
    SaverProcess saver;
    ASSERT_TRUE(saver.Start(arguments));
    HWND dialog = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (dialog = WindowOf(saver.Id(), "#32770")) != nullptr; },
                          kPatienceMs))
        << "no settings dialog appeared";
    if (!arguments.empty() && arguments != "/c") {
      EXPECT_EQ(GetWindow(dialog, GW_OWNER), panel.frame);
    }
    char text[128] = "";
    GetWindowTextA(dialog, text, sizeof text);
    EXPECT_STREQ(text, "Spirals screen saver settings");
    PumpFor(300);
    EXPECT_TRUE(saver.Running()) << "it waits for the dialog to be closed";
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(saver.WaitExit(10000), 0u);
  }
}

TEST(ControlPanel, ChangePasswordHasNothingToDo) {
  SaverProcess saver;
  ASSERT_TRUE(saver.Start("/a"));
  EXPECT_EQ(saver.WaitExit(kPatienceMs), 0u);
}

TEST(ControlPanel, BadArgumentsOpenNoWindowAndExitWithTwo) {
  // A handle that named a window once.
  HWND dead =
      CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(dead, nullptr);
  DestroyWindow(dead);
  const std::vector<std::string> cases = {"/p", "/p abc", "/p 0", "/p " + Decimal(dead),
                                          "/p:" + Decimal(dead), "/c:" + Decimal(dead), "/c:abc",
                                          "/x", "/s 12", "--root", "/copy 0,0,10,10",
                                          // Handles that this process never gave it.
                                          "/copy 0,0,10,10,40000,40004,40008"};
  for (const std::string& arguments : cases) {
    SCOPED_TRACE(arguments);
    SaverProcess saver;
    ASSERT_TRUE(saver.Start(arguments));
    bool windowSeen = false;
    PumpUntil(
        [&] {
          windowSeen |= WindowOf(saver.Id()) != nullptr;
          return !saver.Running();
        },
        kPatienceMs);
    EXPECT_EQ(saver.WaitExit(0), 2u);
    EXPECT_FALSE(windowSeen);
  }
}

}  // namespace
