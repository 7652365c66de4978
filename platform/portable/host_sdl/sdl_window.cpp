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

}  // namespace portable
