// A test fixture around the kit's canvas: a small memory DC whose bitmap is compatible with a
// window, for reading back exact pixels.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "tests/conformance/conformance_support.h"
#include "tests/kit/canvas.h"
#include "tests/kit/colours.h"

namespace conformance {

using kit::kBlack;
using kit::kWhite;

class MemoryCanvas : public ::testing::Test {
 protected:
  static constexpr int kWidth = 64;
  static constexpr int kHeight = 48;

  void SetUp() override {
    ResetRecorder();
    hwnd_ = CreateTestWindow(WS_POPUP | WS_CAPTION, 20, 20, 160, 120);
    ASSERT_NE(hwnd_, nullptr);
    HDC windowDc = GetDC(hwnd_);
    ASSERT_NE(windowDc, nullptr);
    canvas_ = std::make_unique<kit::Canvas>(kWidth, kHeight, kWhite, windowDc);
    ReleaseDC(hwnd_, windowDc);
    ASSERT_TRUE(canvas_->ok());
    dc_ = canvas_->dc();
  }
  void TearDown() override {
    canvas_.reset();
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }

  // Fills the whole bitmap with one colour, bypassing the DC's clipping and state.
  void Fill(COLORREF colour) { canvas_->Fill(colour); }

  // Number of pixels of `colour` inside [left, right) x [top, bottom).
  int Count(COLORREF colour, int left = 0, int top = 0, int right = kWidth, int bottom = kHeight) {
    return canvas_->Count(colour, left, top, right, bottom);
  }

  HWND hwnd_ = nullptr;
  HDC dc_ = nullptr;
  std::unique_ptr<kit::Canvas> canvas_;
};

}  // namespace conformance
