// The status and pause lines: exact texts and lengths, built on the heap and released.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/state.h"
#include "app/status_line.h"
#include "app/handler.h"
#include "platform/win32.h"
#include "runtime/core/heap.h"
#include "tests/fonts/fon_file.h"
#if !defined(SPIRALS_SYSTEM_WIN32)
#include "platform/portable/diagnostics.h"
#endif

namespace {

class StatusLine : public ::testing::Test {
 protected:
  void SetUp() override {
    if (RuntimeHeap == nullptr) RuntimeHeapCreate();
    mainWindow = WindowRecord{};
  }

  static std::string Take(char* line) {
    EXPECT_NE(line, nullptr);
    if (line == nullptr) return {};
    std::string text(line);
    RuntimeHeapFree(line);
    return text;
  }

  static std::string Status(double s, int32_t n) {
    speed = s;
    lastCurve = n;
    return Take(buildStatusLine());
  }
};

const std::string TAIL = "       Mouse SX=Ridisegna  DX=Pausa  ESC=Esci          ";

TEST_F(StatusLine, PiecesHaveTheirExactLengths) {
  EXPECT_EQ(std::string(SPEED_LABEL).size(), 18u);
  EXPECT_EQ(std::string(CURVE_LABEL).size(), 16u);
  EXPECT_EQ(std::string(CONTROLS_TAIL).size(), 55u);
  EXPECT_EQ(std::string(PAUSE_TEXT).size(), 44u);
}

TEST_F(StatusLine, TwoAndAHalfWithFiveCurvesIs96Characters) {
  const std::string line = Status(2.5, 5);
  EXPECT_EQ(line, "Velocita'[ + - ] = 2.50   Tipo[ 1-9 ] = 5" + TAIL);
  EXPECT_EQ(line.size(), 96u);
}

TEST_F(StatusLine, IntegralSpeedHasNoDecimals) {
  EXPECT_EQ(Status(6.0, 1), "Velocita'[ + - ] = 6   Tipo[ 1-9 ] = 1" + TAIL);
}

TEST_F(StatusLine, NearlyIntegralSpeedKeepsTwoDecimals) {
  EXPECT_EQ(Status(2.0000000000000004, 9), "Velocita'[ + - ] = 2.00   Tipo[ 1-9 ] = 9" + TAIL);
}

TEST_F(StatusLine, StartUpOnlySettingTenAndSmallSpeeds) {
  EXPECT_EQ(Status(0.525, 10), "Velocita'[ + - ] = 0.53   Tipo[ 1-9 ] = 10" + TAIL);
  EXPECT_EQ(Status(0x1.999999999996fp-4, 3), "Velocita'[ + - ] = 0.10   Tipo[ 1-9 ] = 3" + TAIL);
  EXPECT_EQ(Status(15.0, 2), "Velocita'[ + - ] = 15   Tipo[ 1-9 ] = 2" + TAIL);
}

TEST_F(StatusLine, PauseLineIs299Characters) {
  const std::string line = Take(buildPauseLine());
  ASSERT_EQ(line.size(), 299u);
  EXPECT_EQ(line.substr(0, 44), "Pausa - Mouse DX=Contnua  ESC=Esci          ");
  EXPECT_EQ(line.substr(44), std::string(255, ' '));
}

TEST_F(StatusLine, PauseLineCoversTheLongestNormalLine) {
  const std::string longest = Status(15.25, 10);
  const std::string pause = Take(buildPauseLine());
  EXPECT_GT(pause.size(), longest.size());
}

// Every speed the ladders can reach from the start-up speeds, in up to `steps` presses.
std::set<double> ReachableSpeeds(int steps) {
  std::set<double> seen;
  std::vector<double> frontier;
  for (int i = 0; i < 6; ++i) frontier.push_back(i + 0.5);
  for (int step = 0; step <= steps && !frontier.empty(); ++step) {
    std::vector<double> next;
    for (double s : frontier) {
      if (!seen.insert(s).second) continue;
      next.push_back(raisedSpeed(s).speed);
      next.push_back(loweredSpeed(s).speed);
    }
    frontier = std::move(next);
  }
  return seen;
}

// In the System font the pause line, blanks included, is wider than any normal line, so
// printed over one it leaves none of it visible.
TEST_F(StatusLine, PauseLineIsWiderInPixelsThanEveryNormalLine) {
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  auto width = [dc](const std::string& text) {
    SIZE s{};
    EXPECT_TRUE(GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &s));
    return s.cx;
  };
  const std::set<double> speeds = ReachableSpeeds(60);
  ASSERT_GT(speeds.size(), 100u);
  LONG widest = 0;
  std::string widestLine;
  for (double s : speeds) {
    for (int32_t n = 1; n <= 10; ++n) {
      const std::string line = Status(s, n);
      if (width(line) > widest) {
        widest = width(line);
        widestLine = line;
      }
    }
  }
  const std::string pause = Take(buildPauseLine());
  EXPECT_GT(width(pause), widest) << widestLine;
  // The pause text alone would not cover it: the blanks do.
  EXPECT_LT(width(pause.substr(0, 44)), widest);
  // And the widths are the file's: the runner's System font, not a substitute.
  fon::FontFile font;
  std::string error;
  ASSERT_TRUE(fon::ReadFon(fon::SystemFontPath(), &font, &error)) << error;
  EXPECT_EQ(width(widestLine), font.Width(widestLine));
  EXPECT_EQ(width(pause), font.Width(pause));
  DeleteDC(dc);
}

#if !defined(SPIRALS_SYSTEM_WIN32)
TEST_F(StatusLine, PrintingOnAClosedWindowLeavesNothingOnTheHeap) {
  speed = 3.5;
  lastCurve = 4;
  // Warm up: the first print may set up runtime state of its own.
  printStatusLine();
  const portable::HeapUsage before = portable::QueryHeapUsage(RuntimeHeap);
  for (int i = 0; i < 50; ++i) {
    printStatusLine();
    printPauseLine();
  }
  const portable::HeapUsage after = portable::QueryHeapUsage(RuntimeHeap);
  EXPECT_EQ(after.blocks, before.blocks);
  EXPECT_EQ(after.bytes, before.bytes);
  EXPECT_EQ(TempStringStack.count, 0);
}
#endif

}  // namespace
