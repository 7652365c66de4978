#include "tests/conformance/conformance_support.h"

#include <cstdio>

#if !defined(SPIRALS_SYSTEM_WIN32)
#include "platform/portable/user/input.h"
#endif

namespace conformance {

const char* const kTraceClass = "ConformanceTrace";
const char* const kNoBrushClass = "ConformanceNoBrush";

namespace {

RecorderState state;
ATOM traceAtom = 0;
ATOM noBrushAtom = 0;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  kit::Record(hwnd, message, wParam, lParam);
  const Behaviour& b = state.behaviour;
  if (b.destroySelfOn != 0 && message == b.destroySelfOn) {
    state.destroyResult = DestroyWindow(hwnd);
    state.destroyedWindowWasWindowAfter = IsWindow(hwnd) != FALSE;
    return 77;
  }
  switch (message) {
    case WM_CREATE:
      if (b.failCreate) return -1;
      break;
    case WM_PAINT:
      if (b.paintWithBeginPaint) {
        PAINTSTRUCT ps{};
        BeginPaint(hwnd, &ps);
        state.lastPaint = ps;
        state.lastPaintClipKind = GetClipBox(ps.hdc, &state.lastPaintClip);
        ++state.paintCount;
        EndPaint(hwnd, &ps);
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      if (b.eraseReturnsZero) return 0;
      break;
    case WM_CLOSE:
      if (b.swallowClose) return 0;
      break;
    case WM_USER + 5:
      // The synchronous-send probe: answers with a value built from both parameters.
      return static_cast<LRESULT>(wParam * 1000 + static_cast<WPARAM>(lParam));
    default: break;
  }
  return kit::DefProc(hwnd, message, wParam, lParam);
}

}  // namespace

RecorderState& Recorder() { return state; }

void ResetRecorder() {
  kit::Clear();
  state.behaviour = Behaviour{};
  state.lastPaint = PAINTSTRUCT{};
  state.lastPaintClip = RECT{};
  state.lastPaintClipKind = 0;
  state.paintCount = 0;
  state.destroyResult = FALSE;
  state.destroyedWindowWasWindowAfter = true;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string ShowRect(const RECT& r) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "(%ld,%ld,%ld,%ld)", static_cast<long>(r.left),
                static_cast<long>(r.top), static_cast<long>(r.right), static_cast<long>(r.bottom));
  return buf;
}

void RegisterTestClasses() {
  if (traceAtom == 0) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = RecordingProc;
    wc.cbWndExtra = 8;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kTraceClass;
    traceAtom = RegisterClassExA(&wc);
  }
  if (noBrushAtom == 0) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kNoBrushClass;
    noBrushAtom = RegisterClassExA(&wc);
  }
}

ATOM TraceClassAtom() {
  RegisterTestClasses();
  return traceAtom;
}

HWND CreateTestWindow(DWORD style, int x, int y, int width, int height, const char* className) {
  RegisterTestClasses();
  return CreateWindowExA(0, className, "conformance", style, x, y, width, height, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

static void DrainQueue() {
  MSG msg;
  for (int i = 0; i < 1000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    TranslateMessage(&msg);
    kit::Dispatch(msg);
  }
}

void Settle() {
  DrainQueue();
#if defined(SPIRALS_SYSTEM_WIN32)
  // The window system answers a new window (expose, focus) a moment later.
  for (int round = 0; round < 4; ++round) {
    Sleep(25);
    DrainQueue();
  }
#endif
}

bool RunningOnWine() {
#if defined(SPIRALS_SYSTEM_WIN32)
  HMODULE ntdll = GetModuleHandleA("ntdll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
  return false;
#endif
}

bool QueueKeyInput(HWND target, UINT virtualKey) {
#if defined(SPIRALS_SYSTEM_WIN32)
  if (GetForegroundWindow() != target) SetForegroundWindow(target);
  SetFocus(target);
  INPUT in[2] = {};
  in[0].type = INPUT_KEYBOARD;
  in[0].ki.wVk = static_cast<WORD>(virtualKey);
  in[1] = in[0];
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  return SendInput(2, in, sizeof(INPUT)) == 2;
#else
  SetFocus(target);
  portable::InjectKey(virtualKey, true);
  portable::InjectKey(virtualKey, false);
  return true;
#endif
}

bool WaitForQueued(HWND hwnd, UINT first, UINT last, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  MSG msg;
  for (;;) {
    if (PeekMessageA(&msg, hwnd, first, last, PM_NOREMOVE)) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(5);
  }
}

}  // namespace conformance
