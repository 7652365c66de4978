// The real window of the Windows host: a window of the system's own that shows our window's
// client area, and turns the system's input into the layer's.
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../system_link.h"

namespace portable::win32 {
namespace {

constexpr char kDefaultClassName[] = "SpiralsLayerWindow";
constexpr int kIconResource = 101;
constexpr int kNotch = WHEEL_DELTA;

// Left and right Shift, Ctrl and Alt by their own virtual keys, as the layer tells them apart.
UINT SpecificKey(WPARAM key, LPARAM lParam) {
  const bool extended = (lParam & (1L << 24)) != 0;
  switch (key) {
    case VK_SHIFT:
      return MapVirtualKeyA(static_cast<UINT>((lParam >> 16) & 0xFF), MAPVK_VSC_TO_VK_EX);
    case VK_CONTROL: return extended ? VK_RCONTROL : VK_LCONTROL;
    case VK_MENU: return extended ? VK_RMENU : VK_LMENU;
    default: return static_cast<UINT>(key);
  }
}

class SystemWindow final : public RealWindow {
 public:
  SystemWindow(WindowEvents* events, HWND parent) : events_(events), parent_(parent) {
    info_.bmiHeader.biSize = sizeof info_.bmiHeader;
    info_.bmiHeader.biPlanes = 1;
    info_.bmiHeader.biBitCount = 32;
    info_.bmiHeader.biCompression = BI_RGB;
  }
  ~SystemWindow() override {
    if (hwnd_ != nullptr) {
      closing_ = true;
      DestroyWindow(hwnd_);
    }
  }

  bool Create(const WindowShape& shape, std::string* problem);
  LRESULT Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  void SetTitle(const std::string& title) override {
    if (hwnd_ != nullptr) SetWindowTextA(hwnd_, title.c_str());
  }
  void SetClientSize(int width, int height) override;
  void Present(const uint32_t* pixels, int width, int height, int stride,
               const std::vector<Box>& rects) override;
  bool ParentClientSize(int* width, int* height) const override {
    return RealClientSize(reinterpret_cast<uintptr_t>(parent_), width, height);
  }

 private:
  WindowEvents* events_;
  HWND parent_;
  HWND hwnd_ = nullptr;
  HDC dc_ = nullptr;  // the class keeps one DC per window
  BITMAPINFO info_{};
  std::vector<char> region_;  // the picture's rectangles, as ExtCreateRegion reads them
  int wheel_ = 0;             // what is left of the wheel's turn below one notch
  int buttons_ = 0;           // the mouse buttons held, for the capture
  bool closing_ = false;
};

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
    outer = RECT{shape.client.left, shape.client.top, shape.client.right, shape.client.bottom};
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

void SystemWindow::Present(const uint32_t* pixels, int width, int height, int stride,
                           const std::vector<Box>& rects) {
  if (dc_ == nullptr || pixels == nullptr) return;
  for (const Box& box : rects) {
    const int left = std::max(0, static_cast<int>(box.left));
    const int top = std::max(0, static_cast<int>(box.top));
    const int right = std::min(width, static_cast<int>(box.right));
    const int bottom = std::min(height, static_cast<int>(box.bottom));
    if (left >= right || top >= bottom) continue;
    // The rows of the rectangle as a top-down picture of its own, `stride` pixels wide.
    info_.bmiHeader.biWidth = stride;
    info_.bmiHeader.biHeight = -(bottom - top);
    SetDIBitsToDevice(dc_, left, top, static_cast<DWORD>(right - left),
                      static_cast<DWORD>(bottom - top), left, 0, 0, static_cast<UINT>(bottom - top),
                      pixels + static_cast<ptrdiff_t>(top) * stride, &info_, DIB_RGB_COLORS);
  }
  GdiFlush();
}

LRESULT SystemWindow::Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    // Keys go to the layer alone: its default procedure makes Alt+F4 a close request, and the
    // system's would open menus nobody asked for.
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      events_->Key(SpecificKey(wParam, lParam), true, (lParam & (1L << 30)) != 0);
      return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP: events_->Key(SpecificKey(wParam, lParam), false, false); return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      const bool down =
          message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
      const int button = message == WM_LBUTTONDOWN || message == WM_LBUTTONUP   ? 0
                         : message == WM_RBUTTONDOWN || message == WM_RBUTTONUP ? 1
                                                                                : 2;
      buttons_ = down ? buttons_ | (1 << button) : buttons_ & ~(1 << button);
      if (down) SetCapture(hwnd);
      if (!down && buttons_ == 0) ReleaseCapture();
      events_->MouseButton(button, down, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    }
    case WM_MOUSEMOVE: events_->MouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_MOUSEWHEEL: {
      POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ScreenToClient(hwnd, &at);
      // Fine-grained wheels send parts of a notch: the layer gets whole notches, as ever.
      wheel_ += GET_WHEEL_DELTA_WPARAM(wParam);
      while (wheel_ >= kNotch || wheel_ <= -kNotch) {
        const int delta = wheel_ > 0 ? kNotch : -kNotch;
        wheel_ -= delta;
        events_->WheelNotch(delta, at.x, at.y);
      }
      return 0;
    }
    case WM_CLOSE: events_->CloseRequested(); return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) {
        events_->CloseRequested();
        return 0;
      }
      if ((wParam & 0xFFF0) == SC_KEYMENU) return 0;
      break;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) events_->Resized(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_ERASEBKGND: return 1;  // every pixel comes from the framebuffer
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(hwnd, &paint);
      EndPaint(hwnd, &paint);
      const RECT& r = paint.rcPaint;
      if (r.left < r.right && r.top < r.bottom)
        events_->Exposed(Box{r.left, r.top, r.right, r.bottom});
      return 0;
    }
    case WM_ACTIVATEAPP: events_->Activated(wParam != FALSE); break;
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

}  // namespace

std::unique_ptr<RealWindow> OpenRealWindow(const WindowShape& shape, WindowEvents* events,
                                           std::string* problem) {
  auto window = std::make_unique<SystemWindow>(events, reinterpret_cast<HWND>(shape.parent));
  if (!window->Create(shape, problem)) return nullptr;
  return window;
}

}  // namespace portable::win32
