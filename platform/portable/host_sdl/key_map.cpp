#include "key_map.h"

namespace portable {
namespace {

UINT KeypadKey(SDL_Scancode scancode, Uint16 mod) {
  const bool digits = (mod & KMOD_NUM) != 0 && (mod & KMOD_SHIFT) == 0;
  switch (scancode) {
    case SDL_SCANCODE_KP_0: return digits ? VK_NUMPAD0 : VK_INSERT;
    case SDL_SCANCODE_KP_1: return digits ? VK_NUMPAD1 : VK_END;
    case SDL_SCANCODE_KP_2: return digits ? VK_NUMPAD2 : VK_DOWN;
    case SDL_SCANCODE_KP_3: return digits ? VK_NUMPAD3 : VK_NEXT;
    case SDL_SCANCODE_KP_4: return digits ? VK_NUMPAD4 : VK_LEFT;
    case SDL_SCANCODE_KP_5: return digits ? VK_NUMPAD5 : VK_CLEAR;
    case SDL_SCANCODE_KP_6: return digits ? VK_NUMPAD6 : VK_RIGHT;
    case SDL_SCANCODE_KP_7: return digits ? VK_NUMPAD7 : VK_HOME;
    case SDL_SCANCODE_KP_8: return digits ? VK_NUMPAD8 : VK_UP;
    case SDL_SCANCODE_KP_9: return digits ? VK_NUMPAD9 : VK_PRIOR;
    case SDL_SCANCODE_KP_PERIOD: return digits ? VK_DECIMAL : VK_DELETE;
    case SDL_SCANCODE_KP_PLUS: return VK_ADD;
    case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
    case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
    case SDL_SCANCODE_KP_DIVIDE: return VK_DIVIDE;
    case SDL_SCANCODE_KP_ENTER: return VK_RETURN;
    default: return 0;
  }
}

// Keys whose code does not depend on the layout.
UINT PositionalKey(SDL_Scancode scancode) {
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
    return '1' + static_cast<UINT>(scancode - SDL_SCANCODE_1);
  }
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) {
    return VK_F1 + static_cast<UINT>(scancode - SDL_SCANCODE_F1);
  }
  if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24) {
    return VK_F1 + 12 + static_cast<UINT>(scancode - SDL_SCANCODE_F13);
  }
  switch (scancode) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
    case SDL_SCANCODE_RETURN: return VK_RETURN;
    case SDL_SCANCODE_TAB: return VK_TAB;
    case SDL_SCANCODE_BACKSPACE: return VK_BACK;
    case SDL_SCANCODE_SPACE: return VK_SPACE;
    case SDL_SCANCODE_LEFT: return VK_LEFT;
    case SDL_SCANCODE_RIGHT: return VK_RIGHT;
    case SDL_SCANCODE_UP: return VK_UP;
    case SDL_SCANCODE_DOWN: return VK_DOWN;
    case SDL_SCANCODE_HOME: return VK_HOME;
    case SDL_SCANCODE_END: return VK_END;
    case SDL_SCANCODE_PAGEUP: return VK_PRIOR;
    case SDL_SCANCODE_PAGEDOWN: return VK_NEXT;
    case SDL_SCANCODE_INSERT: return VK_INSERT;
    case SDL_SCANCODE_DELETE: return VK_DELETE;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT: return VK_SHIFT;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL: return VK_CONTROL;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT: return VK_MENU;
    case SDL_SCANCODE_LGUI: return VK_LWIN;
    case SDL_SCANCODE_RGUI: return VK_RWIN;
    case SDL_SCANCODE_APPLICATION: return VK_APPS;
    case SDL_SCANCODE_CAPSLOCK: return VK_CAPITAL;
    case SDL_SCANCODE_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDL_SCANCODE_SCROLLLOCK: return VK_SCROLL;
    case SDL_SCANCODE_PAUSE: return VK_PAUSE;
    case SDL_SCANCODE_PRINTSCREEN: return VK_SNAPSHOT;
    default: return 0;
  }
}

// Punctuation by the character the layout puts on the key, as Windows does for its OEM keys.
UINT PunctuationBySymbol(SDL_Keycode sym) {
  switch (sym) {
    case SDLK_SEMICOLON: return VK_OEM_1;
    case SDLK_EQUALS:
    case SDLK_PLUS: return VK_OEM_PLUS;
    case SDLK_COMMA: return VK_OEM_COMMA;
    case SDLK_MINUS: return VK_OEM_MINUS;
    case SDLK_PERIOD: return VK_OEM_PERIOD;
    case SDLK_SLASH: return VK_OEM_2;
    case SDLK_BACKQUOTE: return VK_OEM_3;
    case SDLK_LEFTBRACKET: return VK_OEM_4;
    case SDLK_BACKSLASH: return VK_OEM_5;
    case SDLK_RIGHTBRACKET: return VK_OEM_6;
    case SDLK_QUOTE: return VK_OEM_7;
    default: return 0;
  }
}

// Punctuation keys whose character is not one of the above: by position on a US keyboard.
UINT PunctuationByPosition(SDL_Scancode scancode) {
  switch (scancode) {
    case SDL_SCANCODE_SEMICOLON: return VK_OEM_1;
    case SDL_SCANCODE_EQUALS: return VK_OEM_PLUS;
    case SDL_SCANCODE_COMMA: return VK_OEM_COMMA;
    case SDL_SCANCODE_MINUS: return VK_OEM_MINUS;
    case SDL_SCANCODE_PERIOD: return VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH: return VK_OEM_2;
    case SDL_SCANCODE_GRAVE: return VK_OEM_3;
    case SDL_SCANCODE_LEFTBRACKET: return VK_OEM_4;
    case SDL_SCANCODE_BACKSLASH: return VK_OEM_5;
    case SDL_SCANCODE_RIGHTBRACKET: return VK_OEM_6;
    case SDL_SCANCODE_APOSTROPHE: return VK_OEM_7;
    case SDL_SCANCODE_NONUSBACKSLASH: return VK_OEM_102;
    default: return 0;
  }
}

}  // namespace

UINT VirtualKeyFromSdl(SDL_Keycode sym, SDL_Scancode scancode, Uint16 mod) {
  if (UINT vk = KeypadKey(scancode, mod)) return vk;
  if (sym >= SDLK_a && sym <= SDLK_z) return 'A' + static_cast<UINT>(sym - SDLK_a);
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
    return 'A' + static_cast<UINT>(scancode - SDL_SCANCODE_A);
  }
  if (UINT vk = PositionalKey(scancode)) return vk;
  if (UINT vk = PunctuationBySymbol(sym)) return vk;
  if (UINT vk = PunctuationByPosition(scancode)) return vk;
  if (sym >= SDLK_0 && sym <= SDLK_9) return '0' + static_cast<UINT>(sym - SDLK_0);
  return 0;
}

}  // namespace portable
