// Framebuffer pixels in the formats an X window may have: the usual 24-bit layout as it is,
// narrower channels cut to their top bits, wider ones widened by repeating their bits.
#include <gtest/gtest.h>
// clang-format off
#include "platform/portable/host_x11/x11_presenter.h"
// clang-format on

namespace portable {
namespace {

X11PixelFormat Format(int bits, unsigned long r, unsigned long g, unsigned long b) {
  X11PixelFormat f;
  f.depth = bits;
  f.bitsPerPixel = bits == 24 ? 32 : bits;
  f.redMask = r;
  f.greenMask = g;
  f.blueMask = b;
  return f;
}

TEST(PixelFormat, TheUsualLayoutTakesTheFramebufferAsItIs) {
  const X11PixelFormat rgb = Format(24, 0xFF0000, 0xFF00, 0xFF);
  EXPECT_TRUE(rgb.SameAsFramebuffer());
  for (uint32_t p : {0x000000u, 0xFFFFFFu, 0x123456u, 0xFF0001u}) EXPECT_EQ(PackPixel(p, rgb), p);
  EXPECT_FALSE(Format(24, 0xFF, 0xFF00, 0xFF0000).SameAsFramebuffer()) << "blue first";
  EXPECT_FALSE(Format(16, 0xF800, 0x7E0, 0x1F).SameAsFramebuffer());
}

TEST(PixelFormat, ChannelsSwappedOrNarrowed) {
  const X11PixelFormat bgr = Format(24, 0xFF, 0xFF00, 0xFF0000);
  EXPECT_EQ(PackPixel(0x123456, bgr), 0x563412u);
  const X11PixelFormat rgb565 = Format(16, 0xF800, 0x7E0, 0x1F);
  EXPECT_EQ(PackPixel(0xFF8040, rgb565), (31u << 11) | (32u << 5) | 8u);
  EXPECT_EQ(PackPixel(0xFFFFFF, rgb565), 0xFFFFu);
  EXPECT_EQ(PackPixel(0x070307, rgb565), 0u) << "below one step of each channel";
  const X11PixelFormat rgb332 = Format(8, 0xE0, 0x1C, 0x3);
  EXPECT_EQ(PackPixel(0xFFFFFF, rgb332), 0xFFu);
  EXPECT_EQ(PackPixel(0x80C040, rgb332), (4u << 5) | (6u << 2) | 1u);
}

TEST(PixelFormat, WiderChannelsRepeatTheirBits) {
  const X11PixelFormat rgb30 = Format(32, 0x3FF00000, 0xFFC00, 0x3FF);
  EXPECT_EQ(PackPixel(0xFFFFFF, rgb30), 0x3FFFFFFFu) << "white stays full white";
  EXPECT_EQ(PackPixel(0x800000, rgb30), 0x202u << 20);
  EXPECT_EQ(PackPixel(0x000001, rgb30), 0x004u);
  EXPECT_EQ(PackPixel(0, rgb30), 0u);
  const X11PixelFormat rgb48 = Format(32, 0xFFFF00000000ul, 0xFFFF0000ul, 0xFFFFul);
  EXPECT_EQ(PackPixel(0xAB00CD, rgb48), (0xABABul << 32) | 0xCDCDul);
  EXPECT_EQ(PackPixel(0x123456, Format(24, 0, 0xFF00, 0xFF)), 0x3456u)
      << "a missing channel adds nothing";
}

}  // namespace
}  // namespace portable
