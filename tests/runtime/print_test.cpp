// The print statement's item formats, destinations and buffer bound, and number texts.
#include "runtime/graphics/print.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "runtime/graphics/draw.h"
#include "runtime_fixture.h"

namespace {

class PrintTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    // Formats are checked in the buffer; the text goes to a closed window and draws nothing.
    PrintDestination = &closed_;
  }
  void TearDown() override {
    PrintDestination = nullptr;
    RuntimeTest::TearDown();
  }
  // The text that the last PrintItems assembled, given its expected length.
  static std::string Printed(size_t length) { return std::string(PrintBuffer, length); }

  WindowRecord closed_{};
};

TEST_F(PrintTest, IntegerFormatsEndInOneBlank) {
  PrintList().Window(&closed_).Int(5).Int(-7).Print();
  EXPECT_EQ(Printed(5), "5 -7 ");
  PrintList().Int64(-1).UInt64(0).UInt64(42949672960ull).Print();
  EXPECT_EQ(Printed(17), "-1 0 42949672960 ");
  PrintList().Word(70000).UInt(4294967295u).Int(INT32_MIN).Print();
  EXPECT_EQ(Printed(28), "4464 4294967295 -2147483648 ");
  PrintList().Int64(INT64_MIN).UInt64(UINT64_MAX).Print();
  EXPECT_EQ(Printed(42), "-9223372036854775808 18446744073709551615 ");
}

TEST_F(PrintTest, RealsCarryABlankInPlaceOfThePlusSign) {
  PrintList().Double(3).Single(-0.25f).Double(1.005).Double(-1.5).Print();
  EXPECT_EQ(Printed(20), " 3.00-0.25 1.00-1.50");
}

TEST_F(PrintTest, StringsAndCharactersGetNoBlanksAndUnknownItemsAreSkipped) {
  PrintList()
      .String("ab")
      .Raw(4, 0xFFFFFFFF)
      .Char('c')
      .Raw(99, 7)
      .String(nullptr)
      .Char(13)
      .Char(10)
      .Print();
  EXPECT_EQ(Printed(5), "abc\r\n");
}

TEST_F(PrintTest, OnlyALeadingWindowItemNamesTheDestination) {
  WindowRecord other{};
  PrintList().Int(1).Window(&other).Print();
  EXPECT_EQ(PrintDestination, &closed_);
  PrintList().Window(&other).Int(1).Print();
  EXPECT_EQ(PrintDestination, &other);
  PrintList().Int(2).Print();
  EXPECT_EQ(PrintDestination, &other);
  PrintDestination = &closed_;
}

TEST_F(PrintTest, TextBeyondTheBufferIsCut) {
  std::string longText(40000, 'x');
  std::string tail(10, 'y');
  PrintList().String(longText.c_str()).String(tail.c_str()).Int(12345).Print();
  EXPECT_EQ(PrintBuffer[PRINT_BUFFER_SIZE - 1], 'x');
  PrintList().String(std::string(PRINT_BUFFER_SIZE - 3, 'z').c_str()).Int(-123456).Print();
  EXPECT_EQ(Printed(PRINT_BUFFER_SIZE).substr(PRINT_BUFFER_SIZE - 4), "z-12");
}

TEST_F(PrintTest, ARealLongerThanAnyNumberIsKeptWhole) {
  const int32_t saved = PrintPrecision;
  PrintPrecision = 600;
  PrintList().Double(0.5).Int(7).Print();
  PrintPrecision = saved;
  EXPECT_EQ(Printed(605), " 0.5" + std::string(599, '0') + "7 ");
}

TEST_F(PrintTest, TheLargestPrecisionFillsTheBufferWithDigits) {
  // Two billion decimals: the C library would need gigabytes to make them all.
  const int32_t saved = PrintPrecision;
  PrintPrecision = INT32_MAX;
  PrintList().Int(1).Single(1.5f).Int(2).Print();
  PrintPrecision = saved;
  EXPECT_EQ(Printed(PRINT_BUFFER_SIZE), "1  1.5" + std::string(PRINT_BUFFER_SIZE - 6, '0'));
}

TEST_F(PrintTest, ListKeepsItsCountConsistentWhenFull) {
  PrintList list;
  for (int i = 0; i < 40; ++i) list.Int(i);
  EXPECT_EQ(list.Count(), 32);  // 64 words of two-word items
  list.Double(1.0);             // three words do not fit any more
  EXPECT_EQ(list.Count(), 32);
  list.Print();
  EXPECT_EQ(std::string(PrintBuffer, 6), "0 1 2 ");
  PrintList pointers;
  pointers.Window(&closed_);
  EXPECT_EQ(pointers.Count(), 1);
  EXPECT_EQ(pointers.Words()[0], static_cast<uint32_t>(PRINT_WINDOW));
}

TEST_F(PrintTest, NumberToStringExamples) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {5, " 5"},
      {-3, " -3"},
      {1.5, " 1.50"},
      {-0.5, " -0.50"},
      {2.0, " 2"},
      {7, " 7"},
      {7.5, " 7.50"},
      {0, " 0"},
      {-2147483648.0, " -2147483648"},
      {0.375, " 0.38"},
      {2.999, " 3.00"},
      {4294967296.0, " 4294967296"},
      {-9223372036854775808.0, " -9223372036854775808"},
  };
  for (const Case& c : cases) {
    char* text = NumberToString(c.value);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, c.text) << c.value;
    RuntimeHeapFree(text);
  }
}

TEST_F(PrintTest, NumberToStringStaysWithinItsBlockForAnyValue) {
  const double values[] = {std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::max(),
                           -std::numeric_limits<double>::max(),
                           9223372036854775808.0,
                           1e300,
                           -1e20,
                           std::numeric_limits<double>::denorm_min(),
                           -123456789012345.67};
  const char* expected[] = {" nan",
                            " inf",
                            " -inf",
                            " 1.797693134862316e+308",
                            " -1.797693134862316e+308",
                            " 9.223372036854776e+18",
                            " 1.000000000000000e+300",
                            " -1.000000000000000e+20",
                            " 0.00",
                            " -123456789012345.67"};
  for (size_t i = 0; i < std::size(values); ++i) {
    char* text = NumberToString(values[i]);
    ASSERT_NE(text, nullptr);
    EXPECT_LT(std::strlen(text), static_cast<size_t>(NUMBER_TEXT_SIZE));
    EXPECT_STREQ(text, expected[i]);
    RuntimeHeapFree(text);
  }
}

TEST_F(PrintTest, NumberToStringWithAnyPrecisionKeepsTheDigitsThatFit) {
  const int32_t saved = PrintPrecision;
  for (int32_t precision : {1074, 5000, INT32_MAX}) {
    PrintPrecision = precision;
    char* tenth = NumberToString(0.1);
    char* negative = NumberToString(-2.5);
    EXPECT_STREQ(tenth, " 0.1000000000000000055511151231257827021") << precision;
    EXPECT_STREQ(negative, (" -2.5" + std::string(35, '0')).c_str()) << precision;
    RuntimeHeapFree(tenth);
    RuntimeHeapFree(negative);
  }
  PrintPrecision = -1;  // as if none were given: six decimals
  char* text = NumberToString(0.25);
  EXPECT_STREQ(text, " 0.250000");
  RuntimeHeapFree(text);
  PrintPrecision = saved;
}

TEST_F(PrintTest, NumberToStringReportsAFailedAllocation) {
  // Without a heap every allocation is refused.
  HANDLE heap = RuntimeHeap;
  RuntimeHeap = nullptr;
  EXPECT_EQ(NumberToString(1.0), nullptr);
  RuntimeHeap = heap;
  char* text = NumberToString(1.0);
  EXPECT_STREQ(text, " 1");
  RuntimeHeapFree(text);
}

TEST_F(PrintTest, SixtyFourBitTextsCountTheirCharacters) {
  char text[32];
  std::memset(text, '#', sizeof(text));
  EXPECT_EQ(UInt64ToText(text, 0), 2);
  EXPECT_STREQ(text, "0 ");
  EXPECT_EQ(Int64ToText(text, -1), 3);
  EXPECT_STREQ(text, "-1 ");
  EXPECT_EQ(Int64ToText(text, INT64_MIN), 21);
  EXPECT_STREQ(text, "-9223372036854775808 ");
  EXPECT_EQ(UInt64ToText(text, UINT64_MAX), 21);
  EXPECT_STREQ(text, "18446744073709551615 ");
  EXPECT_EQ(text[22], '#');
}

class PrintWindowTest : public RuntimeTest {
 protected:
  void TearDown() override {
    PrintDestination = nullptr;
    RuntimeTest::TearDown();
  }
};

int TextWidth(WindowRecord* r, const char* text) {
  HDC dc = GetDC(r->hwnd);
  HGDIOBJ previous = SelectObject(dc, r->font);
  SIZE size{};
  GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
  SelectObject(dc, previous);
  ReleaseDC(r->hwnd, dc);
  return size.cx;
}

bool AnyPixelIs(WindowRecord* r, RECT area, COLORREF colour) {
  HDC dc = GetDC(r->hwnd);
  bool found = false;
  for (int y = area.top; y < area.bottom && !found; ++y) {
    for (int x = area.left; x < area.right && !found; ++x) found = GetPixel(dc, x, y) == colour;
  }
  ReleaseDC(r->hwnd, dc);
  return found;
}

TEST_F(PrintWindowTest, TextPrintsAtTheCurrentPositionAndMovesIt) {
  WindowRecord* r = Open(OPEN_DIRECT, 20, 20, 300, 120);
  DrawClear(r, kBlack);
  UpdateWindow(r->hwnd);
  DrawSetPenColor(r, kWhite);
  DrawSetBackColor(r, kBlack);
  DrawMoveTo(r, 0, 0);
  PrintList().Window(r).String("abc").Char(13).Char(10).Print();
  const int width = TextWidth(r, "abc");
  EXPECT_GT(width, 0);
  EXPECT_EQ(r->penPos.x, width);
  EXPECT_EQ(r->penPos.y, 0);
  EXPECT_TRUE(AnyPixelIs(r, RECT{0, 0, width, 20}, kWhite));
  EXPECT_FALSE(AnyPixelIs(r, RECT{width + 2, 0, width + 40, 20}, kWhite));
  // The next print continues on the same line, in the window named before.
  PrintList().String("d").Print();
  EXPECT_EQ(r->penPos.x, width + TextWidth(r, "d"));
  EXPECT_EQ(r->penPos.y, 0);
}

TEST_F(PrintWindowTest, ALineBreakAloneDrawsNothing) {
  WindowRecord* r = Open(OPEN_DIRECT, 20, 20, 300, 120);
  DrawClear(r, kBlack);
  UpdateWindow(r->hwnd);
  DrawSetPenColor(r, kWhite);
  DrawMoveTo(r, 10, 10);
  PrintList().Window(r).String("\r\n").Print();
  EXPECT_EQ(r->penPos.x, 10);
  EXPECT_FALSE(AnyPixelIs(r, RECT{0, 0, 60, 40}, kWhite));
  PrintList().Window(r).Char(10).Print();
  EXPECT_EQ(r->penPos.x, 10);
  // A final CR without LF is text.
  PrintList().Window(r).String("a\r").Print();
  EXPECT_GT(r->penPos.x, 10 + TextWidth(r, "a") - 1);
}

TEST_F(PrintWindowTest, TextColourIsThePenColourOnTheBackColour) {
  WindowRecord* r = Open(OPEN_DIRECT, 20, 20, 300, 120);
  DrawClear(r, kBlack);
  UpdateWindow(r->hwnd);
  DrawSetPenColor(r, kRed);
  DrawSetBackColor(r, kBlue);
  DrawMoveTo(r, 0, 30);
  PrintList().Window(r).String("W").Print();
  const int width = TextWidth(r, "W");
  EXPECT_TRUE(AnyPixelIs(r, RECT{0, 30, width, 50}, kRed));
  EXPECT_TRUE(AnyPixelIs(r, RECT{0, 30, width, 50}, kBlue));
  EXPECT_FALSE(AnyPixelIs(r, RECT{0, 30, width, 50}, kWhite));
}

}  // namespace

#ifndef _WIN32
#include <unistd.h>

namespace {

// Without a window named, the text goes to standard output in one piece, line break included.
TEST(PrintStdoutTest, WithoutDestinationTheBytesGoToStandardOutput) {
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  fflush(stdout);
  const int savedOut = dup(1);
  dup2(pipeEnds[1], 1);
  PrintDestination = nullptr;
  PrintList().String("abc").Char(13).Char(10).Print();
  PrintList().Int(5).Double(0.5).Print();
  dup2(savedOut, 1);
  close(savedOut);
  close(pipeEnds[1]);
  char got[64] = {};
  ssize_t n = read(pipeEnds[0], got, sizeof(got) - 1);
  close(pipeEnds[0]);
  EXPECT_EQ(std::string(got, n > 0 ? static_cast<size_t>(n) : 0), "abc\r\n5  0.50");
}

}  // namespace
#endif
