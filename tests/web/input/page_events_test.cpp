// The page's events as the messages Windows would queue: keys, buttons, moves, wheel notches
// with the modifiers held, a lost focus, and a page resize as a client-area size.
#include <cstring>

#include "platform/portable/host_web/page_input.h"
#include "tests/portable/user_test_support.h"

namespace user_test {
namespace {

using portable::PageEvent;
using portable::PageEventKind;

PageEvent Key(const char* code, const char* key, bool down, bool repeat = false) {
  PageEvent e;
  e.kind = static_cast<int32_t>(PageEventKind::Key);
  e.flags = (down ? portable::kPageDown : 0) | (repeat ? portable::kPageRepeat : 0);
  std::strncpy(e.code, code, sizeof e.code - 1);
  std::strncpy(e.key, key, sizeof e.key - 1);
  return e;
}

PageEvent Button(int domButton, bool down, int x, int y) {
  PageEvent e;
  e.kind = static_cast<int32_t>(PageEventKind::MouseButton);
  e.flags = down ? portable::kPageDown : 0;
  e.button = domButton;
  e.x = x;
  e.y = y;
  return e;
}

PageEvent Wheel(double deltaY, double wheelDeltaY, int mode = 0) {
  PageEvent e;
  e.kind = static_cast<int32_t>(PageEventKind::Wheel);
  e.deltaMode = mode;
  e.deltaY = deltaY;
  e.wheelDeltaY = wheelDeltaY;
  e.x = 5;
  e.y = 6;
  return e;
}

PageEvent Of(PageEventKind kind) {
  PageEvent e;
  e.kind = static_cast<int32_t>(kind);
  return e;
}

class PageEvents : public InputTest {
 protected:
  bool Deliver(const PageEvent& e, HWND window) {
    return portable::DeliverPageEvent(e, window, wheel);
  }

  portable::WheelNotches wheel;
};

TEST_F(PageEvents, KeysBecomeKeyMessagesForTheFocus) {
  HWND hwnd = Top();
  Drain();
  EXPECT_TRUE(Deliver(Key("Digit5", "5", true), hwnd));
  EXPECT_TRUE(Deliver(Key("Digit5", "5", true, true), hwnd));
  EXPECT_TRUE(Deliver(Key("Digit5", "5", false), hwnd));
  EXPECT_TRUE(Deliver(Key("Escape", "Escape", true), hwnd));
  auto msgs = Take();
  // TranslateMessage was not called, so no WM_CHAR.
  ASSERT_EQ(msgs.size(), 4u);
  EXPECT_EQ(msgs[0].message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(msgs[0].hwnd, hwnd);
  EXPECT_EQ(msgs[0].wParam, static_cast<WPARAM>('5'));
  EXPECT_EQ(static_cast<DWORD>(msgs[0].lParam) & 0x40000000u, 0u);
  EXPECT_EQ(static_cast<DWORD>(msgs[1].lParam) & 0x40000000u, 0x40000000u);  // a repeat
  EXPECT_EQ(msgs[2].message, static_cast<UINT>(WM_KEYUP));
  EXPECT_EQ(msgs[3].wParam, static_cast<WPARAM>(VK_ESCAPE));
  portable::InjectKey(VK_ESCAPE, false);
  Take();
}

TEST_F(PageEvents, KeysWithoutAVirtualKeyQueueNothing) {
  HWND hwnd = Top();
  Drain();
  EXPECT_FALSE(Deliver(Key("", "Unidentified", true), hwnd));
  EXPECT_FALSE(Deliver(Key("AudioVolumeUp", "AudioVolumeUp", true), hwnd));
  EXPECT_TRUE(Take().empty());
}

TEST_F(PageEvents, UnterminatedTextsAreReadWithinTheirFields) {
  HWND hwnd = Top();
  Drain();
  PageEvent e = Key("", "", true);
  std::memset(e.code, 'X', sizeof e.code);  // no terminating zero anywhere
  std::memset(e.key, 'x', sizeof e.key);
  EXPECT_FALSE(Deliver(e, hwnd));
  std::memcpy(e.code, "Digit7", 6);  // "Digit7XXXX...": not a key code we know
  e.key[1] = '\0';
  std::memcpy(e.key, "7", 1);
  EXPECT_TRUE(Deliver(e, hwnd));  // the character decides
  auto msgs = Take();
  ASSERT_EQ(msgs.size(), 1u);
  EXPECT_EQ(msgs[0].wParam, static_cast<WPARAM>('7'));
  portable::InjectKey('7', false);
  Take();
}

TEST_F(PageEvents, ButtonsAreNumberedAsWindowsNumbersThem) {
  HWND hwnd = Top();
  Drain();
  EXPECT_TRUE(Deliver(Button(2, true, 10, 20), hwnd));
  EXPECT_TRUE(Deliver(Button(2, false, 11, 21), hwnd));
  EXPECT_TRUE(Deliver(Button(1, true, 3, 4), hwnd));
  EXPECT_TRUE(Deliver(Button(1, false, 3, 4), hwnd));
  EXPECT_TRUE(Deliver(Button(0, true, 7, 8), hwnd));
  EXPECT_TRUE(Deliver(Button(0, false, 7, 8), hwnd));
  EXPECT_FALSE(Deliver(Button(3, true, 7, 8), hwnd));  // "back": no message
  EXPECT_FALSE(Deliver(Button(-1, true, 7, 8), hwnd));
  EXPECT_FALSE(Deliver(Button(0, true, 7, 8), nullptr));
  auto msgs = Take();
  ASSERT_EQ(msgs.size(), 6u);
  EXPECT_EQ(msgs[0].message, static_cast<UINT>(WM_RBUTTONDOWN));
  EXPECT_EQ(msgs[0].lParam, MAKELPARAM(10, 20));
  EXPECT_EQ(msgs[1].message, static_cast<UINT>(WM_RBUTTONUP));
  EXPECT_EQ(msgs[1].lParam, MAKELPARAM(11, 21));
  EXPECT_EQ(msgs[2].message, static_cast<UINT>(WM_MBUTTONDOWN));
  EXPECT_EQ(msgs[3].message, static_cast<UINT>(WM_MBUTTONUP));
  EXPECT_EQ(msgs[4].message, static_cast<UINT>(WM_LBUTTONDOWN));
  EXPECT_EQ(msgs[5].message, static_cast<UINT>(WM_LBUTTONUP));
}

TEST_F(PageEvents, MovesGoToTheWindowUnderThePointer) {
  HWND hwnd = Top();
  Drain();
  PageEvent move = Of(PageEventKind::MouseMove);
  move.x = 30;
  move.y = 40;
  EXPECT_TRUE(Deliver(move, hwnd));
  EXPECT_FALSE(Deliver(move, nullptr));
  auto msgs = Take();
  ASSERT_EQ(msgs.size(), 1u);
  EXPECT_EQ(msgs[0].message, static_cast<UINT>(WM_MOUSEMOVE));
  EXPECT_EQ(msgs[0].lParam, MAKELPARAM(30, 40));
}

TEST_F(PageEvents, OneNotchIsTheWheelCodeTheProgramKnows) {
  HWND hwnd = Top();
  Drain();
  EXPECT_TRUE(Deliver(Wheel(-100, 120), hwnd));
  EXPECT_TRUE(Deliver(Wheel(100, -120), hwnd));
  auto msgs = Take();
  ASSERT_EQ(msgs.size(), 2u);
  EXPECT_EQ(msgs[0].message, static_cast<UINT>(WM_MOUSEWHEEL));
  EXPECT_EQ(msgs[0].hwnd, hwnd);
  EXPECT_EQ(static_cast<uint32_t>(msgs[0].wParam), 0x00780000u);
  EXPECT_EQ(static_cast<uint32_t>(msgs[1].wParam), 0xFF880000u);
}

TEST_F(PageEvents, SeveralNotchesAreSeveralMessagesAndFractionsWait) {
  HWND hwnd = Top();
  Drain();
  EXPECT_TRUE(Deliver(Wheel(0, 360), hwnd));
  EXPECT_FALSE(Deliver(Wheel(0, 60), hwnd));
  EXPECT_FALSE(Deliver(Wheel(0, 50), nullptr));  // no window: not counted
  EXPECT_FALSE(Deliver(Wheel(0, 0), hwnd));
  auto msgs = Take();
  ASSERT_EQ(msgs.size(), 3u);
  for (const MSG& m : msgs) EXPECT_EQ(static_cast<uint32_t>(m.wParam), 0x00780000u);
  EXPECT_TRUE(Deliver(Wheel(0, 60), hwnd));
  EXPECT_EQ(Take().size(), 1u);
}

TEST_F(PageEvents, TheWheelCarriesTheModifiersHeld) {
  HWND hwnd = Top();
  Drain();
  EXPECT_TRUE(Deliver(Key("ShiftLeft", "Shift", true), hwnd));
  EXPECT_TRUE(Deliver(Wheel(-100, 120), hwnd));
  auto msgs = Take();
  ASSERT_EQ(msgs.size(), 2u);
  EXPECT_EQ(msgs[1].message, static_cast<UINT>(WM_MOUSEWHEEL));
  EXPECT_EQ(static_cast<uint32_t>(msgs[1].wParam), 0x00780000u | MK_SHIFT);
}

TEST_F(PageEvents, ABlurLetsGoOfTheKeysHeld) {
  HWND hwnd = Top();
  Drain();
  EXPECT_FALSE(Deliver(Of(PageEventKind::Blur), hwnd));  // nothing held
  EXPECT_TRUE(Deliver(Key("ControlLeft", "Control", true), hwnd));
  EXPECT_TRUE(Deliver(Key("KeyA", "a", true), hwnd));
  Take();
  ASSERT_LT(GetKeyState(VK_CONTROL), 0);
  EXPECT_TRUE(Deliver(Of(PageEventKind::Blur), hwnd));
  EXPECT_GE(GetKeyState(VK_CONTROL), 0);
  EXPECT_GE(GetKeyState('A'), 0);
  auto msgs = Take();
  ASSERT_GE(msgs.size(), 2u);
  for (const MSG& m : msgs) EXPECT_EQ(m.message, static_cast<UINT>(WM_KEYUP));
  // A wheel notch afterwards is plain again.
  EXPECT_TRUE(Deliver(Wheel(-100, 120), hwnd));
  msgs = Take();
  ASSERT_EQ(msgs.size(), 1u);
  EXPECT_EQ(static_cast<uint32_t>(msgs[0].wParam), 0x00780000u);
}

TEST_F(PageEvents, ResizesAreTheHostsBusinessNotInput) {
  HWND hwnd = Top();
  Drain();
  PageEvent resize = Of(PageEventKind::Resize);
  resize.x = 300;
  resize.y = 200;
  EXPECT_FALSE(Deliver(resize, hwnd));
  EXPECT_FALSE(Deliver(Of(PageEventKind::None), hwnd));
  PageEvent odd = Of(PageEventKind::None);
  odd.kind = 99;
  EXPECT_FALSE(Deliver(odd, hwnd));
  EXPECT_TRUE(Take().empty());
}

TEST_F(PageEvents, FittingGivesTheClientAreaThePagesSize) {
  HWND hwnd = Top(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE, 0, 0, 400, 300);
  Drain();
  ASSERT_TRUE(portable::FitClientArea(hwnd, 320, 200));
  RECT client{};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 320);
  EXPECT_EQ(client.bottom, 200);
  RECT outer{};
  GetWindowRect(hwnd, &outer);
  EXPECT_GT(outer.right - outer.left, 320);  // the frame is outside the page
  EXPECT_GT(outer.bottom - outer.top, 200 + GetSystemMetrics(SM_CYCAPTION) - 1);
}

TEST_F(PageEvents, FittingRefusesEmptySizesAndGoneWindows) {
  HWND hwnd = Top(WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_VISIBLE, 0, 0, 400, 300);
  Drain();
  RECT before{};
  GetClientRect(hwnd, &before);
  EXPECT_FALSE(portable::FitClientArea(hwnd, 0, 200));
  EXPECT_FALSE(portable::FitClientArea(hwnd, 320, -1));
  RECT after{};
  GetClientRect(hwnd, &after);
  EXPECT_EQ(after.right, before.right);
  EXPECT_EQ(after.bottom, before.bottom);
  DestroyWindow(hwnd);
  EXPECT_FALSE(portable::FitClientArea(hwnd, 320, 200));
  EXPECT_FALSE(portable::FitClientArea(nullptr, 320, 200));
}

}  // namespace
}  // namespace user_test
