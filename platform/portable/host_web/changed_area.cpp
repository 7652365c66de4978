#include "changed_area.h"

#include <algorithm>

namespace portable {

void ChangedArea::Add(const RECT& rect, int width, int height) {
  const RECT clipped{std::max<LONG>(rect.left, 0), std::max<LONG>(rect.top, 0),
                     std::min<LONG>(rect.right, width), std::min<LONG>(rect.bottom, height)};
  if (clipped.left >= clipped.right || clipped.top >= clipped.bottom) return;
  if (empty_) {
    bounds_ = clipped;
    empty_ = false;
    return;
  }
  bounds_.left = std::min(bounds_.left, clipped.left);
  bounds_.top = std::min(bounds_.top, clipped.top);
  bounds_.right = std::max(bounds_.right, clipped.right);
  bounds_.bottom = std::max(bounds_.bottom, clipped.bottom);
}

}  // namespace portable
