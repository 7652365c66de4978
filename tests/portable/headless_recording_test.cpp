// The headless host's recording: which rectangle a frame keeps, its palette (transparent
// index, more than 256 colours), and when frames fall due.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "platform/portable/host_headless/frame_change.h"
#include "platform/portable/host_headless/frame_recorder.h"

namespace {

using portable::FrameCapture;
using portable::FrameChange;
using portable::PictureView;

FrameCapture Picture(int width, int height, uint32_t fill = 0) {
  FrameCapture f;
  f.width = width;
  f.height = height;
  f.pixels.assign(static_cast<size_t>(width) * height, fill);
  return f;
}

void Set(FrameCapture* f, int x, int y, uint32_t colour) {
  f->pixels[static_cast<size_t>(y) * f->width + x] = colour;
}

// The change applied over `base` (black beyond it), as a viewer draws it, on a canvas of
// `width` x `height`.
FrameCapture Apply(const FrameCapture& base, const FrameChange& change, int width, int height) {
  FrameCapture out = Picture(width, height);
  for (int y = 0; y < std::min(height, base.height); ++y)
    for (int x = 0; x < std::min(width, base.width); ++x)
      Set(&out, x, y, base.pixels[static_cast<size_t>(y) * base.width + x]);
  portable::ForEachRow(change, [&](int y, const std::vector<uint8_t>& line) {
    for (size_t i = 0; i < line.size(); ++i) {
      if (line[i] == change.transparent) continue;
      EXPECT_LT(line[i], change.palette.size());
      Set(&out, change.left + static_cast<int>(i), y, change.palette[line[i]]);
    }
  });
  return out;
}

TEST(FrameChange, FirstFrameKeepsEverythingAndHoldsBlack) {
  FrameCapture p = Picture(5, 3, 0xFFFFFF);
  Set(&p, 2, 1, 0x123456);
  const PictureView view = portable::ViewOf(p);
  const FrameChange c = portable::DescribeChange(nullptr, view);
  EXPECT_EQ(c.left, 0);
  EXPECT_EQ(c.top, 0);
  EXPECT_EQ(c.width, 5);
  EXPECT_EQ(c.height, 3);
  EXPECT_EQ(c.transparent, -1);
  EXPECT_FALSE(c.lossy);
  EXPECT_EQ(std::set<uint32_t>(c.palette.begin(), c.palette.end()),
            (std::set<uint32_t>{0, 0xFFFFFF, 0x123456}));
  EXPECT_EQ(Apply(Picture(5, 3), c, 5, 3).pixels, p.pixels);
}

TEST(FrameChange, TheRectangleIsTightAndStayedPixelsAreTransparent) {
  FrameCapture before = Picture(20, 10);
  FrameCapture after = before;
  const PictureView b = portable::ViewOf(before);
  EXPECT_EQ(portable::DescribeChange(&b, portable::ViewOf(after)).width, 0) << "nothing changed";
  Set(&after, 7, 3, 0xFF0000);
  FrameChange one = portable::DescribeChange(&b, portable::ViewOf(after));
  EXPECT_EQ(one.left, 7);
  EXPECT_EQ(one.top, 3);
  EXPECT_EQ(one.width, 1);
  EXPECT_EQ(one.height, 1);
  EXPECT_EQ(one.transparent, -1) << "every pixel of the rectangle changed";
  Set(&after, 12, 8, 0x00FF00);
  FrameChange two = portable::DescribeChange(&b, portable::ViewOf(after));
  EXPECT_EQ(two.left, 7);
  EXPECT_EQ(two.top, 3);
  EXPECT_EQ(two.width, 6);
  EXPECT_EQ(two.height, 6);
  ASSERT_EQ(two.transparent, 2);
  EXPECT_EQ(two.palette.size(), 3u);
  EXPECT_EQ(Apply(before, two, 20, 10).pixels, after.pixels);
  // Long runs of one index are split at 256 pixels.
  FrameCapture wide = Picture(600, 1);
  FrameCapture wider = Picture(600, 1, 0x0000FF);
  const PictureView w = portable::ViewOf(wide);
  FrameChange row = portable::DescribeChange(&w, portable::ViewOf(wider));
  EXPECT_EQ(row.runs.size(), 6u);  // 256 + 256 + 88
  EXPECT_EQ(Apply(wide, row, 600, 1).pixels, wider.pixels);
}

// Colour number i (from 1) of ManyColours.
uint32_t ColourNumber(int i) { return 0x100000u + static_cast<uint32_t>(i) * 0x000301u; }

int64_t Distance(uint32_t a, uint32_t b) {
  int64_t d = 0;
  for (int shift : {16, 8, 0}) {
    const int64_t c = static_cast<int64_t>((a >> shift) & 0xFF) - ((b >> shift) & 0xFF);
    d += c * c;
  }
  return d;
}

// `count` colours in a row of changed pixels over black, colour i used i times, with one
// pixel of `stays` at x = 1 that the picture before had too.
FrameCapture ManyColours(int count, uint32_t stays = 0) {
  int width = 1;
  for (int i = 1; i <= count; ++i) width += i;
  FrameCapture p = Picture(width, 1);
  int x = 0;
  for (int i = 1; i <= count; ++i)
    for (int n = 0; n < i; ++n) {
      if (x == 1) Set(&p, x++, 0, stays);
      Set(&p, x++, 0, ColourNumber(i));
    }
  return p;
}

FrameCapture Before(const FrameCapture& after, uint32_t stays = 0) {
  FrameCapture p = Picture(after.width, 1);
  Set(&p, 1, 0, stays);
  return p;
}

TEST(FrameChange, PalettesStayLosslessUpTo256Colours) {
  // 255 changed colours and a pixel that stayed: the transparent index is the 256th entry.
  const FrameCapture p255 = ManyColours(255);
  const FrameCapture base = Before(p255);
  const PictureView b = portable::ViewOf(base);
  FrameChange c = portable::DescribeChange(&b, portable::ViewOf(p255));
  EXPECT_FALSE(c.lossy);
  EXPECT_EQ(c.palette.size(), 256u);
  EXPECT_EQ(c.transparent, 255);
  EXPECT_EQ(c.width, p255.width);
  EXPECT_EQ(Apply(base, c, p255.width, 1).pixels, p255.pixels);
  // 256 changed colours: no room for a transparent index, so the pixel that stayed is stored
  // with its own colour, which is one of the 256.
  const FrameCapture p256 = ManyColours(256, ColourNumber(7));
  const FrameCapture base256 = Before(p256, ColourNumber(7));
  const PictureView b256 = portable::ViewOf(base256);
  c = portable::DescribeChange(&b256, portable::ViewOf(p256));
  EXPECT_FALSE(c.lossy);
  EXPECT_EQ(c.transparent, -1);
  EXPECT_EQ(c.palette.size(), 256u);
  EXPECT_EQ(Apply(base256, c, p256.width, 1).pixels, p256.pixels);
  // The same with a pixel that stayed black: 257 colours in the rectangle, so the stayed
  // pixel goes transparent and the least used changed colour gives way.
  const FrameCapture p256b = ManyColours(256);
  const FrameCapture base256b = Before(p256b);
  const PictureView b256b = portable::ViewOf(base256b);
  c = portable::DescribeChange(&b256b, portable::ViewOf(p256b));
  EXPECT_TRUE(c.lossy);
  EXPECT_EQ(c.transparent, 255);
}

TEST(FrameChange, MoreThan256ColoursKeepTheMostUsedAndTheNearestForTheRest) {
  const FrameCapture p = ManyColours(300);
  const FrameCapture base = Before(p);
  const PictureView b = portable::ViewOf(base);
  const FrameChange c = portable::DescribeChange(&b, portable::ViewOf(p));
  EXPECT_TRUE(c.lossy);
  ASSERT_EQ(c.palette.size(), 256u);
  EXPECT_EQ(c.transparent, 255);
  const std::set<uint32_t> kept(c.palette.begin(), c.palette.begin() + 255);
  // The 255 most used are colours 46 to 300 (colour i is used i times).
  for (int i = 46; i <= 300; ++i) EXPECT_EQ(kept.count(ColourNumber(i)), 1u) << i;
  const FrameCapture shown = Apply(base, c, p.width, 1);
  for (size_t x = 0; x < p.pixels.size(); ++x) {
    const uint32_t want = p.pixels[x];
    const uint32_t got = shown.pixels[x];
    if (kept.count(want) || want == 0) {
      EXPECT_EQ(got, want);
      continue;
    }
    // Any other colour is drawn in a kept colour that no kept colour is nearer than.
    ASSERT_EQ(kept.count(got), 1u) << x;
    for (uint32_t k : kept) EXPECT_LE(Distance(got, want), Distance(k, want)) << x;
  }
}

TEST(FrameChange, PicturesOfDifferentSizesCompareOnBlack) {
  FrameCapture big = Picture(8, 6, 0x808080);
  FrameCapture small = Picture(4, 3, 0x808080);
  const PictureView b = portable::ViewOf(big);
  const FrameChange shrink = portable::DescribeChange(&b, portable::ViewOf(small));
  EXPECT_EQ(shrink.left, 0);
  EXPECT_EQ(shrink.top, 0);
  EXPECT_EQ(shrink.width, 8);
  EXPECT_EQ(shrink.height, 6);
  const FrameCapture shown = Apply(big, shrink, 8, 6);
  EXPECT_EQ(shown.pixels[0], 0x808080u);
  EXPECT_EQ(shown.pixels[static_cast<size_t>(5) * 8 + 7], 0u) << "beyond the picture is black";
  // Growing by black pixels changes nothing.
  FrameCapture blackSmall = Picture(4, 3);
  FrameCapture blackBig = Picture(8, 6);
  const PictureView s = portable::ViewOf(blackSmall);
  EXPECT_EQ(portable::DescribeChange(&s, portable::ViewOf(blackBig)).width, 0);
}

TEST(FrameRecorder, FramesFallEveryIntervalAndTheLastIsTheEnd) {
  portable::FrameRecorder r(25);
  FrameCapture p = Picture(4, 4);
  EXPECT_TRUE(r.FrameDueBefore(1));
  r.TimePasses(10, portable::ViewOf(p));  // frame 0
  EXPECT_FALSE(r.FrameDueBefore(40));
  EXPECT_TRUE(r.FrameDueBefore(41));
  Set(&p, 1, 1, 0xFFFFFF);
  r.TimePasses(100, portable::ViewOf(p));  // frames at 40 and 80
  r.Finish(100, p);
  const portable::Recording& rec = r.Result();
  ASSERT_EQ(rec.frames.size(), 4u);
  EXPECT_EQ(rec.frames[0].showAtCs, 0u);
  EXPECT_EQ(rec.frames[1].showAtCs, 4u);
  EXPECT_EQ(rec.frames[2].showAtCs, 8u);
  EXPECT_EQ(rec.frames[3].showAtCs, 10u);
  EXPECT_EQ(rec.endCs, 14u);
  EXPECT_EQ(rec.frames[1].change.width, 1) << "the white pixel";
  EXPECT_EQ(rec.frames[2].change.width, 0) << "unchanged";
  EXPECT_EQ(rec.frames[3].change.width, 0);
  EXPECT_EQ(rec.width, 4);
  // Finished: time passing and a second end change nothing.
  r.TimePasses(10000, portable::ViewOf(Picture(9, 9, 0xFF)));
  r.Finish(20000, Picture(9, 9, 0xFF));
  EXPECT_EQ(r.Result().frames.size(), 4u);
  EXPECT_FALSE(r.FrameDueBefore(1u << 30));
}

TEST(FrameRecorder, AnEndInTheSameHundredthReplacesTheLastFrame) {
  portable::FrameRecorder r(25);
  FrameCapture p = Picture(4, 4);
  r.TimePasses(50, portable::ViewOf(p));  // 0 and 40
  Set(&p, 0, 0, 0xFF0000);
  r.TimePasses(83, portable::ViewOf(p));  // 80: the red pixel
  Set(&p, 3, 3, 0x00FF00);
  r.Finish(83, p);  // 8 hundredths, as the frame at 80
  const portable::Recording& rec = r.Result();
  ASSERT_EQ(rec.frames.size(), 3u);
  EXPECT_EQ(rec.frames[2].showAtCs, 8u);
  // Described against the frame at 40: both pixels.
  const FrameChange& last = rec.frames[2].change;
  EXPECT_EQ(last.left, 0);
  EXPECT_EQ(last.width, 4);
  EXPECT_EQ(last.height, 4);
  EXPECT_EQ(Apply(Picture(4, 4), last, 4, 4).pixels, p.pixels);
}

TEST(FrameRecorder, AnEndBeforeTheFirstHundredthIsTheOnlyFrame) {
  portable::FrameRecorder r(50);
  FrameCapture p = Picture(3, 2, 0x0000FF);
  r.TimePasses(4, portable::ViewOf(Picture(3, 2)));
  r.Finish(4, p);
  ASSERT_EQ(r.Result().frames.size(), 1u);
  EXPECT_EQ(r.Result().frames[0].showAtCs, 0u);
  EXPECT_EQ(r.Result().frames[0].change.width, 3) << "a whole first frame";
  EXPECT_EQ(r.Result().endCs, 2u);
}

}  // namespace
