// The real program on a private headless Wayland compositor, driven as a user drives it: a
// keyboard and a mouse of the compositor's (virtual ones, as on-screen keyboards and remote
// desktops make), its close request, and the compositor dying under it.
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "../xvfb/program_picture.h"
#include "../xvfb/text_log_lines.h"
#include "sway_session.h"

namespace {

using desktop_test::Image;
using desktop_test::TextLine;
using desktop_test::WaitUntil;

const std::string kProgram = SPIRALS_BINARY_DIR "/spirals";
constexpr int kOutputWidth = 800;
constexpr int kOutputHeight = 600;
constexpr int kPatienceMs = 30000;  // a loaded machine may be slow to start and draw
constexpr int kExitLimitMs = 2000;

class WaylandProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    if (access(kProgram.c_str(), X_OK) != 0) GTEST_SKIP() << kProgram << " is not built";
    std::string error;
    if (!sway_.Start(kOutputWidth, kOutputHeight, &error))
      GTEST_SKIP() << "no Wayland compositor can start here: " << error;
    folder_ = desktop_test::MakeTempFolder();
    log_ = folder_ + "/text.log";
    errors_ = folder_ + "/stderr.txt";
    // Nothing but the compositor: no X display to fall back on, no host named.
    ASSERT_TRUE(program_.Start({kProgram},
                               {"WAYLAND_DISPLAY=" + sway_.Display(), "DISPLAY=", "SPIRALS_HOST=",
                                "SDL_VIDEODRIVER=", "SPIRALS_TEXT_LOG=" + log_},
                               errors_));
    ASSERT_TRUE(WaitUntil([&] { return !Lines().empty(); }, kPatienceMs))
        << "nothing drawn; stderr: " << desktop_test::ReadFile(errors_);
  }

  void TearDown() override {
    program_.Kill();
    if (!folder_.empty()) desktop_test::Run({"rm", "-rf", folder_});
  }

  std::vector<TextLine> Lines() const { return desktop_test::ReadTextLog(log_); }

  // Waits for a line after line `from` that satisfies `check`.
  bool WaitForLine(size_t from, const std::function<bool(const TextLine&)>& check) {
    return WaitUntil(
        [&] {
          const auto lines = Lines();
          for (size_t i = from; i < lines.size(); ++i)
            if (check(lines[i])) return true;
          return false;
        },
        kPatienceMs);
  }

  // The compositor's mouse, made through its virtual-pointer protocol.
  void Point(const std::vector<std::string>& commands) {
    std::vector<std::string> argv = {VIRTUAL_POINTER, std::to_string(kOutputWidth),
                                     std::to_string(kOutputHeight)};
    argv.insert(argv.end(), commands.begin(), commands.end());
    ASSERT_EQ(sway_.Client(argv), 0) << "the virtual pointer failed";
  }

  // Keys typed on a virtual keyboard, which the compositor gives the focused window. wtype
  // makes its keyboard first: the pause lets the program take it before the first key.
  void Type(const std::vector<std::string>& keys) {
    std::vector<std::string> argv = {"wtype", "-s", "300"};
    argv.insert(argv.end(), keys.begin(), keys.end());
    ASSERT_EQ(sway_.Client(argv), 0) << "wtype failed";
  }

  // The program's exit within `limitMs`: its status.
  int ExitStatus(int limitMs) {
    int status = 0;
    if (!program_.WaitExit(limitMs, &status)) {
      ADD_FAILURE() << "still running " << limitMs << " ms later";
      return -1;
    }
    EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  desktop_test::SwaySession sway_;
  desktop_test::Child program_;
  std::string folder_;
  std::string log_;
  std::string errors_;
};

TEST_F(WaylandProgram, ShowsItsCurvesFollowsItsKeysAndEndsOnEscape) {
  // One maximized toplevel, named for the desktop entry and titled as on Windows.
  std::string tree;
  ASSERT_EQ(sway_.Message({"-t", "get_tree"}, &tree), 0);
  EXPECT_NE(tree.find("\"app_id\": \"spirals\""), std::string::npos) << tree;
  EXPECT_NE(tree.find("\"name\": \"ZELVARI in KORVEX PRO\""), std::string::npos) << tree;

  // Black, coloured curve pixels near the centre, the white status line near the top.
  Image screen;
  desktop_test::ProgramPicture picture;
  const bool seen = WaitUntil(
      [&] {
        if (!sway_.Screenshot(&screen)) return false;
        picture = desktop_test::InspectProgramPicture(screen, 60);
        return picture.LooksLikeTheProgram(screen);
      },
      kPatienceMs, 250);
  EXPECT_TRUE(seen) << picture;
  EXPECT_EQ(screen.width, kOutputWidth);

  // Shared memory and the compositor only: no GL in the process.
  const std::string maps =
      desktop_test::ReadFile("/proc/" + std::to_string(program_.Pid()) + "/maps");
  EXPECT_EQ(maps.find("libGL"), std::string::npos);
  EXPECT_EQ(maps.find("libEGL"), std::string::npos);

  // A digit of the main row, then the keypad's plus.
  size_t from = Lines().size();
  Type({"3"});
  ASSERT_TRUE(WaitForLine(from, [](const TextLine& l) { return l.IsStatus() && l.Curves() == 3; }))
      << "the status line never showed 3 curves";
  // The keypad's + held for 1.5 s: one press, then the compositor's repeat rate (Wayland
  // leaves repeating to the program) raises the speed again and again.
  double before = Lines().back().Speed();
  from = Lines().size();
  Type({"-P", "KP_Add", "-s", "1500", "-p", "KP_Add"});
  // wtype returns once the key is up; the status lines of its steps are then in the log.
  ASSERT_TRUE(WaitForLine(from, [&](const TextLine& l) { return l.Speed() > before; }));
  std::vector<double> speeds = {before};
  const auto lines = Lines();
  for (size_t i = from; i < lines.size(); ++i) {
    if (lines[i].IsStatus() && lines[i].Speed() != speeds.back())
      speeds.push_back(lines[i].Speed());
  }
  EXPECT_GE(speeds.size(), 6u) << "the held key raised the speed " << speeds.size() - 1 << " times";

  // The mouse: the right button pauses, and again (elsewhere: the same place soon after is a
  // double click) resumes; a notch of the wheel towards the user slows down (the held key
  // may have taken the speed to its top).
  from = Lines().size();
  Point({"move", "400", "300", "press", std::to_string(BTN_RIGHT), "release",
         std::to_string(BTN_RIGHT)});
  ASSERT_TRUE(WaitForLine(from, [](const TextLine& l) { return l.text.rfind("Pausa", 0) == 0; }))
      << "the right button did not pause";
  from = Lines().size();
  Point({"move", "500", "300", "press", std::to_string(BTN_RIGHT), "release",
         std::to_string(BTN_RIGHT)});
  ASSERT_TRUE(WaitForLine(from, [](const TextLine& l) { return l.IsStatus(); }))
      << "the right button did not resume";
  before = Lines().back().Speed();
  from = Lines().size();
  Point({"wheel", "1"});
  EXPECT_TRUE(
      WaitForLine(from, [&](const TextLine& l) { return l.IsStatus() && l.Speed() < before; }))
      << "the wheel did not lower the speed from " << before;

  Type({"-k", "Escape"});
  EXPECT_EQ(ExitStatus(kExitLimitMs), 0) << desktop_test::ReadFile(errors_);
}

TEST_F(WaylandProgram, TheCompositorsCloseRequestEndsIt) {
  ASSERT_EQ(sway_.Message({"[app_id=spirals]", "kill"}), 0);
  EXPECT_EQ(ExitStatus(kExitLimitMs), 0) << desktop_test::ReadFile(errors_);
}

TEST_F(WaylandProgram, EndsWithOneLineWhenTheCompositorDies) {
  sway_.Kill();
  EXPECT_EQ(ExitStatus(1000), 0);
  EXPECT_EQ(desktop_test::ReadFile(errors_), "spirals: the Wayland compositor went away\n");
}

// On an output of scale 2 the picture is drawn in the output's own pixels: the curves are
// lines one pixel thin, where a picture scaled up by the compositor would make every pixel a
// block of at least 2x2.
TEST(WaylandScaledOutput, DrawsInTheOutputsPixels) {
  if (access(kProgram.c_str(), X_OK) != 0) GTEST_SKIP() << kProgram << " is not built";
  desktop_test::SwaySession sway;
  std::string error;
  if (!sway.Start(kOutputWidth, kOutputHeight, &error, 2))
    GTEST_SKIP() << "no Wayland compositor can start here: " << error;
  const std::string folder = desktop_test::MakeTempFolder();
  desktop_test::Child program;
  ASSERT_TRUE(program.Start({kProgram}, {"WAYLAND_DISPLAY=" + sway.Display(),
                                         "DISPLAY=", "SPIRALS_HOST=", "SDL_VIDEODRIVER="}));
  Image screen;
  int thin = 0;
  const bool seen = WaitUntil(
      [&] {
        if (!sway.Screenshot(&screen) || screen.width != kOutputWidth) return false;
        thin = 0;
        for (int y = screen.height / 4; y < screen.height * 3 / 4; ++y) {
          for (int x = screen.width / 4; x < screen.width * 3 / 4; ++x) {
            if (screen.At(x, y) == 0) continue;
            const bool noSideNeighbour = screen.At(x - 1, y) == 0 && screen.At(x + 1, y) == 0;
            const bool noUpperOrLower = screen.At(x, y - 1) == 0 && screen.At(x, y + 1) == 0;
            thin += noSideNeighbour || noUpperOrLower;
          }
        }
        return thin >= 50;
      },
      kPatienceMs, 250);
  EXPECT_TRUE(seen) << thin << " pixels one pixel thin on the " << screen.width << "x"
                    << screen.height << " output";
  ASSERT_EQ(sway.Client({"wtype", "-s", "300", "-k", "Escape"}), 0);
  int status = 0;
  EXPECT_TRUE(program.WaitExit(kExitLimitMs, &status));
  desktop_test::Run({"rm", "-rf", folder});
}

// The XScreenSaver modes draw into X windows: on a Wayland session they say so and stop.
TEST(WaylandSession, RefusesTheXScreenSaverModes) {
  if (access(kProgram.c_str(), X_OK) != 0) GTEST_SKIP() << kProgram << " is not built";
  const std::string folder = desktop_test::MakeTempFolder();
  for (const std::vector<std::string>& argv :
       {std::vector<std::string>{kProgram, "--root"}, {kProgram, "--window-id", "0x200001"}}) {
    desktop_test::Child program;
    ASSERT_TRUE(program.Start(argv, {"WAYLAND_DISPLAY=wayland-7", "SPIRALS_HOST="},
                              folder + "/stderr.txt"));
    int status = 0;
    ASSERT_TRUE(program.WaitExit(kPatienceMs, &status));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    const std::string text = desktop_test::ReadFile(folder + "/stderr.txt");
    EXPECT_EQ(text, "spirals: " + argv[1] +
                        " draws for XScreenSaver, which runs on X11, and this is a Wayland "
                        "session (WAYLAND_DISPLAY is wayland-7); SPIRALS_HOST=x11 draws through "
                        "XWayland\n");
  }
  desktop_test::Run({"rm", "-rf", folder});
}

}  // namespace
