#include "tests/conformance/conformance_support.h"

#include <cstdio>

#if !defined(_WIN32)
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
  state.trace.push_back(Recorded{hwnd, message, wParam, lParam});
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
    default:
      break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

struct Name {
  UINT message;
  const char* name;
};
constexpr Name kNames[] = {
    {WM_CREATE, "WM_CREATE"},
    {WM_DESTROY, "WM_DESTROY"},
    {WM_MOVE, "WM_MOVE"},
    {WM_SIZE, "WM_SIZE"},
    {WM_ACTIVATE, "WM_ACTIVATE"},
    {WM_SETFOCUS, "WM_SETFOCUS"},
    {WM_KILLFOCUS, "WM_KILLFOCUS"},
    {WM_PAINT, "WM_PAINT"},
    {WM_CLOSE, "WM_CLOSE"},
    {WM_ERASEBKGND, "WM_ERASEBKGND"},
    {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
    {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"},
    {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"},
    {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
    {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
    {WM_NCCREATE, "WM_NCCREATE"},
    {WM_NCDESTROY, "WM_NCDESTROY"},
    {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
    {WM_NCPAINT, "WM_NCPAINT"},
    {WM_NCACTIVATE, "WM_NCACTIVATE"},
    {WM_KEYDOWN, "WM_KEYDOWN"},
    {WM_KEYUP, "WM_KEYUP"},
    {WM_CHAR, "WM_CHAR"},
    {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
    {WM_TIMER, "WM_TIMER"},
    {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"},
    {WM_USER, "WM_USER"},
    {WM_USER + 1, "WM_USER+1"},
    {WM_USER + 2, "WM_USER+2"},
    {WM_USER + 5, "WM_USER+5"},
};

}  // namespace

RecorderState& Recorder() { return state; }

void ResetRecorder() {
  state.trace.clear();
  state.behaviour = Behaviour{};
  state.lastPaint = PAINTSTRUCT{};
  state.lastPaintClip = RECT{};
  state.lastPaintClipKind = 0;
  state.paintCount = 0;
  state.destroyResult = FALSE;
  state.destroyedWindowWasWindowAfter = true;
}

bool IsIgnored(UINT message) {
  switch (message) {
    case 0x000D:  // WM_GETTEXT (caption drawing)
    case 0x000E:  // WM_GETTEXTLENGTH
    case 0x001F:  // WM_CANCELMODE
    case 0x003D:  // WM_GETOBJECT (accessibility)
    case WM_GETICON:
    case WM_NCHITTEST:
    case WM_SETCURSOR:
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case 0x0088:  // WM_SYNCPAINT
    case 0x0127:  // WM_CHANGEUISTATE
    case 0x0128:  // WM_UPDATEUISTATE
    case 0x0129:  // WM_QUERYUISTATE
    case 0x02A1:  // WM_MOUSEHOVER
    case 0x02A3:  // WM_MOUSELEAVE
    case 0x030F:  // WM_QUERYNEWPALETTE
    case 0x0311:  // WM_PALETTECHANGED
    case 0x031A:  // WM_THEMECHANGED
    case 0x031F:  // WM_DWMNCRENDERINGCHANGED
    case 0x0320:  // WM_DWMCOLORIZATIONCOLORCHANGED
      return true;
    default:
      break;
  }
  if (message >= 0x0090 && message <= 0x0095) return true;  // theme-drawing internals
  if (message >= 0x00AE && message <= 0x00AF) return true;  // themed caption/frame drawing
  if (message >= 0x010D && message <= 0x010F) return true;  // IME composition
  if (message >= 0x0280 && message <= 0x0291) return true;  // IME context and notifications
  if (message >= 0xC000 && message <= 0xFFFF) return true;  // registered (shell) messages
  return false;
}

std::vector<Recorded> Filtered(HWND hwnd) {
  std::vector<Recorded> out;
  for (const Recorded& r : state.trace) {
    if (IsIgnored(r.message)) continue;
    if (hwnd != nullptr && r.hwnd != hwnd) continue;
    out.push_back(r);
  }
  return out;
}

const char* MessageName(UINT message) {
  for (const Name& n : kNames) {
    if (n.message == message) return n.name;
  }
  return nullptr;
}

static std::string DescribeOne(UINT message, WPARAM wParam, LPARAM lParam) {
  char buf[96];
  const char* name = MessageName(message);
  if (name != nullptr) {
    std::snprintf(buf, sizeof buf, "%s(w=%llu, l=0x%llx)", name,
                  static_cast<unsigned long long>(wParam), static_cast<unsigned long long>(lParam));
  } else {
    std::snprintf(buf, sizeof buf, "0x%04x(w=%llu, l=0x%llx)", message,
                  static_cast<unsigned long long>(wParam), static_cast<unsigned long long>(lParam));
  }
  return buf;
}

std::string Describe(const std::vector<Recorded>& actual) {
  std::string out;
  for (const Recorded& r : actual) {
    out += "  " + DescribeOne(r.message, r.wParam, r.lParam) + "\n";
  }
  return out;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string ShowRect(const RECT& r) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "(%ld,%ld,%ld,%ld)", static_cast<long>(r.left), static_cast<long>(r.top),
                static_cast<long>(r.right), static_cast<long>(r.bottom));
  return buf;
}

static bool EntryMatches(const Expected& e, const Recorded& r) {
  if (e.message != r.message) return false;
  if ((e.flags & kWParam) != 0 && e.wParam != r.wParam) return false;
  if ((e.flags & kLParam) != 0 && e.lParam != r.lParam) return false;
  return true;
}

std::string MatchSequence(const std::vector<Recorded>& actual, const std::vector<Expected>& expected) {
  size_t e = 0;
  size_t a = 0;
  std::string problem;
  while (a < actual.size()) {
    while (e < expected.size() && !EntryMatches(expected[e], actual[a]) &&
           (expected[e].flags & kOptional) != 0) {
      ++e;
    }
    if (e >= expected.size()) {
      problem = "unexpected " + DescribeOne(actual[a].message, actual[a].wParam, actual[a].lParam) +
                " after the end of the expected sequence";
      break;
    }
    if (!EntryMatches(expected[e], actual[a])) {
      problem = "got " + DescribeOne(actual[a].message, actual[a].wParam, actual[a].lParam) +
                " where " + DescribeOne(expected[e].message, expected[e].wParam, expected[e].lParam) +
                " was expected";
      break;
    }
    ++e;
    ++a;
  }
  if (problem.empty()) {
    for (; e < expected.size(); ++e) {
      if ((expected[e].flags & kOptional) == 0) {
        problem = "missing " + DescribeOne(expected[e].message, expected[e].wParam, expected[e].lParam);
        break;
      }
    }
  }
  if (problem.empty()) return problem;
  std::string out = problem + "\nactual sequence:\n" + Describe(actual) + "expected:\n";
  for (const Expected& x : expected) {
    out += std::string((x.flags & kOptional) != 0 ? "  (optional) " : "  ") +
           DescribeOne(x.message, x.wParam, x.lParam) + "\n";
  }
  return out;
}

int CountMessage(const std::vector<Recorded>& actual, UINT message) {
  int n = 0;
  for (const Recorded& r : actual) {
    if (r.message == message) ++n;
  }
  return n;
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
    DispatchMessageA(&msg);
  }
}

void Settle() {
  DrainQueue();
#if defined(_WIN32)
  // The window system answers a new window (expose, focus) a moment later.
  for (int round = 0; round < 4; ++round) {
    Sleep(25);
    DrainQueue();
  }
#endif
}

bool RunningOnWine() {
#if defined(_WIN32)
  HMODULE ntdll = GetModuleHandleA("ntdll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
  return false;
#endif
}

bool QueueKeyInput(HWND target, UINT virtualKey) {
#if defined(_WIN32)
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
