// Shared set-up for the core runtime tests. The runtime keeps process-wide state, so every
// test starts from a live heap, an empty temporary-string stack and a fixed random seed.
#pragma once

#include <gtest/gtest.h>

#include "platform/win32.h"
#include "runtime/core/heap.h"
#include "runtime/core/numeric.h"

class CoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!RuntimeHeap) {
      ASSERT_EQ(RuntimeHeapCreate(), 1);
    }
    TempStringClear();
    RandomSeed(0);
  }
  void TearDown() override { TempStringClear(); }

  static bool IsLiveBlock(const void* block) {
    return HeapValidate(RuntimeHeap, 0, block) != FALSE;
  }
};

// Swaps the runtime heap for a small fixed-size one for the life of the object, so that
// allocations can be made to fail on Windows and on our layer alike.
class SmallRuntimeHeap {
 public:
  SmallRuntimeHeap() : saved_(RuntimeHeap), small_(HeapCreate(0, 0, 64 * 1024)) {
    RuntimeHeap = small_;
  }
  ~SmallRuntimeHeap() {
    RuntimeHeap = saved_;
    HeapDestroy(small_);
  }
  SmallRuntimeHeap(const SmallRuntimeHeap&) = delete;
  SmallRuntimeHeap& operator=(const SmallRuntimeHeap&) = delete;

  // More than a fixed-size heap of 64 KiB can ever hand out in one block.
  static constexpr int32_t kTooLarge = 1 << 20;

 private:
  HANDLE saved_;
  HANDLE small_;
};

// Takes the runtime heap away for the life of the object.
class NoRuntimeHeap {
 public:
  NoRuntimeHeap() : saved_(RuntimeHeap) { RuntimeHeap = nullptr; }
  ~NoRuntimeHeap() { RuntimeHeap = saved_; }
  NoRuntimeHeap(const NoRuntimeHeap&) = delete;
  NoRuntimeHeap& operator=(const NoRuntimeHeap&) = delete;

 private:
  HANDLE saved_;
};
