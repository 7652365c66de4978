// The real program on a private virtual X server, driven like a user drives it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "program_picture.h"
#include "text_log_lines.h"
#include "xvfb_session.h"

namespace {

using desktop_test::Child;
using desktop_test::Image;
using desktop_test::kCurveLabel;
using desktop_test::kSpeedLabel;
using desktop_test::TextLine;

using desktop_test::WaitUntil;

const std::string kProgram = SPIRALS_BINARY_DIR "/spirals";
const std::string kTitle = "ZELVARI in KORVEX PRO";
const std::string kControls = "       Mouse SX=Ridisegna  DX=Pausa  ESC=Esci          ";
const std::string kPauseLine =
    "Pausa - Mouse DX=Contnua  ESC=Esci          " + std::string(255, ' ');
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kPatienceMs = 30000;  // a loaded machine may be slow to start and draw
#if defined(__SANITIZE_ADDRESS__)
// The sanitizers' leak scan at exit is part of the tool, not of the program.
constexpr int kExitLimitMs = 10000;
#else
constexpr int kExitLimitMs = 2000;
#endif

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (access(kProgram.c_str(), X_OK) != 0) GTEST_SKIP() << kProgram << " is not built";
    std::string error;
    ASSERT_TRUE(xvfb_.Start(kScreenWidth, kScreenHeight, &error)) << error;
    folder_ = desktop_test::MakeTempFolder();
    log_ = folder_ + "/text.log";
    ASSERT_TRUE(program_.Start({kProgram}, {"SPIRALS_TEXT_LOG=" + log_}, folder_ + "/stderr.txt"));
    ASSERT_TRUE(WaitUntil([&] { return FindWindow(); }, kPatienceMs, 100))
        << "no window titled \"" << kTitle
        << "\"; stderr: " << desktop_test::ReadFile(folder_ + "/stderr.txt");
    // Keys go to the focused window, the wheel to the window under the pointer.
    desktop_test::Run({"xdotool", "windowfocus", window_});
    desktop_test::Run({"xdotool", "mousemove", std::to_string(kScreenWidth / 2),
                       std::to_string(kScreenHeight / 2)});
    ASSERT_TRUE(WaitUntil([&] { return !Lines().empty(); }, kPatienceMs)) << "nothing drawn";
  }

  void TearDown() override {
    program_.Kill();
    if (!folder_.empty()) {
      unlink(log_.c_str());
      unlink((folder_ + "/stderr.txt").c_str());
      rmdir(folder_.c_str());
    }
  }

  bool FindWindow() {
    std::string out;
    if (desktop_test::Run({"xdotool", "search", "--name", "^" + kTitle + "$"}, &out) != 0)
      return false;
    std::istringstream in(out);
    return static_cast<bool>(std::getline(in, window_)) && !window_.empty();
  }

  std::vector<TextLine> Lines() const { return desktop_test::ReadTextLog(log_); }

  // The most recent status line at or after line `from`.
  bool LastStatus(size_t from, TextLine* out) const {
    const auto lines = Lines();
    for (size_t i = lines.size(); i > from; --i) {
      if (lines[i - 1].IsStatus()) {
        *out = lines[i - 1];
        return true;
      }
    }
    return false;
  }

  void Key(const std::string& key) {
    ASSERT_EQ(desktop_test::Run({"xdotool", "key", key}), 0) << key;
  }
  void Click(int button) {
    ASSERT_EQ(desktop_test::Run({"xdotool", "click", std::to_string(button)}), 0) << button;
  }

  // Waits for a status line after line `from` that satisfies `check`.
  bool WaitForStatus(size_t from, const std::function<bool(const TextLine&)>& check) {
    return WaitUntil(
        [&] {
          const auto lines = Lines();
          for (size_t i = from; i < lines.size(); ++i) {
            if (lines[i].IsStatus() && check(lines[i])) return true;
          }
          return false;
        },
        kPatienceMs);
  }

  // Presses `key`, then waits for a status line showing a speed that `moved` accepts.
  void ExpectSpeedMoves(const std::string& how, const std::function<void()>& act,
                        const std::function<bool(double before, double after)>& moved) {
    TextLine before;
    ASSERT_TRUE(LastStatus(0, &before));
    const size_t from = Lines().size();
    act();
    EXPECT_TRUE(
        WaitForStatus(from, [&](const TextLine& l) { return moved(before.Speed(), l.Speed()); }))
        << how << " did not move the speed from " << before.Speed();
  }

  void ExpectExitWithCodeZeroInTime() {
    int status = 0;
    if (!program_.WaitExit(kExitLimitMs, &status)) {
      const bool late = program_.WaitExit(10000, &status);
      FAIL() << "still running " << kExitLimitMs << " ms later"
             << (late ? " (it ended later)" : " (and 10 s later)");
    }
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << desktop_test::ReadFile(folder_ + "/stderr.txt");
  }

  desktop_test::XvfbSession xvfb_;
  Child program_;
  std::string folder_;
  std::string log_;
  std::string window_;
};

TEST_F(ProgramTest, FullScreenWindowAtTheTopLeftWithCurvesAndStatusText) {
  std::string geometry;
  ASSERT_EQ(desktop_test::Run({"xdotool", "getwindowgeometry", window_}, &geometry), 0);
  EXPECT_NE(geometry.find("Position: 0,0"), std::string::npos) << geometry;

  // Black background, coloured curve pixels near the centre, white text at the top left.
  Image screen;
  desktop_test::ProgramPicture picture;
  const bool seen = WaitUntil(
      [&] {
        if (!desktop_test::Screenshot(&screen)) return false;
        picture = desktop_test::InspectProgramPicture(screen, 16);
        return picture.LooksLikeTheProgram(screen);
      },
      kPatienceMs, 250);
  EXPECT_TRUE(seen) << picture;
  // The text stays within the first line: below it, near the left edge, no white glyph rows.
  int whiteBelow = 0;
  for (int y = 20; y < 36; ++y) {
    for (int x = 0; x < 60; ++x) whiteBelow += screen.At(x, y) == 0xFFFFFF;
  }
  EXPECT_LT(whiteBelow, 20);
}

TEST_F(ProgramTest, ResizingTheWindowRecentresTheCurves) {
  ASSERT_EQ(desktop_test::Run({"xdotool", "windowsize", window_, "400", "300"}), 0);
  // The program is told its new size, clears and draws around the new centre (200, 150):
  // the curves' pixels balance there, and nothing shows beyond the smaller window.
  Image screen;
  long outside = 0, lit = 0;
  double meanX = 0, meanY = 0;
  const bool seen = WaitUntil(
      [&] {
        if (!desktop_test::Screenshot(&screen)) return false;
        outside = lit = 0;
        double sumX = 0, sumY = 0;
        for (int y = 20; y < screen.height; ++y) {  // below the status line
          for (int x = 0; x < screen.width; ++x) {
            if (screen.At(x, y) == 0) continue;
            if (x >= 400 || y >= 300) {
              ++outside;
            } else {
              ++lit;
              sumX += x;
              sumY += y;
            }
          }
        }
        meanX = lit ? sumX / static_cast<double>(lit) : 0;
        meanY = lit ? sumY / static_cast<double>(lit) : 0;
        return outside == 0 && lit >= 200 && std::abs(meanX - 200) < 40 &&
               std::abs(meanY - 150) < 40;
      },
      kPatienceMs, 250);
  EXPECT_TRUE(seen) << "lit pixels outside the window " << outside << "; " << lit
                    << " lit inside, balanced at (" << meanX << ", " << meanY << ")";
}

TEST_F(ProgramTest, DigitKeysChangeTheCurveCountInTheStatusLine) {
  size_t from = Lines().size();
  Key("3");
  ASSERT_TRUE(WaitForStatus(from, [](const TextLine& l) { return l.Curves() == 3; }));
  from = Lines().size();
  Key("5");
  TextLine five;
  ASSERT_TRUE(WaitForStatus(from, [&](const TextLine& l) {
    five = l;
    return l.Curves() == 5;
  }));
  EXPECT_EQ(five.x, 0);
  EXPECT_EQ(five.y, 0);
  const std::string tail = kCurveLabel + " 5" + kControls;
  ASSERT_GE(five.text.size(), tail.size());
  EXPECT_EQ(five.text.substr(five.text.size() - tail.size()), tail);
  EXPECT_EQ(five.text.substr(0, kSpeedLabel.size() + 1), kSpeedLabel + " ");
}

TEST_F(ProgramTest, NumericPadDigitsWithNumLockOn) {
  size_t from = Lines().size();
  Key("3");
  ASSERT_TRUE(WaitForStatus(from, [](const TextLine& l) { return l.Curves() == 3; }));
  Key("Num_Lock");
  from = Lines().size();
  // The keypad's 7 key (its unshifted sign is Home): a digit only because NumLock is on.
  Key("KP_Home");
  EXPECT_TRUE(WaitForStatus(from, [](const TextLine& l) { return l.Curves() == 7; }));
}

TEST_F(ProgramTest, PlusMinusAndTheWheelChangeTheSpeed) {
  auto up = [](double before, double after) { return after > before; };
  auto down = [](double before, double after) { return after < before; };
  ExpectSpeedMoves(
      "keypad +", [&] { Key("KP_Add"); }, up);
  ExpectSpeedMoves(
      "= key", [&] { Key("equal"); }, up);
  ExpectSpeedMoves(
      "wheel forward", [&] { Click(4); }, up);
  ExpectSpeedMoves(
      "- key", [&] { Key("minus"); }, down);
  ExpectSpeedMoves(
      "keypad -", [&] { Key("KP_Subtract"); }, down);
  ExpectSpeedMoves(
      "wheel back", [&] { Click(5); }, down);
}

TEST_F(ProgramTest, HoldingAKeyRepeatsItsAction) {
  TextLine before;
  ASSERT_TRUE(LastStatus(0, &before));
  const size_t from = Lines().size();
  ASSERT_EQ(desktop_test::Run({"xdotool", "keydown", "KP_Add"}), 0);
  // One press raises the speed once; the keyboard's auto-repeat keeps raising it.
  std::vector<double> speeds;
  const bool repeated = WaitUntil(
      [&] {
        speeds = {before.Speed()};
        const auto lines = Lines();
        for (size_t i = from; i < lines.size(); ++i) {
          if (lines[i].IsStatus() && lines[i].Speed() != speeds.back())
            speeds.push_back(lines[i].Speed());
        }
        return speeds.size() >= 5;
      },
      kPatienceMs);
  desktop_test::Run({"xdotool", "keyup", "KP_Add"});
  ASSERT_TRUE(repeated) << "the speed took " << speeds.size() - 1 << " steps";
  for (size_t i = 1; i < speeds.size(); ++i) EXPECT_GT(speeds[i], speeds[i - 1]);
}

TEST_F(ProgramTest, RightButtonPausesAndResumes) {
  size_t from = Lines().size();
  Click(3);
  ASSERT_TRUE(WaitUntil(
      [&] {
        const auto lines = Lines();
        for (size_t i = from; i < lines.size(); ++i) {
          if (lines[i].text == kPauseLine) return lines[i].x == 0 && lines[i].y == 0;
        }
        return false;
      },
      kPatienceMs))
      << "no pause line";
  // A second press at the same place soon after is a double click, which does not resume:
  // press somewhere else.
  desktop_test::Run({"xdotool", "mousemove", std::to_string(kScreenWidth / 2 + 40),
                     std::to_string(kScreenHeight / 2)});
  Click(3);
  // Running again: the drawing steps print status lines and the pause line stops.
  EXPECT_TRUE(WaitUntil(
      [&] {
        const auto lines = Lines();
        size_t statusAfterLastPause = 0;
        for (const TextLine& l : lines) {
          if (l.text == kPauseLine)
            statusAfterLastPause = 0;
          else if (l.IsStatus())
            ++statusAfterLastPause;
        }
        return statusAfterLastPause >= 20;
      },
      kPatienceMs));
}

TEST_F(ProgramTest, EscapeEndsTheProgram) {
  Key("Escape");
  ExpectExitWithCodeZeroInTime();
}

TEST_F(ProgramTest, AltF4EndsTheProgram) {
  Key("alt+F4");
  ExpectExitWithCodeZeroInTime();
}

TEST_F(ProgramTest, TheCloseButtonEndsTheProgram) {
  ASSERT_EQ(desktop_test::Run({DESKTOP_CLOSE_REQUEST, window_}), 0);
  ExpectExitWithCodeZeroInTime();
}

TEST(ProgramWithoutDisplay, SaysWhatIsMissingAndFails) {
  if (access(kProgram.c_str(), X_OK) != 0) GTEST_SKIP() << kProgram << " is not built";
  const std::string folder = desktop_test::MakeTempFolder();
  const std::string errors = folder + "/stderr.txt";
  Child program;
  ASSERT_TRUE(program.Start({kProgram}, {"DISPLAY=", "WAYLAND_DISPLAY="}, errors));
  int status = 0;
  ASSERT_TRUE(program.WaitExit(kPatienceMs, &status));
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_NE(WEXITSTATUS(status), 0);
  const std::string text = desktop_test::ReadFile(errors);
  EXPECT_NE(text.find("spirals: cannot open the display ("), std::string::npos) << text;
  EXPECT_NE(text.find("set DISPLAY to the X display to use, or start a virtual one (Xvfb)"),
            std::string::npos)
      << text;
  unlink(errors.c_str());
  rmdir(folder.c_str());
}

}  // namespace
