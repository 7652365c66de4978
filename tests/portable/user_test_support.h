// Shared pieces of the window manager's Linux tests: a host that records what the layer tells
// it, and a window class whose procedure records every message it gets.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/portable/diagnostics.h"
#include "platform/portable/kernel/host.h"
#include "platform/portable/user/input.h"
#include "platform/portable/user/window_dc.h"
#include "platform/portable/user/window_surface.h"
#include "platform/win32.h"
#include "tests/kit/message_log.h"

namespace user_test {

// Everything the layer reports to its host, with a virtual clock the test moves.
class RecordingHost final : public portable::Host {
 public:
  portable::Clock& GetClock() override { return clock; }
  uint32_t TickBase() const override { return 1000; }
  SIZE ScreenSize() const override { return SIZE{800, 600}; }
  void PollInput() override { ++polls; }
  void WaitForInput(std::optional<uint64_t> deadlineMs) override {
    waits.push_back(deadlineMs ? static_cast<int64_t>(*deadlineMs) : -1);
    if (deadlineMs) clock.AdvanceTo(*deadlineMs);
  }
  void TopLevelCreated(HWND hwnd, int w, int h) override {
    events.push_back(Describe("created", hwnd, w, h));
  }
  void TopLevelResized(HWND hwnd, int w, int h) override {
    events.push_back(Describe("resized", hwnd, w, h));
  }
  void TopLevelDestroyed(HWND hwnd) override {
    events.push_back(Describe("destroyed", hwnd, 0, 0));
  }
  void TopLevelTitle(HWND hwnd, const char* title) override {
    events.push_back(Describe("title", hwnd, 0, 0) + " " + title);
  }
  void PixelsChanged(HWND topLevel, const RECT& rect) override {
    changed.push_back(rect);
    changedTop = topLevel;
  }
  void TextDrawn(HWND hwnd, int x, int y, const char* text, int length) override {
    texts.push_back(Describe("text", hwnd, x, y) + " " +
                    std::string(text, static_cast<size_t>(length)));
  }

  std::string Describe(const char* what, HWND hwnd, int a, int b) const {
    return std::string(what) + (hwnd == named ? " main " : " other ") + std::to_string(a) + "x" +
           std::to_string(b);
  }

  portable::VirtualClock clock;
  int polls = 0;
  std::vector<int64_t> waits;
  std::vector<std::string> events;
  std::vector<RECT> changed;
  HWND changedTop = nullptr;
  std::vector<std::string> texts;
  HWND named = nullptr;  // the window the descriptions call "main"
};

// Messages every test window records (in kit::Log()); the hook may act on them (and say it
// handled them).
inline std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)>& Hook() {
  static std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> hook;
  return hook;
}

inline LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  kit::Record(hwnd, msg, wParam, lParam);
  LRESULT result = 0;
  if (Hook() && Hook()(hwnd, msg, wParam, lParam, &result)) return result;
  return kit::DefProc(hwnd, msg, wParam, lParam);
}

inline const char* kClass = "UserTestClass";
inline const char* kDblClass = "UserTestDblClass";

using kit::Log;
using kit::Messages;

class UserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    portable::SetHost(&host);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = RecordingProc;
    wc.cbWndExtra = 8;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_WINDOW + 1));
    wc.lpszClassName = kClass;
    RegisterClassExA(&wc);
    wc.style = CS_DBLCLKS;
    wc.lpszClassName = kDblClass;
    RegisterClassExA(&wc);
    baseWindows = portable::LiveWindows();
    baseTimers = portable::LiveTimers();
    Log().clear();
    Hook() = nullptr;
  }

  void TearDown() override {
    Hook() = nullptr;
    for (HWND h : made) {
      if (IsWindow(h)) DestroyWindow(h);
    }
    Drain();
    EXPECT_EQ(portable::LiveWindows(), baseWindows);
    EXPECT_EQ(portable::LiveTimers(), baseTimers);
    portable::SetHost(nullptr);
  }

  HWND Top(DWORD style = WS_POPUP | WS_VISIBLE, int x = 0, int y = 0, int w = 200, int h = 100,
           const char* cls = kClass) {
    HWND hwnd =
        CreateWindowExA(0, cls, "top", style, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
    made.push_back(hwnd);
    return hwnd;
  }

  HWND Child(HWND parent, int id, int x, int y, int w, int h, DWORD style = WS_CHILD | WS_VISIBLE,
             const char* cls = kClass) {
    return CreateWindowExA(0, cls, "child", style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
  }

  // Empties the queue without dispatching anything but paint (so windows validate).
  void Drain() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_PAINT) ValidateRect(msg.hwnd, nullptr);
    }
  }

  RecordingHost host;
  std::vector<HWND> made;
  size_t baseWindows = 0;
  size_t baseTimers = 0;
};

// Tests of input from a host: the queued messages as the test sees them, and no key left held
// for the next test.
class InputTest : public UserTest {
 protected:
  void TearDown() override {
    // Leave no key or button held for the next test.
    for (UINT vk : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
      if (GetKeyState(static_cast<int>(vk)) < 0) portable::InjectKey(vk, false);
    }
    UserTest::TearDown();
  }

  std::vector<MSG> Take() {
    std::vector<MSG> out;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_PAINT) {
        ValidateRect(msg.hwnd, nullptr);
        continue;
      }
      out.push_back(msg);
    }
    return out;
  }
};

}  // namespace user_test
