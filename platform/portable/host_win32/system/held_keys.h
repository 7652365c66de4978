// The keys a real window has reported down to the layer. Windows does not send every key-up:
// both Shift keys released together make one WM_KEYUP, and a loop of the system's (a menu)
// swallows the key-ups it handles. What the layer still holds is checked against the system's
// own key state, so that no key stays down in the layer for good.
#pragma once

#include <bitset>
#include <cstdint>
#include <vector>

namespace portable::win32 {

class HeldKeys {
 public:
  // A key went down or up as the layer was told; 0 and keys above 255 are not kept.
  void Reported(uint32_t virtualKey, bool down);
  bool Held(uint32_t virtualKey) const { return virtualKey < 256 && held_[virtualKey]; }
  // The keys the layer holds that `systemState` (256 bytes as GetKeyboardState fills them, high
  // bit for down) has up, lowest first. They count as reported up from now on.
  std::vector<uint32_t> TakeStale(const uint8_t systemState[256]);
  void Clear() { held_.reset(); }

 private:
  std::bitset<256> held_;
};

}  // namespace portable::win32
