// Text: the System font's metrics, glyph pixels, backgrounds, alignment and the current
// position, options of ExtTextOutA, and drawing on without any font.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gdi_test_util.h"

using gdi_test::Canvas;

namespace {

using kit::kBlack;
using kit::kBlue;
using kit::kRed;
using kit::kWhite;

// Bounding box of the pixels of colour `c`; empty (right <= left) when there are none.
RECT InkBox(const Canvas& canvas, COLORREF c) {
  RECT r{canvas.width(), canvas.height(), 0, 0};
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x)
      if (canvas.At(x, y) == c) {
        r.left = std::min<LONG>(r.left, x);
        r.top = std::min<LONG>(r.top, y);
        r.right = std::max<LONG>(r.right, x + 1);
        r.bottom = std::max<LONG>(r.bottom, y + 1);
      }
  return r;
}

// True when `said` holds `what` exactly once.
bool SaidOnce(const std::string& said, const char* what) {
  const size_t first = said.find(what);
  return first != std::string::npos && said.find(what, first + 1) == std::string::npos;
}

TEST(GdiText, SystemFontMetrics) {
  Canvas c(1, 1);
  TEXTMETRICA tm{};
  ASSERT_TRUE(GetTextMetricsA(c.dc(), &tm));
  EXPECT_EQ(tm.tmHeight, 16);
  EXPECT_EQ(tm.tmAscent + tm.tmDescent, 16);
  EXPECT_GE(tm.tmAveCharWidth, 6);
  EXPECT_LE(tm.tmAveCharWidth, 8);
  EXPECT_EQ(tm.tmWeight, FW_BOLD);
  SIZE s{};
  ASSERT_TRUE(GetTextExtentPoint32A(c.dc(), "Hello", 5, &s));
  EXPECT_EQ(s.cy, 16);
  EXPECT_GT(s.cx, 5 * 5);
  EXPECT_LT(s.cx, 5 * 12);
  // Extents add up character by character.
  SIZE a{}, b{};
  GetTextExtentPoint32A(c.dc(), "He", 2, &a);
  GetTextExtentPoint32A(c.dc(), "llo", 3, &b);
  EXPECT_EQ(a.cx + b.cx, s.cx);
  EXPECT_TRUE(GetTextExtentPoint32A(c.dc(), "", 0, &s));
  EXPECT_EQ(s.cx, 0);
  EXPECT_FALSE(GetTextExtentPoint32A(c.dc(), "x", -1, &s));
  EXPECT_FALSE(GetTextExtentPoint32A(c.dc(), nullptr, 3, &s));
}

TEST(GdiText, OpaqueTextFillsItsCellAndInkStaysInside) {
  Canvas c(120, 30, kBlue);
  SetBkColor(c.dc(), kWhite);
  SetTextColor(c.dc(), kRed);
  SIZE s;
  GetTextExtentPoint32A(c.dc(), "Wg|", 3, &s);
  ASSERT_TRUE(TextOutA(c.dc(), 5, 7, "Wg|", 3));
  RECT ink = InkBox(c, kRed);
  ASSERT_LT(ink.left, ink.right) << "no glyph pixels";
  EXPECT_GE(ink.left, 5);
  EXPECT_GE(ink.top, 7);
  EXPECT_LE(ink.right, 5 + s.cx);
  EXPECT_LE(ink.bottom, 7 + 16);
  // Monochrome: only the two colours inside the cell, untouched outside it.
  for (int y = 0; y < c.height(); ++y) {
    for (int x = 0; x < c.width(); ++x) {
      bool inCell = x >= 5 && x < 5 + s.cx && y >= 7 && y < 7 + 16;
      COLORREF p = c.At(x, y);
      if (inCell) {
        EXPECT_TRUE(p == kWhite || p == kRed) << x << "," << y;
      } else {
        EXPECT_EQ(p, kBlue) << x << "," << y;
      }
    }
  }
  // Descender of g below the baseline, bar of | above the x height.
  EXPECT_GT(ink.bottom, 7 + 13 - 1);
}

TEST(GdiText, TransparentTextDrawsOnlyGlyphs) {
  Canvas c(60, 20, kBlue);
  SetBkMode(c.dc(), TRANSPARENT);
  SetTextColor(c.dc(), kRed);
  TextOutA(c.dc(), 0, 0, "Ab", 2);
  EXPECT_GT(c.Count(kRed), 10);
  EXPECT_EQ(c.Count(kWhite), 0);
  EXPECT_EQ(c.Count(kRed) + c.Count(kBlue), 60 * 20);
}

TEST(GdiText, UpdateCpStartsAtAndMovesThePosition) {
  Canvas c(200, 20);
  SetTextAlign(c.dc(), TA_UPDATECP);
  MoveToEx(c.dc(), 10, 2, nullptr);
  SIZE s;
  GetTextExtentPoint32A(c.dc(), "abc", 3, &s);
  TextOutA(c.dc(), 99, 99, "abc", 3);  // the point given is ignored
  POINT p;
  GetCurrentPositionEx(c.dc(), &p);
  EXPECT_EQ(p.x, 10 + s.cx);
  EXPECT_EQ(p.y, 2);
  RECT ink = InkBox(c, kBlack);
  EXPECT_GE(ink.left, 10);
  EXPECT_GE(ink.top, 2);
  EXPECT_LE(ink.right, 10 + s.cx);
  // The next text continues where this one ended, on the same line.
  TextOutA(c.dc(), 0, 0, "abc", 3);
  GetCurrentPositionEx(c.dc(), &p);
  EXPECT_EQ(p.x, 10 + 2 * s.cx);
  // Right alignment with TA_UPDATECP ends the text at the position and moves it back.
  SetTextAlign(c.dc(), TA_UPDATECP | TA_RIGHT);
  TextOutA(c.dc(), 0, 0, "abc", 3);
  GetCurrentPositionEx(c.dc(), &p);
  EXPECT_EQ(p.x, 10 + s.cx);
  // Without TA_UPDATECP the position stays.
  SetTextAlign(c.dc(), TA_NOUPDATECP);
  TextOutA(c.dc(), 150, 0, "abc", 3);
  GetCurrentPositionEx(c.dc(), &p);
  EXPECT_EQ(p.x, 10 + s.cx);
}

TEST(GdiText, AlignmentMovesTheCell) {
  Canvas c(100, 60, kBlue);
  SIZE s;
  GetTextExtentPoint32A(c.dc(), "MM", 2, &s);
  SetTextAlign(c.dc(), TA_RIGHT | TA_BOTTOM);
  TextOutA(c.dc(), 80, 50, "MM", 2);
  RECT box = InkBox(c, kWhite);  // the opaque cell
  EXPECT_EQ(box.left, 80 - s.cx);
  EXPECT_EQ(box.right, 80);
  EXPECT_EQ(box.top, 50 - 16);
  EXPECT_EQ(box.bottom, 50);
  Canvas d(100, 60, kBlue);
  TEXTMETRICA tm;
  GetTextMetricsA(d.dc(), &tm);
  SetTextAlign(d.dc(), TA_CENTER | TA_BASELINE);
  TextOutA(d.dc(), 50, 30, "MM", 2);
  box = InkBox(d, kWhite);
  EXPECT_EQ(box.left, 50 - s.cx / 2);
  EXPECT_EQ(box.top, 30 - tm.tmAscent);
}

TEST(GdiText, ExtTextOutOpaqueAndClipped) {
  Canvas c(50, 30, kBlue);
  SetBkColor(c.dc(), kRed);
  RECT r{4, 5, 20, 9};
  // ETO_OPAQUE with no text fills the rectangle with the background colour.
  ASSERT_TRUE(ExtTextOutA(c.dc(), 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr));
  EXPECT_EQ(c.Count(kRed), 16 * 4);
  EXPECT_EQ(c.At(4, 5), kRed);
  EXPECT_EQ(c.At(19, 8), kRed);
  EXPECT_EQ(c.At(20, 8), kBlue);
  EXPECT_EQ(c.At(4, 9), kBlue);
  // Even in TRANSPARENT mode.
  SetBkMode(c.dc(), TRANSPARENT);
  RECT r2{0, 20, 2, 21};
  ExtTextOutA(c.dc(), 0, 0, ETO_OPAQUE, &r2, "", 0, nullptr);
  EXPECT_EQ(c.At(1, 20), kRed);

  // ETO_CLIPPED keeps text and its background inside the rectangle.
  Canvas d(80, 30, kBlue);
  RECT clip{0, 0, 10, 30};
  ExtTextOutA(d.dc(), 0, 0, ETO_CLIPPED, &clip, "WWWW", 4, nullptr);
  RECT box = InkBox(d, kWhite);
  EXPECT_EQ(box.right, 10);
  EXPECT_EQ(InkBox(d, kBlack).right <= 10, true);
  // Bad arguments.
  EXPECT_FALSE(ExtTextOutA(d.dc(), 0, 0, 0, nullptr, nullptr, 2, nullptr));
  EXPECT_FALSE(TextOutA(d.dc(), 0, 0, "x", -1));
}

TEST(GdiText, ExplicitAdvancesAndControlCharacters) {
  Canvas c(100, 20, kBlue);
  INT dx[3] = {20, 20, 20};
  SetTextAlign(c.dc(), TA_UPDATECP);
  ExtTextOutA(c.dc(), 0, 0, 0, nullptr, "iii", 3, dx);
  POINT p;
  GetCurrentPositionEx(c.dc(), &p);
  EXPECT_EQ(p.x, 60);
  // The System font has no control characters: they draw its default character, as on
  // Windows, and take its room.
  SIZE with{}, without{}, fallback{};
  GetTextExtentPoint32A(c.dc(), "ab\r\n", 4, &with);
  GetTextExtentPoint32A(c.dc(), "ab", 2, &without);
  TEXTMETRICA tm{};
  GetTextMetricsA(c.dc(), &tm);
  const char defaultChar = static_cast<char>(tm.tmDefaultChar);
  GetTextExtentPoint32A(c.dc(), &defaultChar, 1, &fallback);
  EXPECT_GT(fallback.cx, 0);
  EXPECT_EQ(with.cx, without.cx + 2 * fallback.cx);
  Canvas sys(40, 20, kBlue);
  SetBkMode(sys.dc(), TRANSPARENT);
  TextOutA(sys.dc(), 0, 0, "\r", 1);
  Canvas dflt(40, 20, kBlue);
  SetBkMode(dflt.dc(), TRANSPARENT);
  TextOutA(dflt.dc(), 0, 0, &defaultChar, 1);
  EXPECT_GT(sys.Count(kBlack), 0);
  EXPECT_EQ(sys.Picture({{kBlue, '.'}, {kBlack, '#'}}),
            dflt.Picture({{kBlue, '.'}, {kBlack, '#'}}));

  // An outline font: CR and LF take no room and leave no ink.
  LOGFONTA lf{};
  lf.lfHeight = 16;
  std::strcpy(lf.lfFaceName, "DejaVu Sans");
  HFONT outline = CreateFontIndirectA(&lf);
  HGDIOBJ old = SelectObject(c.dc(), outline);
  GetTextExtentPoint32A(c.dc(), "ab\r\n", 4, &with);
  GetTextExtentPoint32A(c.dc(), "ab", 2, &without);
  EXPECT_EQ(with.cx, without.cx);
  SelectObject(c.dc(), old);
  Canvas e(40, 20, kBlue);
  SetBkMode(e.dc(), TRANSPARENT);
  SelectObject(e.dc(), outline);
  TextOutA(e.dc(), 0, 0, "\r\n\t", 3);
  EXPECT_EQ(e.Count(kBlue), 40 * 20);
  SelectObject(e.dc(), GetStockObject(SYSTEM_FONT));
  EXPECT_TRUE(DeleteObject(outline));
}

TEST(GdiText, Windows1252BytesHaveGlyphs) {
  Canvas c(40, 20, kBlue);
  SetBkMode(c.dc(), TRANSPARENT);
  SIZE euro{}, e8{};
  GetTextExtentPoint32A(c.dc(), "\x80", 1, &euro);  // euro sign
  GetTextExtentPoint32A(c.dc(), "\xE8", 1, &e8);    // e grave
  EXPECT_GT(euro.cx, 3);
  EXPECT_GT(e8.cx, 3);
  TextOutA(c.dc(), 0, 0, "\x80", 1);
  EXPECT_GT(c.Count(kBlack), 5);
}

TEST(GdiText, FontsFollowTheirLogfont) {
  Canvas c(1, 1);
  LOGFONTA lf{};
  lf.lfHeight = -24;
  lf.lfWeight = FW_NORMAL;
  std::strcpy(lf.lfFaceName, "DejaVu Sans");
  HFONT big = CreateFontIndirectA(&lf);
  lf.lfHeight = 30;
  HFONT cell = CreateFontIndirectA(&lf);
  HGDIOBJ old = SelectObject(c.dc(), big);
  EXPECT_EQ(old, GetStockObject(SYSTEM_FONT));
  TEXTMETRICA tm;
  GetTextMetricsA(c.dc(), &tm);
  EXPECT_GT(tm.tmHeight, 24);
  EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 24);
  EXPECT_EQ(tm.tmWeight, FW_NORMAL);
  SelectObject(c.dc(), cell);
  GetTextMetricsA(c.dc(), &tm);
  EXPECT_EQ(tm.tmHeight, 30);
  // A copy of the System font made from its LOGFONTA measures the same.
  LOGFONTA sys;
  GetObjectA(GetStockObject(SYSTEM_FONT), sizeof(sys), &sys);
  HFONT copy = CreateFontIndirectA(&sys);
  SelectObject(c.dc(), copy);
  SIZE a, b;
  GetTextExtentPoint32A(c.dc(), "Velocita 12", 11, &a);
  SelectObject(c.dc(), old);
  GetTextExtentPoint32A(c.dc(), "Velocita 12", 11, &b);
  EXPECT_EQ(a.cx, b.cx);
  EXPECT_EQ(a.cy, b.cy);
  for (HFONT f : {big, cell, copy}) EXPECT_TRUE(DeleteObject(f));
}

// Without any font the text still measures on a 7x16 cell and fills its opaque box; the
// program says once which package provides the System font and once which provides the
// others. Runs in a fresh process so that no font has been loaded yet.
TEST(GdiTextDeathTest, NoFontFallsBackToBoxes) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        char config[] = "/tmp/gdi_no_fonts_XXXXXX";
        char log[] = "/tmp/gdi_no_fonts_log_XXXXXX";
        int fd = mkstemp(config);
        int logFd = mkstemp(log);
        if (fd < 0 || logFd < 0) std::exit(10);
        const char text[] = "<?xml version=\"1.0\"?><fontconfig></fontconfig>\n";
        if (write(fd, text, sizeof(text) - 1) < 0) std::exit(11);
        close(fd);
        setenv("FONTCONFIG_FILE", config, 1);
        setenv("SPIRALS_SYSTEM_FONT", "/nonexistent/vgasys.fon", 1);
        dup2(logFd, 2);
        Canvas c(100, 20, kBlue);
        SetBkColor(c.dc(), kRed);
        SIZE s{};
        GetTextExtentPoint32A(c.dc(), "abcd", 4, &s);
        TextOutA(c.dc(), 1, 2, "abcd", 4);
        TextOutA(c.dc(), 1, 2, "ab\r\n", 4);
        std::fflush(stderr);
        std::string said(4096, '\0');
        ssize_t n = pread(logFd, said.data(), said.size(), 0);
        said.resize(n > 0 ? static_cast<size_t>(n) : 0);
        unlink(config);
        unlink(log);
        bool once = SaidOnce(said, "fonts-dejavu-core") && SaidOnce(said, "fonts-wine");
        bool ok = s.cx == 28 && s.cy == 16 && c.Count(kRed) == 28 * 16 && c.At(1, 2) == kRed &&
                  c.At(28, 17) == kRed && c.At(29, 2) == kBlue;
        std::exit(!once ? 2 : ok ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
