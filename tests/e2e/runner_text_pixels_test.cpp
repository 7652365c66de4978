// The status and pause lines in the runner's picture, pixel by pixel against the bitmaps of
// the System font file read on its own: white ink on the black text background.
#include <gtest/gtest.h>

#include <string>

#include "runner_support.h"
#include "tests/fonts/fon_file.h"

namespace e2e {
namespace {

class TextPixels : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(fon::ReadFon(fon::SystemFontPath(), &font_, &error))
        << error << " (scripts/setup installs the package fonts-wine)";
  }

  // The picture's rows 0 to 15 in columns [0, width) as the font draws `text` there:
  // '#' white, '.' black, '?' anything else.
  static std::vector<std::string> Band(const Image& image, int width) {
    std::vector<std::string> rows;
    for (int y = 0; y < 16; ++y) {
      std::string row;
      for (int x = 0; x < width; ++x) {
        const uint32_t c = image.At(x, y);
        row += c == 0xFFFFFF ? '#' : c == 0 ? '.' : '?';
      }
      rows.push_back(row);
    }
    return rows;
  }

  // The font's rendering of `text`, cut or padded with background to `width` columns.
  std::vector<std::string> Drawn(const std::string& text, int width) const {
    std::vector<std::string> rows = fon::Render(font_, text);
    for (std::string& row : rows) row.resize(static_cast<size_t>(width), '.');
    return rows;
  }

  fon::FontFile font_;
};

TEST_F(TextPixels, StatusLineIsTheFontsBitmapsAtTheTopLeftCorner) {
  for (uint32_t tick : {1000000u, 3000000000u}) {
    SCOPED_TRACE(tick);
    RunPlan plan;
    plan.tickCount = tick;
    const RunOutput run = RunFull(plan);
    ASSERT_EQ(run.result.status, 0) << run.result.err;
    ASSERT_TRUE(run.imageOk);
    const StartValues v = StartValuesFor(tick);
    const std::string line = StatusText(v.speed, v.lastCurve);
    const int width = font_.Width(line);
    ASSERT_LT(width, run.image.width);
    EXPECT_EQ(Band(run.image, width), Drawn(line, width));
  }
}

TEST_F(TextPixels, PauseLineLeavesNothingOfTheNormalLineVisible) {
  RunPlan plan;
  plan.tickCount = 1000000;
  // Pause, then a key prints the normal line, and the next tick prints the pause line over it.
  plan.runMs = 900;
  plan.events = "300 rbutton 100 100\n700 key 107\n";
  const RunOutput run = RunFull(plan);
  ASSERT_EQ(run.result.status, 0) << run.result.err;
  ASSERT_TRUE(run.imageOk);
  ASSERT_EQ(LastTextAtOrBefore(run.text, 900), PauseText());
  std::string normal;
  for (const TextLine& line : run.text) {
    if (line.ms == 700 && line.text != PauseText()) normal = line.text;
  }
  ASSERT_FALSE(normal.empty()) << "the key at 700 ms printed the normal line";
  EXPECT_GT(font_.Width(PauseText()), font_.Width(normal));
  // The whole top band, as wide as the window, is the pause line and its blanks.
  const int width = run.image.width;
  ASSERT_GE(font_.Width(PauseText()), width);
  EXPECT_EQ(Band(run.image, width), Drawn(PauseText(), width));
}

}  // namespace
}  // namespace e2e
