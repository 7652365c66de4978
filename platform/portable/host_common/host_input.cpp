#include "host_input.h"

#include "../user/input.h"

namespace portable {

bool FitClientArea(HWND window, int width, int height) {
  if (width <= 0 || height <= 0 || !IsWindow(window)) return false;
  // The layer sizes windows by their outer rectangle: add the frame Windows would draw.
  RECT rect{0, 0, width, height};
  AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)));
  InjectResize(window, rect.right - rect.left, rect.bottom - rect.top);
  return true;
}

bool ReleaseHeldKeys() {
  bool released = false;
  for (UINT vk = 1; vk < 0x100; ++vk) {
    // The mouse buttons' virtual keys follow their own events.
    if (vk == VK_LBUTTON || vk == VK_RBUTTON || vk == VK_MBUTTON) continue;
    if (GetKeyState(static_cast<int>(vk)) < 0) {
      InjectKey(vk, false);
      released = true;
    }
  }
  return released;
}

}  // namespace portable
