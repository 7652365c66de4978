// Windows-1252 upper-casing, and the ANSI length and comparison helpers.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"

namespace {

std::string Upper(std::string s) {
  CharUpperA(s.data());
  return s;
}

unsigned char UpperChar(unsigned char c) {
  return static_cast<unsigned char>(
      reinterpret_cast<uintptr_t>(CharUpperA(reinterpret_cast<LPSTR>(static_cast<uintptr_t>(c)))));
}

TEST(CharUpperA, AsciiLettersOnly) {
  EXPECT_EQ(Upper("msctls_statusbar32"), "MSCTLS_STATUSBAR32");
  EXPECT_EQ(Upper("azAZ09 `{@[~"), "AZAZ09 `{@[~");
}

TEST(CharUpperA, WesternLetters) {
  EXPECT_EQ(Upper("\xE0\xE9\xF6\xFE"), "\xC0\xC9\xD6\xDE");
  EXPECT_EQ(Upper("\x9A\x9C\x9E\xFF"), "\x8A\x8C\x8E\x9F");
}

TEST(CharUpperA, SignsWithoutCapitalsStay) {
  // Division sign, micro sign, sharp s, capitals, the euro and the upper half's symbols.
  EXPECT_EQ(Upper("\xF7\xB5\xDF\xC0\xDE\x80\xA9\x8A"), "\xF7\xB5\xDF\xC0\xDE\x80\xA9\x8A");
}

TEST(CharUpperA, ReturnsTheStringItWasGiven) {
  char text[] = "abc";
  EXPECT_EQ(CharUpperA(text), text);
  EXPECT_STREQ(text, "ABC");
  char empty[] = "";
  EXPECT_EQ(CharUpperA(empty), empty);
}

TEST(CharUpperA, SingleCharacterForm) {
  EXPECT_EQ(UpperChar('a'), 'A');
  EXPECT_EQ(UpperChar('Z'), 'Z');
  EXPECT_EQ(UpperChar('5'), '5');
  EXPECT_EQ(UpperChar(0xE9), 0xC9);
  EXPECT_EQ(UpperChar(0xFF), 0x9F);
  EXPECT_EQ(UpperChar(0xF7), 0xF7);
  EXPECT_EQ(CharUpperA(nullptr), nullptr);  // character 0, not a string
}

TEST(lstrlenA, CountsAndToleratesNull) {
  EXPECT_EQ(lstrlenA(""), 0);
  EXPECT_EQ(lstrlenA("TOOLBARWINDOW32"), 15);
  EXPECT_EQ(lstrlenA("\xE8\xE9"), 2);
  EXPECT_EQ(lstrlenA(nullptr), 0);
}

TEST(lstrcmpA, EqualStringsAndExactness) {
  EXPECT_EQ(lstrcmpA("MSCTLS_STATUSBAR32", "MSCTLS_STATUSBAR32"), 0);
  EXPECT_NE(lstrcmpA("MSCTLS_STATUSBAR32", "msctls_statusbar32"), 0);
  EXPECT_NE(lstrcmpA("TOOLBARWINDOW32", "TOOLBARWINDOW3"), 0);
  EXPECT_EQ(lstrcmpA("", ""), 0);
}

TEST(lstrcmpA, WordSortOrder) {
  EXPECT_EQ(lstrcmpA("abc", "abd"), -1);
  EXPECT_EQ(lstrcmpA("abd", "abc"), 1);
  EXPECT_EQ(lstrcmpA("abc", "abcd"), -1);
  // Letters compare without regard to case first; lower case wins a tie.
  EXPECT_EQ(lstrcmpA("a", "B"), -1);
  EXPECT_EQ(lstrcmpA("B", "a"), 1);
  EXPECT_EQ(lstrcmpA("a", "A"), -1);
  EXPECT_EQ(lstrcmpA("Ab", "aC"), -1);
  // Punctuation before digits before letters.
  EXPECT_EQ(lstrcmpA("_", "A"), -1);
  EXPECT_EQ(lstrcmpA("9", "a"), -1);
  EXPECT_EQ(lstrcmpA("!", "0"), -1);
}

TEST(lstrcmpA, NullSortsFirst) {
  EXPECT_EQ(lstrcmpA(nullptr, nullptr), 0);
  EXPECT_EQ(lstrcmpA(nullptr, ""), -1);
  EXPECT_EQ(lstrcmpA("", nullptr), 1);
}

TEST(lstrcmpiA, IgnoresCase) {
  EXPECT_EQ(lstrcmpiA("KorvexWndClass", "KORVEXWNDCLASS"), 0);
  EXPECT_EQ(lstrcmpiA("a", "B"), -1);
  EXPECT_EQ(lstrcmpiA("b", "A"), 1);
  EXPECT_EQ(lstrcmpiA(nullptr, "x"), -1);
  EXPECT_EQ(lstrcmpiA("citt\xE0", "CITT\xC0"), 0);
  EXPECT_EQ(lstrcmpA("citt\xE0", "CITT\xC0"), -1);
}

}  // namespace
