// Where a window's pixels live, for the window DCs and the hosts. Every top-level window owns
// one framebuffer of its client size; child windows draw into their top-level window's
// framebuffer at their offset.
#pragma once

#include <cstdint>

#include "../../win32.h"

namespace portable {

// 32-bit 0x00RRGGBB pixels, rows `stride` pixels apart.
struct PixelBuffer {
  uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;
};

struct WindowSurface {
  HWND topLevel = nullptr;
  PixelBuffer framebuffer;
  POINT clientOrigin{0, 0};  // client (0, 0) in framebuffer coordinates
  RECT visible{0, 0, 0, 0};  // client coordinates: the part of the client area that can be drawn
};

// Fills `out` for a live window; false for a dead handle.
bool QueryWindowSurface(HWND hwnd, WindowSurface* out);

// Pixels of `hwnd`'s client area changed inside `clientRect`; forwards to the host in
// framebuffer coordinates.
void NotifyPixelsChanged(HWND hwnd, const RECT& clientRect);

// Changes whenever any window's rectangles, style, z-order, framebuffer or existence change,
// so that what was worked out from them can be kept until then.
uint64_t WindowLayoutGeneration();

// A text was drawn into `hwnd` at client (x, y); forwards to the host.
void NotifyTextDrawn(HWND hwnd, int x, int y, const char* text, int length);

}  // namespace portable

namespace portable::user {

struct Window;
// The framebuffer of a top-level window follows its client size.
void SyncFramebuffer(Window& w);

}  // namespace portable::user
