// One animation per monitor, played with spirals-split.scr, whose monitors are the two halves
// of the virtual screen: a window and a process on each, centred there, ending together.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "saver_harness.h"

namespace {

using namespace saver_test;

constexpr char kSplit[] = SPLIT_FILE;
constexpr char kKey[] = "Software\\Spirals\\Screen Saver";

struct Member {
  HWND window;
  DWORD process;
  RECT rect;
};

// The saver windows on the screen whose processes are `leader` or were started by it.
std::vector<Member> Members(DWORD leader) {
  std::vector<Member> found;
  for (HWND w : WindowsOf(leader)) found.push_back({w, leader, {}});
  HWND w = nullptr;
  while ((w = FindWindowExA(nullptr, w, "KorvexWndClass", kTitle)) != nullptr) {
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    if (process != leader && IsWindowVisible(w)) found.push_back({w, process, {}});
  }
  for (Member& m : found) GetWindowRect(m.window, &m.rect);
  return found;
}

// A process of the group that the test did not start, opened to watch its end.
class Watched {
 public:
  explicit Watched(DWORD id)
      : handle_(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, id)) {}
  ~Watched() {
    if (handle_ != nullptr) CloseHandle(handle_);
  }
  bool Ok() const { return handle_ != nullptr; }
  DWORD WaitExit(DWORD ms) {
    PumpUntil([&] { return WaitForSingleObject(handle_, 0) != WAIT_TIMEOUT; }, ms);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(handle_, &code);
    return code;
  }

 private:
  HANDLE handle_;
};

class Monitors : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    screen_ = VirtualScreen();
    middle_ = screen_.left + (screen_.right - screen_.left) / 2;
    halves_[0] = RECT{screen_.left, screen_.top, middle_, screen_.bottom};
    halves_[1] = RECT{middle_, screen_.top, screen_.right, screen_.bottom};
  }
  void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, kKey); }

  // Starts the split saver and waits for a window on each half; the copy's id in *copy.
  void StartOnBothHalves(SaverProcess& saver, DWORD* copy) {
    SetCursorPos(halves_[0].left + 100, halves_[0].top + 100);
    PumpFor(200);
    ASSERT_TRUE(saver.Start("/s", kSplit));
    std::vector<Member> members;
    ASSERT_TRUE(PumpUntil([&] { return (members = Members(saver.Id())).size() == 2; }, kPatienceMs))
        << "not two saver windows";
    const Member& first = members[0].process == saver.Id() ? members[0] : members[1];
    const Member& other = members[0].process == saver.Id() ? members[1] : members[0];
    ASSERT_NE(other.process, saver.Id()) << "one process a monitor";
    EXPECT_TRUE(EqualRect(&first.rect, &halves_[0])) << "the first process on the first half";
    EXPECT_TRUE(EqualRect(&other.rect, &halves_[1])) << "its copy on the second";
    for (const Member& m : members) {
      EXPECT_TRUE(GetWindowLongA(m.window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    }
    *copy = other.process;
  }

  // The mean position of the drawn pixels in `half`, leaving out its top-left corner, where
  // the first drawing step lands before the window knows its size.
  static POINT DrawnCentre(const RECT& half) {
    const std::vector<uint32_t> pixels = GrabScreen(half);
    const int width = half.right - half.left;
    int64_t sx = 0, sy = 0, n = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
      const int x = static_cast<int>(i % width);
      const int y = static_cast<int>(i / width);
      if (pixels[i] == 0 || pixels[i] == 0xFFFFFF || (x < 120 && y < 120)) continue;
      sx += x, sy += y, ++n;
    }
    if (n == 0) return POINT{-1, -1};
    return POINT{half.left + static_cast<LONG>(sx / n), half.top + static_cast<LONG>(sy / n)};
  }

  RECT screen_{};
  LONG middle_ = 0;
  RECT halves_[2]{};
};

TEST_F(Monitors, EachHalfGetsItsOwnCentredAnimationAndAMoveOnOneEndsBoth) {
  SaverProcess saver;
  DWORD copyId = 0;
  ASSERT_NO_FATAL_FAILURE(StartOnBothHalves(saver, &copyId));
  Watched copy(copyId);
  ASSERT_TRUE(copy.Ok());
  // Curves around each half's centre, none astride the seam between them.
  PumpFor(1500);
  for (const RECT& half : halves_) {
    const POINT c = DrawnCentre(half);
    const LONG cx = (half.left + half.right) / 2;
    const LONG cy = (half.top + half.bottom) / 2;
    EXPECT_LT(std::abs(c.x - cx), 40) << "drawn around x " << c.x << ", not " << cx;
    EXPECT_LT(std::abs(c.y - cy), 40) << "drawn around y " << c.y << ", not " << cy;
  }
  const LONG sy = (screen_.top + screen_.bottom) / 2;
  EXPECT_LT(DrawnOnScreen(RECT{middle_ - 20, sy - 20, middle_ + 20, sy + 20}), 40)
      << "the middle of the whole screen is no centre";

  // A move on the copy's half ends both.
  SetCursorPos(halves_[1].left + 200, halves_[1].top + 200);
  PumpFor(300);
  MoveMouseTo(halves_[1].left + 260, halves_[1].top + 200);
  EXPECT_EQ(copy.WaitExit(10000), 0u);
  EXPECT_EQ(saver.WaitExit(10000), 0u);
}

TEST_F(Monitors, AKeyOnTheFirstEndsBoth) {
  SaverProcess saver;
  DWORD copyId = 0;
  ASSERT_NO_FATAL_FAILURE(StartOnBothHalves(saver, &copyId));
  Watched copy(copyId);
  PumpFor(500);
  ASSERT_TRUE(saver.Running()) << "the copy's window did not end the first by taking activation";
  PressKey('A');
  EXPECT_EQ(saver.WaitExit(10000), 0u);
  EXPECT_EQ(copy.WaitExit(10000), 0u);
}

TEST_F(Monitors, TheCopyEndsWithinASecondWhenTheFirstIsKilled) {
  SaverProcess saver;
  DWORD copyId = 0;
  ASSERT_NO_FATAL_FAILURE(StartOnBothHalves(saver, &copyId));
  Watched copy(copyId);
  PumpFor(300);
  const DWORD killed = GetTickCount();
  TerminateProcess(saver.Handle(), 9);
  EXPECT_EQ(copy.WaitExit(5000), 0u);
  const DWORD ms = GetTickCount() - killed;
  EXPECT_LT(ms, 1000u) << "the copy outlived the first by " << ms << " ms";
  RecordProperty("copy_end_ms", static_cast<int>(ms));
}

TEST_F(Monitors, AcrossAllMonitorsIsOneWindowOverBoth) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  const DWORD across = 1;
  RegSetValueExA(key, "Monitors", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&across),
                 sizeof across);
  RegCloseKey(key);
  SaverProcess saver;
  ASSERT_TRUE(saver.Start("/s", kSplit));
  std::vector<Member> members;
  ASSERT_TRUE(PumpUntil([&] { return !(members = Members(saver.Id())).empty(); }, kPatienceMs));
  PumpFor(500);
  members = Members(saver.Id());
  ASSERT_EQ(members.size(), 1u) << "one window, one process";
  EXPECT_TRUE(EqualRect(&members[0].rect, &screen_));
  PressKey('A');
  EXPECT_EQ(saver.WaitExit(10000), 0u);
}

}  // namespace
