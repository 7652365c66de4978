// The pixels of a known sequence of drawing steps, read back from a real window, against one
// reference picture that every build must reproduce exactly: the 32-bit and 64-bit Windows
// programs under Wine's GDI and our own layer on Linux. The same seed, the same curve maths and
// the same rounding must give the same points everywhere.
//
// The reference is tests/app/data/drawing_steps.txt. After a deliberate change to the drawing,
// rewrite it with SPIRALS_WRITE_REFERENCE=1 and look at the difference before committing it.
#include <gtest/gtest.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/curves.h"
#include "app/state.h"
#include "app_state_reset.h"
#include "runtime/core/numeric.h"
#include "runtime/graphics/draw.h"
#include "runtime/window/pump.h"
#include "runtime/window/window_close.h"
#include "runtime/window/window_open.h"

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 300;
// The status line's band: its text depends on the font each platform draws, so only the
// rows below it are compared.
constexpr int kTextBand = 32;

struct Pixel {
  int x;
  int y;
  unsigned colour;
  bool operator==(const Pixel&) const = default;
};

std::string ReferencePath() {
  return std::string(SPIRALS_SOURCE_DIR) + "/tests/app/data/drawing_steps.txt";
}

std::vector<Pixel> ReadReference(const std::string& path, std::string* error) {
  std::vector<Pixel> pixels;
  FILE* file = std::fopen(path.c_str(), "r");
  if (file == nullptr) {
    *error = "cannot open " + path;
    return pixels;
  }
  char line[128];
  while (std::fgets(line, sizeof line, file) != nullptr) {
    if (line[0] == '#' || line[0] == '\n') continue;
    Pixel p{};
    if (std::sscanf(line, "%d %d %x", &p.x, &p.y, &p.colour) != 3) {
      *error = std::string("bad line in the reference: ") + line;
      break;
    }
    pixels.push_back(p);
  }
  std::fclose(file);
  return pixels;
}

void WriteReference(const std::string& path, const std::vector<Pixel>& pixels) {
  FILE* file = std::fopen(path.c_str(), "w");
  ASSERT_NE(file, nullptr) << path;
  std::fprintf(file,
               "# x y colour (COLORREF, 0x00BBGGRR) of every lit pixel below row %d after\n"
               "# four drawing steps in a %dx%d window (seed 20261207, curve setting 3)\n",
               kTextBand, kWidth, kHeight);
  for (const Pixel& p : pixels) std::fprintf(file, "%d %d %06x\n", p.x, p.y, p.colour);
  std::fclose(file);
}

std::string Describe(const Pixel* p) {
  if (p == nullptr) return "nothing";
  char text[48];
  std::snprintf(text, sizeof text, "(%d, %d) %06x", p->x, p->y, p->colour);
  return text;
}

// Every pixel of the client area that is not the black background, below the text band.
std::vector<Pixel> ReadWindow(HWND hwnd) {
  std::vector<Pixel> pixels;
  HDC dc = GetDC(hwnd);
  for (int y = kTextBand; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      if (c != RGB(0, 0, 0)) pixels.push_back({x, y, static_cast<unsigned>(c)});
    }
  }
  ReleaseDC(hwnd, dc);
  return pixels;
}

TEST(DrawingStepPixels, FourStepsGiveTheReferencePicture) {
  ResetAppState();
  // A plain popup without caption or frame: the client area is the whole window, whatever the
  // platform's frame metrics.
  ASSERT_EQ(WindowOpen(&mainWindow, 0, 0, kWidth, kHeight, OPEN_DIRECT | OPEN_NO_CAPTION, nullptr,
                       "drawing steps", nullptr),
            1);
  int32_t left = 0;
  int32_t top = 0;
  WindowClientSize(&mainWindow, &left, &top, &clientWidth, &clientHeight);
  ASSERT_EQ(clientWidth, kWidth);
  ASSERT_EQ(clientHeight, kHeight);
  DrawClear(&mainWindow, 0);
  DrawSetPenColor(&mainWindow, RgbPack(255, 255, 255));
  DrawSetBackColor(&mainWindow, 0);
  UpdateWindow(mainWindow.hwnd);  // the erase to black
  PumpMessages(PUMP_DRAIN);

  RandomSeed(20261207);
  lastCurve = 3;
  speed = 2.5;
  resetCurves(lastCurve);
  reseedCurves(lastCurve);
  for (int step = 0; step <= lastCurve; ++step) drawStep();  // slots 1, 2, 3 and 0

  const std::vector<Pixel> actual = ReadWindow(mainWindow.hwnd);
  WindowClose(&mainWindow);
  ASSERT_GT(actual.size(), 500u) << "four steps of 400 points light many pixels";

  const std::string path = ReferencePath();
  if (const char* write = std::getenv("SPIRALS_WRITE_REFERENCE");
      write != nullptr && *write == '1') {
    WriteReference(path, actual);
    GTEST_SKIP() << "reference written to " << path;
  }
  std::string error;
  const std::vector<Pixel> expected = ReadReference(path, &error);
  ASSERT_TRUE(error.empty()) << error;
  ASSERT_FALSE(expected.empty());

  size_t shown = 0;
  for (size_t i = 0; i < std::max(actual.size(), expected.size()) && shown < 10; ++i) {
    const Pixel* got = i < actual.size() ? &actual[i] : nullptr;
    const Pixel* want = i < expected.size() ? &expected[i] : nullptr;
    if (got != nullptr && want != nullptr && *got == *want) continue;
    ++shown;
    ADD_FAILURE() << "lit pixel " << i << ": got " << Describe(got) << ", want " << Describe(want);
  }
  EXPECT_EQ(actual.size(), expected.size());
}

}  // namespace
