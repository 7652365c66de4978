#include "held_keys.h"

namespace portable::win32 {

void HeldKeys::Reported(uint32_t virtualKey, bool down) {
  if (virtualKey == 0 || virtualKey >= 256) return;
  held_[virtualKey] = down;
}

std::vector<uint32_t> HeldKeys::TakeStale(const uint8_t systemState[256]) {
  std::vector<uint32_t> stale;
  if (held_.none()) return stale;
  for (uint32_t vk = 1; vk < 256; ++vk) {
    if (held_[vk] && (systemState[vk] & 0x80) == 0) {
      held_[vk] = false;
      stale.push_back(vk);
    }
  }
  return stale;
}

}  // namespace portable::win32
