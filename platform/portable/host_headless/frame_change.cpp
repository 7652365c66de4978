#include "frame_change.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <unordered_map>

namespace portable {
namespace {

using Counts = std::unordered_map<uint32_t, uint64_t>;

struct Box {
  int left, top, right, bottom;
  bool Empty() const { return right <= left || bottom <= top; }
};

bool RowsEqual(const PictureView& a, const PictureView& b, int y) {
  if (a.width != b.width || y >= a.height || y >= b.height) return false;
  return std::memcmp(a.pixels + static_cast<size_t>(y) * a.stride,
                     b.pixels + static_cast<size_t>(y) * b.stride,
                     static_cast<size_t>(a.width) * sizeof(uint32_t)) == 0;
}

Box ChangedBox(const PictureView& before, const PictureView& after) {
  const int width = std::max(before.width, after.width);
  const int height = std::max(before.height, after.height);
  Box box{width, height, 0, 0};
  for (int y = 0; y < height; ++y) {
    if (RowsEqual(before, after, y)) continue;
    int first = 0;
    while (first < width && before.At(first, y) == after.At(first, y)) ++first;
    if (first == width) continue;
    int last = width - 1;
    while (before.At(last, y) == after.At(last, y)) --last;
    box.left = std::min(box.left, first);
    box.right = std::max(box.right, last + 1);
    box.top = std::min(box.top, y);
    box.bottom = y + 1;
  }
  return box;
}

// Row `y` of `picture` over [left, right), black beyond its edges.
void ReadRow(const PictureView& picture, int y, int left, int right, std::vector<uint32_t>* out) {
  out->assign(static_cast<size_t>(right - left), 0);
  const int end = std::min(right, picture.width);
  if (y >= picture.height || end <= left) return;
  std::memcpy(out->data(), picture.pixels + static_cast<size_t>(y) * picture.stride + left,
              static_cast<size_t>(end - left) * sizeof(uint32_t));
}

// The pixels of one row of the rectangle, before and after.
struct RowPair {
  std::vector<uint32_t> was, now;
  bool unchanged = false;  // the whole row segment stayed
  void Read(const PictureView* before, const PictureView& after, int y, int left, int right) {
    ReadRow(after, y, left, right, &now);
    if (before) {
      ReadRow(*before, y, left, right, &was);
      unchanged = std::memcmp(was.data(), now.data(), now.size() * sizeof(uint32_t)) == 0;
    } else {
      unchanged = false;
    }
  }
  bool Stayed(const PictureView* before, size_t i) const { return before && was[i] == now[i]; }
};

// The `limit` most used colours, most used first; ties go to the smaller value, so the same
// picture always gets the same palette.
std::vector<uint32_t> MostUsed(const Counts& counts, size_t limit) {
  std::vector<std::pair<uint32_t, uint64_t>> entries(counts.begin(), counts.end());
  std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
    return a.second != b.second ? a.second > b.second : a.first < b.first;
  });
  std::vector<uint32_t> colours;
  for (size_t i = 0; i < entries.size() && i < limit; ++i) colours.push_back(entries[i].first);
  return colours;
}

}  // namespace

PictureView ViewOf(const FrameCapture& frame) {
  return PictureView{frame.pixels.data(), frame.width, frame.height, frame.width};
}

int NearestColour(const std::vector<uint32_t>& palette, size_t count, uint32_t colour) {
  int best = 0;
  int64_t bestDistance = std::numeric_limits<int64_t>::max();
  for (size_t i = 0; i < count && i < palette.size(); ++i) {
    const int64_t dr = static_cast<int64_t>((palette[i] >> 16) & 0xFF) - ((colour >> 16) & 0xFF);
    const int64_t dg = static_cast<int64_t>((palette[i] >> 8) & 0xFF) - ((colour >> 8) & 0xFF);
    const int64_t db = static_cast<int64_t>(palette[i] & 0xFF) - (colour & 0xFF);
    const int64_t d = dr * dr + dg * dg + db * db;
    if (d < bestDistance) {
      bestDistance = d;
      best = static_cast<int>(i);
    }
  }
  return best;
}

FrameChange DescribeChange(const PictureView* before, const PictureView& after) {
  FrameChange change;
  const Box box = before ? ChangedBox(*before, after) : Box{0, 0, after.width, after.height};
  if (box.Empty()) return change;
  change.left = box.left;
  change.top = box.top;
  change.width = box.right - box.left;
  change.height = box.bottom - box.top;

  // Colours of the changed pixels; whether any stayed.
  Counts changed;
  bool anyStayed = false;
  uint32_t lastColour = 0;
  uint64_t* lastCount = nullptr;
  RowPair row;
  for (int y = box.top; y < box.bottom; ++y) {
    row.Read(before, after, y, box.left, box.right);
    if (row.unchanged) {
      anyStayed = true;
      continue;
    }
    for (size_t i = 0; i < row.now.size(); ++i) {
      if (row.Stayed(before, i)) {
        anyStayed = true;
        continue;
      }
      if (!lastCount || row.now[i] != lastColour) {
        lastCount = &changed[row.now[i]];
        lastColour = row.now[i];
      }
      ++*lastCount;
    }
  }
  // Pixels that stayed are transparent when that costs no colour anyone needs; otherwise they
  // are stored as they are, as long as all colours of the rectangle fit.
  bool transparent = anyStayed;
  Counts* counts = &changed;
  size_t limit = transparent ? 255 : 256;
  Counts all;
  if (transparent && changed.size() > 255) {
    all = changed;
    for (int y = box.top; y < box.bottom; ++y) {
      row.Read(before, after, y, box.left, box.right);
      for (size_t i = 0; i < row.now.size(); ++i) {
        if (row.Stayed(before, i)) ++all[row.now[i]];
      }
    }
    if (all.size() <= 256) {
      transparent = false;
      counts = &all;
      limit = 256;
    }
  }
  if (!before) changed[0] = std::numeric_limits<uint64_t>::max();  // black, for the canvas

  change.palette = MostUsed(*counts, limit);
  change.lossy = counts->size() > limit;
  const size_t kept = change.palette.size();
  std::unordered_map<uint32_t, uint8_t> index;
  for (size_t i = 0; i < kept; ++i) index[change.palette[i]] = static_cast<uint8_t>(i);
  if (transparent) {
    change.transparent = static_cast<int>(kept);
    change.palette.push_back(0);
  }

  uint32_t lastIndexed = 0;
  uint8_t lastIndex = 0;
  bool haveLast = false;
  auto indexOf = [&](uint32_t colour) {
    if (haveLast && colour == lastIndexed) return lastIndex;
    auto found = index.find(colour);
    uint8_t i = found != index.end()
                    ? found->second
                    : static_cast<uint8_t>(NearestColour(change.palette, kept, colour));
    if (found == index.end()) index[colour] = i;
    lastIndexed = colour;
    lastIndex = i;
    haveLast = true;
    return i;
  };
  const auto clear = static_cast<uint8_t>(change.transparent);
  for (int y = box.top; y < box.bottom; ++y) {
    row.Read(before, after, y, box.left, box.right);
    int run = 0;
    uint8_t runIndex = 0;
    for (size_t i = 0; i < row.now.size(); ++i) {
      const uint8_t index =
          transparent && (row.unchanged || row.Stayed(before, i)) ? clear : indexOf(row.now[i]);
      if (run > 0 && (index != runIndex || run == 256)) {
        change.runs.push_back(static_cast<uint8_t>(run - 1));
        change.runs.push_back(runIndex);
        run = 0;
      }
      runIndex = index;
      ++run;
    }
    change.runs.push_back(static_cast<uint8_t>(run - 1));
    change.runs.push_back(runIndex);
  }
  return change;
}

}  // namespace portable
