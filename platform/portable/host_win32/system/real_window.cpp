// The real window of the Windows host: a window of the system's own that shows our window's
// client area, follows its size, and keeps the layer's work going while the system runs a loop
// of its own for it.
#include <algorithm>

#include "system_window.h"

namespace portable::win32 {
namespace {

constexpr char kDefaultClassName[] = "SpiralsLayerWindow";
constexpr int kIconResource = 101;
// The real window's one timer: the layer's work while a loop of the system's runs.
constexpr UINT_PTR kLoopTimer = 1;
// However long the layer has nothing due, a loop looks in this often: input given to the
// layer meanwhile (a repaint, a close request) is handled by then.
constexpr int kLoopIdleMs = 100;

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* window = reinterpret_cast<SystemWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (window == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);
  return window->Handle(hwnd, message, wParam, lParam);
}

// The real window's class carries our window's class name, so that whoever looks for the
// program's window by its class finds it; each name is registered once.
bool RegisterClassNamed(const std::string& name, std::string* problem) {
  static std::vector<std::string> registered;
  if (std::find(registered.begin(), registered.end(), name) != registered.end()) return true;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_OWNDC;
  wc.lpfnWndProc = Procedure;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kIconResource));
  wc.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(kIconResource), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = name.c_str();
  if (RegisterClassExA(&wc) == 0) {
    *problem = "cannot register the window class " + name + " (error " +
               std::to_string(GetLastError()) + ")";
    return false;
  }
  registered.push_back(name);
  return true;
}

}  // namespace

SystemWindow::SystemWindow(WindowEvents* events, HWND parent) : events_(events), parent_(parent) {
  info_.bmiHeader.biSize = sizeof info_.bmiHeader;
  info_.bmiHeader.biPlanes = 1;
  info_.bmiHeader.biBitCount = 32;
  info_.bmiHeader.biCompression = BI_RGB;
}

SystemWindow::~SystemWindow() {
  if (hwnd_ != nullptr) {
    closing_ = true;
    DestroyWindow(hwnd_);
  }
}

bool SystemWindow::Create(const WindowShape& shape, std::string* problem) {
  const std::string className = shape.className.empty() ? kDefaultClassName : shape.className;
  if (!RegisterClassNamed(className, problem)) return false;
  DWORD style, exStyle;
  RECT outer;
  if (parent_ != nullptr) {
    style = WS_CHILD | WS_VISIBLE;
    exStyle = 0;
    outer = RECT{0, 0, 0, 0};
    GetClientRect(parent_, &outer);
  } else {
    // The frame and caption our window would have, around the client area where ours lies.
    constexpr DWORD kFrameStyles = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                                   WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_BORDER | WS_DLGFRAME;
    style = (shape.style & kFrameStyles) | WS_CLIPCHILDREN;
    exStyle = shape.exStyle & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    outer = ToRect<RECT>(shape.client);
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
  }
  hwnd_ = CreateWindowExA(exStyle, className.c_str(), shape.title.c_str(), style, outer.left,
                          outer.top, outer.right - outer.left, outer.bottom - outer.top, parent_,
                          nullptr, GetModuleHandleA(nullptr), this);
  if (hwnd_ == nullptr) {
    *problem = "cannot open a window (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  dc_ = GetDC(hwnd_);
  if (parent_ == nullptr) {
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
  }
  return true;
}

void SystemWindow::SetTitle(const std::string& title) {
  if (hwnd_ != nullptr) SetWindowTextA(hwnd_, title.c_str());
}

void SystemWindow::SetClientSize(int width, int height) {
  if (hwnd_ == nullptr) return;
  RECT client{};
  GetClientRect(hwnd_, &client);
  if (client.right == width && client.bottom == height) return;
  RECT outer{0, 0, width, height};
  AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_EXSTYLE)));
  SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool SystemWindow::ParentClientSize(int* width, int* height) const {
  return RealClientSize(reinterpret_cast<uintptr_t>(parent_), width, height);
}

void SystemWindow::KeyMenu(int key) {
  // A preview lives in another program's window and has no menu of its own.
  if (hwnd_ == nullptr || parent_ != nullptr) return;
  DefaultInLoop(hwnd_, WM_SYSCOMMAND, SC_KEYMENU, key);
}

void SystemWindow::EndSystemLoop() {
  // The default procedure leaves a menu and lets the capture go; a move or a size may go on
  // until its button comes up, doing no work of ours (DueWork finds our window gone).
  if (hwnd_ != nullptr && loopDepth_ > 0) SendMessageA(hwnd_, WM_CANCELMODE, 0, 0);
}

void SystemWindow::ArmLoopTimer(int ms) {
  const UINT period =
      static_cast<UINT>(std::clamp(ms, static_cast<int>(USER_TIMER_MINIMUM), kLoopIdleMs));
  // The same period goes on by itself, in step: a timer set again would start over.
  if (hwnd_ == nullptr || period == loopTimerMs_) return;
  if (SetTimer(hwnd_, kLoopTimer, period, nullptr) != 0) loopTimerMs_ = period;
}

LRESULT SystemWindow::DefaultInLoop(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // Loops nest (a move chosen from the window menu): the outermost one brackets the work.
  if (loopDepth_++ == 0) {
    events_->SystemLoop(true);
    ArmLoopTimer(USER_TIMER_MINIMUM);
  }
  const LRESULT result = DefWindowProcA(hwnd, message, wParam, lParam);
  if (--loopDepth_ == 0) {
    if (loopTimerMs_ != 0 && hwnd_ != nullptr) KillTimer(hwnd_, kLoopTimer);
    loopTimerMs_ = 0;
    // A menu takes the key-ups of the keys that opened and closed it.
    ReleaseStaleKeys();
    events_->SystemLoop(false);
  }
  return result;
}

LRESULT SystemWindow::Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (HandleInput(hwnd, message, wParam, lParam, &result)) return result;
  switch (message) {
    case WM_CLOSE: events_->CloseRequested(); return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) {
        events_->CloseRequested();
        return 0;
      }
      // The layer asks for the keyboard's menu itself (KeyMenu), when its window lets it.
      if ((wParam & 0xFFF0) == SC_KEYMENU) return 0;
      return DefaultInLoop(hwnd, message, wParam, lParam);
    // Where the default procedure may hold on: moving and sizing by the frame, the caption's
    // buttons held, the window menu from the icon or a right click.
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_CONTEXTMENU: return DefaultInLoop(hwnd, message, wParam, lParam);
    case WM_TIMER:
      if (wParam != kLoopTimer) break;
      if (loopDepth_ > 0) ArmLoopTimer(events_->DueWork());
      return 0;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) events_->Resized(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_ERASEBKGND: return 1;  // every pixel comes from the framebuffer
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(hwnd, &paint);
      EndPaint(hwnd, &paint);
      const RECT& r = paint.rcPaint;
      if (r.left < r.right && r.top < r.bottom) events_->Exposed(ToPlainRect(r));
      return 0;
    }
    case WM_ACTIVATEAPP:
      // The layer lets go of every key itself; the keys held from now are the new ones.
      if (!wParam) heldKeys_.Clear();
      events_->Activated(wParam != FALSE);
      break;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        SetCursor(events_->CursorHidden() ? nullptr : LoadCursorA(nullptr, IDC_ARROW));
        return TRUE;
      }
      break;
    case WM_DESTROY:
      hwnd_ = nullptr;
      dc_ = nullptr;
      if (!closing_) events_->Lost();
      return 0;
    default: break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

std::unique_ptr<RealWindow> OpenRealWindow(const WindowShape& shape, WindowEvents* events,
                                           std::string* problem) {
  auto window = std::make_unique<SystemWindow>(events, reinterpret_cast<HWND>(shape.parent));
  if (!window->Create(shape, problem)) return nullptr;
  return window;
}

bool RealClientSize(uintptr_t window, int* width, int* height) {
  HWND hwnd = reinterpret_cast<HWND>(window);
  RECT client{};
  if (hwnd == nullptr || !IsWindow(hwnd) || !GetClientRect(hwnd, &client)) return false;
  if (width != nullptr) *width = client.right;
  if (height != nullptr) *height = client.bottom;
  return true;
}

}  // namespace portable::win32
