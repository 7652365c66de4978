// The hack's settings on a private X server: --curves N draws N curves (counted by their
// colours before the first reseed gives new ones), --speed sets how far apart consecutive
// points fall, and a bad setting is one line and exit code 2 with no window.
#include <gtest/gtest.h>
// clang-format off
#include "x_client.h"
#include <X11/keysym.h>
// clang-format on
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <string>
#include <thread>

#include "tests/desktop/xvfb/xvfb_session.h"

namespace {

using desktop_test::Child;
using desktop_test::WaitUntil;
using saver_test::Picture;
using Clock = std::chrono::steady_clock;

const std::string kProgram = SPIRALS_BINARY_DIR "/spirals";
constexpr char kTitle[] = "ZELVARI in KORVEX PRO";
constexpr int kPatienceMs = 20000;
// The first reseed gives every curve a new colour 4000 ms after the window is made.
constexpr int kBeforeReseedMs = 3500;
// The first drawing step lands here, before the window knows its size.
constexpr int kCorner = 60;

class HackSettingsOnX : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    xvfb_ = new desktop_test::XvfbSession;
    if (!xvfb_->Start(640, 480, &setupError_)) return;
    client_ = new saver_test::XClient;
    if (!client_->Ok()) setupError_ = "cannot connect to the virtual X server";
  }
  static void TearDownTestSuite() {
    delete client_;
    delete xvfb_;
  }
  void SetUp() override {
    if (access(kProgram.c_str(), X_OK) != 0) GTEST_SKIP() << kProgram << " is not built";
    ASSERT_TRUE(setupError_.empty()) << setupError_;
  }

  // Runs `spirals --window` with the arguments, waits until it has drawn a hundred pixels and
  // `ms` have passed since its window appeared, and grabs the window, which it then closes with
  // ESC. How long after the window appeared the grab was taken goes to *age.
  Picture Run(const std::vector<std::string>& args, int ms, int* age) {
    Picture p;
    Child program;
    std::vector<std::string> argv = {kProgram, "--window"};
    argv.insert(argv.end(), args.begin(), args.end());
    EXPECT_TRUE(program.Start(argv));
    Window own = 0;
    EXPECT_TRUE(WaitUntil([&] { return (own = client_->FindByName(kTitle)) != 0; }, kPatienceMs));
    if (own == 0) return p;
    const auto appeared = Clock::now();
    EXPECT_TRUE(WaitUntil(
        [&] {
          return client_->Grab(own, &p) && p.CountColour(0xFFFFFF) == 0 &&
                 p.CountDrawn(kCorner, kCorner, p.width, p.height) >= 100;
        },
        kPatienceMs, 10));
    const auto wanted = appeared + std::chrono::milliseconds(ms);
    if (Clock::now() < wanted) {
      std::this_thread::sleep_until(wanted);
      EXPECT_TRUE(client_->Grab(own, &p));
    }
    *age = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - appeared).count());
    client_->SendKey(own, XK_Escape);
    int status = 0;
    EXPECT_TRUE(program.WaitExit(kPatienceMs, &status));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return p;
  }

  static std::set<uint32_t> Colours(const Picture& p) {
    std::set<uint32_t> colours;
    for (const uint32_t c : p.pixels) {
      if (c != 0) colours.insert(c);
    }
    return colours;
  }

  // Of the drawn pixels outside the first step's corner, the share that touch another of the
  // same colour: near 1 where consecutive points fall within a pixel of each other.
  static double Joined(const Picture& p) {
    int drawn = 0;
    int joined = 0;
    for (int y = 1; y + 1 < p.height; ++y) {
      for (int x = 1; x + 1 < p.width; ++x) {
        const uint32_t c = p.At(x, y);
        if (c == 0 || (x < kCorner && y < kCorner)) continue;
        ++drawn;
        bool touches = false;
        for (int dy = -1; dy <= 1 && !touches; ++dy) {
          for (int dx = -1; dx <= 1 && !touches; ++dx) {
            touches = (dx != 0 || dy != 0) && p.At(x + dx, y + dy) == c;
          }
        }
        joined += touches;
      }
    }
    return drawn == 0 ? 0.0 : static_cast<double>(joined) / drawn;
  }

  static inline desktop_test::XvfbSession* xvfb_ = nullptr;
  static inline saver_test::XClient* client_ = nullptr;
  static inline std::string setupError_;
};

TEST_F(HackSettingsOnX, CurvesGivesThatManyCurves) {
  for (const int n : {2, 3, 11}) {
    SCOPED_TRACE(std::to_string(n) + " curves");
    int age = 0;
    const Picture p = Run({"--curves", std::to_string(n)}, 800, &age);
    EXPECT_LT(age, kBeforeReseedMs) << "looked too late: the reseed's colours may be among them";
    EXPECT_EQ(Colours(p).size(), static_cast<size_t>(n)) << "one colour a curve";
  }
}

TEST_F(HackSettingsOnX, SpeedSetsHowFarApartConsecutivePointsFall) {
  // A point advances its curve's angle by speed x 0.01132. At 0.1 consecutive points fall a
  // fraction of a pixel apart: they draw solid lines, several points to a pixel. At 15 they
  // fall many pixels apart, about a pixel each. The same eleven curves drawn for the same time
  // plot about as many points either way, so the faster picture covers several times the pixels.
  int age = 0;
  const Picture slow = Run({"--curves", "11", "--speed", "0.1"}, 300, &age);
  const Picture fast = Run({"--curves", "11", "--speed", "15"}, 300, &age);
  const int slowPixels = slow.CountDrawn(0, 0, slow.width, slow.height);
  const int fastPixels = fast.CountDrawn(0, 0, fast.width, fast.height);
  RecordProperty("pixels_at_0_1", slowPixels);
  RecordProperty("pixels_at_15", fastPixels);
  EXPECT_GT(Joined(slow), 0.95) << "at 0.1 the points make lines";
  EXPECT_GT(fastPixels, slowPixels * 5 / 2) << "at 15 each point is a pixel of its own";
}

TEST_F(HackSettingsOnX, BadSettingsGiveOneLineAndExitCodeTwoWithoutAWindow) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--window", "--curves", "1"},
       "spirals: --curves \"1\" is not a number of curves from 2 to 11\n"},
      {{"--root", "-curves=12"},
       "spirals: --curves \"12\" is not a number of curves from 2 to 11\n"},
      {{"--window", "--speed", "0.05"},
       "spirals: --speed \"0.05\" is not a speed from 0.1 to 15\n"},
      {{"--window", "-speed", "2,5"}, "spirals: --speed \"2,5\" is not a speed from 0.1 to 15\n"},
      {{"--window", "--speed"}, "spirals: --speed needs a speed from 0.1 to 15\n"},
      {{"--curves", "4"},
       "spirals: --curves and --speed are screen-saver settings: add --root, --window-id ID or "
       "--window\n"},
  };
  const std::string folder = desktop_test::MakeTempFolder();
  for (const auto& [args, line] : cases) {
    SCOPED_TRACE(args[1]);
    Child program;
    std::vector<std::string> argv = {kProgram};
    argv.insert(argv.end(), args.begin(), args.end());
    ASSERT_TRUE(program.Start(argv, {}, folder + "/stderr.txt"));
    int status = 0;
    ASSERT_TRUE(program.WaitExit(kPatienceMs, &status));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
    EXPECT_EQ(desktop_test::ReadFile(folder + "/stderr.txt"), line);
    EXPECT_EQ(client_->FindByName(kTitle), 0u) << "no window";
  }
  desktop_test::Run({"rm", "-rf", folder});
}

}  // namespace
