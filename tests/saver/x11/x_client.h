// The test's own X client: windows to lend the saver, what they show, and what a desktop or
// screen locker would send them.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace saver_test {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  // Pixels inside [x0, x1) x [y0, y1) that are neither black nor `background`.
  int CountDrawn(int x0, int y0, int x1, int y1, uint32_t background = 0) const;
  int CountColour(uint32_t colour) const;
};

class XClient {
 public:
  // Connects to DISPLAY; Ok() tells whether that worked.
  XClient();
  XClient(const XClient&) = delete;
  XClient& operator=(const XClient&) = delete;
  ~XClient();
  bool Ok() const { return display_ != nullptr; }
  Display* Get() const { return display_; }

  // A mapped top-level window with this background, unmanaged (there is no window manager).
  Window MakeWindow(int x, int y, int width, int height, uint32_t background,
                    const char* name = "lender");
  // An input-only window: nothing can be drawn in it.
  Window MakeInputOnlyWindow(int width, int height);
  void Resize(Window window, int width, int height);
  void Destroy(Window window);
  bool Grab(Window window, Picture* picture);
  // A top-level window with this name, or 0.
  Window FindByName(const std::string& name);
  // What a desktop's close button sends (WM_DELETE_WINDOW), and a key press and release.
  void SendCloseRequest(Window window);
  void SendKey(Window window, unsigned long keysym);

 private:
  Display* display_ = nullptr;
};

std::string Hex(unsigned long id);

}  // namespace saver_test
