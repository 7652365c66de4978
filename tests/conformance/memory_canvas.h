// A small memory device context with a bitmap compatible with a window, for reading back
// exact pixels.
#pragma once

#include <gtest/gtest.h>

#include "tests/conformance/conformance_support.h"

namespace conformance {

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
    dc_ = CreateCompatibleDC(windowDc);
    bitmap_ = CreateCompatibleBitmap(windowDc, kWidth, kHeight);
    ReleaseDC(hwnd_, windowDc);
    ASSERT_NE(dc_, nullptr);
    ASSERT_NE(bitmap_, nullptr);
    oldBitmap_ = SelectObject(dc_, bitmap_);
    ASSERT_NE(oldBitmap_, nullptr);
    Fill(RGB(255, 255, 255));
  }
  void TearDown() override {
    if (dc_ != nullptr) {
      SelectObject(dc_, oldBitmap_);
      DeleteDC(dc_);
    }
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }

  // Fills the whole bitmap with one colour, bypassing the DC's clipping and state.
  void Fill(COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    HGDIOBJ old = SelectObject(dc_, brush);
    PatBlt(dc_, 0, 0, kWidth, kHeight, PATCOPY);
    SelectObject(dc_, old);
    DeleteObject(brush);
  }

  // Number of pixels of `colour` inside [left, right) x [top, bottom).
  int Count(COLORREF colour, int left = 0, int top = 0, int right = kWidth, int bottom = kHeight) {
    int n = 0;
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) {
        if (GetPixel(dc_, x, y) == colour) ++n;
      }
    }
    return n;
  }

  HWND hwnd_ = nullptr;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
};

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

}  // namespace conformance
