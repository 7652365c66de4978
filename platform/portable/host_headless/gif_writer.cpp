#include "gif_writer.h"

#include <gif_lib.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace portable {
namespace {

// The largest canvas a GIF can describe.
constexpr int kMaxSide = 65535;

struct GifCloser {
  GifFileType* gif;
  ~GifCloser() {
    if (gif) EGifCloseFile(gif, nullptr);
  }
};

bool Fail(std::string* error, const std::string& what, int code) {
  const char* why = GifErrorString(code);
  *error = what + (why ? std::string(": ") + why : std::string());
  return false;
}

// A colour map of a power-of-two size, at least 2, holding `palette`.
ColorMapObject* MapOf(const std::vector<uint32_t>& palette) {
  int size = 2;
  while (size < static_cast<int>(palette.size())) size *= 2;
  std::vector<GifColorType> colours(static_cast<size_t>(size), GifColorType{0, 0, 0});
  for (size_t i = 0; i < palette.size(); ++i) {
    colours[i] = GifColorType{static_cast<GifByteType>(palette[i] >> 16),
                              static_cast<GifByteType>(palette[i] >> 8),
                              static_cast<GifByteType>(palette[i])};
  }
  return GifMakeMapObject(size, colours.data());
}

bool PutLoopForever(GifFileType* gif) {
  static const GifByteType kApplication[] = "NETSCAPE2.0";
  static const GifByteType kForever[] = {1, 0, 0};
  return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(gif, 11, kApplication) == GIF_OK &&
         EGifPutExtensionBlock(gif, 3, kForever) == GIF_OK &&
         EGifPutExtensionTrailer(gif) == GIF_OK;
}

// One image: its control block, its descriptor with its own colour map, and its rows.
bool PutImage(GifFileType* gif, int delayCs, int transparent, int left, int top, int width,
              int height, const std::vector<uint32_t>& palette,
              const std::vector<std::vector<GifPixelType>>& rows) {
  GraphicsControlBlock control{};
  control.DisposalMode = DISPOSE_DO_NOT;
  control.UserInputFlag = false;
  control.DelayTime = std::clamp(delayCs, 0, 65535);
  control.TransparentColor = transparent;
  GifByteType extension[4];
  const size_t length = EGifGCBToExtension(&control, extension);
  if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) != GIF_OK)
    return false;
  ColorMapObject* map = MapOf(palette);
  if (!map) return false;
  const bool described = EGifPutImageDesc(gif, left, top, width, height, false, map) == GIF_OK;
  GifFreeMapObject(map);
  if (!described) return false;
  for (const std::vector<GifPixelType>& row : rows) {
    if (EGifPutLine(gif, const_cast<GifPixelType*>(row.data()), width) != GIF_OK) return false;
  }
  return true;
}

// The rows of `change` inside the canvas; the first frame fills the rest of the canvas black.
struct Placed {
  int left = 0, top = 0, width = 0, height = 0;
  std::vector<std::vector<GifPixelType>> rows;
};

Placed Place(const FrameChange& change, int canvasWidth, int canvasHeight, bool first) {
  Placed p;
  if (first) {
    p.width = canvasWidth;
    p.height = canvasHeight;
    const auto black =
        static_cast<GifPixelType>(NearestColour(change.palette, change.palette.size(), 0));
    p.rows.assign(static_cast<size_t>(canvasHeight),
                  std::vector<GifPixelType>(static_cast<size_t>(canvasWidth), black));
  } else {
    p.left = std::min(change.left, canvasWidth);
    p.top = std::min(change.top, canvasHeight);
    p.width = std::min(change.left + change.width, canvasWidth) - p.left;
    p.height = std::min(change.top + change.height, canvasHeight) - p.top;
    if (p.width <= 0 || p.height <= 0) return Placed{};
    p.rows.assign(static_cast<size_t>(p.height), {});
  }
  ForEachRow(change, [&](int y, const std::vector<uint8_t>& line) {
    if (y < p.top || y >= p.top + p.height) return;
    std::vector<GifPixelType>& row = p.rows[static_cast<size_t>(y - p.top)];
    if (!first) row.resize(static_cast<size_t>(p.width));
    for (int x = std::max(change.left, p.left);
         x < std::min(change.left + change.width, p.left + p.width); ++x) {
      row[static_cast<size_t>(x - p.left)] = line[static_cast<size_t>(x - change.left)];
    }
  });
  return p;
}

}  // namespace

bool WriteGif(const Recording& recording, int fd, std::string* error) {
  if (recording.frames.empty() || recording.width <= 0 || recording.height <= 0) {
    close(fd);
    *error = "nothing was recorded";
    return false;
  }
  if (recording.width > kMaxSide || recording.height > kMaxSide) {
    close(fd);
    *error = "the picture is larger than a GIF can hold";
    return false;
  }
  int code = 0;
  GifFileType* opened = EGifOpenFileHandle(fd, &code);
  if (!opened) {
    close(fd);
    return Fail(error, "cannot start the GIF", code);
  }
  GifCloser closer{opened};
  GifFileType* gif = opened;
  EGifSetGifVersion(gif, true);
  if (EGifPutScreenDesc(gif, recording.width, recording.height, 8, 0, nullptr) != GIF_OK ||
      !PutLoopForever(gif)) {
    return Fail(error, "cannot write the GIF header", gif->Error);
  }
  const std::vector<RecordedFrame>& frames = recording.frames;
  for (size_t i = 0; i < frames.size(); ++i) {
    const uint64_t next = i + 1 < frames.size() ? frames[i + 1].showAtCs : recording.endCs;
    const int delay = static_cast<int>(next - frames[i].showAtCs);
    const FrameChange& change = frames[i].change;
    Placed p = Place(change, recording.width, recording.height, i == 0);
    bool ok;
    if (p.width == 0) {
      // Nothing changed on the canvas: one transparent pixel keeps the frame's time.
      p.width = p.height = 1;
      p.rows.assign(1, std::vector<GifPixelType>(1, 0));
      ok = PutImage(gif, delay, 0, 0, 0, 1, 1, {0, 0}, p.rows);
    } else {
      ok = PutImage(gif, delay, i == 0 ? NO_TRANSPARENT_COLOR : change.transparent, p.left, p.top,
                    p.width, p.height, change.palette, p.rows);
    }
    if (!ok) return Fail(error, "cannot write frame " + std::to_string(i + 1), gif->Error);
  }
  closer.gif = nullptr;
  if (EGifCloseFile(gif, &code) != GIF_OK) return Fail(error, "cannot finish the GIF", code);
  return true;
}

}  // namespace portable
