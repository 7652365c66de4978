#include <vector>

#include "core_test_support.h"
#include "runtime/core/global_lists.h"

namespace {

struct SizeCase {
  int32_t typeCode;
  int32_t count;
  SIZE_T bytes;
};

TEST(GlobalBlockAlloc, ElementSizesByTypeCode) {
  const SizeCase cases[] = {{0, 2, 510}, {1, 5, 5},   {2, 3, 12},  {3, 1, 4},
                            {9, 2, 8},   {13, 3, 6},  {14, 2, 16}, {15, 7, 7},
                            {17, 1, 8},  {18, 3, 24}, {19, 1, 4},  {-1, 1, 4}};
  for (const SizeCase& c : cases) {
    auto* block = static_cast<unsigned char*>(GlobalBlockAlloc(c.typeCode, c.count));
    ASSERT_NE(block, nullptr) << c.typeCode;
    EXPECT_EQ(GlobalSize(block), c.bytes) << "type " << c.typeCode;
    for (SIZE_T i = 0; i < c.bytes; ++i) ASSERT_EQ(block[i], 0);
    EXPECT_EQ(GlobalBlockFree(block), 0);
  }
}

TEST(GlobalBlockAlloc, NoBlockForEmptyNegativeOrOverflowingRequests) {
  EXPECT_EQ(GlobalBlockAlloc(15, 0), nullptr);
  EXPECT_EQ(GlobalBlockAlloc(15, -1), nullptr);
  EXPECT_EQ(GlobalBlockAlloc(2, INT32_MIN), nullptr);
  // 16843010 x 255 wraps to 254 in 32 bits; 2^29 x 8 wraps to 0; 2^29 x 4 passes 2^31 - 1.
  EXPECT_EQ(GlobalBlockAlloc(0, 16843010), nullptr);
  EXPECT_EQ(GlobalBlockAlloc(14, 0x20000000), nullptr);
  EXPECT_EQ(GlobalBlockAlloc(2, 0x20000000), nullptr);
  EXPECT_EQ(GlobalBlockFree(nullptr), 0);
}

TEST(GlobalBlockAllocOut, StoresTheBlockOrNull) {
  void* out = reinterpret_cast<void*>(0x1234);
  EXPECT_EQ(GlobalBlockAllocOut(&out, 3, 7), 0);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(GlobalSize(out), 21u);
  GlobalBlockFree(out);

  out = reinterpret_cast<void*>(0x1234);
  EXPECT_EQ(GlobalBlockAllocOut(&out, -1, 4), -1);
  EXPECT_EQ(out, nullptr);
  out = reinterpret_cast<void*>(0x1234);
  EXPECT_EQ(GlobalBlockAllocOut(&out, 0x10000, 0x10000), -1);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(GlobalBlockAllocOut(nullptr, 1, 1), -1);
}

// A list of n data blocks of one byte each, appended in order.
class ListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    head_ = ListCreate();
    ASSERT_NE(head_, nullptr);
  }
  void TearDown() override { ListFree(head_, 1); }

  void* NewData() { return GlobalBlockAlloc(15, 1); }

  std::vector<void*> Walk() const {
    std::vector<void*> seen;
    for (ListNode* node = ListFirst(head_); node; node = ListNext(node))
      seen.push_back(ListData(node));
    return seen;
  }
  std::vector<void*> WalkBackwards() const {
    std::vector<void*> seen;
    ListNode* last = head_;
    while (last->next) last = last->next;
    for (ListNode* node = last; node != head_; node = node->prev) seen.push_back(node->data);
    return seen;
  }

  ListNode* head_ = nullptr;
};

TEST_F(ListTest, NewHeadIsEmpty) {
  EXPECT_EQ(ListFirst(head_), nullptr);
  EXPECT_EQ(head_->prev, nullptr);
  EXPECT_EQ(ListData(head_), nullptr);
  EXPECT_EQ(GlobalSize(head_), sizeof(ListNode));
}

TEST_F(ListTest, AppendKeepsOrderBothWays) {
  void* a = NewData();
  void* b = NewData();
  void* c = NewData();
  EXPECT_EQ(ListAppend(head_, a), a);
  ListAppend(head_, b);
  ListAppend(head_, c);
  EXPECT_EQ(Walk(), (std::vector<void*>{a, b, c}));
  EXPECT_EQ(WalkBackwards(), (std::vector<void*>{c, b, a}));
  EXPECT_EQ(ListFirst(head_)->prev, head_);
}

TEST_F(ListTest, InsertFirstReversesOrderBothWays) {
  void* a = NewData();
  void* b = NewData();
  void* c = NewData();
  EXPECT_EQ(ListInsertFirst(head_, a), a);
  ListInsertFirst(head_, b);
  ListInsertFirst(head_, c);
  EXPECT_EQ(Walk(), (std::vector<void*>{c, b, a}));
  EXPECT_EQ(WalkBackwards(), (std::vector<void*>{a, b, c}));
  EXPECT_EQ(ListFirst(head_)->prev, head_);
}

TEST_F(ListTest, RemoveLastLeavesPredecessorLast) {
  void* a = NewData();
  void* b = NewData();
  ListAppend(head_, a);
  ListAppend(head_, b);
  ListNode* second = ListNext(ListFirst(head_));
  EXPECT_EQ(ListRemove(second, 1), nullptr);
  EXPECT_EQ(Walk(), (std::vector<void*>{a}));
  EXPECT_EQ(ListNext(ListFirst(head_)), nullptr);
}

TEST_F(ListTest, RemoveMiddleRelinksBothNeighbours) {
  void* a = NewData();
  void* b = NewData();
  void* c = NewData();
  ListAppend(head_, a);
  ListAppend(head_, b);
  ListAppend(head_, c);
  ListNode* middle = ListNext(ListFirst(head_));
  ListNode* third = ListNext(middle);
  EXPECT_EQ(ListRemove(middle, 1), third);
  EXPECT_EQ(Walk(), (std::vector<void*>{a, c}));
  EXPECT_EQ(WalkBackwards(), (std::vector<void*>{c, a}));
}

TEST_F(ListTest, RemoveOnlyElementWithoutFreeingData) {
  void* a = NewData();
  ListAppend(head_, a);
  EXPECT_EQ(ListRemove(ListFirst(head_), 0), nullptr);
  EXPECT_EQ(ListFirst(head_), nullptr);
  // The data block survives and is still ours to free.
  EXPECT_EQ(GlobalSize(a), 1u);
  GlobalBlockFree(a);
}

TEST_F(ListTest, FreeWithoutDataFlagLeavesDataBlocks) {
  for (int32_t flag : {0, 2}) {
    void* a = NewData();
    void* b = NewData();
    ListAppend(head_, a);
    ListAppend(head_, b);
    ListFree(head_, flag);
    EXPECT_EQ(GlobalSize(a), 1u);
    EXPECT_EQ(GlobalSize(b), 1u);
    GlobalBlockFree(a);
    GlobalBlockFree(b);
    head_ = ListCreate();
  }
}

TEST_F(ListTest, FreeWithDataFlagSkipsNullData) {
  ListAppend(head_, NewData());
  ListAppend(head_, nullptr);
  ListAppend(head_, NewData());
  EXPECT_EQ(Walk().size(), 3u);
  EXPECT_EQ(ListFree(head_, 3), 0);  // only the lowest bit counts
  head_ = ListCreate();
}

TEST(ListNullSafety, NullHeadsAndNodesAreNoOps) {
  int data = 0;
  EXPECT_EQ(ListAppend(nullptr, &data), &data);
  EXPECT_EQ(ListInsertFirst(nullptr, &data), &data);
  EXPECT_EQ(ListRemove(nullptr, 1), nullptr);
  EXPECT_EQ(ListFree(nullptr, 1), 0);
  EXPECT_EQ(ListFirst(nullptr), nullptr);
  EXPECT_EQ(ListNext(nullptr), nullptr);
  EXPECT_EQ(ListData(nullptr), nullptr);
}

// Exit callbacks record what ran; the sequence destroys the runtime heap, so each test makes
// a fresh one afterwards.
std::vector<int32_t> ran;

void Record(int32_t argument) { ran.push_back(argument); }

void RegisterAnotherWhileRunning(int32_t argument) {
  ran.push_back(argument);
  ExitCallbackRegister(Record, 99);
}

class ExitSequenceTest : public CoreTest {
 protected:
  void SetUp() override {
    CoreTest::SetUp();
    ran.clear();
    ExitCallbackList = nullptr;
  }
  void TearDown() override {
    // The sequence leaves both globals dangling by design; start afresh.
    ExitCallbackList = nullptr;
    RuntimeHeap = nullptr;
    RuntimeHeapCreate();
  }
};

TEST_F(ExitSequenceTest, NewestFirstWithOwnArguments) {
  ExitCallbackRegister(Record, 1);
  ExitCallbackRegister(Record, 2);
  ExitCallbackRegister(Record, 3);
  EXPECT_NE(RunExitSequence(), 0);
  EXPECT_EQ(ran, (std::vector<int32_t>{3, 2, 1}));
}

TEST_F(ExitSequenceTest, NullCallbackRegistersNothing) {
  EXPECT_EQ(ExitCallbackRegister(nullptr, 5), 0);
  EXPECT_EQ(ExitCallbackList, nullptr);
  ExitCallbackRegister(Record, 1);
  ExitCallbackRegister(nullptr, 5);
  EXPECT_EQ(ListNext(ListFirst(ExitCallbackList)), nullptr);
  RunExitSequence();
  EXPECT_EQ(ran, (std::vector<int32_t>{1}));
}

TEST_F(ExitSequenceTest, WithNothingRegisteredOnlyTheHeapGoes) {
  EXPECT_NE(RunExitSequence(), 0);
  EXPECT_TRUE(ran.empty());
}

TEST_F(ExitSequenceTest, WithoutAHeapTheResultIsZero) {
  ExitCallbackRegister(Record, 7);
  {
    NoRuntimeHeap none;
    EXPECT_EQ(RunExitSequence(), 0);
  }
  EXPECT_EQ(ran, (std::vector<int32_t>{7}));
  EXPECT_NE(RuntimeHeapDestroy(), 0);  // the sequence never saw it, so it is still there
}

TEST_F(ExitSequenceTest, CallbackRegisteredDuringTheSequenceIsNotRun) {
  ExitCallbackRegister(RegisterAnotherWhileRunning, 1);
  ExitCallbackRegister(Record, 2);
  EXPECT_NE(RunExitSequence(), 0);
  // 2 runs, then 1, which inserts 99 ahead of itself: 99 is freed with the rest, never run.
  EXPECT_EQ(ran, (std::vector<int32_t>{2, 1}));
}

TEST_F(ExitSequenceTest, EntriesAreSizedForPointers) {
  ExitCallbackRegister(Record, 4);
  EXPECT_EQ(GlobalSize(ListFirst(ExitCallbackList)), sizeof(ListNode));
  EXPECT_EQ(GlobalSize(ListData(ListFirst(ExitCallbackList))), sizeof(ExitCallbackEntry));
  RunExitSequence();
}

}  // namespace
