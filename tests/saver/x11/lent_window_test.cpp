// The program as an XScreenSaver hack on a private X server: it draws into a window it is
// given (by id, by XSCREENSAVER_WINDOW, or the root), follows its size, leaves it otherwise
// alone, and ends with exit code 0 on SIGTERM, SIGINT or the window's destruction.
// GoogleTest first: Xlib defines None, a name GoogleTest uses.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xutil.h>
#include <X11/keysym.h>
// clang-format on
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "tests/desktop/xvfb/xvfb_session.h"
#include "x_client.h"

namespace {

using desktop_test::Child;
using desktop_test::WaitUntil;
using saver_test::Hex;
using saver_test::Picture;

const std::string kProgram = SPIRALS_BINARY_DIR "/spirals";
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr uint32_t kBackground = 0x203040;
constexpr int kPatienceMs = 20000;
#if defined(__SANITIZE_ADDRESS__)
constexpr int kEndLimitMs = 10000;  // the leak scan at exit belongs to the tool
#else
constexpr int kEndLimitMs = 1000;
#endif

class LentWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    xvfb_ = new desktop_test::XvfbSession;
    if (!xvfb_->Start(kScreenWidth, kScreenHeight, &setupError_)) return;
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
    folder_ = desktop_test::MakeTempFolder();
  }
  void TearDown() override {
    program_.Kill();
    for (Window w : windows_) client_->Destroy(w);
    for (const char* name : {"/stderr.txt", "/text.log"}) unlink((folder_ + name).c_str());
    rmdir(folder_.c_str());
  }

  Window Lender(int width, int height) {
    const Window w = client_->MakeWindow(20, 10, width, height, kBackground);
    windows_.push_back(w);
    return w;
  }
  void Start(const std::vector<std::string>& args, std::vector<std::string> env = {}) {
    std::vector<std::string> argv = {kProgram};
    argv.insert(argv.end(), args.begin(), args.end());
    env.push_back("SPIRALS_TEXT_LOG=" + folder_ + "/text.log");
    ASSERT_TRUE(program_.Start(argv, env, folder_ + "/stderr.txt"));
  }
  std::string Stderr() const { return desktop_test::ReadFile(folder_ + "/stderr.txt"); }

  // Waits until `window` shows at least `pixels` drawn pixels inside the rectangle, and no
  // white: the window opens in the system's window colour and is cleared at its first paint.
  bool WaitForDrawing(Window window, int x0, int y0, int x1, int y1, int pixels = 50) {
    return WaitUntil(
        [&] {
          Picture p;
          return client_->Grab(window, &p) && p.CountColour(0xFFFFFF) == 0 &&
                 p.CountDrawn(x0, y0, x1, y1, kBackground) >= pixels;
        },
        kPatienceMs, 100);
  }

  // Sends `signal` and expects exit code 0 within the limit.
  void ExpectEndsOn(int signal) {
    const auto sent = std::chrono::steady_clock::now();
    kill(program_.Pid(), signal);
    int status = 0;
    ASSERT_TRUE(program_.WaitExit(kEndLimitMs, &status))
        << "still running " << kEndLimitMs << " ms after the signal";
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - sent);
    ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << Stderr();
    RecordProperty("end_ms", static_cast<int>(ms.count()));
  }

  // Runs the program to its end: its exit code, and its standard error in *err.
  int RunToEnd(const std::vector<std::string>& args, std::vector<std::string> env,
               std::string* err) {
    Start(args, std::move(env));
    int status = 0;
    if (!program_.WaitExit(kPatienceMs, &status)) return -1;
    *err = Stderr();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  static inline desktop_test::XvfbSession* xvfb_ = nullptr;
  static inline saver_test::XClient* client_ = nullptr;
  static inline std::string setupError_;
  Child program_;
  std::vector<Window> windows_;
  std::string folder_;
};

TEST_F(LentWindow, DrawsCurvesWithoutAnyTextAndLeavesTheWindowAlone) {
  const Window w = Lender(320, 240);
  XWindowAttributes before{};
  ASSERT_TRUE(XGetWindowAttributes(client_->Get(), w, &before));
  Start({"--window-id", Hex(w)});
  ASSERT_TRUE(WaitForDrawing(w, 0, 0, 320, 240)) << Stderr();
  // A few more steps, then look: curves around the middle, nothing white (the status line's
  // colour) anywhere, and no text drawn at all.
  usleep(500 * 1000);
  Picture p;
  ASSERT_TRUE(client_->Grab(w, &p));
  EXPECT_EQ(p.CountColour(0xFFFFFF), 0);
  EXPECT_GT(p.CountDrawn(110, 70, 210, 170, kBackground), 20)
      << "drawn around the centre (160, 120)";
  EXPECT_EQ(p.CountColour(kBackground), 0) << "the layer's picture covers the whole window";
  EXPECT_EQ(desktop_test::ReadFile(folder_ + "/text.log"), "");

  XWindowAttributes after{};
  ASSERT_TRUE(XGetWindowAttributes(client_->Get(), w, &after));
  EXPECT_EQ(after.width, before.width);
  EXPECT_EQ(after.height, before.height);
  EXPECT_EQ(after.x, before.x);
  EXPECT_EQ(after.y, before.y);
  EXPECT_EQ(after.border_width, before.border_width);
  EXPECT_EQ(after.map_state, before.map_state);
  EXPECT_EQ(after.override_redirect, before.override_redirect);
  EXPECT_EQ(after.colormap, before.colormap);
  EXPECT_EQ(after.your_event_mask, before.your_event_mask)
      << "the test's own interest is untouched";
  char* name = nullptr;
  ASSERT_TRUE(XFetchName(client_->Get(), w, &name));
  EXPECT_STREQ(name, "lender");
  XFree(name);
  ExpectEndsOn(SIGTERM);
  EXPECT_EQ(Stderr(), "");
}

TEST_F(LentWindow, FollowsTheWindowWhenItIsResized) {
  const Window w = Lender(200, 150);
  Start({"-window-id", std::to_string(w)});
  ASSERT_TRUE(WaitForDrawing(w, 0, 0, 200, 150)) << Stderr();
  client_->Resize(w, 480, 360);
  // The new centre is (240, 180): curves appear where the old window never reached.
  EXPECT_TRUE(WaitForDrawing(w, 200, 150, 480, 360, 30)) << "nothing drawn in the grown part";
  // The curves build up point by point: on a busy machine the first look may come early.
  EXPECT_TRUE(WaitForDrawing(w, 190, 130, 290, 230, 21)) << "nothing drawn around the new centre";
  Picture p;
  ASSERT_TRUE(client_->Grab(w, &p));
  EXPECT_EQ(p.width, 480) << "the window keeps the size it was given";
  EXPECT_EQ(p.height, 360);
  EXPECT_GT(p.CountDrawn(190, 130, 290, 230, kBackground), 20) << "drawn around the new centre";
  EXPECT_EQ(p.CountColour(kBackground), 0) << "the whole grown window is painted";
  ExpectEndsOn(SIGINT);
}

TEST_F(LentWindow, EndsWithZeroWhenTheWindowIsDestroyed) {
  const Window w = Lender(200, 150);
  Start({"--window-id", Hex(w)});
  ASSERT_TRUE(WaitForDrawing(w, 0, 0, 200, 150)) << Stderr();
  windows_.clear();
  client_->Destroy(w);
  int status = 0;
  ASSERT_TRUE(program_.WaitExit(kPatienceMs, &status))
      << "still running after its window went away";
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(Stderr(), "") << "no X error report";
}

TEST_F(LentWindow, RootDrawsIntoTheWindowXScreenSaverNames) {
  const Window w = Lender(200, 150);
  Start({"--root"}, {"XSCREENSAVER_WINDOW=" + Hex(w)});
  ASSERT_TRUE(WaitForDrawing(w, 0, 0, 200, 150)) << Stderr();
  Picture root;
  ASSERT_TRUE(client_->Grab(DefaultRootWindow(client_->Get()), &root));
  EXPECT_EQ(root.CountDrawn(240, 200, kScreenWidth, kScreenHeight), 0)
      << "the root window is not drawn on";
  ExpectEndsOn(SIGTERM);
}

TEST_F(LentWindow, RootWithoutXScreenSaverDrawsIntoTheRootWindow) {
  Start({"-root"}, {"XSCREENSAVER_WINDOW="});
  const Window root = DefaultRootWindow(client_->Get());
  ASSERT_TRUE(WaitForDrawing(root, kScreenWidth / 2 - 60, kScreenHeight / 2 - 60,
                             kScreenWidth / 2 + 60, kScreenHeight / 2 + 60))
      << Stderr();
  ExpectEndsOn(SIGTERM);
}

TEST_F(LentWindow, BadOrMissingWindowsGiveOneLineAndExitCodeTwo) {
  const Window inputOnly = client_->MakeInputOnlyWindow(50, 50);
  windows_.push_back(inputOnly);
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> env;
    std::string line;
  };
  const std::string display = xvfb_->Display();
  const std::vector<Case> cases = {
      {{"--window-id", "0x7ffff0"},
       {},
       "spirals: there is no window 0x7ffff0 on display " + display + "\n"},
      {{"--window-id", "junk"},
       {},
       "spirals: \"junk\" is not a window id (0x... or decimal, not 0)\n"},
      {{"--window-id"}, {}, "spirals: --window-id needs a window id (0x... or decimal)\n"},
      {{"--root"},
       {"XSCREENSAVER_WINDOW=0x7ffff0"},
       "spirals: there is no window 0x7ffff0 on display " + display + "\n"},
      {{"--root"},
       {"XSCREENSAVER_WINDOW=junk"},
       "spirals: XSCREENSAVER_WINDOW is \"junk\", not a window id\n"},
      {{"--window-id", Hex(inputOnly)},
       {},
       "spirals: window " + Hex(inputOnly) + " is input-only: nothing can be drawn in it\n"},
      {{"--root"}, {"DISPLAY="}, "spirals: cannot open the X display (DISPLAY is not set)\n"},
      {{"--bogus"},
       {},
       "spirals: unknown option \"--bogus\": spirals takes --root, --window-id ID or --window, "
       "with --curves N and --speed S\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + (c.args.size() > 1 ? " " + c.args[1] : ""));
    std::string err;
    EXPECT_EQ(RunToEnd(c.args, c.env, &err), 2);
    EXPECT_EQ(err, c.line);
  }
}

TEST_F(LentWindow, AWindowOfItsOwnEndsOnEscapeOrItsCloseButton) {
  for (const bool byEscape : {true, false}) {
    SCOPED_TRACE(byEscape ? "ESC" : "close button");
    Start({"--window"});
    Window own = 0;
    ASSERT_TRUE(WaitUntil([&] { return (own = client_->FindByName("ZELVARI in KORVEX PRO")) != 0; },
                          kPatienceMs))
        << Stderr();
    ASSERT_TRUE(WaitForDrawing(own, 0, 0, 800, 600));
    usleep(300 * 1000);  // steps that would have printed a status line
    Picture p;
    ASSERT_TRUE(client_->Grab(own, &p));
    EXPECT_EQ(p.width, kScreenWidth * 3 / 4) << "three quarters of a small screen";
    EXPECT_EQ(p.CountColour(0xFFFFFF), 0) << "no status line";
    // Other keys are ignored.
    client_->SendKey(own, XK_space);
    client_->SendKey(own, XK_0);
    int status = 0;
    EXPECT_FALSE(program_.WaitExit(300, &status));
    if (byEscape) {
      client_->SendKey(own, XK_Escape);
    } else {
      client_->SendCloseRequest(own);
    }
    ASSERT_TRUE(program_.WaitExit(kEndLimitMs, &status));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(client_->FindByName("ZELVARI in KORVEX PRO"), 0u) << "its window went with it";
  }
}

// A 16-bit screen: the pixels are converted to its format rather than sent as they are.
TEST(NarrowDisplay, SixteenBitWindowsShowTheCurves) {
  if (access(kProgram.c_str(), X_OK) != 0) GTEST_SKIP() << kProgram << " is not built";
  desktop_test::XvfbSession xvfb;
  std::string error;
  ASSERT_TRUE(xvfb.Start(320, 240, &error, 16)) << error;
  saver_test::XClient client;
  ASSERT_TRUE(client.Ok());
  ASSERT_EQ(DefaultDepth(client.Get(), DefaultScreen(client.Get())), 16);
  const Window w = client.MakeWindow(0, 0, 200, 150, 0);
  Child program;
  ASSERT_TRUE(program.Start({kProgram, "--window-id", Hex(w)}));
  Picture p;
  EXPECT_TRUE(WaitUntil(
      [&] {
        return client.Grab(w, &p) && p.CountColour(0xFFFF) == 0 &&
               p.CountDrawn(50, 25, 150, 125) > 50;
      },
      kPatienceMs, 100));
  usleep(300 * 1000);
  ASSERT_TRUE(client.Grab(w, &p));
  EXPECT_EQ(p.CountColour(0xFFFF), 0) << "no status line (white, in 16 bits)";
  kill(program.Pid(), SIGTERM);
  int status = 0;
  ASSERT_TRUE(program.WaitExit(kEndLimitMs, &status));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
