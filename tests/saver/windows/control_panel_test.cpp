// A saver (SAVER_FILE: spirals.scr on our layer, spirals-gdi.scr on the system's GDI) as
// Windows' screen-saver control panel and the system drive it: the preview in
// a window of ours, the saver itself ended by input, the settings box, and refused arguments.
// The .scr is the one built next to this program.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

constexpr DWORD kPatienceMs = 30000;  // a fresh Wine prefix is slow to start a program
constexpr char kTitle[] = "ZELVARI in KORVEX PRO";
constexpr char kNoSettings[] = "This screen saver has no settings to change.";

std::string SaverPath() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p = path;
  return p.substr(0, p.find_last_of("\\/") + 1) + SAVER_FILE;
}

// Handles our windows' messages (other processes send to them) until `done` or the time is up.
template <typename Done>
bool PumpUntil(Done done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (done()) return true;
    if (GetTickCount() - start >= timeoutMs) return done();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

void PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

class SaverProcess {
 public:
  SaverProcess() = default;
  SaverProcess(const SaverProcess&) = delete;
  SaverProcess& operator=(const SaverProcess&) = delete;
  ~SaverProcess() {
    if (info_.hProcess != nullptr) {
      if (Running()) TerminateProcess(info_.hProcess, 99);
      CloseHandle(info_.hProcess);
      CloseHandle(info_.hThread);
    }
  }
  bool Start(const std::string& arguments) {
    const std::string path = SaverPath();
    std::string commandLine = "\"" + path + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    return CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &info_) != FALSE;
  }
  DWORD Id() const { return info_.dwProcessId; }
  bool Running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
  // Waits (handling our own messages) for the end; its exit code, or STILL_ACTIVE.
  DWORD WaitExit(DWORD timeoutMs) {
    PumpUntil([&] { return !Running(); }, timeoutMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }

 private:
  PROCESS_INFORMATION info_{};
};

struct Found {
  DWORD process;
  const char* className;  // null: any
  HWND hwnd;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lParam) {
  Found* found = reinterpret_cast<Found*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner != found->process || !IsWindowVisible(hwnd)) return TRUE;
  char name[64] = "";
  GetClassNameA(hwnd, name, sizeof name);
  if (found->className != nullptr && std::string(name) != found->className) return TRUE;
  found->hwnd = hwnd;
  return FALSE;
}

// A visible top-level window of `process` (of `className` when given), or null.
HWND WindowOf(DWORD process, const char* className = nullptr) {
  Found found{process, className, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&found));
  return found.hwnd;
}

// Pixels of a screen rectangle that are not black.
int DrawnOnScreen(const RECT& r) {
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  int drawn = 0;
  const uint32_t* pixels = static_cast<const uint32_t*>(bits);
  for (int i = 0; pixels != nullptr && i < width * height; ++i)
    drawn += (pixels[i] & 0xFFFFFF) != 0;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return drawn;
}

LRESULT CALLBACK PanelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A top-level window standing for the control panel, with a child where the preview goes.
struct Panel {
  HWND frame = nullptr;
  HWND monitor = nullptr;
  Panel() {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = PanelProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = "ControlPanelStandIn";
    RegisterClassExA(&wc);
    frame = CreateWindowExA(0, wc.lpszClassName, "control panel", WS_POPUP | WS_VISIBLE, 40, 40,
                            300, 240, nullptr, nullptr, wc.hInstance, nullptr);
    monitor = CreateWindowExA(0, wc.lpszClassName, "", WS_CHILD | WS_VISIBLE, 60, 50, 152, 112,
                              frame, nullptr, wc.hInstance, nullptr);
  }
  ~Panel() {
    if (IsWindow(frame)) DestroyWindow(frame);
  }
};

std::string Decimal(HWND hwnd) { return std::to_string(reinterpret_cast<uintptr_t>(hwnd)); }

RECT VirtualScreen() {
  const LONG x = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const LONG y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return RECT{x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN),
              y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

void MoveMouseTo(int x, int y) {
  const RECT screen = VirtualScreen();
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>((x - screen.left) * 65535LL / (screen.right - screen.left - 1));
  input.mi.dy = static_cast<LONG>((y - screen.top) * 65535LL / (screen.bottom - screen.top - 1));
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
  SendInput(1, &input, sizeof input);
}

void PressKey(WORD key) {
  INPUT inputs[2]{};
  inputs[0].type = INPUT_KEYBOARD;
  inputs[0].ki.wVk = key;
  inputs[1] = inputs[0];
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, inputs, sizeof inputs[0]);
}

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

TEST(ControlPanel, SettingsBoxIsOwnedByTheGivenWindowAndEndsTheProgramWhenClosed) {
  Panel panel;
  for (const std::string& arguments :
       {"/c:" + Decimal(panel.frame), std::string("/c"), std::string()}) {
    SCOPED_TRACE("arguments \"" + arguments + "\"");
    SaverProcess saver;
    ASSERT_TRUE(saver.Start(arguments));
    HWND box = nullptr;
    ASSERT_TRUE(
        PumpUntil([&] { return (box = WindowOf(saver.Id(), "#32770")) != nullptr; }, kPatienceMs))
        << "no message box appeared";
    if (!arguments.empty() && arguments != "/c") {
      EXPECT_EQ(GetWindow(box, GW_OWNER), panel.frame);
    }
    char text[128] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // a message box's text
    EXPECT_STREQ(text, kNoSettings);
    GetWindowTextA(box, text, sizeof text);
    EXPECT_STREQ(text, kTitle);
    PumpFor(300);
    EXPECT_TRUE(saver.Running()) << "it waits for the box to be closed";
    PostMessageA(box, WM_COMMAND, IDOK, 0);
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
  const std::vector<std::string> cases = {"/p",
                                          "/p abc",
                                          "/p 0",
                                          "/p " + Decimal(dead),
                                          "/p:" + Decimal(dead),
                                          "/c:" + Decimal(dead),
                                          "/c:abc",
                                          "/x",
                                          "/s 12",
                                          "--root"};
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
