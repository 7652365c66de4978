#include <cstring>
#include <vector>

#include "core_test_support.h"
#include "runtime/core/strings.h"

namespace {

using RuntimeHeapTest = CoreTest;

TEST_F(RuntimeHeapTest, SecondCreateKeepsHeapAndStack) {
  HANDLE heap = RuntimeHeap;
  char* s = SpaceString(3);
  TempStringPush(s);
  EXPECT_EQ(RuntimeHeapCreate(), 1);
  EXPECT_EQ(RuntimeHeap, heap);
  EXPECT_EQ(TempStringStack.count, 1);
  EXPECT_EQ(TempStringStack.slots[0], s);
}

TEST_F(RuntimeHeapTest, ZeroByteBlocksAreRealAndDistinct) {
  void* a = RuntimeHeapAlloc(0);
  void* b = RuntimeHeapAlloc(0);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  EXPECT_TRUE(IsLiveBlock(a));
  EXPECT_NE(RuntimeHeapFree(a), 0);
  EXPECT_NE(RuntimeHeapFree(b), 0);
}

TEST_F(RuntimeHeapTest, BlocksAreZeroFilledEvenWhenReused) {
  for (int32_t size : {1, 7, 16, 64, 255, 4096}) {
    for (int round = 0; round < 3; ++round) {
      auto* block = static_cast<unsigned char*>(RuntimeHeapAlloc(size));
      ASSERT_NE(block, nullptr);
      EXPECT_EQ(HeapSize(RuntimeHeap, 0, block), static_cast<SIZE_T>(size));
      for (int32_t i = 0; i < size; ++i) ASSERT_EQ(block[i], 0) << size << " at " << i;
      std::memset(block, 0xAB, static_cast<size_t>(size));
      RuntimeHeapFree(block);
    }
  }
}

TEST_F(RuntimeHeapTest, FreeReportsWhatItDid) {
  void* block = RuntimeHeapAlloc(10);
  ASSERT_TRUE(IsLiveBlock(block));
  EXPECT_NE(RuntimeHeapFree(block), 0);
  EXPECT_EQ(RuntimeHeapFree(nullptr), 0);
}

TEST_F(RuntimeHeapTest, NegativeSizeGetsNoBlock) {
  EXPECT_EQ(RuntimeHeapAlloc(-1), nullptr);
  EXPECT_EQ(RuntimeHeapAlloc(INT32_MIN), nullptr);
}

TEST_F(RuntimeHeapTest, RefusedTwiceGivesNullAndTheHeapStaysUsable) {
  SmallRuntimeHeap small;
  EXPECT_EQ(RuntimeHeapAlloc(SmallRuntimeHeap::kTooLarge), nullptr);
  void* block = RuntimeHeapAlloc(100);
  EXPECT_NE(block, nullptr);
  RuntimeHeapFree(block);
}

TEST_F(RuntimeHeapTest, WithoutAHeapNothingHappens) {
  NoRuntimeHeap none;
  EXPECT_EQ(RuntimeHeapAlloc(8), nullptr);
  EXPECT_EQ(RuntimeHeapFree(reinterpret_cast<void*>(0x1000)), 0);
  EXPECT_EQ(RuntimeHeapDestroy(), 0);
  EXPECT_EQ(SpaceString(4), nullptr);
}

TEST_F(RuntimeHeapTest, SpaceStrings) {
  for (int32_t n : {0, -5}) {
    char* s = SpaceString(n);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(HeapSize(RuntimeHeap, 0, s), 1u);
    EXPECT_EQ(s[0], '\0');
    RuntimeHeapFree(s);
  }
  char* s = SpaceString(255);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(StringLength(s), 255);
  EXPECT_EQ(std::string(s), std::string(255, ' '));
  RuntimeHeapFree(s);
}

TEST_F(RuntimeHeapTest, SpaceStringRefusedIsNull) {
  SmallRuntimeHeap small;
  EXPECT_EQ(SpaceString(SmallRuntimeHeap::kTooLarge), nullptr);
}

using TempStringTest = CoreTest;

TEST_F(TempStringTest, PushesBeyondOneHundredAreIgnored) {
  std::vector<char*> strings;
  for (int i = 0; i < 101; ++i) {
    strings.push_back(SpaceString(i % 5));
    TempStringPush(strings.back());
  }
  EXPECT_EQ(TempStringStack.count, 100);
  EXPECT_EQ(TempStringStack.slots[99], strings[99]);

  // The pop frees the hundredth string; the hundred-and-first is still the caller's.
  TempStringPop(1);
  EXPECT_EQ(TempStringStack.count, 99);
  EXPECT_FALSE(IsLiveBlock(strings[99]));
  EXPECT_TRUE(IsLiveBlock(strings[100]));
  EXPECT_TRUE(IsLiveBlock(strings[98]));
  RuntimeHeapFree(strings[100]);

  TempStringClear();
  EXPECT_EQ(TempStringStack.count, 0);
  EXPECT_FALSE(IsLiveBlock(strings[0]));
  EXPECT_FALSE(IsLiveBlock(strings[98]));
}

TEST_F(TempStringTest, PopsNewestFirstAndStopsWhenEmpty) {
  char* a = SpaceString(1);
  char* b = SpaceString(2);
  char* c = SpaceString(3);
  TempStringPush(a);
  TempStringPush(b);
  TempStringPush(c);
  TempStringPop(1);
  EXPECT_EQ(TempStringStack.count, 2);
  EXPECT_FALSE(IsLiveBlock(c));
  EXPECT_TRUE(IsLiveBlock(a));
  EXPECT_TRUE(IsLiveBlock(b));

  TempStringPop(0);
  TempStringPop(-3);
  EXPECT_EQ(TempStringStack.count, 2);
  EXPECT_TRUE(IsLiveBlock(b));

  TempStringPop(5);
  EXPECT_EQ(TempStringStack.count, 0);
  EXPECT_FALSE(IsLiveBlock(a));
  EXPECT_FALSE(IsLiveBlock(b));
  TempStringPop(1);
  EXPECT_EQ(TempStringStack.count, 0);
}

TEST_F(TempStringTest, ParkedNullIsHarmless) {
  TempStringPush(nullptr);
  EXPECT_EQ(TempStringStack.count, 1);
  TempStringPop(1);
  EXPECT_EQ(TempStringStack.count, 0);
}

}  // namespace
