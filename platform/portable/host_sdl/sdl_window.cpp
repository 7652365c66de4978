#include "sdl_window.h"

#include <algorithm>
#include <cstring>

namespace portable {

SdlWindow::~SdlWindow() {
  if (window_) SDL_DestroyWindow(window_);
}

bool SdlWindow::Open(const char* title, int x, int y, int width, int height) {
  window_ = SDL_CreateWindow(title, x, y, std::max(width, 1), std::max(height, 1),
                             SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
  if (!window_) return false;
  id_ = SDL_GetWindowID(window_);
  return true;
}

void SdlWindow::SetTitle(const char* utf8Title) {
  if (window_) SDL_SetWindowTitle(window_, utf8Title);
}

void SdlWindow::SetClientSize(int width, int height) {
  if (!window_) return;
  int w = 0, h = 0;
  SDL_GetWindowSize(window_, &w, &h);
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (w != width || h != height) SDL_SetWindowSize(window_, width, height);
}

void SdlWindow::ClientSize(int* width, int* height) const {
  *width = 0;
  *height = 0;
  if (window_) SDL_GetWindowSize(window_, width, height);
}

bool SdlWindow::Present(const PixelBuffer& frame, const std::vector<RECT>& rects) {
  if (!window_ || !frame.pixels) return false;
  // Recreated by SDL after a resize; the same surface otherwise.
  SDL_Surface* surface = SDL_GetWindowSurface(window_);
  if (!surface) return false;
  changed_.clear();
  if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return false;
  int result = 0;
  for (const RECT& rect : rects) {
    const int left = std::max<int>(rect.left, 0);
    const int top = std::max<int>(rect.top, 0);
    const int right = std::min({static_cast<int>(rect.right), frame.width, surface->w});
    const int bottom = std::min({static_cast<int>(rect.bottom), frame.height, surface->h});
    if (left >= right || top >= bottom) continue;
    const uint32_t* src = frame.pixels + static_cast<size_t>(top) * frame.stride + left;
    auto* dst = static_cast<uint8_t*>(surface->pixels) + static_cast<size_t>(top) * surface->pitch +
                static_cast<size_t>(left) * surface->format->BytesPerPixel;
    const int width = right - left;
    const int height = bottom - top;
    if (surface->format->format == SDL_PIXELFORMAT_RGB888) {
      for (int row = 0; row < height; ++row) {
        std::memcpy(dst + static_cast<size_t>(row) * surface->pitch,
                    src + static_cast<size_t>(row) * frame.stride, static_cast<size_t>(width) * 4);
      }
    } else if (SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_RGB888, src, frame.stride * 4,
                                 surface->format->format, dst, surface->pitch) != 0) {
      result = -1;
      break;
    }
    changed_.push_back(SDL_Rect{left, top, width, height});
  }
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  if (result != 0) return false;
  if (changed_.empty()) return true;
  return SDL_UpdateWindowSurfaceRects(window_, changed_.data(),
                                      static_cast<int>(changed_.size())) == 0;
}

void AnsiToUtf8(const char* ansi, char* out, size_t outSize) {
  // Windows-1252 0x80..0x9F; 0 where the code page leaves a hole.
  static const uint16_t kHigh[32] = {
      0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  if (outSize == 0) return;
  size_t used = 0;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(ansi); ansi && *p; ++p) {
    unsigned code = *p;
    if (code >= 0x80 && code < 0xA0) code = kHigh[code - 0x80] ? kHigh[code - 0x80] : '?';
    char bytes[3];
    size_t n;
    if (code < 0x80) {
      bytes[0] = static_cast<char>(code);
      n = 1;
    } else if (code < 0x800) {
      bytes[0] = static_cast<char>(0xC0 | (code >> 6));
      bytes[1] = static_cast<char>(0x80 | (code & 0x3F));
      n = 2;
    } else {
      bytes[0] = static_cast<char>(0xE0 | (code >> 12));
      bytes[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      bytes[2] = static_cast<char>(0x80 | (code & 0x3F));
      n = 3;
    }
    if (used + n >= outSize) break;
    std::memcpy(out + used, bytes, n);
    used += n;
  }
  out[used] = '\0';
}

}  // namespace portable
