// Semaphores and mutexes with one thread, timed on the default host's virtual clock.
#include <gtest/gtest.h>

#include "platform/portable/kernel/host.h"
#include "platform/win32.h"

namespace {

uint64_t Now() { return portable::CurrentHost().GetClock().NowMs(); }

class SemaphoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    portable::SetHost(nullptr);
    semaphore_ = CreateSemaphoreA(nullptr, 2, 3, "");
    ASSERT_NE(semaphore_, nullptr);
  }
  void TearDown() override { CloseHandle(semaphore_); }

  HANDLE semaphore_ = nullptr;
};

TEST_F(SemaphoreTest, WaitsTakeUnitsThenTimeOutOnTheClock) {
  uint64_t start = Now();
  EXPECT_EQ(WaitForSingleObject(semaphore_, 200), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(semaphore_, 200), WAIT_OBJECT_0);
  EXPECT_EQ(Now(), start);  // units were there: no time passes
  EXPECT_EQ(WaitForSingleObject(semaphore_, 200), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(Now(), start + 200);
  EXPECT_EQ(WaitForSingleObject(semaphore_, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(Now(), start + 200);
}

TEST_F(SemaphoreTest, TickCountSeesTheTimedOutWait) {
  WaitForSingleObject(semaphore_, 0);
  WaitForSingleObject(semaphore_, 0);
  DWORD before = GetTickCount();
  WaitForSingleObject(semaphore_, 75);
  EXPECT_EQ(GetTickCount() - before, 75u);
}

TEST_F(SemaphoreTest, InfiniteWaitOnAnEmptySemaphoreFailsInsteadOfHanging) {
  WaitForSingleObject(semaphore_, 0);
  WaitForSingleObject(semaphore_, 0);
  uint64_t start = Now();
  SetLastError(0);
  EXPECT_EQ(WaitForSingleObject(semaphore_, INFINITE), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_POSSIBLE_DEADLOCK));
  EXPECT_EQ(Now(), start);
}

TEST_F(SemaphoreTest, ReleaseReportsThePreviousCountAndStopsAtTheMaximum) {
  LONG previous = -1;
  EXPECT_TRUE(ReleaseSemaphore(semaphore_, 1, &previous));
  EXPECT_EQ(previous, 2);
  previous = -1;
  SetLastError(0);
  EXPECT_FALSE(ReleaseSemaphore(semaphore_, 1, &previous));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TOO_MANY_POSTS));
  EXPECT_EQ(previous, -1);
  // Still exactly three units.
  for (int i = 0; i < 3; ++i) EXPECT_EQ(WaitForSingleObject(semaphore_, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(semaphore_, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  // A release that would overshoot changes nothing, even when part of it would fit.
  EXPECT_FALSE(ReleaseSemaphore(semaphore_, 4, nullptr));
  EXPECT_TRUE(ReleaseSemaphore(semaphore_, 3, &previous));
  EXPECT_EQ(previous, 0);
}

TEST_F(SemaphoreTest, BadArgumentsAreRefused) {
  SetLastError(0);
  EXPECT_FALSE(ReleaseSemaphore(semaphore_, 0, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(ReleaseSemaphore(semaphore_, -1, nullptr));
  EXPECT_EQ(CreateSemaphoreA(nullptr, 4, 3, nullptr), nullptr);
  EXPECT_EQ(CreateSemaphoreA(nullptr, -1, 3, nullptr), nullptr);
  EXPECT_EQ(CreateSemaphoreA(nullptr, 0, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(SemaphoreTest, EmptyNamesMakeSeparateObjects) {
  HANDLE other = CreateSemaphoreA(nullptr, 0, 1, "");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_NE(other, semaphore_);
  EXPECT_EQ(WaitForSingleObject(other, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(WaitForSingleObject(semaphore_, 0), WAIT_OBJECT_0);
  CloseHandle(other);
}

TEST(NamedObjects, SameNameOpensTheSameObject) {
  HANDLE a = CreateSemaphoreA(nullptr, 1, 1, "spirals-test-draw");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  HANDLE b = CreateSemaphoreA(nullptr, 0, 5, "spirals-test-draw");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  EXPECT_EQ(WaitForSingleObject(b, 0), WAIT_OBJECT_0);  // a's unit
  EXPECT_EQ(WaitForSingleObject(a, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  // Another kind under that name is refused.
  EXPECT_EQ(CreateMutexA(nullptr, FALSE, "spirals-test-draw"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  CloseHandle(a);
  CloseHandle(b);
  // Once every handle is closed the name is free again.
  HANDLE c = CreateSemaphoreA(nullptr, 0, 1, "spirals-test-draw");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(WaitForSingleObject(c, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  CloseHandle(c);
}

TEST(Mutex, RecursiveOwnershipByTheOneThread) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, "");
  ASSERT_NE(mutex, nullptr);
  SetLastError(0);
  EXPECT_FALSE(ReleaseMutex(mutex));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_OWNER));
  uint64_t start = Now();
  EXPECT_EQ(WaitForSingleObject(mutex, 200), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(mutex, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(Now(), start);
  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_FALSE(ReleaseMutex(mutex));
  EXPECT_TRUE(CloseHandle(mutex));
}

TEST(Mutex, InitialOwnerNeedsOneRelease) {
  HANDLE mutex = CreateMutexA(nullptr, TRUE, nullptr);
  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_FALSE(ReleaseMutex(mutex));
  CloseHandle(mutex);
}

TEST(KernelHandles, InvalidOrClosedHandlesFailWithoutHarm) {
  HANDLE semaphore = CreateSemaphoreA(nullptr, 1, 1, nullptr);
  HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
  EXPECT_TRUE(CloseHandle(semaphore));
  int local = 0;
  for (HANDLE bad : {semaphore, static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE,
                     static_cast<HANDLE>(&local)}) {
    SetLastError(0);
    EXPECT_EQ(WaitForSingleObject(bad, 10), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(ReleaseSemaphore(bad, 1, nullptr));
    EXPECT_FALSE(ReleaseMutex(bad));
    EXPECT_FALSE(CloseHandle(bad));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  }
  // Each kind refuses the other's release.
  HANDLE live = CreateSemaphoreA(nullptr, 0, 1, nullptr);
  EXPECT_FALSE(ReleaseMutex(live));
  EXPECT_FALSE(ReleaseSemaphore(mutex, 1, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  CloseHandle(live);
  CloseHandle(mutex);
}

}  // namespace
