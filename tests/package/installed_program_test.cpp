// The installed program, run from its installed files alone: started as its desktop entry
// says, full screen on a private X server until ESC, and the saver entry drawing into a window
// it is given. The prefix is $SPIRALS_INSTALLED_PREFIX, else /usr (the Debian package).
// GoogleTest first: Xlib defines None, a name GoogleTest uses.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xutil.h>
// clang-format on
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/desktop/xvfb/xvfb_session.h"
#include "tests/saver/x11/x_client.h"

namespace {

using desktop_test::Child;
using desktop_test::ReadFile;
using desktop_test::WaitUntil;

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kPatienceMs = 30000;
constexpr int kEndLimitMs = 2000;
constexpr uint32_t kBackground = 0x203040;
const std::string kTitle = "ZELVARI in KORVEX PRO";
const std::string kSpeedLabel = "Velocita'[ + - ] =";

std::string Prefix() {
  const char* chosen = std::getenv("SPIRALS_INSTALLED_PREFIX");
  return chosen && *chosen ? chosen : "/usr";
}

// What the installed programs find around them: the prefix's programs first on PATH, and no
// font override, so the System font comes from where the package's dependency puts it.
std::vector<std::string> InstalledEnvironment(const std::string& folder) {
  return {"PATH=" + Prefix() + "/bin:/usr/bin:/bin", "SPIRALS_SYSTEM_FONT=", "XSCREENSAVER_WINDOW=",
          "SPIRALS_TEXT_LOG=" + folder + "/text.log"};
}

// The program a desktop finds for a command name on that PATH ("" when none).
std::string OnInstalledPath(const std::string& name) {
  if (name.find('/') != std::string::npos) return name;
  std::istringstream folders(Prefix() + "/bin:/usr/bin:/bin");
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    const std::string candidate = folder + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

class InstalledProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(xvfb_.Start(kScreenWidth, kScreenHeight, &error)) << error;
    folder_ = desktop_test::MakeTempFolder();
  }
  void TearDown() override {
    program_.Kill();
    for (const char* name : {"/stderr.txt", "/text.log"}) unlink((folder_ + name).c_str());
    rmdir(folder_.c_str());
  }
  std::string Stderr() const { return ReadFile(folder_ + "/stderr.txt"); }
  bool StatusLineDrawn() const {
    return ReadFile(folder_ + "/text.log").find(kSpeedLabel) != std::string::npos;
  }
  // Waits for the exit the test asked for: exit code 0 within the limit.
  void ExpectCleanExit() {
    int status = 0;
    ASSERT_TRUE(program_.WaitExit(kEndLimitMs, &status))
        << "still running " << kEndLimitMs << " ms after it was asked to end";
    ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << Stderr();
  }

  desktop_test::XvfbSession xvfb_;
  Child program_;
  std::string folder_;
};

TEST_F(InstalledProgram, StartsAsItsDesktopEntrySaysAndEndsWithEscape) {
  const std::string entry = ReadFile(Prefix() + "/share/applications/spirals.desktop");
  std::istringstream lines(entry);
  std::string line, exec;
  while (std::getline(lines, line))
    if (line.rfind("Exec=", 0) == 0) exec = line.substr(5);
  ASSERT_FALSE(exec.empty()) << "no Exec line in the desktop entry";
  ASSERT_EQ(exec.find_first_of(" %"), std::string::npos) << "Exec takes no arguments: " << exec;
  const std::string program = OnInstalledPath(exec);
  ASSERT_EQ(program, exec.find('/') == std::string::npos ? Prefix() + "/bin/" + exec : exec)
      << "the desktop entry's " << exec << " is not the installed program";
  ASSERT_TRUE(program_.Start({program}, InstalledEnvironment(folder_), folder_ + "/stderr.txt"));

  std::string window;
  ASSERT_TRUE(WaitUntil(
      [&] {
        std::string out;
        if (desktop_test::Run({"xdotool", "search", "--name", "^" + kTitle + "$"}, &out) != 0)
          return false;
        std::istringstream in(out);
        return static_cast<bool>(std::getline(in, window)) && !window.empty();
      },
      kPatienceMs, 100))
      << "no window titled \"" << kTitle << "\"; stderr: " << Stderr();
  ASSERT_TRUE(WaitUntil([&] { return StatusLineDrawn(); }, kPatienceMs)) << "no status line";

  // Full screen, and curves on it.
  desktop_test::Image screen;
  ASSERT_TRUE(WaitUntil(
      [&] {
        if (!desktop_test::Screenshot(&screen)) return false;
        int lit = 0;
        for (int y = 40; y < screen.height; ++y)
          for (int x = 0; x < screen.width; ++x) lit += screen.At(x, y) != 0;
        return lit > 200;
      },
      kPatienceMs, 100))
      << "no curves below the status line";
  EXPECT_EQ(screen.width, kScreenWidth);

  ASSERT_EQ(desktop_test::Run({"xdotool", "windowfocus", "--sync", window}), 0);
  ASSERT_EQ(desktop_test::Run({"xdotool", "key", "Escape"}), 0);
  ExpectCleanExit();
  // Nothing to say: the System font was where the package's dependency puts it.
  EXPECT_EQ(Stderr(), "");
}

TEST_F(InstalledProgram, SaverEntryDrawsIntoTheWindowItIsGiven) {
  saver_test::XClient client;
  ASSERT_TRUE(client.Ok());
  const Window lender = client.MakeWindow(30, 20, 320, 240, kBackground);
  const std::string saver = Prefix() + "/libexec/xscreensaver/spirals";
  ASSERT_TRUE(program_.Start({saver, "--window-id", saver_test::Hex(lender)},
                             InstalledEnvironment(folder_), folder_ + "/stderr.txt"));
  ASSERT_TRUE(WaitUntil(
      [&] {
        saver_test::Picture p;
        return client.Grab(lender, &p) && p.CountColour(kBackground) == 0 &&
               p.CountDrawn(110, 70, 210, 170, kBackground) > 20;
      },
      kPatienceMs, 100))
      << "no curves around the window's centre; stderr: " << Stderr();
  EXPECT_FALSE(StatusLineDrawn()) << "a saver shows no status line";
  kill(program_.Pid(), SIGTERM);
  ExpectCleanExit();
  EXPECT_EQ(Stderr(), "");
  client.Destroy(lender);
}

TEST_F(InstalledProgram, SaverEntryRefusesAWindowThatIsNotThere) {
  const std::string saver = Prefix() + "/libexec/xscreensaver/spirals";
  // The root window of this display is 0x...: an id far past every window's.
  ASSERT_TRUE(program_.Start({saver, "--window-id", "0x7ffffff0"}, InstalledEnvironment(folder_),
                             folder_ + "/stderr.txt"));
  int status = 0;
  ASSERT_TRUE(program_.WaitExit(kPatienceMs, &status));
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 2);
  const std::string text = Stderr();
  EXPECT_EQ(text.rfind("spirals: ", 0), 0u) << text;
  EXPECT_EQ(text.find('\n'), text.size() - 1) << "one line: " << text;
}

}  // namespace
