// The page's keys as virtual-key codes: the program's own keys on several layouts, the keypad
// with NumLock on and off, and agreement with the desktop's map for the same physical keys.
#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/portable/host_sdl/key_map.h"
#include "platform/portable/host_web/dom_key_map.h"

namespace {

using portable::VirtualKeyFromDom;

TEST(DomKeys, TheProgramsKeysOnAUsKeyboard) {
  for (char d = '1'; d <= '9'; ++d) {
    const std::string code = std::string("Digit") + d;
    EXPECT_EQ(VirtualKeyFromDom(code, std::string(1, d)), static_cast<UINT>(d)) << code;
  }
  EXPECT_EQ(VirtualKeyFromDom("Digit0", "0"), static_cast<UINT>('0'));
  EXPECT_EQ(VirtualKeyFromDom("Space", " "), static_cast<UINT>(VK_SPACE));
  EXPECT_EQ(VirtualKeyFromDom("Escape", "Escape"), static_cast<UINT>(VK_ESCAPE));
  EXPECT_EQ(VirtualKeyFromDom("Equal", "="), static_cast<UINT>(VK_OEM_PLUS));
  EXPECT_EQ(VirtualKeyFromDom("Equal", "+"), static_cast<UINT>(VK_OEM_PLUS));  // with Shift
  EXPECT_EQ(VirtualKeyFromDom("Minus", "-"), static_cast<UINT>(VK_OEM_MINUS));
  EXPECT_EQ(VirtualKeyFromDom("Minus", "_"), static_cast<UINT>(VK_OEM_MINUS));
  EXPECT_EQ(VirtualKeyFromDom("NumpadAdd", "+"), static_cast<UINT>(VK_ADD));
  EXPECT_EQ(VirtualKeyFromDom("NumpadSubtract", "-"), static_cast<UINT>(VK_SUBTRACT));
}

TEST(DomKeys, DigitsGoByPositionWhateverTheyType) {
  EXPECT_EQ(VirtualKeyFromDom("Digit5", "%"), static_cast<UINT>('5'));         // Shift held
  EXPECT_EQ(VirtualKeyFromDom("Digit5", "("), static_cast<UINT>('5'));         // French layout
  EXPECT_EQ(VirtualKeyFromDom("Digit2", "\xC3\xA9"), static_cast<UINT>('2'));  // French e-acute
  EXPECT_EQ(VirtualKeyFromDom("Digit0", "\xC3\xA0"), static_cast<UINT>('0'));
}

TEST(DomKeys, LettersAndPunctuationFollowTheLayout) {
  EXPECT_EQ(VirtualKeyFromDom("KeyQ", "a"), static_cast<UINT>('A'));  // AZERTY
  EXPECT_EQ(VirtualKeyFromDom("KeyA", "A"), static_cast<UINT>('A'));
  EXPECT_EQ(VirtualKeyFromDom("KeyF", "\xD0\xB0"), static_cast<UINT>('F'));           // Cyrillic
  EXPECT_EQ(VirtualKeyFromDom("BracketRight", "+"), static_cast<UINT>(VK_OEM_PLUS));  // German
  EXPECT_EQ(VirtualKeyFromDom("Slash", "-"), static_cast<UINT>(VK_OEM_MINUS));        // German
  EXPECT_EQ(VirtualKeyFromDom("IntlBackslash", "<"), static_cast<UINT>(VK_OEM_102));
  EXPECT_EQ(VirtualKeyFromDom("Quote", "\xC3\xA4"), static_cast<UINT>(VK_OEM_7));  // by position
}

TEST(DomKeys, KeypadDigitsOnlyWithNumLock) {
  for (int d = 0; d <= 9; ++d) {
    const std::string code = "Numpad" + std::to_string(d);
    EXPECT_EQ(VirtualKeyFromDom(code, std::to_string(d)), static_cast<UINT>(VK_NUMPAD0 + d))
        << code;
  }
  EXPECT_EQ(VirtualKeyFromDom("Numpad0", "Insert"), static_cast<UINT>(VK_INSERT));
  EXPECT_EQ(VirtualKeyFromDom("Numpad5", "Clear"), static_cast<UINT>(VK_CLEAR));
  EXPECT_EQ(VirtualKeyFromDom("Numpad8", "ArrowUp"), static_cast<UINT>(VK_UP));
  EXPECT_EQ(VirtualKeyFromDom("NumpadDecimal", "."), static_cast<UINT>(VK_DECIMAL));
  EXPECT_EQ(VirtualKeyFromDom("NumpadDecimal", ","), static_cast<UINT>(VK_DECIMAL));
  EXPECT_EQ(VirtualKeyFromDom("NumpadDecimal", "Delete"), static_cast<UINT>(VK_DELETE));
  EXPECT_EQ(VirtualKeyFromDom("NumpadEnter", "Enter"), static_cast<UINT>(VK_RETURN));
}

TEST(DomKeys, FunctionKeysAndUnknownKeys) {
  EXPECT_EQ(VirtualKeyFromDom("F1", "F1"), static_cast<UINT>(VK_F1));
  EXPECT_EQ(VirtualKeyFromDom("F24", "F24"), static_cast<UINT>(VK_F1 + 23));
  EXPECT_EQ(VirtualKeyFromDom("F25", "F25"), 0u);
  EXPECT_EQ(VirtualKeyFromDom("F0", ""), 0u);
  EXPECT_EQ(VirtualKeyFromDom("", "Unidentified"), 0u);
  EXPECT_EQ(VirtualKeyFromDom("", ""), 0u);
  EXPECT_EQ(VirtualKeyFromDom("NumpadParenLeft", "("), 0u);
  EXPECT_EQ(VirtualKeyFromDom("Numpad", "5"), 0u);
  EXPECT_EQ(VirtualKeyFromDom("Digit", "5"), static_cast<UINT>('5'));  // the character decides
  EXPECT_EQ(VirtualKeyFromDom("AudioVolumeUp", "AudioVolumeUp"), 0u);
}

// The same physical key, as the page and as SDL report it.
struct SameKey {
  const char* code;
  const char* key;
  SDL_Keycode sym;
  SDL_Scancode scancode;
  Uint16 mod;
};

TEST(DomKeys, AgreeWithTheDesktopOnTheProgramsKeys) {
  const SameKey keys[] = {
      {"Digit1", "1", SDLK_1, SDL_SCANCODE_1, KMOD_NONE},
      {"Digit5", "5", SDLK_5, SDL_SCANCODE_5, KMOD_NONE},
      {"Digit5", "%", SDLK_5, SDL_SCANCODE_5, KMOD_SHIFT},
      {"Digit9", "9", SDLK_9, SDL_SCANCODE_9, KMOD_NONE},
      {"Digit0", "0", SDLK_0, SDL_SCANCODE_0, KMOD_NONE},
      {"Digit5", "(", SDLK_LEFTPAREN, SDL_SCANCODE_5, KMOD_NONE},
      {"Numpad0", "0", SDLK_KP_0, SDL_SCANCODE_KP_0, KMOD_NUM},
      {"Numpad0", "Insert", SDLK_KP_0, SDL_SCANCODE_KP_0, KMOD_NONE},
      {"Numpad5", "5", SDLK_KP_5, SDL_SCANCODE_KP_5, KMOD_NUM},
      {"Numpad5", "Clear", SDLK_KP_5, SDL_SCANCODE_KP_5, KMOD_NUM | KMOD_SHIFT},
      {"Numpad9", "9", SDLK_KP_9, SDL_SCANCODE_KP_9, KMOD_NUM},
      {"NumpadDecimal", ".", SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, KMOD_NUM},
      {"NumpadAdd", "+", SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, KMOD_NONE},
      {"NumpadSubtract", "-", SDLK_KP_MINUS, SDL_SCANCODE_KP_MINUS, KMOD_NONE},
      {"Equal", "=", SDLK_EQUALS, SDL_SCANCODE_EQUALS, KMOD_NONE},
      {"Equal", "+", SDLK_EQUALS, SDL_SCANCODE_EQUALS, KMOD_SHIFT},
      {"Minus", "-", SDLK_MINUS, SDL_SCANCODE_MINUS, KMOD_NONE},
      {"BracketRight", "+", SDLK_PLUS, SDL_SCANCODE_RIGHTBRACKET, KMOD_NONE},
      {"Slash", "-", SDLK_MINUS, SDL_SCANCODE_SLASH, KMOD_NONE},
      {"Space", " ", SDLK_SPACE, SDL_SCANCODE_SPACE, KMOD_NONE},
      {"Escape", "Escape", SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, KMOD_NONE},
      {"KeyQ", "a", SDLK_a, SDL_SCANCODE_Q, KMOD_NONE},
      {"F5", "F5", SDLK_F5, SDL_SCANCODE_F5, KMOD_NONE},
      {"ShiftLeft", "Shift", SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, KMOD_LSHIFT},
  };
  for (const SameKey& k : keys) {
    const UINT desktop = portable::VirtualKeyFromSdl(k.sym, k.scancode, k.mod);
    EXPECT_NE(desktop, 0u) << k.code << " " << k.key;
    EXPECT_EQ(VirtualKeyFromDom(k.code, k.key), desktop) << k.code << " " << k.key;
  }
}

}  // namespace
