// The update region: InvalidateRect with and without erasing, what BeginPaint sends and
// reports, GetUpdateRect, ValidateRect, and UpdateWindow painting at once.
#include <gtest/gtest.h>

#include "tests/conformance/conformance_support.h"

namespace conformance {
namespace {

class Painting : public ::testing::Test {
 protected:
  void SetUp() override { Open(kTraceClass); }
  void Open(const char* className) {
    ResetRecorder();
    if (hwnd_ != nullptr && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    hwnd_ = CreateTestWindow(kFramedPopup, 40, 40, 240, 180, className);
    ASSERT_NE(hwnd_, nullptr);
    Settle();
    RECT update;
    ASSERT_FALSE(GetUpdateRect(hwnd_, &update, FALSE)) << "the window did not settle";
    ResetRecorder();
  }
  void TearDown() override {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
    Settle();
  }
  HWND hwnd_ = nullptr;
};

TEST_F(Painting, InvalidateWithEraseMakesBeginPaintSendEraseBkgnd) {
  RECT r{10, 20, 60, 50};
  ASSERT_TRUE(InvalidateRect(hwnd_, &r, TRUE));
  ASSERT_TRUE(UpdateWindow(hwnd_));
  const std::vector<Expected> expected = {{WM_PAINT}, {WM_ERASEBKGND}};
  const std::string mismatch = MatchSequence(Filtered(hwnd_), expected);
  EXPECT_TRUE(mismatch.empty()) << mismatch;
  // The default processing erased with the class brush, so nothing is left to erase.
  EXPECT_FALSE(Recorder().lastPaint.fErase);
  EXPECT_TRUE(SameRect(Recorder().lastPaint.rcPaint, r)) << ShowRect(Recorder().lastPaint.rcPaint);
}

TEST_F(Painting, InvalidateWithoutEraseSendsNoEraseBkgnd) {
  RECT r{0, 0, 30, 30};
  ASSERT_TRUE(InvalidateRect(hwnd_, &r, FALSE));
  ASSERT_TRUE(UpdateWindow(hwnd_));
  const std::vector<Expected> expected = {{WM_PAINT}};
  const std::string mismatch = MatchSequence(Filtered(hwnd_), expected);
  EXPECT_TRUE(mismatch.empty()) << mismatch;
  EXPECT_FALSE(Recorder().lastPaint.fErase);
}

TEST_F(Painting, EraseAskedByAnyInvalidationSticks) {
  RECT a{0, 0, 10, 10};
  RECT b{20, 20, 30, 30};
  InvalidateRect(hwnd_, &a, TRUE);
  InvalidateRect(hwnd_, &b, FALSE);
  UpdateWindow(hwnd_);
  EXPECT_EQ(CountMessage(Filtered(hwnd_), WM_ERASEBKGND), 1);
}

TEST_F(Painting, UnhandledEraseLeavesFEraseSet) {
  Recorder().behaviour.eraseReturnsZero = true;
  InvalidateRect(hwnd_, nullptr, TRUE);
  UpdateWindow(hwnd_);
  EXPECT_EQ(CountMessage(Filtered(hwnd_), WM_ERASEBKGND), 1);
  EXPECT_TRUE(Recorder().lastPaint.fErase);
}

TEST_F(Painting, DefaultEraseWithoutClassBrushReportsNotErased) {
  Open(kNoBrushClass);
  InvalidateRect(hwnd_, nullptr, TRUE);
  UpdateWindow(hwnd_);
  EXPECT_EQ(CountMessage(Filtered(hwnd_), WM_ERASEBKGND), 1);
  EXPECT_TRUE(Recorder().lastPaint.fErase);
}

TEST_F(Painting, RcPaintIsTheBoundingBoxOfTheUpdate) {
  RECT a{5, 6, 20, 30};
  RECT b{40, 10, 50, 70};
  InvalidateRect(hwnd_, &a, FALSE);
  InvalidateRect(hwnd_, &b, FALSE);
  RECT update;
  ASSERT_TRUE(GetUpdateRect(hwnd_, &update, FALSE));
  const RECT box{5, 6, 50, 70};
  EXPECT_TRUE(SameRect(update, box)) << ShowRect(update);
  UpdateWindow(hwnd_);
  EXPECT_EQ(Recorder().paintCount, 1);
  EXPECT_TRUE(SameRect(Recorder().lastPaint.rcPaint, box))
      << ShowRect(Recorder().lastPaint.rcPaint);
}

TEST_F(Painting, PaintDcIsClippedToTheUpdate) {
  RECT r{12, 14, 40, 33};
  InvalidateRect(hwnd_, &r, FALSE);
  UpdateWindow(hwnd_);
  EXPECT_EQ(Recorder().lastPaintClipKind, SIMPLEREGION);
  EXPECT_TRUE(SameRect(Recorder().lastPaintClip, r)) << ShowRect(Recorder().lastPaintClip);
}

TEST_F(Painting, InvalidateAllCoversTheClientArea) {
  InvalidateRect(hwnd_, nullptr, FALSE);
  RECT update;
  ASSERT_TRUE(GetUpdateRect(hwnd_, &update, FALSE));
  RECT client;
  GetClientRect(hwnd_, &client);
  EXPECT_TRUE(SameRect(update, client)) << ShowRect(update);
}

TEST_F(Painting, UpdateIsClippedToTheClientArea) {
  RECT client;
  GetClientRect(hwnd_, &client);
  RECT r{-20, -20, client.right + 50, 15};
  InvalidateRect(hwnd_, &r, FALSE);
  RECT update;
  ASSERT_TRUE(GetUpdateRect(hwnd_, &update, FALSE));
  const RECT want{0, 0, client.right, 15};
  EXPECT_TRUE(SameRect(update, want)) << ShowRect(update);
}

TEST_F(Painting, EndPaintLeavesNothingToPaint) {
  InvalidateRect(hwnd_, nullptr, TRUE);
  UpdateWindow(hwnd_);
  RECT update{1, 2, 3, 4};
  EXPECT_FALSE(GetUpdateRect(hwnd_, &update, FALSE));
  EXPECT_TRUE(IsRectEmpty(&update));
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, hwnd_, WM_PAINT, WM_PAINT, PM_REMOVE));
  // A second UpdateWindow has nothing to do.
  ResetRecorder();
  UpdateWindow(hwnd_);
  EXPECT_EQ(CountMessage(Filtered(hwnd_), WM_PAINT), 0);
}

TEST_F(Painting, UpdateWindowPaintsAtOnceWithoutTheQueue) {
  InvalidateRect(hwnd_, nullptr, FALSE);
  EXPECT_EQ(CountMessage(Filtered(hwnd_), WM_PAINT), 0);  // nothing before the call
  UpdateWindow(hwnd_);
  EXPECT_EQ(CountMessage(Filtered(hwnd_), WM_PAINT), 1);
}

TEST_F(Painting, ValidateRectRemovesPartOfTheUpdate) {
  RECT r{10, 10, 50, 50};
  InvalidateRect(hwnd_, &r, FALSE);
  RECT top{10, 10, 50, 30};
  ASSERT_TRUE(ValidateRect(hwnd_, &top));
  RECT update;
  ASSERT_TRUE(GetUpdateRect(hwnd_, &update, FALSE));
  const RECT rest{10, 30, 50, 50};
  EXPECT_TRUE(SameRect(update, rest)) << ShowRect(update);
}

TEST_F(Painting, ValidateAllCancelsThePaint) {
  InvalidateRect(hwnd_, nullptr, TRUE);
  ASSERT_TRUE(ValidateRect(hwnd_, nullptr));
  RECT update;
  EXPECT_FALSE(GetUpdateRect(hwnd_, &update, FALSE));
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, hwnd_, WM_PAINT, WM_PAINT, PM_REMOVE));
  UpdateWindow(hwnd_);
  EXPECT_EQ(CountMessage(Filtered(hwnd_), WM_PAINT), 0);
  EXPECT_EQ(CountMessage(Filtered(hwnd_), WM_ERASEBKGND), 0);
}

TEST_F(Painting, QueuedPaintComesFromTheQueueToo) {
  RECT r{3, 4, 9, 12};
  InvalidateRect(hwnd_, &r, FALSE);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, hwnd_, WM_PAINT, WM_PAINT, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, hwnd_);
  kit::Dispatch(msg);
  EXPECT_EQ(Recorder().paintCount, 1);
  const RECT want{3, 4, 9, 12};
  EXPECT_TRUE(SameRect(Recorder().lastPaint.rcPaint, want))
      << ShowRect(Recorder().lastPaint.rcPaint);
  EXPECT_FALSE(PeekMessageA(&msg, hwnd_, WM_PAINT, WM_PAINT, PM_REMOVE));
}

TEST_F(Painting, HiddenWindowGetsNoPaint) {
  ShowWindow(hwnd_, SW_HIDE);
  Settle();
  ResetRecorder();
  InvalidateRect(hwnd_, nullptr, TRUE);
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, hwnd_, WM_PAINT, WM_PAINT, PM_REMOVE));
  UpdateWindow(hwnd_);
  EXPECT_EQ(CountMessage(Filtered(hwnd_), WM_PAINT), 0);
}

TEST_F(Painting, InvalidateOnADestroyedWindowFails) {
  HWND gone = hwnd_;
  DestroyWindow(gone);
  EXPECT_FALSE(InvalidateRect(gone, nullptr, TRUE));
  RECT update;
  EXPECT_FALSE(GetUpdateRect(gone, &update, FALSE));
}

}  // namespace
}  // namespace conformance
