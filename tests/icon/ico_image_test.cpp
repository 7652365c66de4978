// Icon 101 as the desktop's PNG icons: decoding .ico files of every depth we take, refusing
// damaged ones with a reason, nearest-neighbour scaling, and PNG files that keep each pixel.
#include "ico_image.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "png_file.h"

namespace {

using icon::DecodeIco;
using icon::RgbaImage;
using icon::ScaleNearest;

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// A one-image .ico file. `colours` holds palette indices (up to 8 bits) or 0x00RRGGBB /
// 0xAARRGGBB values, top row first; `transparent` marks pixels for the AND mask.
struct IcoSpec {
  int width = 4;
  int height = 4;
  int bits = 4;
  std::vector<uint32_t> palette;  // 0x00RRGGBB
  std::vector<uint32_t> colours;
  std::vector<bool> transparent;
  uint32_t coloursUsed = 0;
  uint32_t compression = 0;
};

std::vector<uint8_t> MakeIco(const IcoSpec& s) {
  std::vector<uint8_t> image;
  Put32(image, 40);
  Put32(image, static_cast<uint32_t>(s.width));
  Put32(image, static_cast<uint32_t>(s.height * 2));
  Put16(image, 1);
  Put16(image, static_cast<uint32_t>(s.bits));
  Put32(image, s.compression);
  Put32(image, 0);
  Put32(image, 0);
  Put32(image, 0);
  Put32(image, s.coloursUsed);
  Put32(image, 0);
  for (uint32_t c : s.palette) Put32(image, c);  // B, G, R, 0 in memory
  const size_t rowBytes = (static_cast<size_t>(s.width) * s.bits + 31) / 32 * 4;
  for (int y = s.height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(rowBytes, 0);
    for (int x = 0; x < s.width; ++x) {
      const uint32_t v = s.colours[static_cast<size_t>(y) * s.width + x];
      if (s.bits <= 8) {
        const size_t bit = static_cast<size_t>(x) * s.bits;
        row[bit / 8] |= static_cast<uint8_t>(v << (8 - s.bits - bit % 8));
      } else {
        const size_t at = static_cast<size_t>(x) * (s.bits / 8);
        row[at] = static_cast<uint8_t>(v);
        row[at + 1] = static_cast<uint8_t>(v >> 8);
        row[at + 2] = static_cast<uint8_t>(v >> 16);
        if (s.bits == 32) row[at + 3] = static_cast<uint8_t>(v >> 24);
      }
    }
    image.insert(image.end(), row.begin(), row.end());
  }
  const size_t maskBytes = (static_cast<size_t>(s.width) + 31) / 32 * 4;
  for (int y = s.height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(maskBytes, 0);
    for (int x = 0; x < s.width; ++x) {
      if (!s.transparent.empty() && s.transparent[static_cast<size_t>(y) * s.width + x])
        row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
    image.insert(image.end(), row.begin(), row.end());
  }
  std::vector<uint8_t> file;
  Put16(file, 0);
  Put16(file, 1);
  Put16(file, 1);
  file.push_back(static_cast<uint8_t>(s.width == 256 ? 0 : s.width));
  file.push_back(static_cast<uint8_t>(s.height == 256 ? 0 : s.height));
  file.push_back(0);
  file.push_back(0);
  Put16(file, 1);
  Put16(file, static_cast<uint32_t>(s.bits));
  Put32(file, static_cast<uint32_t>(image.size()));
  Put32(file, 22);
  file.insert(file.end(), image.begin(), image.end());
  return file;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The letter picture the icon is drawn from, as the pixels the decoder must give.
std::vector<uint32_t> PicturePixels() {
  const std::map<char, uint32_t> rgb = {
      {'K', 0x000000}, {'R', 0x800000}, {'G', 0x008000}, {'Y', 0x808000},
      {'B', 0x000080}, {'M', 0x800080}, {'C', 0x008080}, {'s', 0xC0C0C0},
      {'g', 0x808080}, {'r', 0xFF0000}, {'l', 0x00FF00}, {'y', 0xFFFF00},
      {'b', 0x0000FF}, {'m', 0xFF00FF}, {'c', 0x00FFFF}, {'W', 0xFFFFFF}};
  std::ifstream in(SPIRALS_SOURCE_DIR "/resources/spirals_icon.txt");
  std::vector<uint32_t> pixels;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    for (char c : line) pixels.push_back(c == '.' ? 0 : 0xFF000000u | rgb.at(c));
  }
  return pixels;
}

RgbaImage Checkerboard(int width, int height) {
  RgbaImage image;
  image.width = width;
  image.height = height;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.pixels.push_back(0xFF000000u | static_cast<uint32_t>(y * 256 + x));
  return image;
}

std::string Refusal(const std::vector<uint8_t>& file) {
  RgbaImage image;
  std::string problem;
  EXPECT_FALSE(DecodeIco(file, &image, &problem));
  return problem;
}

TEST(IcoDecode, TheProgramsIconIsItsPicture) {
  RgbaImage image;
  std::string problem;
  ASSERT_TRUE(DecodeIco(ReadBytes(SPIRALS_SOURCE_DIR "/resources/spirals.ico"), &image, &problem))
      << problem;
  ASSERT_EQ(image.width, 32);
  ASSERT_EQ(image.height, 32);
  const std::vector<uint32_t> want = PicturePixels();
  ASSERT_EQ(want.size(), 1024u);
  int transparent = 0;
  for (size_t i = 0; i < want.size(); ++i) {
    if (want[i] == 0) {
      EXPECT_EQ(image.pixels[i] >> 24, 0u) << "pixel " << i % 32 << "," << i / 32;
      ++transparent;
    } else {
      EXPECT_EQ(image.pixels[i], want[i]) << "pixel " << i % 32 << "," << i / 32;
    }
  }
  EXPECT_GT(transparent, 0) << "the rounded corners are transparent";
}

TEST(IcoDecode, FourBitsWithMaskTopRowFirst) {
  IcoSpec s;
  s.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  s.coloursUsed = 4;
  s.colours = {1, 2, 3, 0, 0, 1, 2, 3, 3, 0, 1, 2, 2, 3, 0, 1};
  s.transparent = std::vector<bool>(16, false);
  s.transparent[3] = true;
  RgbaImage image;
  std::string problem;
  ASSERT_TRUE(DecodeIco(MakeIco(s), &image, &problem)) << problem;
  EXPECT_EQ(image.At(0, 0), 0xFFFF0000u);
  EXPECT_EQ(image.At(1, 0), 0xFF00FF00u);
  EXPECT_EQ(image.At(2, 0), 0xFF0000FFu);
  EXPECT_EQ(image.At(3, 0) >> 24, 0u) << "masked";
  EXPECT_EQ(image.At(0, 3), 0xFF00FF00u) << "the last row stored first";
  EXPECT_EQ(image.At(3, 3), 0xFFFF0000u);
}

TEST(IcoDecode, OneEightAndTwentyFourBits) {
  // Odd widths: each row is padded to four bytes.
  IcoSpec one;
  one.width = 3;
  one.height = 2;
  one.bits = 1;
  one.palette = {0x112233, 0xAABBCC};
  one.colours = {1, 0, 1, 0, 1, 0};
  RgbaImage image;
  std::string problem;
  ASSERT_TRUE(DecodeIco(MakeIco(one), &image, &problem)) << problem;
  EXPECT_EQ(image.pixels, (std::vector<uint32_t>{0xFFAABBCC, 0xFF112233, 0xFFAABBCC, 0xFF112233,
                                                 0xFFAABBCC, 0xFF112233}));

  IcoSpec eight;
  eight.width = 5;
  eight.height = 1;
  eight.bits = 8;
  eight.coloursUsed = 200;
  eight.palette.assign(200, 0);
  eight.palette[199] = 0x102030;
  eight.palette[7] = 0x405060;
  eight.colours = {199, 7, 0, 7, 199};
  ASSERT_TRUE(DecodeIco(MakeIco(eight), &image, &problem)) << problem;
  EXPECT_EQ(image.pixels,
            (std::vector<uint32_t>{0xFF102030, 0xFF405060, 0xFF000000, 0xFF405060, 0xFF102030}));

  IcoSpec deep;
  deep.width = 3;
  deep.height = 1;
  deep.bits = 24;
  deep.colours = {0xFEDCBA, 0x010203, 0x808080};
  deep.transparent = {false, true, false};
  ASSERT_TRUE(DecodeIco(MakeIco(deep), &image, &problem)) << problem;
  EXPECT_EQ(image.pixels, (std::vector<uint32_t>{0xFFFEDCBA, 0x00010203, 0xFF808080}));
}

TEST(IcoDecode, ThirtyTwoBitsKeepTheirOwnAlphaElseTheMask) {
  IcoSpec s;
  s.width = 2;
  s.height = 1;
  s.bits = 32;
  s.colours = {0x80FF0000, 0x00112233};
  s.transparent = {true, false};  // ignored: the image has alpha of its own
  RgbaImage image;
  std::string problem;
  ASSERT_TRUE(DecodeIco(MakeIco(s), &image, &problem)) << problem;
  EXPECT_EQ(image.pixels, (std::vector<uint32_t>{0x80FF0000, 0x00112233}));

  s.colours = {0x00FF0000, 0x00112233};  // no alpha at all: the mask decides
  ASSERT_TRUE(DecodeIco(MakeIco(s), &image, &problem)) << problem;
  EXPECT_EQ(image.pixels, (std::vector<uint32_t>{0x00FF0000, 0xFF112233}));
}

TEST(IcoDecode, TakesTheLargestImage) {
  IcoSpec small;
  small.width = small.height = 2;
  small.bits = 24;
  small.colours.assign(4, 0x0000FF);
  IcoSpec large;
  large.width = large.height = 3;
  large.bits = 24;
  large.colours.assign(9, 0x00FF00);
  const std::vector<uint8_t> a = MakeIco(small), b = MakeIco(large);
  // A directory of two entries, the small image first, then both images.
  std::vector<uint8_t> file(a.begin(), a.begin() + 6);
  file[4] = 2;
  const uint32_t firstAt = 6 + 32;
  const uint32_t secondAt = firstAt + static_cast<uint32_t>(a.size() - 22);
  std::vector<uint8_t> entry(a.begin() + 6, a.begin() + 22);
  entry[12] = static_cast<uint8_t>(firstAt);
  file.insert(file.end(), entry.begin(), entry.end());
  entry.assign(b.begin() + 6, b.begin() + 22);
  entry[12] = static_cast<uint8_t>(secondAt);
  file.insert(file.end(), entry.begin(), entry.end());
  file.insert(file.end(), a.begin() + 22, a.end());
  file.insert(file.end(), b.begin() + 22, b.end());
  RgbaImage image;
  std::string problem;
  ASSERT_TRUE(DecodeIco(file, &image, &problem)) << problem;
  EXPECT_EQ(image.width, 3);
  EXPECT_EQ(image.At(2, 2), 0xFF00FF00u);
}

TEST(IcoDecode, RefusesDamagedFilesWithAReason) {
  EXPECT_EQ(Refusal({}), "too short for an icon file");
  EXPECT_EQ(Refusal({0, 0, 2, 0, 1, 0}), "not an icon file") << "a cursor file";
  EXPECT_EQ(Refusal({0, 0, 1, 0, 0, 0}), "the icon file holds no image");
  EXPECT_EQ(Refusal({0, 0, 1, 0, 1, 0, 32, 32}), "the icon directory is cut short");

  IcoSpec s;
  s.palette.assign(16, 0x123456);
  s.colours.assign(16, 15);
  const std::vector<uint8_t> good = MakeIco(s);
  RgbaImage image;
  std::string problem;
  ASSERT_TRUE(DecodeIco(good, &image, &problem)) << problem;

  std::vector<uint8_t> bad = good;
  bad.resize(bad.size() - 1);
  EXPECT_EQ(Refusal(bad), "image 0 lies outside the file") << "one byte short";
  bad = good;
  bad[18] = 0xF0;  // the image's offset points past the end
  EXPECT_EQ(Refusal(bad), "image 0 lies outside the file");
  bad = good;
  bad[14] = 30;  // the entry says the image is 30 bytes long: the header alone is 40
  EXPECT_EQ(Refusal(bad), "the image header is cut short");
  bad = good;
  bad[14] = static_cast<uint8_t>(good.size() - 22 - 1);  // the mask's last row is cut off
  EXPECT_EQ(Refusal(bad), "the image data is cut short");
  bad = good;
  bad[22 + 8] = 9;  // an odd doubled height
  EXPECT_EQ(Refusal(bad), "the image has a bad size");
  bad = good;
  bad[22 + 4] = 5;  // five pixels wide, the directory says four
  EXPECT_EQ(Refusal(bad), "the image's size differs from its directory entry");
  bad = good;
  bad[22 + 12] = 2;
  EXPECT_EQ(Refusal(bad), "the image has more than one plane");
  bad = good;
  bad[22 + 0] = 0xFF;  // a header larger than the image
  EXPECT_EQ(Refusal(bad), "the image header has a bad size");
  bad = good;
  bad[22 + 16] = 2;  // run-length encoded
  EXPECT_EQ(Refusal(bad), "compressed bitmaps are not supported");
  bad = good;
  bad[22 + 14] = 16;
  EXPECT_EQ(Refusal(bad), "unsupported bits per pixel: 16");
  bad = good;
  bad[22 + 32] = 17;  // 17 colours in 4 bits
  EXPECT_EQ(Refusal(bad), "the palette is larger than the bits allow");
  bad = good;
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::copy(png.begin(), png.end(), bad.begin() + 22);
  EXPECT_EQ(Refusal(bad), "PNG-compressed icon images are not supported");
}

TEST(IcoDecode, RefusesAPixelOutsideItsPalette) {
  IcoSpec s;
  s.palette = {0x000000, 0xFFFFFF};
  s.coloursUsed = 2;
  s.colours = {0, 1, 0, 1, 1, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(Refusal(MakeIco(s)), "a pixel names colour 5 of a palette of 2");
}

TEST(IcoScale, NearestNeighbourTakesThePixelUnderEachCentre) {
  const RgbaImage source = Checkerboard(32, 32);
  const RgbaImage same = ScaleNearest(source, 32, 32);
  EXPECT_EQ(same.pixels, source.pixels);

  const RgbaImage big = ScaleNearest(source, 256, 256);
  ASSERT_EQ(big.width, 256);
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) ASSERT_EQ(big.At(x, y), source.At(x / 8, y / 8)) << x << "," << y;

  // Halving keeps the odd pixels: the centre of target pixel x is source x * 2 + 1.
  const RgbaImage half = ScaleNearest(source, 16, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(half.At(x, y), source.At(2 * x + 1, 2 * y + 1));

  // 48 of 32: target pixels 0, 1, 2 come from source 0, 1, 1, and so on, every third doubled.
  const RgbaImage wide = ScaleNearest(source, 48, 48);
  const int columns[] = {0, 1, 1, 2, 3, 3, 4, 5, 5};
  for (int x = 0; x < 9; ++x) EXPECT_EQ(wide.At(x, 0), source.At(columns[x], 0)) << x;
  EXPECT_EQ(wide.At(47, 47), source.At(31, 31));

  const RgbaImage dot = ScaleNearest(Checkerboard(1, 1), 5, 3);
  EXPECT_EQ(dot.pixels, std::vector<uint32_t>(15, 0xFF000000u));
  EXPECT_TRUE(ScaleNearest(source, 0, 10).pixels.empty());
  EXPECT_TRUE(ScaleNearest(RgbaImage{}, 10, 10).pixels.empty());
}

TEST(IconPng, KeepsEveryPixelAndItsAlpha) {
  RgbaImage image = Checkerboard(7, 3);
  image.pixels[0] = 0x00000000;
  image.pixels[1] = 0x80FF8040;
  image.pixels[20] = 0xFF0000FF;
  const std::string path = testing::TempDir() + "icon_png_test.png";
  std::string problem;
  ASSERT_TRUE(icon::WritePng(image, path, &problem)) << problem;
  RgbaImage back;
  ASSERT_TRUE(icon::ReadPng(path, &back, &problem)) << problem;
  EXPECT_EQ(back.width, 7);
  EXPECT_EQ(back.height, 3);
  EXPECT_EQ(back.pixels, image.pixels);
  // Written twice, the same bytes: nothing in the file depends on the time.
  const std::vector<uint8_t> first = ReadBytes(path);
  ASSERT_TRUE(icon::WritePng(image, path, &problem)) << problem;
  EXPECT_EQ(ReadBytes(path), first);
  unlink(path.c_str());
}

TEST(IconPng, ReportsWhatItCannotDo) {
  std::string problem;
  EXPECT_FALSE(icon::WritePng(RgbaImage{}, testing::TempDir() + "never.png", &problem));
  EXPECT_EQ(problem, "no image to write");
  EXPECT_FALSE(icon::WritePng(Checkerboard(2, 2), "/nonexistent-folder/x.png", &problem));
  EXPECT_EQ(problem, "cannot create /nonexistent-folder/x.png");
  const std::string text = testing::TempDir() + "not_a_png.png";
  std::ofstream(text) << "not a picture";
  RgbaImage image;
  EXPECT_FALSE(icon::ReadPng(text, &image, &problem));
  EXPECT_EQ(problem, text + " is not a PNG file this reader takes");
  unlink(text.c_str());
}

}  // namespace
