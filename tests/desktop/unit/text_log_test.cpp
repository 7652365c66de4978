#include "platform/portable/host_common/text_log.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/portable/host_common/ansi_utf8.h"

namespace portable {
namespace {

std::string TempPath() {
  char path[] = "/tmp/spirals_text_log_XXXXXX";
  const int fd = mkstemp(path);
  if (fd >= 0) close(fd);
  return path;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(TextLog, OneLinePerTextWithTimeAndPosition) {
  const std::string path = TempPath();
  {
    TextLog log;
    ASSERT_TRUE(log.Open(path.c_str()));
    const char status[] = "Velocita'[ + - ] = 2.50   Tipo[ 1-9 ] = 5";
    log.Write(1234, 0, 0, status, static_cast<int>(sizeof status - 1));
    // Every line is on disk at once, for a reader that polls while the program runs.
    EXPECT_EQ(ReadAll(path), std::string("1234 0 0 ") + status + "\n");
    log.Write(99, -3, 17, "abcdef", 3);  // only the count given
  }
  EXPECT_EQ(ReadAll(path), "1234 0 0 Velocita'[ + - ] = 2.50   Tipo[ 1-9 ] = 5\n99 -3 17 abc\n");
  unlink(path.c_str());
}

TEST(TextLog, ControlBytesBecomeBlanksAndHighBytesStay) {
  const std::string path = TempPath();
  {
    TextLog log;
    ASSERT_TRUE(log.Open(path.c_str()));
    const char text[] = {'a', '\r', '\n', 'b', '\0', 'c', '\xE8', '\x7F'};
    log.Write(5, 1, 2, text, static_cast<int>(sizeof text));
    log.Write(6, 1, 2, "x", -4);      // a negative count writes no text
    log.Write(7, 1, 2, nullptr, 10);  // nor does a missing one
  }
  EXPECT_EQ(ReadAll(path), "5 1 2 a  b c\xE8 \n6 1 2 \n7 1 2 \n");
  unlink(path.c_str());
}

TEST(TextLog, AppendsToAnExistingFileAndFailsOnABadPath) {
  const std::string path = TempPath();
  {
    std::ofstream(path) << "earlier\n";
    TextLog log;
    ASSERT_TRUE(log.Open(path.c_str()));
    log.Write(1, 0, 0, "later", 5);
  }
  EXPECT_EQ(ReadAll(path), "earlier\n1 0 0 later\n");
  unlink(path.c_str());

  TextLog bad;
  EXPECT_FALSE(bad.Open("/nonexistent-folder/for/sure/log.txt"));
  EXPECT_FALSE(bad.IsOpen());
  bad.Write(1, 0, 0, "ignored", 7);  // harmless
}

TEST(AnsiToUtf8, AsciiLatin1AndTheWindowsExtras) {
  char out[64];
  AnsiToUtf8("ZELVARI in KORVEX PRO", out, sizeof out);
  EXPECT_STREQ(out, "ZELVARI in KORVEX PRO");
  AnsiToUtf8("Velocit\xE0 \x80 \x93x\x94", out, sizeof out);
  EXPECT_STREQ(out, "Velocit\xC3\xA0 \xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D");
  AnsiToUtf8("\x81", out, sizeof out);  // a hole in the code page
  EXPECT_STREQ(out, "?");
  AnsiToUtf8(nullptr, out, sizeof out);
  EXPECT_STREQ(out, "");
}

TEST(AnsiToUtf8, NeverSplitsACharacterOrOverrunsTheBuffer) {
  char out[6];
  std::memset(out, 'X', sizeof out);
  AnsiToUtf8("ab\x80\x80", out, 6);  // "ab" + 3 bytes = 5, the second euro does not fit
  EXPECT_STREQ(out, "ab\xE2\x82\xAC");
  char tiny[2] = {'X', 'X'};
  AnsiToUtf8("\xE0", tiny, 2);  // two bytes needed, one free
  EXPECT_STREQ(tiny, "");
}

}  // namespace
}  // namespace portable
