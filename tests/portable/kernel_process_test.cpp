// Standard output, the tick count, the module handle, the last error and the process exit.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/portable/kernel/host.h"
#include "platform/win32.h"

namespace {

// Runs `write` with file descriptor `fd` sent into a pipe, and returns what arrived.
template <typename Write>
std::string Capture(int fd, Write write) {
  std::fflush(nullptr);
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return "<no pipe>";
  int saved = dup(fd);
  dup2(pipeFds[1], fd);
  close(pipeFds[1]);
  write();
  dup2(saved, fd);
  close(saved);
  std::string out;
  char buffer[256];
  ssize_t n;
  while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0)
    out.append(buffer, static_cast<size_t>(n));
  close(pipeFds[0]);
  return out;
}

TEST(WriteFile, WritesEveryByteToStandardOutput) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  ASSERT_NE(out, nullptr);
  ASSERT_NE(out, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetStdHandle(STD_OUTPUT_HANDLE), out);
  const char text[] = "Velocita: 3\r\n\0tail";
  DWORD written = 12345;
  BOOL ok = FALSE;
  std::string got =
      Capture(1, [&] { ok = WriteFile(out, text, sizeof text - 1, &written, nullptr); });
  EXPECT_TRUE(ok);
  EXPECT_EQ(written, sizeof text - 1);
  EXPECT_EQ(got, std::string(text, sizeof text - 1));
}

TEST(WriteFile, KeepsOrderWithBufferedStdio) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  std::string got = Capture(1, [&] {
    std::fputs("first ", stdout);
    WriteFile(out, "second", 6, nullptr, nullptr);
  });
  EXPECT_EQ(got, "first second");
}

TEST(WriteFile, StandardErrorAndEmptyWrites) {
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  EXPECT_NE(err, GetStdHandle(STD_OUTPUT_HANDLE));
  DWORD written = 9;
  std::string got = Capture(2, [&] {
    EXPECT_TRUE(WriteFile(err, "oops", 4, &written, nullptr));
    EXPECT_TRUE(WriteFile(err, "", 0, &written, nullptr));
  });
  EXPECT_EQ(got, "oops");
  EXPECT_EQ(written, 0u);
}

TEST(WriteFile, RefusesWhatIsNotAWritableStream) {
  DWORD written = 7;
  HANDLE semaphore = CreateSemaphoreA(nullptr, 1, 1, nullptr);
  for (HANDLE bad : {static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE, semaphore}) {
    SetLastError(0);
    EXPECT_FALSE(WriteFile(bad, "x", 1, &written, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(written, 0u);
  }
  CloseHandle(semaphore);
  EXPECT_FALSE(WriteFile(GetStdHandle(STD_INPUT_HANDLE), "x", 1, &written, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), nullptr, 3, &written, nullptr));
  EXPECT_EQ(GetStdHandle(static_cast<DWORD>(-99)), INVALID_HANDLE_VALUE);
}

// A host whose clock is its own and whose tick count starts just below the wrap.
class WrappingHost final : public portable::Host {
 public:
  portable::Clock& GetClock() override { return clock_; }
  uint32_t TickBase() const override { return 0xFFFFFFF0u; }
  SIZE ScreenSize() const override { return SIZE{640, 480}; }
  void PollInput() override {}
  void WaitForInput(std::optional<uint64_t>) override {}
  void TopLevelCreated(HWND, int, int) override {}
  void TopLevelResized(HWND, int, int) override {}
  void TopLevelDestroyed(HWND) override {}
  void PixelsChanged(HWND, const RECT&) override {}
  void ProcessExiting(UINT exitCode) override {
    std::fprintf(stderr, "host saw exit %u\n", exitCode);
  }

 private:
  portable::VirtualClock clock_;
};

TEST(GetTickCount, FollowsTheHostClockAndWraps) {
  WrappingHost host;
  portable::SetHost(&host);
  EXPECT_EQ(GetTickCount(), 0xFFFFFFF0u);
  Sleep(15);
  EXPECT_EQ(GetTickCount(), 0xFFFFFFFFu);
  Sleep(0x21);
  EXPECT_EQ(GetTickCount(), 0x20u);
  EXPECT_EQ(host.GetClock().NowMs(), 0x30u);
  portable::SetHost(nullptr);
}

TEST(ExitProcessDeathTest, TellsTheHostThenExitsWithTheCode) {
  EXPECT_EXIT(
      {
        WrappingHost host;
        portable::SetHost(&host);
        ExitProcess(3);
      },
      ::testing::ExitedWithCode(3), "host saw exit 3");
}

TEST(GetModuleHandleA, OnlyTheProgramItself) {
  HMODULE self = GetModuleHandleA(nullptr);
  EXPECT_NE(self, nullptr);
  EXPECT_EQ(GetModuleHandleA(nullptr), self);
  SetLastError(0);
  EXPECT_EQ(GetModuleHandleA("user32.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST(LastError, KeepsTheLastValueSet) {
  SetLastError(1234);
  EXPECT_EQ(GetLastError(), 1234u);
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(GetLastError(), 0u);
}

}  // namespace
