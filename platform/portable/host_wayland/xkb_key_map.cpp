#include "xkb_key_map.h"

#include <linux/input-event-codes.h>
#include <xkbcommon/xkbcommon-keysyms.h>

namespace portable {
namespace {

// The keypad by what it types now: NumLock and Shift decide between digits and movement.
UINT KeypadKey(xkb_keysym_t sym) {
  if (sym >= XKB_KEY_KP_0 && sym <= XKB_KEY_KP_9) return VK_NUMPAD0 + (sym - XKB_KEY_KP_0);
  switch (sym) {
    case XKB_KEY_KP_Decimal:
    case XKB_KEY_KP_Separator: return VK_DECIMAL;
    case XKB_KEY_KP_Insert: return VK_INSERT;
    case XKB_KEY_KP_End: return VK_END;
    case XKB_KEY_KP_Down: return VK_DOWN;
    case XKB_KEY_KP_Next: return VK_NEXT;
    case XKB_KEY_KP_Left: return VK_LEFT;
    case XKB_KEY_KP_Begin: return VK_CLEAR;
    case XKB_KEY_KP_Right: return VK_RIGHT;
    case XKB_KEY_KP_Home: return VK_HOME;
    case XKB_KEY_KP_Up: return VK_UP;
    case XKB_KEY_KP_Prior: return VK_PRIOR;
    case XKB_KEY_KP_Delete: return VK_DELETE;
    case XKB_KEY_KP_Add: return VK_ADD;
    case XKB_KEY_KP_Subtract: return VK_SUBTRACT;
    case XKB_KEY_KP_Multiply: return VK_MULTIPLY;
    case XKB_KEY_KP_Divide: return VK_DIVIDE;
    case XKB_KEY_KP_Enter: return VK_RETURN;
    default: return 0;
  }
}

// Keys without a character, by their symbol.
UINT NamedKey(xkb_keysym_t sym) {
  if (sym >= XKB_KEY_F1 && sym <= XKB_KEY_F24) return VK_F1 + (sym - XKB_KEY_F1);
  switch (sym) {
    case XKB_KEY_Escape: return VK_ESCAPE;
    case XKB_KEY_Return: return VK_RETURN;
    case XKB_KEY_Tab:
    case XKB_KEY_ISO_Left_Tab: return VK_TAB;
    case XKB_KEY_BackSpace: return VK_BACK;
    case XKB_KEY_space: return VK_SPACE;
    case XKB_KEY_Left: return VK_LEFT;
    case XKB_KEY_Right: return VK_RIGHT;
    case XKB_KEY_Up: return VK_UP;
    case XKB_KEY_Down: return VK_DOWN;
    case XKB_KEY_Home: return VK_HOME;
    case XKB_KEY_End: return VK_END;
    case XKB_KEY_Prior: return VK_PRIOR;
    case XKB_KEY_Next: return VK_NEXT;
    case XKB_KEY_Insert: return VK_INSERT;
    case XKB_KEY_Delete: return VK_DELETE;
    case XKB_KEY_Shift_L:
    case XKB_KEY_Shift_R: return VK_SHIFT;
    case XKB_KEY_Control_L:
    case XKB_KEY_Control_R: return VK_CONTROL;
    case XKB_KEY_Alt_L:
    case XKB_KEY_Alt_R:
    case XKB_KEY_ISO_Level3_Shift: return VK_MENU;  // AltGr is the right Alt key
    case XKB_KEY_Super_L: return VK_LWIN;
    case XKB_KEY_Super_R: return VK_RWIN;
    case XKB_KEY_Menu: return VK_APPS;
    case XKB_KEY_Caps_Lock: return VK_CAPITAL;
    case XKB_KEY_Num_Lock: return VK_NUMLOCK;
    case XKB_KEY_Scroll_Lock: return VK_SCROLL;
    case XKB_KEY_Pause: return VK_PAUSE;
    case XKB_KEY_Print: return VK_SNAPSHOT;
    default: return 0;
  }
}

// Punctuation by the character the layout puts on the key, as Windows does for its OEM keys.
UINT PunctuationBySymbol(xkb_keysym_t sym) {
  switch (sym) {
    case XKB_KEY_semicolon: return VK_OEM_1;
    case XKB_KEY_equal:
    case XKB_KEY_plus: return VK_OEM_PLUS;
    case XKB_KEY_comma: return VK_OEM_COMMA;
    case XKB_KEY_minus: return VK_OEM_MINUS;
    case XKB_KEY_period: return VK_OEM_PERIOD;
    case XKB_KEY_slash: return VK_OEM_2;
    case XKB_KEY_grave: return VK_OEM_3;
    case XKB_KEY_bracketleft: return VK_OEM_4;
    case XKB_KEY_backslash: return VK_OEM_5;
    case XKB_KEY_bracketright: return VK_OEM_6;
    case XKB_KEY_apostrophe: return VK_OEM_7;
    default: return 0;
  }
}

// Letters of a real keyboard by their place (evdev codes), for layouts of other scripts.
UINT LetterByPosition(uint32_t code) {
  switch (code) {
    case KEY_Q: return 'Q';
    case KEY_W: return 'W';
    case KEY_E: return 'E';
    case KEY_R: return 'R';
    case KEY_T: return 'T';
    case KEY_Y: return 'Y';
    case KEY_U: return 'U';
    case KEY_I: return 'I';
    case KEY_O: return 'O';
    case KEY_P: return 'P';
    case KEY_A: return 'A';
    case KEY_S: return 'S';
    case KEY_D: return 'D';
    case KEY_F: return 'F';
    case KEY_G: return 'G';
    case KEY_H: return 'H';
    case KEY_J: return 'J';
    case KEY_K: return 'K';
    case KEY_L: return 'L';
    case KEY_Z: return 'Z';
    case KEY_X: return 'X';
    case KEY_C: return 'C';
    case KEY_V: return 'V';
    case KEY_B: return 'B';
    case KEY_N: return 'N';
    case KEY_M: return 'M';
    default: return 0;
  }
}

// Punctuation keys by their place on a US keyboard, for characters Windows has no OEM key for.
UINT PunctuationByPosition(uint32_t code) {
  switch (code) {
    case KEY_SEMICOLON: return VK_OEM_1;
    case KEY_EQUAL: return VK_OEM_PLUS;
    case KEY_COMMA: return VK_OEM_COMMA;
    case KEY_MINUS: return VK_OEM_MINUS;
    case KEY_DOT: return VK_OEM_PERIOD;
    case KEY_SLASH: return VK_OEM_2;
    case KEY_GRAVE: return VK_OEM_3;
    case KEY_LEFTBRACE: return VK_OEM_4;
    case KEY_BACKSLASH: return VK_OEM_5;
    case KEY_RIGHTBRACE: return VK_OEM_6;
    case KEY_APOSTROPHE: return VK_OEM_7;
    case KEY_102ND: return VK_OEM_102;
    default: return 0;
  }
}

// The digit of the main row's key at `code` when the key types that digit at some level: a
// layout that puts other characters on the unshifted row (French, Czech) keeps the digits on
// another level, and Windows names the key by its digit. A virtual keyboard's keymap, whose
// key numbers are no places at all, has no such key.
UINT DigitRowKey(xkb_state* state, xkb_keycode_t keycode) {
  const uint32_t code = keycode - 8;
  xkb_keysym_t digit;
  if (code >= KEY_1 && code <= KEY_9)
    digit = XKB_KEY_1 + (code - KEY_1);
  else if (code == KEY_0)
    digit = XKB_KEY_0;
  else
    return 0;
  xkb_keymap* keymap = xkb_state_get_keymap(state);
  const xkb_layout_index_t layout = xkb_state_key_get_layout(state, keycode);
  if (layout == XKB_LAYOUT_INVALID) return 0;
  const xkb_level_index_t levels = xkb_keymap_num_levels_for_key(keymap, keycode, layout);
  for (xkb_level_index_t level = 0; level < levels; ++level) {
    const xkb_keysym_t* syms = nullptr;
    const int count = xkb_keymap_key_get_syms_by_level(keymap, keycode, layout, level, &syms);
    for (int i = 0; i < count; ++i) {
      if (syms[i] == digit) return '0' + (digit - XKB_KEY_0);
    }
  }
  return 0;
}

// The key's symbol without modifiers in the active layout (what a US keyboard prints on the
// key's lower half), as SDL reports a key's symbol.
xkb_keysym_t BaseSymbol(xkb_state* state, xkb_keycode_t keycode) {
  xkb_keymap* keymap = xkb_state_get_keymap(state);
  const xkb_layout_index_t layout = xkb_state_key_get_layout(state, keycode);
  if (layout == XKB_LAYOUT_INVALID) return XKB_KEY_NoSymbol;
  const xkb_keysym_t* syms = nullptr;
  if (xkb_keymap_key_get_syms_by_level(keymap, keycode, layout, 0, &syms) < 1)
    return XKB_KEY_NoSymbol;
  return syms[0];
}

}  // namespace

UINT VirtualKeyFromXkb(xkb_state* state, xkb_keycode_t keycode) {
  if (state == nullptr || keycode < 8) return 0;
  if (UINT vk = KeypadKey(xkb_state_key_get_one_sym(state, keycode))) return vk;
  const xkb_keysym_t base = BaseSymbol(state, keycode);
  const xkb_keysym_t lower = xkb_keysym_to_lower(base);
  if (lower >= XKB_KEY_a && lower <= XKB_KEY_z) return 'A' + (lower - XKB_KEY_a);
  if (UINT vk = NamedKey(base)) return vk;
  if (base >= XKB_KEY_0 && base <= XKB_KEY_9) return '0' + (base - XKB_KEY_0);
  if (UINT vk = DigitRowKey(state, keycode)) return vk;
  if (UINT vk = PunctuationBySymbol(base)) return vk;
  const uint32_t code = keycode - 8;
  if (UINT vk = LetterByPosition(code)) return vk;
  return PunctuationByPosition(code);
}

}  // namespace portable
