// Showing the framebuffer in the real window: each changed rectangle copied from the layer's
// pixels straight to the window's DC.
#include <algorithm>

#include "system_window.h"

namespace portable::win32 {

void SystemWindow::Present(const uint32_t* pixels, int width, int height, int stride,
                           const std::vector<PlainRect>& rects) {
  if (dc_ == nullptr || pixels == nullptr) return;
  for (const PlainRect& box : rects) {
    const int left = std::max(0, static_cast<int>(box.left));
    const int top = std::max(0, static_cast<int>(box.top));
    const int right = std::min(width, static_cast<int>(box.right));
    const int bottom = std::min(height, static_cast<int>(box.bottom));
    if (left >= right || top >= bottom) continue;
    // The rows of the rectangle as a top-down picture of its own, `stride` pixels wide.
    info_.bmiHeader.biWidth = stride;
    info_.bmiHeader.biHeight = -(bottom - top);
    SetDIBitsToDevice(dc_, left, top, static_cast<DWORD>(right - left),
                      static_cast<DWORD>(bottom - top), left, 0, 0, static_cast<UINT>(bottom - top),
                      pixels + static_cast<ptrdiff_t>(top) * stride, &info_, DIB_RGB_COLORS);
  }
  GdiFlush();
}

}  // namespace portable::win32
