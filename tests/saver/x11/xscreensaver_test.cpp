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

#include <dirent.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

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
    WriteSettings("--root");
    if (asOther_) {
      for (const std::string& path : {home_, saver_, home_ + "/.xscreensaver"}) {
        ASSERT_EQ(chown(path.c_str(), uid_, gid_), 0) << path;
      }
    }
  }

  // The daemon's settings file, naming our saver with these arguments as its one program.
  void WriteSettings(const std::string& arguments) {
    std::ofstream settings(home_ + "/.xscreensaver");
    settings
        << "mode: one\nselected: 0\ntimeout: 0:30:00\nlock: False\nfade: False\nunfade: False\n"
           "splash: False\nprograms: "
        << saver_ << " " << arguments << " \\n\n";
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

  void StartDaemon() {
    ASSERT_TRUE(daemon_.Start(As({"xscreensaver", "--no-splash", "--log", home_ + "/daemon.log"}),
                              {}, home_ + "/daemon.stderr"));
    ASSERT_TRUE(WaitUntil(
        [&] {
          return Command({"xscreensaver-command", "-time"}) == 0;
        },
        kPatienceMs, 100))
        << "the daemon did not answer: " << Log();
  }

  desktop_test::XvfbSession xvfb_;
  desktop_test::Child daemon_;
  std::string home_;
  std::string saver_;
  bool asOther_ = false;
  uid_t uid_ = 0;
  gid_t gid_ = 0;
};

TEST_F(XScreenSaverDaemon, RunsTheSaverOnItsWindowAndStopsItOnDeactivation) {
  ASSERT_NO_FATAL_FAILURE(StartDaemon());
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

// Every process of the saver's program that is still there, zombies included.
std::vector<pid_t> SaversRunning(const std::string& program) {
  std::vector<pid_t> found;
  DIR* proc = opendir("/proc");
  if (proc == nullptr) return found;
  while (dirent* entry = readdir(proc)) {
    const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
    if (pid <= 0) continue;
    std::string commandLine =
        desktop_test::ReadFile("/proc/" + std::string(entry->d_name) + "/cmdline");
    if (commandLine.compare(0, program.size() + 1, program + '\0') == 0) found.push_back(pid);
  }
  closedir(proc);
  return found;
}

TEST_F(XScreenSaverDaemon, FiftyActivationsInARowLeaveNoSaverBehind) {
  WriteSettings("--root --curves 3 --speed 2.5");
  ASSERT_NO_FATAL_FAILURE(StartDaemon());
  const std::regex forked("forked \"" + saver_ +
                          " --root --curves 3 --speed 2.5\" in pid ([0-9]+) on window "
                          "(0x[0-9a-f]+)");
  saver_test::XClient client;
  ASSERT_TRUE(client.Ok());
  std::set<pid_t> seen;
  int slowestEndMs = 0;
  for (int cycle = 0; cycle < 50; ++cycle) {
    SCOPED_TRACE("activation " + std::to_string(cycle + 1));
    ASSERT_EQ(Command({"xscreensaver-command", "-activate"}), 0);
    pid_t pid = 0;
    Window window = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
          const std::string log = Log();
          for (std::sregex_iterator m(log.begin(), log.end(), forked), end; m != end; ++m) {
            const pid_t p = static_cast<pid_t>(std::stol((*m)[1].str()));
            if (seen.count(p) == 0) pid = p, window = std::stoul((*m)[2].str(), nullptr, 16);
          }
          return pid != 0;
        },
        kPatienceMs, 20))
        << "the daemon did not start the saver: " << Log();
    seen.insert(pid);
    Picture picture;
    ASSERT_TRUE(WaitUntil(
        [&] { return client.Grab(window, &picture) && picture.CountDrawn(0, 0, 640, 480) > 50; },
        kPatienceMs, 20))
        << "nothing drawn";
    ASSERT_EQ(Command({"xscreensaver-command", "-deactivate"}), 0);
    // The daemon's helper sends the TERM when it gets to it, which can take it seconds.
    const std::string term = "killing pid " + std::to_string(pid) + " ";
    ASSERT_TRUE(WaitUntil([&] { return Log().find(term) != std::string::npos; }, kPatienceMs, 5))
        << "the daemon never stopped the saver: " << Log();
    const auto asked = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitUntil([&] { return Ended(pid); }, 5000, 5)) << "the saver outlived its TERM";
    const int ms = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now() - asked)
                                        .count());
    slowestEndMs = std::max(slowestEndMs, ms);
  }
  // The daemon only ever sent TERM, and each saver ended on it: none had to be killed.
  RecordProperty("slowest_end_ms", slowestEndMs);
  EXPECT_EQ(seen.size(), 50u);
  EXPECT_TRUE(WaitUntil([&] { return SaversRunning(saver_).empty(); }, 2000))
      << SaversRunning(saver_).size() << " left running";
}

}  // namespace
