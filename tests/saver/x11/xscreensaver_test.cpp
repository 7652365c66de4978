// The real XScreenSaver daemon, on a private X server, running the program as its one saver:
// activated, it starts the program on its own window, which the program draws on; deactivated,
// it stops the program. The daemon refuses to run savers for root, so as root the daemon runs
// as the system user that scripts/setup creates.
#include <gtest/gtest.h>
// clang-format off
#include "x_client.h"
// clang-format on
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <regex>
#include <string>

#include "tests/desktop/xvfb/xvfb_session.h"

namespace {

using desktop_test::WaitUntil;
using saver_test::Picture;

const std::string kProgram = SPIRALS_BINARY_DIR "/spirals";
const char kSaverUser[] = "spirals-saver";
constexpr int kPatienceMs = 20000;

// A process that has ended, whether or not anyone has reaped it yet.
bool Ended(pid_t pid) {
  if (kill(pid, 0) != 0) return true;
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string pidText, name, state;
  stat >> pidText >> name >> state;
  return !stat || state == "Z";
}

class XScreenSaverDaemon : public ::testing::Test {
 protected:
  void SetUp() override {
    if (access(kProgram.c_str(), X_OK) != 0) GTEST_SKIP() << kProgram << " is not built";
    ASSERT_EQ(access("/usr/bin/xscreensaver", X_OK), 0)
        << "xscreensaver is missing: run scripts/setup";
    if (getuid() == 0) {
      passwd* user = getpwnam(kSaverUser);
      ASSERT_NE(user, nullptr) << "no user " << kSaverUser
                               << " to run the daemon as: run scripts/setup";
      uid_ = user->pw_uid;
      gid_ = user->pw_gid;
      asOther_ = true;
    }
    std::string error;
    ASSERT_TRUE(xvfb_.Start(640, 480, &error)) << error;
    home_ = desktop_test::MakeTempFolder();
    chmod(home_.c_str(), 0755);
    // A copy in the daemon user's reach, wherever the build folder lives.
    saver_ = home_ + "/spirals";
    ASSERT_EQ(desktop_test::Run({"cp", kProgram, saver_}), 0);
    std::ofstream settings(home_ + "/.xscreensaver");
    settings
        << "mode: one\nselected: 0\ntimeout: 0:30:00\nlock: False\nfade: False\nunfade: False\n"
           "splash: False\nprograms: "
        << saver_ << " --root \\n\n";
    settings.close();
    if (asOther_) {
      for (const std::string& path : {home_, saver_, home_ + "/.xscreensaver"}) {
        ASSERT_EQ(chown(path.c_str(), uid_, gid_), 0) << path;
      }
    }
  }

  void TearDown() override {
    if (daemon_.Pid() > 0) {
      Command({"xscreensaver-command", "-exit"});
      int status = 0;
      if (!daemon_.WaitExit(5000, &status)) daemon_.Kill();
    }
    if (!home_.empty()) desktop_test::Run({"rm", "-rf", home_});
  }

  // The command line as the daemon's user, in its home, on the private display.
  std::vector<std::string> As(const std::vector<std::string>& command) const {
    std::vector<std::string> argv;
    // setpriv execs the command itself, so the daemon is the process started here.
    if (asOther_) {
      argv = {"setpriv", "--reuid=" + std::to_string(uid_), "--regid=" + std::to_string(gid_),
              "--clear-groups", "--"};
    }
    argv.insert(argv.end(), {"env", "HOME=" + home_, "DISPLAY=" + xvfb_.Display()});
    argv.insert(argv.end(), command.begin(), command.end());
    return argv;
  }
  int Command(const std::vector<std::string>& command) {
    return desktop_test::Run(As(command), nullptr, 10000);
  }
  std::string Log() const { return desktop_test::ReadFile(home_ + "/daemon.log"); }

  desktop_test::XvfbSession xvfb_;
  desktop_test::Child daemon_;
  std::string home_;
  std::string saver_;
  bool asOther_ = false;
  uid_t uid_ = 0;
  gid_t gid_ = 0;
};

TEST_F(XScreenSaverDaemon, RunsTheSaverOnItsWindowAndStopsItOnDeactivation) {
  ASSERT_TRUE(daemon_.Start(As({"xscreensaver", "--no-splash", "--log", home_ + "/daemon.log"}), {},
                            home_ + "/daemon.stderr"));
  ASSERT_TRUE(WaitUntil(
      [&] {
        return Command({"xscreensaver-command", "-time"}) == 0;
      },
      kPatienceMs, 100))
      << "the daemon did not answer: " << Log();
  ASSERT_EQ(Command({"xscreensaver-command", "-activate"}), 0);

  // "forked "<command>" in pid N on window 0x..."
  const std::regex forked("forked \"" + saver_ +
                          " --root\" in pid ([0-9]+) on window (0x[0-9a-fA-F]+)");
  std::smatch match;
  std::string log;
  ASSERT_TRUE(WaitUntil(
      [&] {
        log = Log();
        return std::regex_search(log, match, forked);
      },
      kPatienceMs, 100))
      << "the daemon did not start the saver: " << log;
  const pid_t pid = static_cast<pid_t>(std::stol(match[1].str()));
  const Window window = std::stoul(match[2].str(), nullptr, 16);
  EXPECT_FALSE(Ended(pid));

  saver_test::XClient client;
  ASSERT_TRUE(client.Ok());
  Picture picture;
  // Drawn, and past the first paint, which clears the window's opening colour (white).
  EXPECT_TRUE(WaitUntil(
      [&] {
        return client.Grab(window, &picture) && picture.CountColour(0xFFFFFF) == 0 &&
               picture.CountDrawn(0, 0, 640, 480) > 200;
      },
      kPatienceMs, 100))
      << "nothing drawn on the daemon's window " << saver_test::Hex(window);
  usleep(300 * 1000);
  ASSERT_TRUE(client.Grab(window, &picture));
  EXPECT_EQ(picture.CountColour(0xFFFFFF), 0) << "no status line";
  EXPECT_GT(picture.CountDrawn(220, 140, 420, 340), 50) << "the curves sit in the middle";
  EXPECT_FALSE(Ended(pid));

  ASSERT_EQ(Command({"xscreensaver-command", "-deactivate"}), 0);
  EXPECT_TRUE(WaitUntil([&] { return Ended(pid); }, 5000)) << "the saver outlived the deactivation";
}

}  // namespace
