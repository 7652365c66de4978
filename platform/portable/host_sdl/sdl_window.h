// One SDL window showing the client area of a top-level window: copies changed parts of the
// layer's framebuffer to the screen.
#pragma once

#include <SDL.h>

#include <vector>

#include "../../win32.h"
#include "../host_common/ansi_utf8.h"
#include "../user/window_surface.h"

namespace portable {

class SdlWindow {
 public:
  SdlWindow() = default;
  SdlWindow(const SdlWindow&) = delete;
  SdlWindow& operator=(const SdlWindow&) = delete;
  ~SdlWindow();

  // Opens a resizable, shown window with a client area of width x height at (x, y)
  // (SDL_WINDOWPOS_UNDEFINED lets the desktop choose). `title` is UTF-8.
  bool Open(const char* title, int x, int y, int width, int height);
  Uint32 Id() const { return id_; }
  void SetTitle(const char* utf8Title);
  // Gives the window this client size unless it has it already.
  void SetClientSize(int width, int height);
  void ClientSize(int* width, int* height) const;

  // Copies `rects` (framebuffer coordinates) of `frame` to the screen. False when SDL failed.
  bool Present(const PixelBuffer& frame, const std::vector<RECT>& rects);
  bool Present(const PixelBuffer& frame, const RECT& rect) {
    return Present(frame, std::vector<RECT>{rect});
  }

 private:
  SDL_Window* window_ = nullptr;
  Uint32 id_ = 0;
  std::vector<SDL_Rect> changed_;  // scratch, kept for its storage
};

}  // namespace portable
