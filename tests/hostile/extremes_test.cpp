// Coordinates and sizes at the 32-bit extremes for every drawing operation, and prints longer
// than the print buffer: nothing overflows, what lies inside the client area is drawn.
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "hostile_support.h"
#include "runtime/graphics/draw.h"
#include "runtime/graphics/print.h"

namespace hostile {
namespace {

constexpr int32_t kExtremes[] = {INT32_MIN, INT32_MIN + 1, -1000000000,   -65536,   -1, 0, 1, 100,
                                 65535,     1000000000,    INT32_MAX - 1, INT32_MAX};
constexpr COLORREF kColours[] = {0x000000, 0x0000FF, NO_COLOUR, 0xFF000000, 0x7FFFFFFF};

using Extremes = HostileTest;

TEST_F(Extremes, PointsAnywhereTouchOnlyTheClientArea) {
  for (uint32_t flags : {DIRECT_FLAGS, BACKED_FLAGS}) {
    WindowRecord* w = Open(flags);
    DrawClear(w, 0);
    Drain();
    for (int32_t x : kExtremes) {
      for (int32_t y : kExtremes) {
        for (COLORREF c : kColours) DrawPoint(w, x, y, c);
        EXPECT_EQ(w->holdCount, 0);
      }
    }
    // Only (0,0), (0,1), (1,0), (1,1), (0,100)... lie inside: one of them is checked exactly.
    DrawPoint(w, 1, 1, 0x0000FF);
    Drain();
    EXPECT_EQ(Pixel(w, 1, 1), 0x0000FFu);
    EXPECT_EQ(Pixel(w, 2, 2), 0u);
    WindowClose(w);
    Drain();
  }
}

TEST_F(Extremes, RectanglesOfEveryExtremeOriginAndSize) {
  WindowRecord* w = Open();
  for (int32_t x : kExtremes) {
    for (int32_t y : kExtremes) {
      for (int32_t size : {INT32_MIN, -1, 0, 1, INT32_MAX}) {
        DrawRect(w, x, y, size, size, 0x00FF00, 0x0000FF);
        const int32_t other = size == INT32_MIN ? INT32_MAX : -size;
        DrawRect(w, x, y, size, other, NO_COLOUR, NO_COLOUR);
        EXPECT_EQ(w->holdCount, 0);
      }
    }
  }
  Drain();
  // A rectangle reaching from far left-above to far right-below fills the whole client area.
  DrawRect(w, -1000000000, -1000000000, 2000000000, 2000000000, 0xFFFFFF, 0x00FF00);
  Drain();
  EXPECT_EQ(Pixel(w, 0, 0), 0x00FF00u);
  EXPECT_EQ(Pixel(w, 150, 100), 0x00FF00u);
  // The sum of origin and size is held at the 32-bit edge: it covers, it does not wrap.
  DrawRect(w, 5, 5, INT32_MAX, INT32_MAX, 0x0000FF, 0x0000FF);
  Drain();
  EXPECT_EQ(Pixel(w, 4, 4), 0x00FF00u);
  EXPECT_EQ(Pixel(w, 6, 6), 0x0000FFu);
  EXPECT_EQ(Pixel(w, 200, 150), 0x0000FFu);
}

TEST_F(Extremes, TextAtTheFarEdgesOfTheCoordinateRange) {
  WindowRecord* w = Open();
  for (int32_t x : kExtremes) {
    for (int32_t y : kExtremes) {
      DrawMoveTo(w, x, y);
      PrintList().Window(w).String("Wide text W W W").Int(INT32_MIN).Double(-1e308).Print();
      EXPECT_EQ(w->holdCount, 0);
    }
  }
  // The text moved the position forward from the edge without wrapping around to the left.
  DrawMoveTo(w, INT32_MAX - 4, 0);
  PrintList().Window(w).String("WWWW").Print();
  EXPECT_GE(w->penPos.x, INT32_MAX - 4);
}

TEST_F(Extremes, ClearWithEveryColour) {
  for (uint32_t flags : {DIRECT_FLAGS, BACKED_FLAGS}) {
    WindowRecord* w = Open(flags);
    for (COLORREF c : kColours) {
      DrawClear(w, c);
      Drain();
      EXPECT_EQ(w->fillColor, c);
    }
    DrawClear(w, 0x00FF0000);
    Drain();
    EXPECT_EQ(Pixel(w, 10, 10), 0x00FF0000u);
    WindowClose(w);
    Drain();
  }
}

TEST_F(Extremes, WindowsOpenedAtEveryExtremeGeometry) {
  for (int32_t position : {INT32_MIN, -1, 0, INT32_MAX}) {
    for (int32_t size : {INT32_MIN, -1, 0, 1, INT32_MAX}) {
      for (uint32_t flags : {DIRECT_FLAGS, BACKED_FLAGS}) {
        record_ = WindowRecord{};
        WindowOpen(&record_, position, position, size, size, flags, nullptr, "far", ActionHandler);
        Drain();
        int32_t left = -1, top = -1, width = -1, height = -1;
        WindowClientSize(&record_, &left, &top, &width, &height);
        // Whatever the system made of it, the client area is never negative nor absurd.
        EXPECT_GE(width, 0);
        EXPECT_GE(height, 0);
        EXPECT_LE(width, 1 << 16);
        EXPECT_LE(height, 1 << 16);
        DrawPoint(&record_, width - 1, height - 1, 0xFF);
        DrawRect(&record_, 0, 0, width, height, 0xFF, 0xFF00);
        DrawClear(&record_, 0x123456);
        Drain();
        WindowClose(&record_);
        Drain();
      }
    }
  }
}

using LongPrints = HostileTest;

TEST_F(LongPrints, AStringLongerThanTheBufferIsCut) {
  WindowRecord* w = Open();
  std::string text(PRINT_BUFFER_SIZE + 5000, 'x');
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
  PrintList().Window(w).String(text.c_str()).Char(13).Char(10).Print();
  EXPECT_EQ(std::memcmp(PrintBuffer, text.data(), PRINT_BUFFER_SIZE), 0);
  EXPECT_EQ(w->holdCount, 0);
}

TEST_F(LongPrints, ThousandsOfNumberItemsAreCutAtTheBuffer) {
  WindowRecord* w = Open();
  std::vector<uint32_t> words;
  const uint32_t windowWords = sizeof(void*) / 4;
  words.push_back(PRINT_WINDOW);
  const uintptr_t address = reinterpret_cast<uintptr_t>(w);
  for (uint32_t i = 0; i < windowWords; ++i) {
    words.push_back(static_cast<uint32_t>(static_cast<uint64_t>(address) >> (32 * i)));
  }
  const int32_t numbers = 6000;  // "-2147483648 " is 12 characters: 72,000 in all
  for (int32_t i = 0; i < numbers; ++i) {
    words.push_back(PRINT_INT);
    words.push_back(0x80000000u);
  }
  PrintItems(numbers + 1, words.data());
  EXPECT_EQ(std::string(PrintBuffer, 12), "-2147483648 ");
  // The last character that fits: 0x7FFF = 2730 numbers of 12, then 7 more characters.
  EXPECT_EQ(PrintBuffer[PRINT_BUFFER_SIZE - 1], '8');
}

TEST_F(LongPrints, AHugePrecisionIsCutNotOverflowed) {
  WindowRecord* w = Open();
  const int32_t saved = PrintPrecision;
  PrintPrecision = 100000;
  PrintList().Window(w).Double(1e308).Single(-3.4e38f).Double(-0.0).Print();
  PrintPrecision = -5;
  PrintList().Window(w).Double(2.5).Print();
  PrintPrecision = saved;
  EXPECT_EQ(PrintBuffer[0], ' ');
  EXPECT_EQ(w->holdCount, 0);
}

TEST_F(LongPrints, SixtyFourBitExtremes) {
  char text[32] = {};
  // Numbers are followed by one blank, as the print statement's other numbers are.
  EXPECT_EQ(Int64ToText(text, INT64_MIN), 21);
  EXPECT_STREQ(text, "-9223372036854775808 ");
  EXPECT_EQ(UInt64ToText(text, UINT64_MAX), 21);
  EXPECT_STREQ(text, "18446744073709551615 ");
}

}  // namespace
}  // namespace hostile
