#include "clip_region.h"
#include "wide_product.h"

#include <algorithm>
#include <climits>

namespace portable::gdi {

Region::Region(const Box& box) {
  if (!box.Empty()) boxes_.push_back(box);
}

Box Region::Bounds() const {
  if (boxes_.empty()) return Box{};
  Box out = boxes_.front();
  for (const Box& b : boxes_) {
    out.left = std::min(out.left, b.left);
    out.top = std::min(out.top, b.top);
    out.right = std::max(out.right, b.right);
    out.bottom = std::max(out.bottom, b.bottom);
  }
  return out;
}

void Region::IntersectBox(const Box& box) {
  size_t kept = 0;
  for (const Box& b : boxes_) {
    Box i = Intersect(b, box);
    if (!i.Empty()) boxes_[kept++] = i;
  }
  boxes_.resize(kept);
}

void Region::SubtractBox(const Box& cut) {
  if (cut.Empty()) return;
  std::vector<Box> out;
  out.reserve(boxes_.size() + 4);
  for (const Box& b : boxes_) {
    Box i = Intersect(b, cut);
    if (i.Empty()) {
      out.push_back(b);
      continue;
    }
    // Up to four pieces: full-width bands above and below, then left and right of the cut.
    if (b.top < i.top) out.push_back(Box{b.left, b.top, b.right, i.top});
    if (i.bottom < b.bottom) out.push_back(Box{b.left, i.bottom, b.right, b.bottom});
    if (b.left < i.left) out.push_back(Box{b.left, i.top, i.left, i.bottom});
    if (i.right < b.right) out.push_back(Box{i.right, i.top, b.right, i.bottom});
  }
  boxes_.swap(out);
}

void Region::IntersectRegion(const Region& other) {
  if (other.boxes_.size() == 1) {
    IntersectBox(other.boxes_.front());
    return;
  }
  std::vector<Box> out;
  for (const Box& a : boxes_) {
    for (const Box& b : other.boxes_) {
      Box i = Intersect(a, b);
      if (!i.Empty()) out.push_back(i);
    }
  }
  boxes_.swap(out);
}

int Region::Complexity() const {
  if (boxes_.empty()) return NULLREGION;
  // The boxes are disjoint: they form one rectangle exactly when they fill their bounds.
  Box bounds = Bounds();
  auto area = [](const Box& b) {
    return Multiply(static_cast<uint64_t>(b.right - b.left),
                    static_cast<uint64_t>(b.bottom - b.top));
  };
  Wide covered;
  for (const Box& b : boxes_) covered = Add(covered, area(b));
  return covered == area(bounds) ? SIMPLEREGION : COMPLEXREGION;
}

bool Region::operator==(const Region& other) const {
  if (boxes_.size() != other.boxes_.size()) return false;
  for (size_t i = 0; i < boxes_.size(); ++i) {
    const Box& a = boxes_[i];
    const Box& b = other.boxes_[i];
    if (a.left != b.left || a.top != b.top || a.right != b.right || a.bottom != b.bottom) {
      return false;
    }
  }
  return true;
}

}  // namespace portable::gdi
