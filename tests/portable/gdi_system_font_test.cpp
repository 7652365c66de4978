// The System font file our layer reads: a missing or unusable file gives the outline font in
// its place and one line naming the package, however much text follows; face names in any
// letter case; requests too large for a bitmap font stay bounded.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "gdi_test_util.h"
#include "tests/fonts/fon_file.h"

using gdi_test::Canvas;

namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// The number of times `what` occurs in `said`.
int Occurrences(const std::string& said, const char* what) {
  int n = 0;
  for (size_t at = said.find(what); at != std::string::npos; at = said.find(what, at + 1)) ++n;
  return n;
}

// Everything written to standard error so far (it goes to a file in the fresh processes).
std::string StandardErrorSoFar() {
  std::fflush(stderr);
  std::string said(8192, '\0');
  const ssize_t n = pread(2, said.data(), said.size(), 0);
  said.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return said;
}

// Runs `body` in a fresh process, in which no font has been loaded yet, whose System font
// file is `fontPath` and whose standard error goes to a file. The child exits with body's
// result (0 for success), or 20 when its own set-up failed.
void ExpectInFreshProcess(const char* fontPath, int (*body)()) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        char log[] = "/tmp/gdi_system_font_log_XXXXXX";
        const int logFd = mkstemp(log);
        if (logFd < 0) std::exit(20);
        unlink(log);
        setenv("SPIRALS_SYSTEM_FONT", fontPath, 1);
        dup2(logFd, 2);
        std::exit(body());
      },
      testing::ExitedWithCode(0), "");
}

// Draws and measures a lot of text in several DCs; returns the System font's metrics.
TEXTMETRICA UseTextHeavily() {
  TEXTMETRICA tm{};
  for (int i = 0; i < 5; ++i) {
    Canvas c(300, 20, kBlue);
    GetTextMetricsA(c.dc(), &tm);
    for (int j = 0; j < 20; ++j) TextOutA(c.dc(), 0, 0, "Velocita'[ + - ] = 2.50", 23);
    LOGFONTA lf{};
    GetObjectA(GetStockObject(SYSTEM_FONT), sizeof(lf), &lf);
    HFONT copy = CreateFontIndirectA(&lf);
    SelectObject(c.dc(), copy);
    TextOutA(c.dc(), 0, 0, "x", 1);
    SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(copy);
  }
  return tm;
}

// With the file missing, text comes in DejaVu Sans Bold with the System font's 16-pixel cell,
// as it did before the bitmap font was used, and the program says once, in one line, which
// file is missing and which package provides it.
TEST(GdiSystemFontDeathTest, MissingFileFallsBackToTheOutlineFontAndSaysSoOnce) {
  ExpectInFreshProcess("/nonexistent/vgasys.fon", [] {
    const TEXTMETRICA tm = UseTextHeavily();
    Canvas c(300, 20, kBlue);
    SIZE system{}, outline{};
    GetTextExtentPoint32A(c.dc(), "Mouse SX=Ridisegna", 18, &system);
    LOGFONTA lf{};
    lf.lfHeight = 16;
    lf.lfWeight = FW_BOLD;
    std::strcpy(lf.lfFaceName, "DejaVu Sans");
    HFONT dejavu = CreateFontIndirectA(&lf);
    SelectObject(c.dc(), dejavu);
    GetTextExtentPoint32A(c.dc(), "Mouse SX=Ridisegna", 18, &outline);
    SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(dejavu);
    if (tm.tmHeight != 16 || tm.tmWeight != FW_BOLD) return 1;
    if (system.cx != outline.cx || system.cy != 16) return 2;
    const std::string said = StandardErrorSoFar();
    if (Occurrences(said, "\n") != 1) return 3;
    if (Occurrences(said, "/nonexistent/vgasys.fon is missing") != 1) return 4;
    if (Occurrences(said, "fonts-wine") != 1) return 5;
    return 0;
  });
}

TEST(GdiSystemFontDeathTest, AFileThatIsNoBitmapFontIsRefusedWithItsReason) {
  static char notAFont[] = "/tmp/gdi_not_a_font_XXXXXX";
  const int fd = mkstemp(notAFont);
  ASSERT_GE(fd, 0);
  const char text[] = "MZ this is not a font at all\n";
  ASSERT_EQ(write(fd, text, sizeof(text) - 1), static_cast<ssize_t>(sizeof(text) - 1));
  close(fd);
  ExpectInFreshProcess(notAFont, [] {
    const TEXTMETRICA tm = UseTextHeavily();
    const std::string said = StandardErrorSoFar();
    if (Occurrences(said, "is not a font FreeType can read") != 1) return 1;
    if (Occurrences(said, "fonts-wine") != 1) return 2;
    return tm.tmHeight == 16 && tm.tmWeight == FW_BOLD ? 0 : 3;
  });
  unlink(notAFont);
  // An outline font is readable but is no Windows bitmap font.
  ExpectInFreshProcess("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", [] {
    UseTextHeavily();
    return Occurrences(StandardErrorSoFar(), "is not a Windows bitmap font") == 1 ? 0 : 1;
  });
}

TEST(GdiSystemFont, FaceNameInAnyCaseAndNothingElse) {
  fon::FontFile font;
  std::string error;
  ASSERT_TRUE(fon::ReadFon(fon::SystemFontPath(), &font, &error)) << error;
  Canvas c(1, 1);
  for (const char* face : {"System", "SYSTEM", "system", "Systems", "Syste"}) {
    SCOPED_TRACE(face);
    LOGFONTA lf{};
    lf.lfHeight = 16;
    lf.lfWeight = FW_BOLD;
    std::strcpy(lf.lfFaceName, face);
    HFONT f = CreateFontIndirectA(&lf);
    HGDIOBJ old = SelectObject(c.dc(), f);
    TEXTMETRICA tm{};
    GetTextMetricsA(c.dc(), &tm);
    const bool isSystem = std::strlen(face) == 6;
    // Only the bitmap font reports the file's widest glyph and no TrueType bit.
    EXPECT_EQ(tm.tmMaxCharWidth == font.maxWidth && tm.tmPitchAndFamily == font.pitchAndFamily,
              isSystem);
    SelectObject(c.dc(), old);
    DeleteObject(f);
  }
}

TEST(GdiSystemFont, HugeRequestsStayBoundedAndDrawWholeBlocks) {
  Canvas c(2000, 300, kBlue);
  LOGFONTA lf{};
  lf.lfHeight = 0x7FFFFFFF;
  lf.lfWidth = -0x7FFFFFFF;
  std::strcpy(lf.lfFaceName, "System");
  HFONT f = CreateFontIndirectA(&lf);
  SelectObject(c.dc(), f);
  TEXTMETRICA tm{};
  ASSERT_TRUE(GetTextMetricsA(c.dc(), &tm));
  EXPECT_EQ(tm.tmHeight, 256);  // 16 times: the largest enlargement of a 16-pixel font
  ASSERT_EQ(tm.tmAveCharWidth % 7, 0);
  const int xScale = tm.tmAveCharWidth / 7;
  EXPECT_GT(xScale, 1);
  EXPECT_LE(tm.tmMaxCharWidth, 256);
  SIZE s{};
  ASSERT_TRUE(GetTextExtentPoint32A(c.dc(), "W", 1, &s));
  SetBkMode(c.dc(), TRANSPARENT);
  ASSERT_TRUE(TextOutA(c.dc(), 0, 0, "W", 1));
  const int ink = c.Count(kBlack);
  EXPECT_GT(ink, 0);
  // Every bitmap pixel became a whole block.
  EXPECT_EQ(ink % (xScale * 16), 0);
  EXPECT_EQ(s.cy, 256);
  SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
  DeleteObject(f);
}

}  // namespace
