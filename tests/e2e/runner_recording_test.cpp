// Recordings of the runner (--gif): frame count and timing, every frame equal to the PNG of a
// run stopped at its time, the last frame equal to the run's own PNG, small and tight changed
// rectangles, resizing, and the refused options.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gif_frames.h"
#include "runner_support.h"

namespace e2e {
namespace {

struct Recorded {
  RunResult result;
  GifAnimation gif;
  Image png;
  bool pngOk = false;
};

const char kScreen[] = "640x480";

Recorded Record(uint64_t runMs, const std::vector<std::string>& extra,
                const std::string& events = "") {
  TempDir dir;
  std::vector<std::string> args = {
      "--screen",           kScreen, "--run-ms",         std::to_string(runMs), "--png",
      dir.File("last.png"), "--gif", dir.File("run.gif")};
  args.insert(args.end(), extra.begin(), extra.end());
  if (!events.empty()) {
    WriteFile(dir.File("events"), events);
    args.push_back("--events");
    args.push_back(dir.File("events"));
  }
  Recorded r;
  r.result = RunHeadless(args);
  r.gif = ReadGif(dir.File("run.gif"));
  r.pngOk = LoadPng(dir.File("last.png"), &r.png);
  return r;
}

// The PNG a run writes when it stops at `runMs`.
Image PictureAt(uint64_t runMs, const std::string& events = "") {
  TempDir dir;
  std::vector<std::string> args = {"--screen", kScreen,           "--run-ms", std::to_string(runMs),
                                   "--png",    dir.File("at.png")};
  if (!events.empty()) {
    WriteFile(dir.File("events"), events);
    args.push_back("--events");
    args.push_back(dir.File("events"));
  }
  const RunResult r = RunHeadless(args);
  EXPECT_EQ(r.status, 0) << r.err;
  Image image;
  EXPECT_TRUE(LoadPng(dir.File("at.png"), &image));
  return image;
}

// Pixels where a composed frame and a picture differ (-1 when their sizes differ).
long Differences(const GifAnimation& gif, const GifFrame& frame, const Image& image) {
  if (gif.width != image.width || gif.height != image.height) return -1;
  long n = 0;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      n += frame.composed[static_cast<size_t>(y) * gif.width + x] != image.At(x, y);
  return n;
}

TEST(RunnerRecording, OneFrameEveryFortyMillisecondsAndTheLastIsThePng) {
  const Recorded r = Record(1000, {});
  ASSERT_EQ(r.result.status, 0) << r.result.err;
  ASSERT_TRUE(r.gif.ok) << r.gif.error;
  ASSERT_TRUE(r.pngOk);
  EXPECT_EQ(r.result.err, "") << "a lossless recording says nothing";
  EXPECT_EQ(r.gif.width, r.png.width);
  EXPECT_EQ(r.gif.height, r.png.height);
  EXPECT_TRUE(r.gif.loopsForever);
  EXPECT_FALSE(r.gif.globalPalette) << "every frame brings its own colours";
  // Frames at 0, 40, ..., 960 ms and the last picture at 1000 ms.
  ASSERT_EQ(r.gif.frames.size(), 26u);
  for (const GifFrame& f : r.gif.frames) {
    EXPECT_EQ(f.delayCs, 4);
    EXPECT_EQ(f.disposal, 1) << "do not dispose";
    EXPECT_LE(f.paletteSize, 256);
  }
  const GifFrame& first = r.gif.frames.front();
  EXPECT_EQ(first.left, 0);
  EXPECT_EQ(first.top, 0);
  EXPECT_EQ(first.width, r.gif.width);
  EXPECT_EQ(first.height, r.gif.height);
  EXPECT_EQ(Differences(r.gif, r.gif.frames.back(), r.png), 0);
}

TEST(RunnerRecording, EveryFrameIsThePictureOfARunStoppedAtItsTime) {
  const Recorded r = Record(600, {"--gif-fps", "10"});
  ASSERT_EQ(r.result.status, 0) << r.result.err;
  ASSERT_TRUE(r.gif.ok) << r.gif.error;
  ASSERT_EQ(r.gif.frames.size(), 7u);  // 0, 100, ..., 500 and 600
  for (size_t k = 0; k < r.gif.frames.size(); ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(r.gif.frames[k].delayCs, 10);
    EXPECT_EQ(Differences(r.gif, r.gif.frames[k], PictureAt(100 * k)), 0);
  }
}

TEST(RunnerRecording, FrameTimesRoundToHundredthsAndAddUp) {
  // Three a second: frames at 0, 333 1/3 and 666 2/3 ms, the last picture at 1000 ms.
  const Recorded r = Record(1000, {"--gif-fps", "3"});
  ASSERT_EQ(r.result.status, 0) << r.result.err;
  ASSERT_TRUE(r.gif.ok) << r.gif.error;
  std::vector<int> delays;
  for (const GifFrame& f : r.gif.frames) delays.push_back(f.delayCs);
  EXPECT_EQ(delays, (std::vector<int>{33, 34, 33, 33}));
  EXPECT_EQ(Differences(r.gif, r.gif.frames[1], PictureAt(333)), 0);
  EXPECT_EQ(Differences(r.gif, r.gif.frames[2], PictureAt(666)), 0);
  EXPECT_EQ(Differences(r.gif, r.gif.frames.back(), r.png), 0);
}

TEST(RunnerRecording, AnEndWithinAHundredthOfTheLastFrameReplacesIt) {
  // The frame due at 1000 ms would show for no time before the end at 1002 ms.
  const Recorded r = Record(1002, {});
  ASSERT_EQ(r.result.status, 0) << r.result.err;
  ASSERT_TRUE(r.gif.ok) << r.gif.error;
  ASSERT_EQ(r.gif.frames.size(), 26u);
  for (const GifFrame& f : r.gif.frames) EXPECT_EQ(f.delayCs, 4);
  EXPECT_EQ(Differences(r.gif, r.gif.frames.back(), r.png), 0);
  EXPECT_EQ(Differences(r.gif, r.gif.frames[24], PictureAt(960)), 0);
  // Ending at zero: the start-up picture alone.
  const Recorded zero = Record(0, {});
  ASSERT_TRUE(zero.gif.ok) << zero.gif.error;
  ASSERT_EQ(zero.gif.frames.size(), 1u);
  EXPECT_EQ(Differences(zero.gif, zero.gif.frames[0], zero.png), 0);
}

TEST(RunnerRecording, FramesStoreOnlyTheTightRectangleThatChanged) {
  // Paused from 300 ms: nothing changes until the end.
  const Recorded r = Record(800, {}, "300 rbutton 10 10\n");
  ASSERT_EQ(r.result.status, 0) << r.result.err;
  ASSERT_TRUE(r.gif.ok) << r.gif.error;
  const std::vector<GifFrame>& frames = r.gif.frames;
  ASSERT_EQ(frames.size(), 21u);
  const size_t canvas = static_cast<size_t>(r.gif.width) * r.gif.height;
  for (size_t k = 1; k < frames.size(); ++k) {
    SCOPED_TRACE(k);
    const GifFrame& f = frames[k];
    // The box around every pixel that differs from the frame before.
    int left = r.gif.width, top = r.gif.height, right = 0, bottom = 0;
    for (int y = 0; y < r.gif.height; ++y)
      for (int x = 0; x < r.gif.width; ++x) {
        const size_t i = static_cast<size_t>(y) * r.gif.width + x;
        if (f.composed[i] != frames[k - 1].composed[i]) {
          left = std::min(left, x);
          top = std::min(top, y);
          right = std::max(right, x + 1);
          bottom = std::max(bottom, y + 1);
        }
      }
    if (right == 0) {
      // Nothing changed: one transparent pixel keeps the time.
      EXPECT_EQ(f.width * f.height, 1);
      EXPECT_EQ(f.transparent, 0);
      continue;
    }
    EXPECT_EQ(f.left, left);
    EXPECT_EQ(f.top, top);
    EXPECT_EQ(f.left + f.width, right);
    EXPECT_EQ(f.top + f.height, bottom);
    EXPECT_LT(static_cast<size_t>(f.width) * f.height, canvas);
    // Drawn points leave most of their rectangle as it was: those pixels are transparent.
    EXPECT_GE(f.transparent, 0);
  }
  // From the first tick after the pause the picture stands still.
  for (size_t k = 11; k < frames.size(); ++k) EXPECT_EQ(frames[k].width * frames[k].height, 1) << k;
  EXPECT_EQ(Differences(r.gif, frames.back(), r.png), 0);
}

TEST(RunnerRecording, ResizingKeepsTheLastFrameEqualToThePng) {
  for (const char* events : {"300 resize 500 300\n", "200 resize 300 200\n500 resize 640 480\n"}) {
    SCOPED_TRACE(events);
    const Recorded r = Record(700, {"--gif-fps", "20"}, events);
    ASSERT_EQ(r.result.status, 0) << r.result.err;
    ASSERT_TRUE(r.gif.ok) << r.gif.error;
    ASSERT_TRUE(r.pngOk);
    EXPECT_EQ(Differences(r.gif, r.gif.frames.back(), r.png), 0);
  }
}

TEST(RunnerRecording, BadValuesAreRefusedWithOneLineAndStatusTwo) {
  TempDir dir;
  const std::string gif = dir.File("x.gif");
  const std::vector<std::vector<std::string>> cases = {
      {"--gif", gif, "--gif-fps", "0"},
      {"--gif", gif, "--gif-fps", "51"},
      {"--gif", gif, "--gif-fps", "abc"},
      {"--gif", gif, "--gif-fps", "-1"},
      {"--gif", gif, "--gif-fps", "2.5"},
      {"--gif", gif, "--gif-fps"},
      {"--gif-fps", "10"},
      {"--gif", "/nonexistent/dir/x.gif"},
      {"--gif", dir.File("")},
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(args.back());
    const RunResult r = RunHeadless(args);
    EXPECT_EQ(r.status, 2);
    const std::string first = r.err.substr(0, r.err.find('\n'));
    EXPECT_EQ(first.rfind("spirals-headless: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("usage: spirals-headless"), std::string::npos);
    EXPECT_EQ(r.out, "") << "the program did not run";
  }
  // A file that takes no bytes is found out when the recording is written: status 3.
  const RunResult full = RunHeadless({"--run-ms", "100", "--gif", "/dev/full"});
  EXPECT_EQ(full.status, 3);
  EXPECT_NE(full.err.find("cannot write the recording to /dev/full"), std::string::npos)
      << full.err;
}

}  // namespace
}  // namespace e2e
