// The real window's input as the layer's: keys by their left and right virtual keys, buttons
// with the capture, whole wheel notches, and the key-ups Windows leaves out made up.
#include <windows.h>
#include <windowsx.h>

#include "system_window.h"

namespace portable::win32 {
namespace {

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

}  // namespace

void SystemWindow::ReleaseStaleKeys() {
  BYTE state[256];
  if (!GetKeyboardState(state)) return;
  for (const uint32_t vk : heldKeys_.TakeStale(state)) events_->Key(vk, false, false);
}

bool SystemWindow::HandleInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                               LRESULT* result) {
  *result = 0;
  switch (message) {
    // Keys go to the layer alone: its default procedure makes Alt+F4 a close request and
    // Alt+Space the window menu, and the system's would open menus nobody asked for.
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      const UINT vk = SpecificKey(wParam, lParam);
      heldKeys_.Reported(vk, true);
      events_->Key(vk, true, (lParam & (1L << 30)) != 0);
      return true;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      const UINT vk = SpecificKey(wParam, lParam);
      heldKeys_.Reported(vk, false);
      events_->Key(vk, false, false);
      // Both Shift keys let go together make one key-up, for one of them.
      if (wParam == VK_SHIFT) ReleaseStaleKeys();
      return true;
    }
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
      return true;
    }
    case WM_MOUSEMOVE: events_->MouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return true;
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
      return true;
    }
    default: return false;
  }
}

}  // namespace portable::win32
