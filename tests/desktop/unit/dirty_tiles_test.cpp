#include "platform/portable/host_common/dirty_tiles.h"

#include <gtest/gtest.h>

#include <vector>

namespace portable {
namespace {

constexpr int T = DirtyTiles::kTileSize;

std::vector<RECT> Take(DirtyTiles& tiles) {
  std::vector<RECT> rects{RECT{1, 2, 3, 4}};  // stale content must go
  tiles.TakeRects(&rects);
  return rects;
}

void ExpectRect(const RECT& r, LONG left, LONG top, LONG right, LONG bottom) {
  EXPECT_EQ(r.left, left);
  EXPECT_EQ(r.top, top);
  EXPECT_EQ(r.right, right);
  EXPECT_EQ(r.bottom, bottom);
}

TEST(DirtyTiles, APixelMarksTheTileUnderIt) {
  DirtyTiles tiles;
  tiles.Resize(4 * T, 3 * T);
  EXPECT_TRUE(tiles.Empty());
  tiles.Add(RECT{T + 5, 2 * T + 1, T + 6, 2 * T + 2});
  EXPECT_FALSE(tiles.Empty());
  const std::vector<RECT> rects = Take(tiles);
  ASSERT_EQ(rects.size(), 1u);
  ExpectRect(rects[0], T, 2 * T, 2 * T, 3 * T);
  EXPECT_TRUE(tiles.Empty()) << "taking the rects clears the grid";
  EXPECT_TRUE(Take(tiles).empty());
}

TEST(DirtyTiles, TileEdgesAreExclusive) {
  DirtyTiles tiles;
  tiles.Resize(4 * T, 4 * T);
  tiles.Add(RECT{0, 0, T, T});  // exactly the first tile, not its neighbours
  std::vector<RECT> rects = Take(tiles);
  ASSERT_EQ(rects.size(), 1u);
  ExpectRect(rects[0], 0, 0, T, T);
  tiles.Add(RECT{T - 1, T - 1, T + 1, T + 1});  // the corner shared by four tiles
  rects = Take(tiles);
  ASSERT_EQ(rects.size(), 1u);
  ExpectRect(rects[0], 0, 0, 2 * T, 2 * T);
}

TEST(DirtyTiles, FarApartChangesStaySeparate) {
  DirtyTiles tiles;
  tiles.Resize(10 * T, 10 * T);
  tiles.Add(RECT{1, 1, 2, 2});
  tiles.Add(RECT{9 * T + 3, 9 * T + 3, 9 * T + 4, 9 * T + 4});
  const std::vector<RECT> rects = Take(tiles);
  ASSERT_EQ(rects.size(), 2u);
  ExpectRect(rects[0], 0, 0, T, T);
  ExpectRect(rects[1], 9 * T, 9 * T, 10 * T, 10 * T);
}

TEST(DirtyTiles, RunsJoinAlongARowAndDownColumnsOfTheSameSpan) {
  DirtyTiles tiles;
  tiles.Resize(8 * T, 8 * T);
  tiles.Add(RECT{T, T, 3 * T, 4 * T});          // columns 1-2, rows 1-3: one rect
  tiles.Add(RECT{5 * T, T, 6 * T, 2 * T});      // column 5, row 1
  tiles.Add(RECT{5 * T, 2 * T, 7 * T, 3 * T});  // columns 5-6, row 2: a wider span, its own
  const std::vector<RECT> rects = Take(tiles);
  ASSERT_EQ(rects.size(), 3u);
  ExpectRect(rects[0], T, T, 3 * T, 4 * T);
  ExpectRect(rects[1], 5 * T, T, 6 * T, 2 * T);
  ExpectRect(rects[2], 5 * T, 2 * T, 7 * T, 3 * T);
}

TEST(DirtyTiles, ARowGapEndsAJoin) {
  DirtyTiles tiles;
  tiles.Resize(2 * T, 5 * T);
  tiles.Add(RECT{0, 0, 1, 1});
  tiles.Add(RECT{0, 2 * T, 1, 2 * T + 1});  // row 1 is clean between them
  const std::vector<RECT> rects = Take(tiles);
  ASSERT_EQ(rects.size(), 2u);
  ExpectRect(rects[0], 0, 0, T, T);
  ExpectRect(rects[1], 0, 2 * T, T, 3 * T);
}

TEST(DirtyTiles, EveryDirtyPixelIsCoveredExactlyOnce) {
  DirtyTiles tiles;
  const int w = 7 * T + 5, h = 6 * T + 3;
  tiles.Resize(w, h);
  const RECT adds[] = {{3, 3, 40, 9},        {100, 50, 101, 190}, {w - 2, h - 2, w, h},
                       {0, 100, w, 101},     {60, 0, 70, 1},      {130, 130, 200, 160},
                       {-50, 150, 10, 1000}, {2 * T, 0, 3 * T, h}};
  std::vector<int> want(static_cast<size_t>(w) * h, 0);
  for (const RECT& r : adds) {
    tiles.Add(r);
    for (int y = std::max<int>(r.top, 0); y < std::min<int>(r.bottom, h); ++y)
      for (int x = std::max<int>(r.left, 0); x < std::min<int>(r.right, w); ++x)
        want[static_cast<size_t>(y) * w + x] = 1;
  }
  std::vector<int> covered(want.size(), 0);
  for (const RECT& r : Take(tiles)) {
    ASSERT_GE(r.left, 0);
    ASSERT_GE(r.top, 0);
    ASSERT_LE(r.right, w);
    ASSERT_LE(r.bottom, h);
    ASSERT_LT(r.left, r.right);
    ASSERT_LT(r.top, r.bottom);
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) ++covered[static_cast<size_t>(y) * w + x];
  }
  for (size_t i = 0; i < want.size(); ++i) {
    ASSERT_LE(covered[i], 1) << "pixel " << i << " in two rects";
    if (want[i]) {
      ASSERT_EQ(covered[i], 1) << "dirty pixel " << i << " left out";
    }
  }
}

TEST(DirtyTiles, ClipsToTheWindowAndIgnoresEmptyRects) {
  DirtyTiles tiles;
  tiles.Resize(T + 10, T + 10);                    // the last column and row of tiles are partial
  tiles.Add(RECT{5, 5, 5, 9});                     // no width
  tiles.Add(RECT{8, 8, 4, 4});                     // inverted
  tiles.Add(RECT{T + 10, 0, T + 40, 10});          // right of the window
  tiles.Add(RECT{0, -10, 10, 0});                  // above it
  tiles.Add(RECT{-1000000, 5, -999990, 1000000});  // far left
  EXPECT_TRUE(tiles.Empty());
  tiles.Add(RECT{-5, -5, 1000000, 1000000});
  const std::vector<RECT> rects = Take(tiles);
  ASSERT_EQ(rects.size(), 1u);
  ExpectRect(rects[0], 0, 0, T + 10, T + 10);
}

TEST(DirtyTiles, ResizeStartsCleanAtTheNewSize) {
  DirtyTiles tiles;
  tiles.Add(RECT{0, 0, 10, 10});  // no size yet: nothing to mark
  EXPECT_TRUE(tiles.Empty());
  tiles.Resize(2 * T, 2 * T);
  tiles.Add(RECT{0, 0, 1, 1});
  tiles.Resize(5 * T, T / 2);
  EXPECT_TRUE(tiles.Empty()) << "marks of the old size are dropped";
  tiles.AddAll();
  std::vector<RECT> rects = Take(tiles);
  ASSERT_EQ(rects.size(), 1u);
  ExpectRect(rects[0], 0, 0, 5 * T, T / 2);
  tiles.Resize(-3, 40);  // a negative size is an empty window
  tiles.AddAll();
  tiles.Add(RECT{0, 0, 5, 5});
  EXPECT_TRUE(tiles.Empty());
}

TEST(DirtyTiles, ClearDropsTheMarks) {
  DirtyTiles tiles;
  tiles.Resize(3 * T, 3 * T);
  tiles.Add(RECT{0, 0, 3 * T, 3 * T});
  tiles.Clear();
  EXPECT_TRUE(tiles.Empty());
  EXPECT_TRUE(Take(tiles).empty());
  tiles.Add(RECT{2 * T, 2 * T, 2 * T + 1, 2 * T + 1});
  const std::vector<RECT> rects = Take(tiles);
  ASSERT_EQ(rects.size(), 1u);
  ExpectRect(rects[0], 2 * T, 2 * T, 3 * T, 3 * T);
}

}  // namespace
}  // namespace portable
