// The keys the Windows host has told the layer are down, against the system's key state.
#include "platform/portable/host_win32/system/held_keys.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace {

using portable::win32::HeldKeys;

constexpr uint32_t kLeftShift = 0xA0, kRightShift = 0xA1, kShift = 0x10, kLeftAlt = 0xA4,
                   kSpace = 0x20, kEscape = 0x1B;

// GetKeyboardState's picture with `down` held (high bit), every other key up.
struct SystemState {
  explicit SystemState(std::initializer_list<uint32_t> down) {
    for (uint32_t vk : down) bytes[vk] = 0x80;
    bytes[0x14] = 0x01;  // Caps Lock toggled but up: the low bit says nothing of being held
  }
  uint8_t bytes[256] = {};
};

struct Report {
  uint32_t vk;
  bool down;
};

TEST(HeldKeys, KeyUpsTheSystemLeftOutAreMadeUp) {
  struct Case {
    const char* what;
    std::vector<Report> reports;  // what the window told the layer
    std::vector<uint32_t> systemDown;
    std::vector<uint32_t> stale;  // key-ups to make up, lowest first
  };
  const std::vector<Case> cases = {
      {"both Shift keys let go together: one key-up, for the left",
       {{kLeftShift, true}, {kRightShift, true}, {kLeftShift, false}},
       {},
       {kRightShift}},
      {"the same, the key-up for the right",
       {{kLeftShift, true}, {kRightShift, true}, {kRightShift, false}},
       {},
       {kLeftShift}},
      {"one Shift let go, the other still held",
       {{kLeftShift, true}, {kRightShift, true}, {kLeftShift, false}},
       {kShift, kRightShift},
       {}},
      {"Alt+Space whose key-ups a menu took, ESC's down taken too",
       {{kLeftAlt, true}, {kSpace, true}, {kEscape, false}},
       {},
       {kSpace, kLeftAlt}},
      {"keys held in both", {{kLeftAlt, true}, {kSpace, true}}, {kLeftAlt, kSpace}, {}},
      {"virtual key 0 and keys past 255 are not kept", {{0, true}, {300, true}}, {}, {}},
  };
  for (const Case& c : cases) {
    HeldKeys keys;
    for (const Report& r : c.reports) keys.Reported(r.vk, r.down);
    SystemState state({});
    for (uint32_t vk : c.systemDown) state.bytes[vk] = 0x80;
    EXPECT_EQ(keys.TakeStale(state.bytes), c.stale) << c.what;
    // What was made up counts as up: asked again, nothing more comes.
    EXPECT_EQ(keys.TakeStale(state.bytes), std::vector<uint32_t>{}) << c.what;
    for (uint32_t vk : c.stale) EXPECT_FALSE(keys.Held(vk)) << c.what;
    for (uint32_t vk : c.systemDown) {
      if (vk == kShift) continue;  // the layer is told of the left and right keys only
      EXPECT_TRUE(keys.Held(vk)) << c.what << " " << vk;
    }
  }
}

TEST(HeldKeys, ClearedKeysAreNotReleasedAgain) {
  // The layer let go of everything itself when the program lost the keyboard.
  HeldKeys keys;
  keys.Reported(kLeftShift, true);
  keys.Reported(kRightShift, true);
  keys.Clear();
  const SystemState state({});
  EXPECT_TRUE(keys.TakeStale(state.bytes).empty());
  keys.Reported(kRightShift, true);
  EXPECT_EQ(keys.TakeStale(state.bytes), std::vector<uint32_t>{kRightShift});
}

}  // namespace
