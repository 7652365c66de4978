#include "page_input.h"

#include <cstring>
#include <string_view>

#include "../user/input.h"
#include "dom_key_map.h"

namespace portable {
namespace {

// Windows' wheel delta of one notch.
constexpr int kNotchDelta = 120;

std::string_view Text(const char (&field)[32]) {
  return std::string_view(field, strnlen(field, sizeof field));
}

// The DOM numbers buttons 0 main, 1 middle, 2 secondary; the layer 0 left, 1 right, 2 middle.
int LayerButton(int32_t domButton) {
  switch (domButton) {
    case 0: return 0;
    case 1: return 2;
    case 2: return 1;
    default: return -1;
  }
}

}  // namespace

bool DeliverPageEvent(const PageEvent& event, HWND window, WheelNotches& wheel) {
  const bool down = (event.flags & kPageDown) != 0;
  switch (static_cast<PageEventKind>(event.kind)) {
    case PageEventKind::Key: {
      const UINT vk = VirtualKeyFromDom(Text(event.code), Text(event.key));
      if (vk == 0) return false;
      InjectKey(vk, down, down && (event.flags & kPageRepeat) != 0);
      return true;
    }
    case PageEventKind::MouseButton: {
      const int button = LayerButton(event.button);
      if (button < 0 || window == nullptr) return false;
      InjectMouseButton(window, button, down, event.x, event.y);
      return true;
    }
    case PageEventKind::MouseMove:
      if (window == nullptr) return false;
      InjectMouseMove(window, event.x, event.y);
      return true;
    case PageEventKind::Wheel: {
      if (window == nullptr) return false;
      const int notches = wheel.Add(event.deltaMode, event.deltaY, event.wheelDeltaY);
      // One message per notch, each with the buttons and modifiers held, as on the desktop.
      const int delta = notches > 0 ? kNotchDelta : -kNotchDelta;
      for (int n = notches > 0 ? notches : -notches; n > 0; --n)
        InjectWheel(window, delta, CurrentKeyStateFlags(), event.x, event.y);
      return notches != 0;
    }
    case PageEventKind::Blur: return ReleaseHeldKeys();
    default: return false;
  }
}

}  // namespace portable
