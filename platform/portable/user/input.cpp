// Input from the hosts: key and button state, and the messages Windows would queue for each
// event.
#include <cstdlib>

#include "input.h"
#include "message_queue.h"
#include "paint.h"
#include "window.h"
#include "window_registry.h"
#include "window_tree.h"
#include "message_stamp.h"

namespace portable::user {

namespace {

struct InputState {
  bool down[256] = {};
  bool toggled[256] = {};
  // The last button press, for double clicks.
  HWND clickWindow = nullptr;
  int clickButton = -1;
  uint64_t clickTime = 0;
  POINT clickPoint{0, 0};
};

InputState& Input() {
  static InputState state;
  return state;
}

// Windows' double-click time and the size of the double-click rectangle.
constexpr uint64_t kDoubleClickMs = 500;
constexpr int kDoubleClickSlop = 2;

// Set-1 scan codes of a US keyboard; bit 8 marks an extended key.
UINT ScanCode(UINT vk) {
  static const char kLetters[] =
      "\x1E\x30\x2E\x20\x12\x21\x22\x23\x17\x24\x25\x26\x32\x31\x18\x19\x10\x13\x1F\x14\x16\x2F\x11"
      "\x2D\x15\x2C";
  if (vk >= 'A' && vk <= 'Z') return static_cast<unsigned char>(kLetters[vk - 'A']);
  if (vk >= '1' && vk <= '9') return 0x02 + (vk - '1');
  if (vk >= VK_F1 && vk <= VK_F10) return 0x3B + (vk - VK_F1);
  static const UINT kNumpad[] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return kNumpad[vk - VK_NUMPAD0];
  switch (vk) {
    case '0': return 0x0B;
    case VK_ESCAPE: return 0x01;
    case VK_OEM_MINUS: return 0x0C;
    case VK_OEM_PLUS: return 0x0D;
    case VK_BACK: return 0x0E;
    case VK_TAB: return 0x0F;
    case VK_RETURN: return 0x1C;
    case VK_CONTROL:
    case VK_LCONTROL: return 0x1D;
    case VK_RCONTROL: return 0x11D;
    case VK_SHIFT:
    case VK_LSHIFT: return 0x2A;
    case VK_RSHIFT: return 0x36;
    case VK_MENU:
    case VK_LMENU: return 0x38;
    case VK_RMENU: return 0x138;
    case VK_SPACE: return 0x39;
    case VK_CAPITAL: return 0x3A;
    case VK_F11: return 0x57;
    case VK_F12: return 0x58;
    case VK_MULTIPLY: return 0x37;
    case VK_SUBTRACT: return 0x4A;
    case VK_ADD: return 0x4E;
    case VK_DECIMAL: return 0x53;
    case VK_DIVIDE: return 0x135;
    case VK_OEM_1: return 0x27;
    case VK_OEM_7: return 0x28;
    case VK_OEM_3: return 0x29;
    case VK_OEM_5: return 0x2B;
    case VK_OEM_COMMA: return 0x33;
    case VK_OEM_PERIOD: return 0x34;
    case VK_OEM_2: return 0x35;
    case VK_OEM_4: return 0x1A;
    case VK_OEM_6: return 0x1B;
    case VK_HOME: return 0x147;
    case VK_UP: return 0x148;
    case VK_PRIOR: return 0x149;
    case VK_LEFT: return 0x14B;
    case VK_RIGHT: return 0x14D;
    case VK_END: return 0x14F;
    case VK_DOWN: return 0x150;
    case VK_NEXT: return 0x151;
    case VK_INSERT: return 0x152;
    case VK_DELETE: return 0x153;
    default: return 0;
  }
}

UINT Generic(UINT vk) {
  switch (vk) {
    case VK_LSHIFT:
    case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU: return VK_MENU;
    default: return vk;
  }
}

WORD Modifiers() {
  const InputState& in = Input();
  WORD flags = 0;
  if (in.down[VK_LBUTTON]) flags |= MK_LBUTTON;
  if (in.down[VK_RBUTTON]) flags |= MK_RBUTTON;
  if (in.down[VK_MBUTTON]) flags |= MK_MBUTTON;
  if (in.down[VK_SHIFT]) flags |= MK_SHIFT;
  if (in.down[VK_CONTROL]) flags |= MK_CONTROL;
  return flags;
}

// The deepest visible, enabled window under client point `pt` of `w`; `pt` becomes its client
// point.
HWND Deepest(Window& w, POINT& pt) {
  for (HWND h : w.tree.children) {
    Window* c = Peek(h);
    if (c == nullptr || !(c->style & WS_VISIBLE) || (c->style & WS_DISABLED)) continue;
    if (!PtInRect(&c->windowRect, pt)) continue;
    POINT inner{pt.x - c->clientRect.left, pt.y - c->clientRect.top};
    if (!PtInRect(&c->clientRect, pt)) return w.handle;  // on the child's frame: keep it simple
    pt = inner;
    return Deepest(*c, pt);
  }
  return w.handle;
}

void Mouse(HWND hwnd, int button, int kind, int x, int y) {
  Window* top = Peek(hwnd);
  if (top == nullptr) return;
  InputState& in = Input();
  POINT origin = ClientOriginOnScreen(*top);
  SetCursorPos(POINT{origin.x + x, origin.y + y});
  POINT pt{x, y};
  HWND target = Deepest(*top, pt);
  static const UINT kDown[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
  static const UINT kVk[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
  UINT message = WM_MOUSEMOVE;
  if (kind != 0) {
    if (button < 0 || button > 2) return;
    bool down = kind > 0;
    in.down[kVk[button]] = down;
    message = kDown[button] + (down ? 0 : 1);
    if (down) {
      Window* t = Peek(target);
      uint64_t now = NowMs();
      bool dbl = t != nullptr && (t->cls->style & CS_DBLCLKS) && in.clickWindow == target &&
                 in.clickButton == button && now - in.clickTime <= kDoubleClickMs &&
                 std::abs(in.clickPoint.x - pt.x) <= kDoubleClickSlop &&
                 std::abs(in.clickPoint.y - pt.y) <= kDoubleClickSlop;
      if (dbl) {
        message = kDown[button] + 2;
        in.clickWindow = nullptr;
      } else {
        in.clickWindow = target;
        in.clickButton = button;
        in.clickTime = now;
        in.clickPoint = pt;
      }
    }
  }
  PostInput(StampMessage(target, message, Modifiers(), MAKELPARAM(pt.x, pt.y)));
}

}  // namespace

}  // namespace portable::user

namespace portable {

using namespace user;

void InjectKey(UINT virtualKey, bool down, bool repeat) {
  InputState& in = Input();
  UINT specific = virtualKey & 0xFF;
  UINT vk = Generic(specific);
  bool wasDown = in.down[vk];
  if (down && !wasDown) in.toggled[vk] = !in.toggled[vk];
  in.down[vk] = down;
  if (specific != vk) in.down[specific] = down;
  bool alt = in.down[VK_MENU];
  bool ctrl = in.down[VK_CONTROL];
  UserState& s = State();
  HWND target = s.focus;
  bool sys = vk == VK_MENU || (alt && !ctrl);
  if (target == nullptr) {
    // With nothing focused the active window gets its keys as system keys.
    target = s.active;
    sys = true;
  }
  if (target == nullptr) return;
  UINT scan = ScanCode(specific);
  LPARAM lParam = 1 | static_cast<LPARAM>((scan & 0xFF) << 16);
  if (scan & 0x100) lParam |= 1L << 24;
  if (alt) lParam |= 1L << 29;
  if (!down || repeat || wasDown) lParam |= 1L << 30;
  if (!down) lParam |= static_cast<LPARAM>(1UL << 31);
  lParam = static_cast<LPARAM>(static_cast<DWORD>(lParam));
  UINT message = sys ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
  PostInput(StampMessage(target, message, vk, lParam));
}

void InjectMouseButton(HWND hwnd, int button, bool down, int x, int y) {
  Mouse(hwnd, button, down ? 1 : -1, x, y);
}

void InjectMouseMove(HWND hwnd, int x, int y) { Mouse(hwnd, 0, 0, x, y); }

void InjectWheel(HWND hwnd, int delta, WORD keys, int x, int y) {
  Window* w = Peek(hwnd);
  if (w == nullptr) return;
  POINT origin = ClientOriginOnScreen(*w);
  POINT screen{origin.x + x, origin.y + y};
  SetCursorPos(screen);
  HWND target = State().focus ? State().focus : hwnd;
  PostInput(StampMessage(target, WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<short>(delta)),
                         MAKELPARAM(screen.x, screen.y)));
}

void InjectClose(HWND hwnd) {
  if (Peek(hwnd) != nullptr) PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void InjectResize(HWND hwnd, int width, int height) {
  if (Peek(hwnd) == nullptr) return;
  SetWindowPos(hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (Window* w = Peek(hwnd)) InvalidateTree(*w, nullptr, true, true);
}

void InjectExpose(HWND hwnd, const RECT* clientRect) {
  if (Window* w = Peek(hwnd)) InvalidateTree(*w, clientRect, true, true);
}

WORD CurrentKeyStateFlags() { return Modifiers(); }

}  // namespace portable

short WINAPI GetKeyState(int virtualKey) {
  if (virtualKey < 0 || virtualKey > 0xFF) return 0;
  const auto& in = portable::user::Input();
  short state = in.toggled[virtualKey] ? 1 : 0;
  if (in.down[virtualKey]) state = static_cast<short>(state | static_cast<short>(0xFF80));
  return state;
}
