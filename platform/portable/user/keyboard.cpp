// Keyboard translation (key downs to characters, US layout) and dialog navigation.
#include <vector>

#include "window.h"
#include "window_registry.h"
#include "window_tree.h"

namespace portable::user {

namespace {

bool Held(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

// The character a key makes with the current modifiers, or 0.
int CharFor(UINT vk, bool shift, bool ctrl, bool caps) {
  if (vk >= 'A' && vk <= 'Z') {
    if (ctrl) return static_cast<int>(vk - 'A' + 1);
    bool upper = shift != caps;
    return upper ? static_cast<int>(vk) : static_cast<int>(vk - 'A' + 'a');
  }
  if (ctrl) {
    switch (vk) {
      case VK_BACK: return 0x7F;
      case VK_RETURN: return 0x0A;
      case VK_ESCAPE: return 0x1B;
      case VK_SPACE: return ' ';
      default: return 0;
    }
  }
  if (vk >= '0' && vk <= '9') {
    static const char kShifted[] = ")!@#$%^&*(";
    return shift ? kShifted[vk - '0'] : static_cast<int>(vk);
  }
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return static_cast<int>('0' + (vk - VK_NUMPAD0));
  switch (vk) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_ESCAPE: return 0x1B;
    case VK_TAB: return '\t';
    case VK_BACK: return '\b';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_MULTIPLY: return '*';
    case VK_DIVIDE: return '/';
    case VK_DECIMAL: return '.';
    case VK_OEM_PLUS: return shift ? '+' : '=';
    case VK_OEM_MINUS: return shift ? '_' : '-';
    case VK_OEM_COMMA: return shift ? '<' : ',';
    case VK_OEM_PERIOD: return shift ? '>' : '.';
    case VK_OEM_1: return shift ? ':' : ';';
    case VK_OEM_2: return shift ? '?' : '/';
    case VK_OEM_3: return shift ? '~' : '`';
    case VK_OEM_4: return shift ? '{' : '[';
    case VK_OEM_5: return shift ? '|' : '\\';
    case VK_OEM_6: return shift ? '}' : ']';
    case VK_OEM_7: return shift ? '"' : '\'';
    default: return 0;
  }
}

bool Navigable(HWND h) {
  Window* w = Peek(h);
  return w != nullptr && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED);
}

// Controls of a dialog in tab order; WS_EX_CONTROLPARENT children lend their own controls.
void TabOrder(const Window& parent, std::vector<HWND>& out) {
  for (HWND h : parent.tree.children) {
    Window* c = Peek(h);
    if (c == nullptr || !Navigable(h)) continue;
    if (c->exStyle & WS_EX_CONTROLPARENT) {
      TabOrder(*c, out);
    } else {
      out.push_back(h);
    }
  }
}

HWND Step(const std::vector<HWND>& list, HWND from, bool backwards, bool (*accept)(HWND)) {
  if (list.empty()) return nullptr;
  size_t n = list.size();
  size_t at = n;
  for (size_t i = 0; i < n; ++i) {
    if (list[i] == from) at = i;
  }
  size_t start = at == n ? (backwards ? 0 : n - 1) : at;
  for (size_t k = 1; k <= n; ++k) {
    size_t i = backwards ? (start + n - k % n) % n : (start + k) % n;
    if (accept(list[i])) return list[i];
  }
  return nullptr;
}

bool IsTabStop(HWND h) {
  Window* w = Peek(h);
  return w != nullptr && (w->style & WS_TABSTOP);
}

bool Any(HWND) { return true; }

// The controls of `control`'s group: from the WS_GROUP control at or before it to the next one.
std::vector<HWND> GroupOf(const std::vector<HWND>& order, HWND control) {
  size_t at = 0;
  while (at < order.size() && order[at] != control) ++at;
  if (at == order.size()) return {};
  size_t first = at;
  while (first > 0 && !(Peek(order[first])->style & WS_GROUP)) --first;
  size_t last = at + 1;
  while (last < order.size() && !(Peek(order[last])->style & WS_GROUP)) ++last;
  return std::vector<HWND>(order.begin() + static_cast<ptrdiff_t>(first),
                           order.begin() + static_cast<ptrdiff_t>(last));
}

void DispatchOwn(LPMSG msg) {
  TranslateMessage(msg);
  DispatchMessageA(msg);
}

}  // namespace

}  // namespace portable::user

using namespace portable::user;

BOOL WINAPI TranslateMessage(const MSG* msg) {
  if (msg == nullptr) return FALSE;
  UINT m = msg->message;
  if (m != WM_KEYDOWN && m != WM_KEYUP && m != WM_SYSKEYDOWN && m != WM_SYSKEYUP) return FALSE;
  if (m == WM_KEYDOWN || m == WM_SYSKEYDOWN) {
    bool alt = m == WM_SYSKEYDOWN;
    int ch = CharFor(static_cast<UINT>(msg->wParam), Held(VK_SHIFT),
                     Held(VK_CONTROL) && !Held(VK_MENU), (GetKeyState(VK_CAPITAL) & 1) != 0);
    if (ch != 0)
      PostMessageA(msg->hwnd, alt ? WM_SYSCHAR : WM_CHAR, static_cast<WPARAM>(ch), msg->lParam);
  }
  // Windows reports every key message as translated, whether or not it made a character.
  return TRUE;
}

BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG msg) {
  if (msg == nullptr) return FALSE;
  Window* d = Peek(dialog);
  if (d == nullptr || (msg->hwnd != dialog && !IsDescendant(dialog, msg->hwnd))) return FALSE;
  if (msg->message == WM_KEYDOWN) {
    LRESULT code = msg->hwnd ? SendMessageA(msg->hwnd, WM_GETDLGCODE, msg->wParam,
                                            reinterpret_cast<LPARAM>(msg))
                             : 0;
    d = Peek(dialog);
    if (d == nullptr) return TRUE;
    if (!(code & DLGC_WANTALLKEYS)) {
      std::vector<HWND> order;
      TabOrder(*d, order);
      HWND focus = GetFocus();
      switch (msg->wParam) {
        case VK_TAB:
          if (code & DLGC_WANTTAB) break;
          if (HWND next = Step(order, focus, Held(VK_SHIFT), IsTabStop)) SetFocus(next);
          return TRUE;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: {
          if (code & DLGC_WANTARROWS) break;
          bool back = msg->wParam == VK_LEFT || msg->wParam == VK_UP;
          std::vector<HWND> group = GroupOf(order, focus);
          if (HWND next = Step(group, focus, back, Any)) SetFocus(next);
          return TRUE;
        }
        case VK_RETURN:
          SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
          return TRUE;
        case VK_ESCAPE:
          SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                       reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
          return TRUE;
        default: break;
      }
    }
  }
  DispatchOwn(msg);
  return TRUE;
}
