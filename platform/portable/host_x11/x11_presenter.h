// Copies changed parts of a framebuffer into an X window with XPutImage, in the window's own
// pixel format (any true-colour visual; the usual 24-bit one takes the pixels as they are).
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <string>

#include "../user/window_surface.h"

namespace portable {

struct X11PixelFormat {
  int depth = 0;
  int bitsPerPixel = 0;
  unsigned long redMask = 0;
  unsigned long greenMask = 0;
  unsigned long blueMask = 0;
  // 32 bits a pixel laid out 0x00RRGGBB: the framebuffer can be sent without conversion.
  bool SameAsFramebuffer() const {
    return bitsPerPixel == 32 && redMask == 0xFF0000 && greenMask == 0xFF00 && blueMask == 0xFF;
  }
};

// A 0x00RRGGBB pixel as the format's pixel value: each channel cut or widened to its mask.
unsigned long PackPixel(uint32_t rgb, const X11PixelFormat& format);

class X11Presenter {
 public:
  X11Presenter() = default;
  X11Presenter(const X11Presenter&) = delete;
  X11Presenter& operator=(const X11Presenter&) = delete;
  ~X11Presenter();

  // For a window of this visual and depth; false, with the reason, when it cannot be drawn
  // on (not true colour, or a depth the server has no image format for).
  bool Open(Display* display, Window window, Visual* visual, int depth, std::string* problem);
  // Copies `rect` of `frame` to the same place in the window; parts outside the frame are
  // left out.
  void Present(const PixelBuffer& frame, const RECT& rect);
  // Frees what Open made; to be called while the display is still open.
  void Close();
  const X11PixelFormat& Format() const { return format_; }

 private:
  Display* display_ = nullptr;
  Window window_ = 0;
  GC gc_ = nullptr;
  Visual* visual_ = nullptr;
  X11PixelFormat format_;
};

}  // namespace portable
