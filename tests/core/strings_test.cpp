#include <cstring>
#include <string>

#include "core_test_support.h"
#include "guarded_page.h"
#include "runtime/core/strings.h"

namespace {

// Bytes that trip naive zero-byte tests: 0x80 and 0x01 neighbours, 0xFF.
const char kTricky[] = "\x80\x01\xFF\x81\x7F\x80\x80\x01\x01\x01\xFE\x80";

std::string Text(size_t n) {
  std::string s;
  for (size_t i = 0; i < n; ++i) s += kTricky[i % (sizeof kTricky - 1)];
  return s;
}

TEST(StringLength, EveryAlignmentAndTerminatorPosition) {
  alignas(4) char buffer[48];
  for (size_t offset = 0; offset < 4; ++offset) {
    for (size_t n = 0; n <= 20; ++n) {
      std::memset(buffer, 'x', sizeof buffer);
      std::string text = Text(n);
      std::memcpy(buffer + offset, text.c_str(), n + 1);
      EXPECT_EQ(StringLength(buffer + offset), static_cast<int32_t>(n))
          << "offset " << offset << " length " << n;
    }
  }
}

TEST(StringLength, FirstZeroInTheWordCounts) {
  alignas(4) char buffer[8] = {'a', 0, 'b', 0, 0, 0, 0, 0};
  EXPECT_EQ(StringLength(buffer), 1);
  alignas(4) char high[8] = {'\x01', '\x01', 0, '\x01', 0, 0, 0, 0};
  EXPECT_EQ(StringLength(high), 2);
  alignas(4) char empty[4] = {0, 'a', 'b', 'c'};
  EXPECT_EQ(StringLength(empty), 0);
}

TEST(StringCopy, EveryDestinationAndSourceAlignment) {
  alignas(4) char source[40];
  alignas(4) char destination[48];
  for (size_t from = 0; from < 4; ++from) {
    for (size_t to = 0; to < 4; ++to) {
      for (size_t n = 0; n <= 20; ++n) {
        std::string text = Text(n);
        std::memset(source, 'y', sizeof source);
        std::memcpy(source + from, text.c_str(), n + 1);
        std::memset(destination, '#', sizeof destination);
        char* result = StringCopy(destination + to, source + from);
        ASSERT_EQ(result, destination + to);
        ASSERT_EQ(std::memcmp(destination + to, text.c_str(), n + 1), 0)
            << "from " << from << " to " << to << " length " << n;
        // Exactly length + 1 bytes written: nothing before, nothing after.
        for (size_t i = 0; i < to; ++i) ASSERT_EQ(destination[i], '#');
        for (size_t i = to + n + 1; i < sizeof destination; ++i)
          ASSERT_EQ(destination[i], '#') << "from " << from << " to " << to << " length " << n;
      }
    }
  }
}

TEST(StringCopy, EmptySourceWritesOneZero) {
  char destination[4] = {'a', 'b', 'c', 'd'};
  StringCopy(destination, "");
  EXPECT_EQ(destination[0], '\0');
  EXPECT_EQ(destination[1], 'b');
}

// Strings that end on or near the last readable byte: the word-wise steps must not reach
// into the page behind.
TEST(StringPrimitivesAtAPageEnd, NeverReadPastReadableMemory) {
  GuardedPage page;
  ASSERT_TRUE(page.Ready());
  alignas(4) char destination[64];
  for (size_t n = 0; n <= 24; ++n) {
    for (size_t slack = 0; slack < 4; ++slack) {
      std::string text = Text(n);
      char* start = page.End() - slack - (n + 1);
      std::memcpy(start, text.c_str(), n + 1);
      std::memset(page.End() - slack, 'z', slack);  // readable bytes after the terminator
      EXPECT_EQ(StringLength(start), static_cast<int32_t>(n)) << n << " slack " << slack;
      for (size_t to = 0; to < 4; ++to) {
        std::memset(destination, '#', sizeof destination);
        StringCopy(destination + to, start);
        ASSERT_EQ(std::memcmp(destination + to, text.c_str(), n + 1), 0);
        ASSERT_EQ(destination[to + n + 1], '#');
      }
    }
  }
}

TEST(StringAppend, JoinsAndLeavesTheRestAlone) {
  char buffer[32];
  std::memset(buffer, '#', sizeof buffer);
  buffer[0] = '\0';
  StringAppend(buffer, "Velocita: ");
  EXPECT_STREQ(buffer, "Velocita: ");
  EXPECT_EQ(StringAppend(buffer, "12"), buffer);
  EXPECT_STREQ(buffer, "Velocita: 12");
  StringAppend(buffer, "");
  EXPECT_STREQ(buffer, "Velocita: 12");
  EXPECT_EQ(buffer[13], '#');
}

TEST(StringAppend, OnEveryAlignment) {
  alignas(4) char buffer[40];
  for (size_t offset = 0; offset < 4; ++offset) {
    for (size_t left = 0; left < 6; ++left) {
      std::memset(buffer, '#', sizeof buffer);
      std::string a = Text(left);
      std::memcpy(buffer + offset, a.c_str(), left + 1);
      StringAppend(buffer + offset, "abcdefg");
      std::string joined = a + "abcdefg";
      ASSERT_EQ(std::memcmp(buffer + offset, joined.c_str(), joined.size() + 1), 0);
      ASSERT_EQ(buffer[offset + joined.size() + 1], '#');
    }
  }
}

using StringUpperCopyTest = CoreTest;

TEST_F(StringUpperCopyTest, UpperCasesANewHeapCopy) {
  const char original[] = "msctls_statusbar32";
  char* upper = StringUpperCopy(original);
  ASSERT_NE(upper, nullptr);
  EXPECT_STREQ(upper, "MSCTLS_STATUSBAR32");
  EXPECT_STREQ(original, "msctls_statusbar32");
  EXPECT_TRUE(IsLiveBlock(upper));
  EXPECT_EQ(HeapSize(RuntimeHeap, 0, upper), sizeof original);
  RuntimeHeapFree(upper);

  char* empty = StringUpperCopy("");
  ASSERT_NE(empty, nullptr);
  EXPECT_STREQ(empty, "");
  RuntimeHeapFree(empty);
}

TEST_F(StringUpperCopyTest, WesternLettersBeyondAscii) {
  char* upper = StringUpperCopy("citt\xE0 \xFF\xF7\xB5");
  ASSERT_NE(upper, nullptr);
  EXPECT_STREQ(upper, "CITT\xC0 \x9F\xF7\xB5");
  RuntimeHeapFree(upper);
}

TEST_F(StringUpperCopyTest, RefusedBlockGivesNull) {
  std::string huge(SmallRuntimeHeap::kTooLarge, 'a');
  SmallRuntimeHeap small;
  EXPECT_EQ(StringUpperCopy(huge.c_str()), nullptr);
}

}  // namespace
