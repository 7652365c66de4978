// The Wayland host's keys through real xkbcommon keymaps (US, French, German, Russian, and a
// virtual keyboard's keymap of its own), each held against the SDL host's map for the same
// physical key where both know it.
#include "platform/portable/host_wayland/xkb_key_map.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <map>
#include <string>

#include "platform/portable/host_sdl/key_map.h"

namespace portable {
namespace {

enum Mods { kNone = 0, kShift = 1, kNumLock = 2 };

struct KeyCase {
  const char* layout;
  uint32_t evdev;
  int mods;
  UINT expected;
  // The same key as SDL reports it; SDL_SCANCODE_UNKNOWN where the SDL map is not asked.
  SDL_Keycode sym;
  SDL_Scancode scancode;
};

class XkbKeys : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { context_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS); }
  static void TearDownTestSuite() {
    for (auto& [name, keymap] : keymaps_) xkb_keymap_unref(keymap);
    keymaps_.clear();
    xkb_context_unref(context_);
  }

  static xkb_keymap* Layout(const std::string& layout) {
    auto found = keymaps_.find(layout);
    if (found != keymaps_.end()) return found->second;
    xkb_rule_names names{"evdev", "pc105", layout.c_str(), "", ""};
    xkb_keymap* keymap = xkb_keymap_new_from_names(context_, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    keymaps_[layout] = keymap;
    return keymap;
  }

  // The virtual key for `evdev` on `keymap` with these modifiers held or locked.
  static UINT Translate(xkb_keymap* keymap, uint32_t evdev, int mods) {
    xkb_state* state = xkb_state_new(keymap);
    const xkb_mod_mask_t shift = 1u << xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_SHIFT);
    const xkb_mod_mask_t numLock = 1u << xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_NUM);
    xkb_state_update_mask(state, (mods & kShift) ? shift : 0, 0, (mods & kNumLock) ? numLock : 0, 0,
                          0, 0);
    const UINT vk = VirtualKeyFromXkb(state, evdev + 8);
    xkb_state_unref(state);
    return vk;
  }

  static inline xkb_context* context_ = nullptr;
  static inline std::map<std::string, xkb_keymap*> keymaps_;
};

TEST_F(XkbKeys, RealLayoutsAgreeWithTheSdlMap) {
  const KeyCase cases[] = {
      // The program's keys on a US keyboard.
      {"us", KEY_1, kNone, '1', SDLK_1, SDL_SCANCODE_1},
      {"us", KEY_9, kNone, '9', SDLK_9, SDL_SCANCODE_9},
      {"us", KEY_0, kNone, '0', SDLK_0, SDL_SCANCODE_0},
      {"us", KEY_5, kShift, '5', SDLK_5, SDL_SCANCODE_5},
      {"us", KEY_EQUAL, kNone, VK_OEM_PLUS, SDLK_EQUALS, SDL_SCANCODE_EQUALS},
      {"us", KEY_EQUAL, kShift, VK_OEM_PLUS, SDLK_EQUALS, SDL_SCANCODE_EQUALS},
      {"us", KEY_MINUS, kNone, VK_OEM_MINUS, SDLK_MINUS, SDL_SCANCODE_MINUS},
      {"us", KEY_SPACE, kNone, VK_SPACE, SDLK_SPACE, SDL_SCANCODE_SPACE},
      {"us", KEY_ESC, kNone, VK_ESCAPE, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE},
      {"us", KEY_KPPLUS, kNone, VK_ADD, SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS},
      {"us", KEY_KPMINUS, kNumLock, VK_SUBTRACT, SDLK_KP_MINUS, SDL_SCANCODE_KP_MINUS},
      // The keypad types digits only with NumLock on and Shift up.
      {"us", KEY_KP7, kNumLock, VK_NUMPAD7, SDLK_KP_7, SDL_SCANCODE_KP_7},
      {"us", KEY_KP0, kNumLock, VK_NUMPAD0, SDLK_KP_0, SDL_SCANCODE_KP_0},
      {"us", KEY_KP7, kNone, VK_HOME, SDLK_KP_7, SDL_SCANCODE_KP_7},
      {"us", KEY_KP5, kNone, VK_CLEAR, SDLK_KP_5, SDL_SCANCODE_KP_5},
      {"us", KEY_KP3, kNumLock | kShift, VK_NEXT, SDLK_KP_3, SDL_SCANCODE_KP_3},
      {"us", KEY_KPDOT, kNumLock, VK_DECIMAL, SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD},
      {"us", KEY_A, kNone, 'A', SDLK_a, SDL_SCANCODE_A},
      {"us", KEY_F5, kNone, VK_F5, SDLK_F5, SDL_SCANCODE_F5},
      {"us", KEY_LEFTSHIFT, kNone, VK_SHIFT, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT},
      {"us", KEY_RIGHTALT, kNone, VK_MENU, SDLK_RALT, SDL_SCANCODE_RALT},
      // French: the digit row types '&', 'é', '(' ... unshifted; Windows names the digits.
      {"fr", KEY_1, kNone, '1', SDLK_AMPERSAND, SDL_SCANCODE_1},
      {"fr", KEY_5, kNone, '5', SDLK_LEFTPAREN, SDL_SCANCODE_5},
      {"fr", KEY_6, kNone, '6', SDLK_MINUS, SDL_SCANCODE_6},
      {"fr", KEY_Q, kNone, 'A', SDLK_a, SDL_SCANCODE_Q},
      {"fr", KEY_EQUAL, kNone, VK_OEM_PLUS, SDLK_EQUALS, SDL_SCANCODE_EQUALS},
      // German: '+' and '-' where a US keyboard has ']' and '/'; AltGr.
      {"de", KEY_RIGHTBRACE, kNone, VK_OEM_PLUS, SDLK_PLUS, SDL_SCANCODE_RIGHTBRACKET},
      {"de", KEY_SLASH, kNone, VK_OEM_MINUS, SDLK_MINUS, SDL_SCANCODE_SLASH},
      {"de", KEY_Y, kNone, 'Z', SDLK_z, SDL_SCANCODE_Y},
      {"de", KEY_RIGHTALT, kNone, VK_MENU, SDLK_RALT, SDL_SCANCODE_RALT},
      // Russian: letters of another script go by their place.
      {"ru", KEY_F, kNone, 'F', 0x430, SDL_SCANCODE_F},
      {"ru", KEY_3, kNone, '3', SDLK_3, SDL_SCANCODE_3},
  };
  for (const KeyCase& c : cases) {
    xkb_keymap* keymap = Layout(c.layout);
    ASSERT_NE(keymap, nullptr) << "no keymap for " << c.layout << " (xkb-data missing?)";
    const UINT vk = Translate(keymap, c.evdev, c.mods);
    EXPECT_EQ(vk, c.expected) << c.layout << " key " << c.evdev << " mods " << c.mods;
    const Uint16 sdlMods = static_cast<Uint16>(((c.mods & kShift) ? KMOD_LSHIFT : 0) |
                                               ((c.mods & kNumLock) ? KMOD_NUM : 0));
    EXPECT_EQ(VirtualKeyFromSdl(c.sym, c.scancode, sdlMods), vk)
        << "SDL disagrees: " << c.layout << " key " << c.evdev;
  }
}

// A virtual keyboard (an on-screen keyboard, a remote desktop, a typing tool) uploads a keymap
// whose key numbers are places on no keyboard: key 9 is where a real keyboard has ESC, 10 its
// '1'. The symbols decide.
TEST_F(XkbKeys, AVirtualKeyboardsOwnKeymapGoesBySymbol) {
  const char* text = R"(xkb_keymap {
    xkb_keycodes "virtual" { minimum = 8; maximum = 14;
      <K1> = 9; <K2> = 10; <K3> = 11; <K4> = 12; <K5> = 13; <K6> = 14; };
    xkb_types "virtual" { include "complete" };
    xkb_compatibility "virtual" { include "complete" };
    xkb_symbols "virtual" {
      key <K1> { [ plus ] }; key <K2> { [ minus ] }; key <K3> { [ 3 ] };
      key <K4> { [ Escape ] }; key <K5> { [ KP_Add ] }; key <K6> { [ ampersand ] }; };
  };)";
  xkb_keymap* keymap = xkb_keymap_new_from_string(context_, text, XKB_KEYMAP_FORMAT_TEXT_V1,
                                                  XKB_KEYMAP_COMPILE_NO_FLAGS);
  ASSERT_NE(keymap, nullptr);
  const struct {
    uint32_t evdev;
    UINT expected;
  } keys[] = {{1, VK_OEM_PLUS},
              {2, VK_OEM_MINUS},
              {3, '3'},
              {4, VK_ESCAPE},
              {5, VK_ADD},
              // A character Windows has no key for, at the place of a real '5': none, not '5'.
              {6, 0}};
  for (const auto& k : keys) EXPECT_EQ(Translate(keymap, k.evdev, kNone), k.expected) << k.evdev;
  xkb_keymap_unref(keymap);
  EXPECT_EQ(VirtualKeyFromXkb(nullptr, 9), 0u);
}

}  // namespace
}  // namespace portable
