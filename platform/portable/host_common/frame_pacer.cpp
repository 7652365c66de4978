#include "frame_pacer.h"

#include <algorithm>

namespace portable {

void DirtyRect::Add(const RECT& rect, int width, int height) {
  const LONG left = std::max<LONG>(rect.left, 0);
  const LONG top = std::max<LONG>(rect.top, 0);
  const LONG right = std::min<LONG>(rect.right, width);
  const LONG bottom = std::min<LONG>(rect.bottom, height);
  if (left >= right || top >= bottom) return;
  if (empty_) {
    bounds_ = RECT{left, top, right, bottom};
    empty_ = false;
    return;
  }
  bounds_.left = std::min(bounds_.left, left);
  bounds_.top = std::min(bounds_.top, top);
  bounds_.right = std::max(bounds_.right, right);
  bounds_.bottom = std::max(bounds_.bottom, bottom);
}

FramePacer::FramePacer(int refreshHz)
    : periodUs_(1000000u / static_cast<uint64_t>(refreshHz > 0 ? refreshHz : 60)) {}

void FramePacer::Presented(uint64_t nowUs) {
  // Keep the rhythm when a picture was only a little late; after a long idle spell start anew.
  if (presented_ && nowUs < lastUs_ + 2 * periodUs_) {
    lastUs_ += periodUs_;
    if (lastUs_ > nowUs) lastUs_ = nowUs;
  } else {
    lastUs_ = nowUs;
  }
  presented_ = true;
}

}  // namespace portable
