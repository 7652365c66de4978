#include "x11_presenter.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace portable {
namespace {

// An 8-bit channel placed in `mask`: its top bits when the mask is narrower, repeated into
// the low bits when it is wider.
unsigned long Place(uint32_t channel, unsigned long mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const int bits = std::popcount(mask);
  unsigned long value = 0;
  if (bits <= 8) {
    value = channel >> (8 - bits);
  } else {
    for (int filled = 0; filled < bits; filled += 8) {
      const int room = bits - filled;
      value |=
          room >= 8 ? static_cast<unsigned long>(channel) << (room - 8) : channel >> (8 - room);
    }
  }
  return (value << shift) & mask;
}

int BitsPerPixelOf(Display* display, int depth) {
  int count = 0;
  XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
  int bits = 0;
  for (int i = 0; formats != nullptr && i < count; ++i) {
    if (formats[i].depth == depth) bits = formats[i].bits_per_pixel;
  }
  if (formats != nullptr) XFree(formats);
  return bits;
}

}  // namespace

unsigned long PackPixel(uint32_t rgb, const X11PixelFormat& format) {
  return Place((rgb >> 16) & 0xFF, format.redMask) | Place((rgb >> 8) & 0xFF, format.greenMask) |
         Place(rgb & 0xFF, format.blueMask);
}

X11Presenter::~X11Presenter() { Close(); }

void X11Presenter::Close() {
  if (gc_ != nullptr) XFreeGC(display_, gc_);
  gc_ = nullptr;
}

bool X11Presenter::Open(Display* display, Window window, Visual* visual, int depth,
                        std::string* problem) {
  if (visual == nullptr || visual->c_class != TrueColor) {
    *problem = "the window does not use a true-colour visual";
    return false;
  }
  format_.depth = depth;
  format_.bitsPerPixel = BitsPerPixelOf(display, depth);
  format_.redMask = visual->red_mask;
  format_.greenMask = visual->green_mask;
  format_.blueMask = visual->blue_mask;
  if (format_.bitsPerPixel != 8 && format_.bitsPerPixel != 16 && format_.bitsPerPixel != 24 &&
      format_.bitsPerPixel != 32) {
    *problem = "the X server has no image format for the window's depth " + std::to_string(depth);
    return false;
  }
  XGCValues values{};
  values.graphics_exposures = False;
  gc_ = XCreateGC(display, window, GCGraphicsExposures, &values);
  display_ = display;
  window_ = window;
  visual_ = visual;
  return true;
}

void X11Presenter::Present(const PixelBuffer& frame, const RECT& rect) {
  if (gc_ == nullptr || frame.pixels == nullptr) return;
  const int left = std::max<int>(rect.left, 0);
  const int top = std::max<int>(rect.top, 0);
  const int right = std::min<int>(rect.right, frame.width);
  const int bottom = std::min<int>(rect.bottom, frame.height);
  if (left >= right || top >= bottom) return;
  const int width = right - left;
  const int height = bottom - top;

  if (format_.SameAsFramebuffer()) {
    // The framebuffer itself, described as an image in this machine's byte order.
    XImage* image =
        XCreateImage(display_, visual_, static_cast<unsigned>(format_.depth), ZPixmap, 0,
                     reinterpret_cast<char*>(frame.pixels), static_cast<unsigned>(frame.width),
                     static_cast<unsigned>(frame.height), 32, frame.stride * 4);
    if (image == nullptr) return;
    image->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
    XInitImage(image);
    XPutImage(display_, window_, gc_, image, left, top, left, top, static_cast<unsigned>(width),
              static_cast<unsigned>(height));
    image->data = nullptr;  // not ours to free
    XDestroyImage(image);
    return;
  }
  XImage* image =
      XCreateImage(display_, visual_, static_cast<unsigned>(format_.depth), ZPixmap, 0, nullptr,
                   static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
  if (image == nullptr) return;
  image->data =
      static_cast<char*>(std::malloc(static_cast<size_t>(image->bytes_per_line) * height));
  if (image->data == nullptr) {
    XDestroyImage(image);
    return;
  }
  for (int y = 0; y < height; ++y) {
    const uint32_t* row = frame.pixels + static_cast<ptrdiff_t>(top + y) * frame.stride + left;
    for (int x = 0; x < width; ++x) XPutPixel(image, x, y, PackPixel(row[x], format_));
  }
  XPutImage(display_, window_, gc_, image, 0, 0, left, top, static_cast<unsigned>(width),
            static_cast<unsigned>(height));
  XDestroyImage(image);  // frees the converted pixels too
}

}  // namespace portable
