// The layer's heaps and global memory own their blocks and count them.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/portable/diagnostics.h"
#include "platform/win32.h"

namespace {

class KernelHeapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    heap_ = HeapCreate(0, 0xFFFF, 0);
    ASSERT_NE(heap_, nullptr);
  }
  void TearDown() override {
    if (heap_) HeapDestroy(heap_);
  }
  portable::HeapUsage Usage() const { return portable::QueryHeapUsage(heap_); }

  HANDLE heap_ = nullptr;
};

TEST_F(KernelHeapTest, CountsLiveBlocksAndBytes) {
  EXPECT_EQ(Usage().blocks, 0u);
  void* a = HeapAlloc(heap_, 0, 10);
  void* b = HeapAlloc(heap_, HEAP_ZERO_MEMORY, 30);
  EXPECT_EQ(Usage().blocks, 2u);
  EXPECT_EQ(Usage().bytes, 40u);
  EXPECT_EQ(HeapSize(heap_, 0, b), 30u);
  EXPECT_TRUE(HeapFree(heap_, 0, a));
  EXPECT_EQ(Usage().blocks, 1u);
  EXPECT_EQ(Usage().bytes, 30u);
  EXPECT_TRUE(HeapFree(heap_, 0, b));
  EXPECT_EQ(Usage().bytes, 0u);
}

// The shape of one status line: pieces measured, joined into fresh blocks, the temporaries
// freed as soon as they are joined, the finished line parked and released at the end.
TEST_F(KernelHeapTest, StatusLineLikeSequenceLeavesNothingBehind) {
  const char* pieces[] = {" Velocita: ", "7", "  Spirali: ", "11", "   (ESC esce)"};
  portable::HeapUsage before = Usage();
  for (int line = 0; line < 50; ++line) {
    char* joined = static_cast<char*>(HeapAlloc(heap_, HEAP_ZERO_MEMORY, 1));
    for (const char* piece : pieces) {
      size_t n = std::strlen(piece);
      char* temp = static_cast<char*>(HeapAlloc(heap_, HEAP_ZERO_MEMORY, n + 1));
      std::memcpy(temp, piece, n + 1);
      size_t have = std::strlen(joined);
      char* next = static_cast<char*>(HeapAlloc(heap_, HEAP_ZERO_MEMORY, have + n + 1));
      std::memcpy(next, joined, have);
      std::memcpy(next + have, temp, n + 1);
      ASSERT_TRUE(HeapFree(heap_, 0, temp));
      ASSERT_TRUE(HeapFree(heap_, 0, joined));
      joined = next;
    }
    EXPECT_EQ(Usage().blocks, before.blocks + 1);
    ASSERT_TRUE(HeapFree(heap_, 0, joined));
    ASSERT_EQ(Usage().blocks, before.blocks);
    ASSERT_EQ(Usage().bytes, before.bytes);
  }
}

TEST_F(KernelHeapTest, ZeroFillHoldsForReusedMemory) {
  for (int round = 0; round < 20; ++round) {
    auto* block = static_cast<unsigned char*>(HeapAlloc(heap_, HEAP_ZERO_MEMORY, 48));
    for (int i = 0; i < 48; ++i) ASSERT_EQ(block[i], 0);
    std::memset(block, 0x5A, 48);
    HeapFree(heap_, 0, block);
  }
}

TEST_F(KernelHeapTest, ZeroByteBlocksAreUnique) {
  void* a = HeapAlloc(heap_, 0, 0);
  void* b = HeapAlloc(heap_, 0, 0);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  EXPECT_EQ(HeapSize(heap_, 0, a), 0u);
  EXPECT_EQ(Usage().blocks, 2u);
}

TEST_F(KernelHeapTest, ForeignPointersAreRefusedAndNothingIsFreed) {
  void* mine = HeapAlloc(heap_, 0, 8);
  HANDLE other = HeapCreate(0, 0, 0);
  void* theirs = HeapAlloc(other, 0, 8);
  int onStack = 0;

  SetLastError(0);
  EXPECT_FALSE(HeapFree(heap_, 0, theirs));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(HeapFree(heap_, 0, &onStack));
  EXPECT_EQ(Usage().blocks, 1u);
  EXPECT_EQ(portable::QueryHeapUsage(other).blocks, 1u);
  EXPECT_TRUE(HeapValidate(other, 0, theirs));
  EXPECT_FALSE(HeapValidate(heap_, 0, theirs));
  EXPECT_TRUE(HeapFree(heap_, 0, nullptr));

  EXPECT_TRUE(HeapFree(heap_, 0, mine));
  EXPECT_FALSE(HeapFree(heap_, 0, mine));  // twice is refused, not a double free
  HeapDestroy(other);
}

TEST_F(KernelHeapTest, DestroyFreesWhatIsLeft) {
  for (int i = 0; i < 100; ++i) HeapAlloc(heap_, HEAP_ZERO_MEMORY, static_cast<SIZE_T>(i * 3));
  EXPECT_EQ(Usage().blocks, 100u);
  EXPECT_TRUE(HeapDestroy(heap_));
  // The handle is gone; the sanitizer run would report the blocks if they had leaked.
  EXPECT_EQ(Usage().blocks, 0u);
  EXPECT_EQ(HeapAlloc(heap_, 0, 4), nullptr);
  EXPECT_FALSE(HeapDestroy(heap_));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  heap_ = nullptr;
}

TEST_F(KernelHeapTest, InvalidHandlesFailCleanly) {
  int notAHeap = 0;
  for (HANDLE bad :
       {static_cast<HANDLE>(nullptr), static_cast<HANDLE>(&notAHeap), INVALID_HANDLE_VALUE}) {
    EXPECT_EQ(HeapAlloc(bad, 0, 4), nullptr);
    EXPECT_FALSE(HeapFree(bad, 0, &notAHeap));
    EXPECT_EQ(HeapCompact(bad, 0), 0u);
    EXPECT_EQ(HeapSize(bad, 0, &notAHeap), static_cast<SIZE_T>(-1));
    EXPECT_FALSE(HeapValidate(bad, 0, nullptr));
    EXPECT_FALSE(HeapDestroy(bad));
  }
}

TEST_F(KernelHeapTest, FixedSizeHeapRefusesBeyondItsMaximum) {
  HANDLE fixed = HeapCreate(0, 0, 1000);
  void* a = HeapAlloc(fixed, 0, 600);
  ASSERT_NE(a, nullptr);
  SetLastError(0);
  EXPECT_EQ(HeapAlloc(fixed, 0, 600), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_EQ(HeapCompact(fixed, 0), 400u);
  EXPECT_EQ(portable::HeapCompactions(fixed), 1u);
  HeapFree(fixed, 0, a);
  EXPECT_NE(HeapAlloc(fixed, 0, 600), nullptr);
  HeapDestroy(fixed);
  EXPECT_EQ(HeapCreate(0, 2000, 1000), nullptr);
}

TEST_F(KernelHeapTest, HugeRequestsFailWithoutReachingTheAllocator) {
  EXPECT_EQ(HeapAlloc(heap_, HEAP_ZERO_MEMORY, static_cast<SIZE_T>(-1)), nullptr);
  EXPECT_EQ(HeapAlloc(heap_, 0, static_cast<SIZE_T>(1) << 31), nullptr);
  EXPECT_EQ(GlobalAlloc(GMEM_ZEROINIT, static_cast<SIZE_T>(-16)), nullptr);
  EXPECT_EQ(Usage().blocks, 0u);
}

TEST(KernelGlobalMemory, FixedZeroedBlocksAreCounted) {
  size_t before = portable::LiveGlobalBlocks();
  auto* a = static_cast<unsigned char*>(GlobalAlloc(GMEM_ZEROINIT, 12));
  void* b = GlobalAlloc(GMEM_ZEROINIT, 0);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(static_cast<void*>(a), b);
  EXPECT_EQ(portable::LiveGlobalBlocks(), before + 2);
  EXPECT_EQ(GlobalSize(a), 12u);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(a[i], 0);
  EXPECT_EQ(GlobalFree(a), nullptr);
  EXPECT_EQ(GlobalFree(b), nullptr);
  EXPECT_EQ(portable::LiveGlobalBlocks(), before);
}

TEST(KernelGlobalMemory, FreeingWhatIsNotABlockHandsItBack) {
  size_t before = portable::LiveGlobalBlocks();
  int onStack = 0;
  SetLastError(0);
  EXPECT_EQ(GlobalFree(&onStack), &onStack);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(GlobalFree(nullptr), nullptr);
  void* a = GlobalAlloc(GMEM_ZEROINIT, 4);
  EXPECT_EQ(GlobalFree(a), nullptr);
  EXPECT_EQ(GlobalFree(a), a);  // the second free is refused
  EXPECT_EQ(GlobalSize(a), 0u);
  EXPECT_EQ(portable::LiveGlobalBlocks(), before);
}

}  // namespace
