// The System font, the default font of a device context, against its own font file read
// without GDI: metrics, advances, extents, the current position after TA_UPDATECP, glyph
// pixels, a copy made from its LOGFONTA, and whole-number enlargement.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/conformance/conformance_support.h"
#include "tests/fonts/fon_file.h"

namespace conformance {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

class SystemFont : public ::testing::Test {
 protected:
  static constexpr int kWidth = 720;
  static constexpr int kHeight = 40;

  void SetUp() override {
    std::string error;
    ASSERT_TRUE(fon::ReadFon(fon::SystemFontPath(), &font_, &error))
        << fon::SystemFontPath() << ": " << error
        << " (scripts/setup installs it with the package fonts-wine)";
    ResetRecorder();
    hwnd_ = CreateTestWindow(WS_POPUP, 0, 0, 100, 100);
    ASSERT_NE(hwnd_, nullptr);
    HDC windowDc = GetDC(hwnd_);
    dc_ = CreateCompatibleDC(windowDc);
    bitmap_ = CreateCompatibleBitmap(windowDc, kWidth, kHeight);
    ReleaseDC(hwnd_, windowDc);
    ASSERT_NE(dc_, nullptr);
    ASSERT_NE(bitmap_, nullptr);
    oldBitmap_ = SelectObject(dc_, bitmap_);
    PatBlt(dc_, 0, 0, kWidth, kHeight, WHITENESS);
    SetTextColor(dc_, kBlack);
    SetBkColor(dc_, kWhite);
  }
  void TearDown() override {
    if (dc_ != nullptr) {
      SelectObject(dc_, oldBitmap_);
      DeleteDC(dc_);
    }
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }

  // Rows [top, top + height) of columns [left, left + width) as '#' (black) and '.' (white).
  std::vector<std::string> Read(int left, int top, int width, int height) {
    std::vector<std::string> rows;
    for (int y = top; y < top + height; ++y) {
      std::string row;
      for (int x = left; x < left + width; ++x) {
        const COLORREF c = GetPixel(dc_, x, y);
        row += c == kBlack ? '#' : c == kWhite ? '.' : '?';
      }
      rows.push_back(row);
    }
    return rows;
  }

  static std::vector<std::string> Blank(int width, int height) {
    return std::vector<std::string>(static_cast<size_t>(height),
                                    std::string(static_cast<size_t>(width), '.'));
  }

  // The font file's bitmaps for `text`, each pixel an x by y block.
  std::vector<std::string> Expected(const std::string& text, int xScale = 1, int yScale = 1) {
    std::vector<std::string> rows;
    for (const std::string& row : fon::Render(font_, text)) {
      std::string wide;
      for (char c : row) wide.append(static_cast<size_t>(xScale), c);
      for (int i = 0; i < yScale; ++i) rows.push_back(wide);
    }
    return rows;
  }

  fon::FontFile font_;
  HWND hwnd_ = nullptr;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
};

TEST_F(SystemFont, TheFileIsTheSixteenPixelBoldSystemFont) {
  EXPECT_EQ(font_.face, "System");
  EXPECT_EQ(font_.pixelHeight, 16);
  EXPECT_EQ(font_.ascent, 13);
  EXPECT_EQ(font_.averageWidth, 7);
  EXPECT_EQ(font_.weight, 700);
}

TEST_F(SystemFont, MetricsAreTheFilesHeader) {
  EXPECT_EQ(GetCurrentObject(dc_, OBJ_FONT), GetStockObject(SYSTEM_FONT));
  TEXTMETRICA tm{};
  ASSERT_TRUE(GetTextMetricsA(dc_, &tm));
  EXPECT_EQ(tm.tmHeight, font_.pixelHeight);
  EXPECT_EQ(tm.tmAscent, font_.ascent);
  EXPECT_EQ(tm.tmDescent, font_.pixelHeight - font_.ascent);
  EXPECT_EQ(tm.tmInternalLeading, font_.internalLeading);
  EXPECT_EQ(tm.tmExternalLeading, font_.externalLeading);
  EXPECT_EQ(tm.tmAveCharWidth, font_.averageWidth);
  EXPECT_EQ(tm.tmMaxCharWidth, font_.maxWidth);
  EXPECT_EQ(tm.tmWeight, font_.weight);
  EXPECT_EQ(tm.tmOverhang, 0);
  EXPECT_EQ(tm.tmDigitizedAspectX, font_.horizontalResolution);
  EXPECT_EQ(tm.tmDigitizedAspectY, font_.verticalResolution);
  EXPECT_EQ(tm.tmFirstChar, font_.firstChar);
  EXPECT_EQ(tm.tmLastChar, font_.lastChar);
  // The file counts the default and break characters from its first character.
  EXPECT_EQ(tm.tmDefaultChar, font_.firstChar + font_.defaultChar);
  EXPECT_EQ(tm.tmBreakChar, font_.firstChar + font_.breakChar);
  EXPECT_EQ(tm.tmItalic, font_.italic);
  EXPECT_EQ(tm.tmPitchAndFamily, font_.pitchAndFamily);  // variable pitch, swiss, raster
  EXPECT_EQ(tm.tmCharSet, font_.charSet);
}

TEST_F(SystemFont, EveryByteAdvancesByItsWidthInTheFile) {
  std::string widths;
  for (int c = 0; c < 256; ++c) {
    const char ch = static_cast<char>(c);
    SIZE s{};
    ASSERT_TRUE(GetTextExtentPoint32A(dc_, &ch, 1, &s));
    EXPECT_EQ(s.cx, font_.For(static_cast<uint8_t>(c)).width) << "byte " << c;
    EXPECT_EQ(s.cy, 16);
  }
  const std::string line = "Velocita'[ + - ] = 2.50   Tipo[ 1-9 ] = 5";
  SIZE s{};
  ASSERT_TRUE(GetTextExtentPoint32A(dc_, line.c_str(), static_cast<int>(line.size()), &s));
  EXPECT_EQ(s.cx, font_.Width(line));
}

TEST_F(SystemFont, UpdateCpMovesByTheRealAdvances) {
  SetTextAlign(dc_, TA_UPDATECP);
  MoveToEx(dc_, 5, 3, nullptr);
  const std::string a = "Mouse SX=Ridisegna";
  const std::string b = "  ESC=Esci";
  ASSERT_TRUE(TextOutA(dc_, 0, 0, a.c_str(), static_cast<int>(a.size())));
  POINT p{};
  GetCurrentPositionEx(dc_, &p);
  EXPECT_EQ(p.x, 5 + font_.Width(a));
  EXPECT_EQ(p.y, 3);
  ASSERT_TRUE(ExtTextOutA(dc_, 0, 0, 0, nullptr, b.c_str(), static_cast<UINT>(b.size()), nullptr));
  GetCurrentPositionEx(dc_, &p);
  EXPECT_EQ(p.x, 5 + font_.Width(a + b));
  EXPECT_EQ(Read(5, 3, font_.Width(a + b), 16), Expected(a + b));
}

TEST_F(SystemFont, GlyphPixelsAreTheBitmapsOfTheFile) {
  std::string all;
  for (int c = 32; c < 128; ++c) all += static_cast<char>(c);
  for (size_t start = 0; start < all.size(); start += 48) {
    const std::string part = all.substr(start, 48);
    SCOPED_TRACE(part);
    PatBlt(dc_, 0, 0, kWidth, kHeight, WHITENESS);
    ASSERT_TRUE(TextOutA(dc_, 2, 1, part.c_str(), static_cast<int>(part.size())));
    const int width = font_.Width(part);
    EXPECT_EQ(Read(2, 1, width, 16), Expected(part));
    // Nothing outside the cell.
    EXPECT_EQ(Read(0, 17, kWidth, kHeight - 17), Blank(kWidth, kHeight - 17));
    EXPECT_EQ(Read(2 + width, 0, kWidth - 2 - width, 17), Blank(kWidth - 2 - width, 17));
    EXPECT_EQ(Read(0, 0, 2, kHeight), Blank(2, kHeight));
    EXPECT_EQ(Read(0, 0, kWidth, 1), Blank(kWidth, 1));
  }
  // Accented letters of Windows-1252.
  PatBlt(dc_, 0, 0, kWidth, kHeight, WHITENESS);
  const std::string accents = "\xE0\xE8\xE9\xEC\xF2\xF9\xC0\xC8\xE7\xF1";
  TextOutA(dc_, 0, 0, accents.c_str(), static_cast<int>(accents.size()));
  EXPECT_EQ(Read(0, 0, font_.Width(accents), 16), Expected(accents));
}

TEST_F(SystemFont, ACopyFromItsLogfontIsTheSameFont) {
  LOGFONTA lf{};
  ASSERT_EQ(GetObjectA(GetStockObject(SYSTEM_FONT), sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
  EXPECT_EQ(lf.lfHeight, 16);
  EXPECT_EQ(lf.lfWidth, 7);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_STREQ(lf.lfFaceName, "System");
  HFONT copy = CreateFontIndirectA(&lf);
  ASSERT_NE(copy, nullptr);
  HGDIOBJ old = SelectObject(dc_, copy);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc_, &tm);
  EXPECT_EQ(tm.tmHeight, 16);
  EXPECT_EQ(tm.tmAveCharWidth, 7);
  EXPECT_EQ(tm.tmMaxCharWidth, font_.maxWidth);
  EXPECT_EQ(tm.tmWeight, 700);
  EXPECT_EQ(tm.tmPitchAndFamily, font_.pitchAndFamily);
  const std::string text = "Pausa - Mouse DX=Contnua";
  TextOutA(dc_, 0, 0, text.c_str(), static_cast<int>(text.size()));
  EXPECT_EQ(Read(0, 0, font_.Width(text), 16), Expected(text));
  SelectObject(dc_, old);
  EXPECT_TRUE(DeleteObject(copy));
}

// GDI enlarges a raster font by whole multiples: a 32-pixel cell (or 26-pixel characters)
// doubles every bitmap pixel; sizes in between keep the font as it is.
TEST_F(SystemFont, LargerRequestsScaleByWholeMultiples) {
  struct Case {
    LONG height, width;
    int xScale, yScale;
  };
  const Case cases[] = {{16, 0, 1, 1}, {-13, 0, 1, 1}, {24, 0, 1, 1},
                        {32, 0, 2, 2}, {-26, 0, 2, 2}, {16, 14, 2, 1}};
  const std::string text = "Ag5=";
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.height << "x" << c.width);
    LOGFONTA lf{};
    lf.lfHeight = c.height;
    lf.lfWidth = c.width;
    lf.lfWeight = FW_BOLD;
    std::strcpy(lf.lfFaceName, "System");
    HFONT f = CreateFontIndirectA(&lf);
    HGDIOBJ old = SelectObject(dc_, f);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc_, &tm);
    EXPECT_EQ(tm.tmHeight, 16 * c.yScale);
    EXPECT_EQ(tm.tmAscent, 13 * c.yScale);
    EXPECT_EQ(tm.tmAveCharWidth, 7 * c.xScale);
    SIZE s{};
    GetTextExtentPoint32A(dc_, text.c_str(), 4, &s);
    EXPECT_EQ(s.cx, font_.Width(text) * c.xScale);
    // Wine reports the enlarged metrics but draws the bitmaps at their own size; Windows
    // enlarges them.
    if (RunningOnWine() && (c.xScale > 1 || c.yScale > 1)) {
      SelectObject(dc_, old);
      DeleteObject(f);
      continue;
    }
    PatBlt(dc_, 0, 0, kWidth, kHeight, WHITENESS);
    TextOutA(dc_, 0, 0, text.c_str(), 4);
    EXPECT_EQ(Read(0, 0, font_.Width(text) * c.xScale, 16 * c.yScale),
              Expected(text, c.xScale, c.yScale));
    SelectObject(dc_, old);
    DeleteObject(f);
  }
}

}  // namespace
}  // namespace conformance
