#include "text_cache.h"

#include <cstring>

namespace portable::gdi {
namespace {

// A status line and the pause line, say; a line of 64K pixels is wider than any screen.
constexpr size_t kKeptLines = 2;
constexpr int64_t kMaxLinePixels = 65536;

struct Kept {
  TextLine lines[kKeptLines];
  bool used[kKeptLines] = {};
  size_t next = 0;  // the one to give up next
};
Kept* kept = nullptr;  // never destroyed: text may be drawn during exit

bool Matches(const TextLine& line, const TextLineKey& key) {
  return line.font == key.font && line.ink == key.ink && line.paper == key.paper &&
         line.text.size() == key.count && std::memcmp(line.text.data(), key.text, key.count) == 0;
}

}  // namespace

const TextLine* FindTextLine(const TextLineKey& key) {
  if (!kept) return nullptr;
  for (size_t i = 0; i < kKeptLines; ++i) {
    if (kept->used[i] && Matches(kept->lines[i], key)) return &kept->lines[i];
  }
  return nullptr;
}

TextLine* KeepTextLine(const TextLineKey& key, int64_t width, int64_t height) {
  if (width <= 0 || height <= 0 || width * height > kMaxLinePixels) return nullptr;
  if (!kept) kept = new Kept;
  const size_t i = kept->next;
  kept->next = (i + 1) % kKeptLines;
  kept->used[i] = true;
  TextLine& line = kept->lines[i];
  line.font = key.font;
  line.ink = key.ink;
  line.paper = key.paper;
  line.text.assign(key.text, key.count);
  line.width = static_cast<int>(width);
  line.height = static_cast<int>(height);
  line.pixels.assign(static_cast<size_t>(width * height), 0);
  return &line;
}

}  // namespace portable::gdi
