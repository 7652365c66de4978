#include "saver_harness.h"

namespace saver_test {

std::string BesideMe(const std::string& name) {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p = path;
  return p.substr(0, p.find_last_of("\\/") + 1) + name;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
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

SaverProcess::~SaverProcess() {
  if (info_.hProcess != nullptr) {
    if (Running()) TerminateProcess(info_.hProcess, 99);
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
  }
}

bool SaverProcess::Start(const std::string& arguments, const std::string& program) {
  const std::string path = BesideMe(program);
  std::string commandLine = "\"" + path + "\"" + (arguments.empty() ? "" : " " + arguments);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  return CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info_) != FALSE;
}

bool SaverProcess::Running() const {
  return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD SaverProcess::WaitExit(DWORD timeoutMs) {
  PumpUntil([&] { return !Running(); }, timeoutMs);
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

namespace {

struct Found {
  DWORD process;
  const char* className;
  std::vector<HWND> windows;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lParam) {
  Found* found = reinterpret_cast<Found*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner != found->process || !IsWindowVisible(hwnd)) return TRUE;
  char name[64] = "";
  GetClassNameA(hwnd, name, sizeof name);
  if (found->className == nullptr || std::string(name) == found->className) {
    found->windows.push_back(hwnd);
  }
  return TRUE;
}

LRESULT CALLBACK PanelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

std::vector<HWND> WindowsOf(DWORD process, const char* className) {
  Found found{process, className, {}};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&found));
  return found.windows;
}

HWND WindowOf(DWORD process, const char* className) {
  const std::vector<HWND> windows = WindowsOf(process, className);
  return windows.empty() ? nullptr : windows.front();
}

std::vector<uint32_t> GrabScreen(const RECT& r) {
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  std::vector<uint32_t> out;
  if (width <= 0 || height <= 0) return out;
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
  if (bits != nullptr) {
    const uint32_t* pixels = static_cast<const uint32_t*>(bits);
    out.reserve(static_cast<size_t>(width) * height);
    for (int i = 0; i < width * height; ++i) out.push_back(pixels[i] & 0xFFFFFF);
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return out;
}

int DrawnOnScreen(const RECT& r) {
  int drawn = 0;
  for (const uint32_t p : GrabScreen(r)) drawn += p != 0;
  return drawn;
}

Panel::Panel() {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = PanelProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  wc.lpszClassName = "ControlPanelStandIn";
  RegisterClassExA(&wc);
  frame = CreateWindowExA(0, wc.lpszClassName, "control panel", WS_POPUP | WS_VISIBLE, 40, 40, 300,
                          240, nullptr, nullptr, wc.hInstance, nullptr);
  monitor = CreateWindowExA(0, wc.lpszClassName, "", WS_CHILD | WS_VISIBLE, 60, 50, 152, 112, frame,
                            nullptr, wc.hInstance, nullptr);
}

Panel::~Panel() {
  if (IsWindow(frame)) DestroyWindow(frame);
}

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

}  // namespace saver_test
