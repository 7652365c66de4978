// The presenter in a real X server: what reaches the screen is exactly the changed part of
// the framebuffer.
#include "platform/portable/host_sdl/sdl_window.h"

#include <gtest/gtest.h>

#include <vector>

#include "xvfb_session.h"

namespace portable {
namespace {

using desktop_test::Image;

class SdlWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    xvfb_ = new desktop_test::XvfbSession;
    std::string error;
    if (!xvfb_->Start(320, 240, &error)) {
      setupError_ = error;
      return;
    }
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) setupError_ = SDL_GetError();
  }
  static void TearDownTestSuite() {
    SDL_Quit();
    delete xvfb_;
    xvfb_ = nullptr;
  }
  void SetUp() override {
    if (!setupError_.empty()) FAIL() << setupError_;
  }

  // Lets SDL handle mapping and exposure, then takes the screen.
  static Image Screen() {
    SDL_PumpEvents();
    Image image;
    EXPECT_TRUE(desktop_test::Screenshot(&image));
    return image;
  }

  static inline desktop_test::XvfbSession* xvfb_ = nullptr;
  static inline std::string setupError_;
};

// A framebuffer with a row stride wider than its width, as the layer may hand out.
struct Frame {
  std::vector<uint32_t> store;
  PixelBuffer buffer;
  Frame(int width, int height, uint32_t colour)
      : store(static_cast<size_t>(width + 8) * height, colour) {
    buffer = PixelBuffer{store.data(), width, height, width + 8};
  }
  void Fill(uint32_t colour) { std::fill(store.begin(), store.end(), colour); }
  void Set(int x, int y, uint32_t colour) {
    store[static_cast<size_t>(y) * buffer.stride + x] = colour;
  }
};

bool WaitForScreen(const std::function<bool(const Image&)>& check) {
  Image last;
  return desktop_test::WaitUntil(
      [&] {
        SDL_PumpEvents();
        return desktop_test::Screenshot(&last) && check(last);
      },
      10000, 100);
}

TEST_F(SdlWindowTest, ShowsTheFramebufferAtTheRequestedPlace) {
  SdlWindow window;
  ASSERT_TRUE(window.Open("presenter", 0, 0, 64, 48));
  Frame frame(64, 48, 0x00FF0000);
  frame.Set(5, 7, 0x0012AB34);
  frame.Set(63, 47, 0x00FFFFFF);
  // The first picture may be lost while the window is being mapped: present until it shows.
  const bool shown = WaitForScreen([&](const Image& screen) {
    window.Present(frame.buffer, RECT{0, 0, 64, 48});
    return screen.At(0, 0) == 0xFF0000u && screen.At(5, 7) == 0x12AB34u;
  });
  ASSERT_TRUE(shown);
  const Image screen = Screen();
  EXPECT_EQ(screen.At(63, 47), 0xFFFFFFu);
  EXPECT_EQ(screen.At(62, 47), 0xFF0000u);
  EXPECT_EQ(screen.At(64, 47), 0x000000u) << "outside the window: the bare root of Xvfb";
  EXPECT_EQ(screen.At(63, 48), 0x000000u);
  int w = 0, h = 0;
  window.ClientSize(&w, &h);
  EXPECT_EQ(w, 64);
  EXPECT_EQ(h, 48);
}

TEST_F(SdlWindowTest, OnlyTheChangedRectReachesTheScreen) {
  SdlWindow window;
  ASSERT_TRUE(window.Open("presenter", 0, 0, 64, 48));
  Frame frame(64, 48, 0x00FF0000);
  ASSERT_TRUE(WaitForScreen([&](const Image& screen) {
    window.Present(frame.buffer, RECT{0, 0, 64, 48});
    return screen.At(0, 0) == 0xFF0000u && screen.At(63, 47) == 0xFF0000u;
  }));
  frame.Fill(0x000000FF);                                          // all blue in memory...
  ASSERT_TRUE(window.Present(frame.buffer, RECT{8, 10, 24, 30}));  // ...but only this part shown
  const Image screen = Screen();
  EXPECT_EQ(screen.At(8, 10), 0x0000FFu);
  EXPECT_EQ(screen.At(23, 29), 0x0000FFu);
  EXPECT_EQ(screen.At(7, 10), 0xFF0000u);
  EXPECT_EQ(screen.At(24, 29), 0xFF0000u);
  EXPECT_EQ(screen.At(8, 9), 0xFF0000u);
  EXPECT_EQ(screen.At(23, 30), 0xFF0000u);
  EXPECT_EQ(screen.At(40, 40), 0xFF0000u);
}

TEST_F(SdlWindowTest, SeveralRectsShowOnlyTheirParts) {
  SdlWindow window;
  ASSERT_TRUE(window.Open("presenter", 0, 0, 64, 48));
  Frame frame(64, 48, 0x00FF0000);
  ASSERT_TRUE(WaitForScreen([&](const Image& screen) {
    window.Present(frame.buffer, RECT{0, 0, 64, 48});
    return screen.At(0, 0) == 0xFF0000u && screen.At(63, 47) == 0xFF0000u;
  }));
  frame.Fill(0x0000FF00);
  const std::vector<RECT> rects{
      {0, 0, 4, 4}, {-10, 40, 2, 100}, {50, 20, 60, 21}, {30, 30, 30, 40}};
  ASSERT_TRUE(window.Present(frame.buffer, rects));
  const Image screen = Screen();
  EXPECT_EQ(screen.At(3, 3), 0x00FF00u);
  EXPECT_EQ(screen.At(4, 3), 0xFF0000u);
  EXPECT_EQ(screen.At(1, 47), 0x00FF00u);
  EXPECT_EQ(screen.At(2, 47), 0xFF0000u);
  EXPECT_EQ(screen.At(1, 39), 0xFF0000u);
  EXPECT_EQ(screen.At(50, 20), 0x00FF00u);
  EXPECT_EQ(screen.At(59, 20), 0x00FF00u);
  EXPECT_EQ(screen.At(59, 21), 0xFF0000u);
  EXPECT_EQ(screen.At(30, 35), 0xFF0000u) << "an empty rect shows nothing";
  EXPECT_EQ(screen.At(20, 10), 0xFF0000u);
  EXPECT_TRUE(window.Present(frame.buffer, std::vector<RECT>{})) << "nothing to show is fine";
}

TEST_F(SdlWindowTest, RectsBeyondTheFramebufferOrWindowAreClipped) {
  SdlWindow window;
  ASSERT_TRUE(window.Open("presenter", 0, 0, 64, 48));
  Frame frame(64, 48, 0x0000FF00);
  ASSERT_TRUE(WaitForScreen([&](const Image& screen) {
    window.Present(frame.buffer, RECT{-100, -100, 5000, 5000});
    return screen.At(0, 0) == 0x00FF00u && screen.At(63, 47) == 0x00FF00u;
  }));
  // A smaller framebuffer than the window (the layer resizes after SDL): only its pixels.
  Frame small(10, 10, 0x00FFFF00);
  EXPECT_TRUE(window.Present(small.buffer, RECT{0, 0, 64, 48}));
  const Image screen = Screen();
  EXPECT_EQ(screen.At(9, 9), 0xFFFF00u);
  EXPECT_EQ(screen.At(10, 9), 0x00FF00u);
  EXPECT_EQ(screen.At(9, 10), 0x00FF00u);
  // Nothing to show: fine, and nothing changes.
  EXPECT_TRUE(window.Present(small.buffer, RECT{20, 20, 10, 10}));
  EXPECT_FALSE(window.Present(PixelBuffer{}, RECT{0, 0, 5, 5}));
}

TEST_F(SdlWindowTest, ResizingKeepsShowing) {
  SdlWindow window;
  ASSERT_TRUE(window.Open("presenter", 0, 0, 64, 48));
  window.SetClientSize(100, 80);
  Frame frame(100, 80, 0x00808080);
  frame.Set(99, 79, 0x00FF00FF);
  ASSERT_TRUE(WaitForScreen([&](const Image& screen) {
    window.Present(frame.buffer, RECT{0, 0, 100, 80});
    return screen.At(99, 79) == 0xFF00FFu && screen.At(98, 79) == 0x808080u;
  }));
  int w = 0, h = 0;
  window.ClientSize(&w, &h);
  EXPECT_EQ(w, 100);
  EXPECT_EQ(h, 80);
}

}  // namespace
}  // namespace portable
