// Input from the hosts: the exact messages, parameters and targets Windows would produce.
#include "user_test_support.h"

namespace user_test {
namespace {

using UserInput = InputTest;

TEST_F(UserInput, KeysCarryScanCodeAndTransitionBits) {
  HWND hwnd = Top();
  Drain();
  ASSERT_EQ(GetFocus(), hwnd);
  portable::InjectKey('A', true);
  portable::InjectKey('A', true, true);
  portable::InjectKey('A', false);
  portable::InjectKey(VK_LEFT, true);
  auto msgs = Take();
  ASSERT_EQ(msgs.size(), 4u);
  EXPECT_EQ(msgs[0].message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(msgs[0].hwnd, hwnd);
  EXPECT_EQ(msgs[0].wParam, static_cast<WPARAM>('A'));
  EXPECT_EQ(static_cast<DWORD>(msgs[0].lParam), 0x001E0001u);
  EXPECT_EQ(static_cast<DWORD>(msgs[1].lParam), 0x401E0001u);  // repeat: previous state down
  EXPECT_EQ(msgs[2].message, static_cast<UINT>(WM_KEYUP));
  EXPECT_EQ(static_cast<DWORD>(msgs[2].lParam), 0xC01E0001u);
  EXPECT_EQ(static_cast<DWORD>(msgs[3].lParam), 0x014B0001u);  // extended key
  portable::InjectKey(VK_LEFT, false);
  Take();
}

TEST_F(UserInput, AltMakesSystemKeysAndAltF4Closes) {
  HWND hwnd = Top();
  Drain();
  portable::InjectKey(VK_MENU, true);
  portable::InjectKey(VK_F4, true);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_SYSKEYDOWN));
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>(VK_MENU));
  EXPECT_EQ(static_cast<DWORD>(msg.lParam), 0x20380001u);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_SYSKEYDOWN));
  EXPECT_EQ(static_cast<DWORD>(msg.lParam), 0x203E0001u);
  Log().clear();
  kit::Dispatch(msg);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_SYSCOMMAND));
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>(SC_CLOSE));
  kit::Dispatch(msg);
  EXPECT_FALSE(IsWindow(hwnd));
  auto seen = Messages(hwnd, {WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY, WM_NCDESTROY});
  EXPECT_EQ(seen, (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
  portable::InjectKey(VK_F4, false);
  portable::InjectKey(VK_MENU, false);
  EXPECT_TRUE(Take().empty());  // nobody to receive them
}

TEST_F(UserInput, AltReleaseAndCtrlAlt) {
  HWND hwnd = Top();
  Drain();
  portable::InjectKey(VK_MENU, true);
  portable::InjectKey(VK_MENU, false);
  portable::InjectKey(VK_CONTROL, true);
  portable::InjectKey(VK_MENU, true);
  portable::InjectKey('X', true);
  auto msgs = Take();
  ASSERT_EQ(msgs.size(), 5u);
  EXPECT_EQ(msgs[1].message, static_cast<UINT>(WM_SYSKEYUP));
  EXPECT_EQ(static_cast<DWORD>(msgs[1].lParam), 0xC0380001u);
  EXPECT_EQ(msgs[2].message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(msgs[4].message, static_cast<UINT>(WM_KEYDOWN));  // Ctrl+Alt is not a system key
  EXPECT_EQ(msgs[4].hwnd, hwnd);
  portable::InjectKey('X', false);
  portable::InjectKey(VK_MENU, false);
  portable::InjectKey(VK_CONTROL, false);
  Take();
}

TEST_F(UserInput, WithoutFocusTheActiveWindowGetsSystemKeys) {
  HWND hwnd = Top();
  Drain();
  SetFocus(nullptr);
  portable::InjectKey(VK_SPACE, true);
  auto msgs = Take();
  ASSERT_EQ(msgs.size(), 1u);
  EXPECT_EQ(msgs[0].message, static_cast<UINT>(WM_SYSKEYDOWN));
  EXPECT_EQ(msgs[0].hwnd, hwnd);
  EXPECT_EQ(static_cast<DWORD>(msgs[0].lParam), 0x00390001u);
  portable::InjectKey(VK_SPACE, false);
  Take();
}

TEST_F(UserInput, TranslateMakesCharacters) {
  HWND hwnd = Top();
  Drain();
  struct Case {
    UINT vk;
    bool shift;
    int expected;  // 0: no character
  } cases[] = {{'A', false, 'a'},          {'A', true, 'A'},          {'7', false, '7'},
               {'7', true, '&'},           {VK_NUMPAD3, false, '3'},  {VK_ADD, false, '+'},
               {VK_SUBTRACT, false, '-'},  {VK_OEM_PLUS, false, '='}, {VK_OEM_PLUS, true, '+'},
               {VK_OEM_MINUS, false, '-'}, {VK_ESCAPE, false, 27},    {VK_RETURN, false, '\r'},
               {VK_SPACE, false, ' '},     {VK_BACK, false, 8},       {VK_TAB, false, '\t'},
               {VK_F1, false, 0},          {VK_LEFT, false, 0}};
  for (const Case& c : cases) {
    if (c.shift) portable::InjectKey(VK_LSHIFT, true);
    portable::InjectKey(c.vk, true);
    auto msgs = Take();
    ASSERT_FALSE(msgs.empty());
    MSG key = msgs.back();
    ASSERT_EQ(key.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_TRUE(TranslateMessage(&key));
    auto chars = Take();
    if (c.expected == 0) {
      EXPECT_TRUE(chars.empty()) << c.vk;
    } else {
      ASSERT_EQ(chars.size(), 1u) << c.vk;
      EXPECT_EQ(chars[0].message, static_cast<UINT>(WM_CHAR));
      EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>(c.expected)) << c.vk;
      EXPECT_EQ(chars[0].lParam, key.lParam);
      EXPECT_EQ(chars[0].hwnd, hwnd);
    }
    portable::InjectKey(c.vk, false);
    if (c.shift) portable::InjectKey(VK_LSHIFT, false);
    Take();
  }
  MSG notKey{hwnd, WM_USER, 0, 0, 0, {0, 0}};
  EXPECT_FALSE(TranslateMessage(&notKey));
}

TEST_F(UserInput, AltLetterMakesASystemCharacter) {
  Top();
  Drain();
  portable::InjectKey(VK_MENU, true);
  portable::InjectKey('X', true);
  auto msgs = Take();
  ASSERT_EQ(msgs.size(), 2u);
  TranslateMessage(&msgs[1]);
  auto chars = Take();
  ASSERT_EQ(chars.size(), 1u);
  EXPECT_EQ(chars[0].message, static_cast<UINT>(WM_SYSCHAR));
  EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>('x'));
  portable::InjectKey('X', false);
  portable::InjectKey(VK_MENU, false);
  Take();
}

TEST_F(UserInput, KeyStateFollowsTheHost) {
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
  portable::InjectKey(VK_RSHIFT, true);
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  EXPECT_LT(GetKeyState(VK_RSHIFT), 0);
  EXPECT_EQ(portable::CurrentKeyStateFlags(), MK_SHIFT);
  portable::InjectKey(VK_RSHIFT, false);
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
  // Toggle keys flip their low bit on each press.
  short before = GetKeyState(VK_CAPITAL) & 1;
  portable::InjectKey(VK_CAPITAL, true);
  portable::InjectKey(VK_CAPITAL, false);
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, before ^ 1);
  portable::InjectKey(VK_CAPITAL, true);
  portable::InjectKey(VK_CAPITAL, false);
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, before);
  EXPECT_EQ(GetKeyState(-1), 0);
  EXPECT_EQ(GetKeyState(0x1000), 0);
  Drain();
}

TEST_F(UserInput, ButtonsGoToTheDeepestVisibleChild) {
  HWND top = Top(WS_POPUP | WS_VISIBLE, 30, 40, 200, 100);
  HWND child = Child(top, 3, 50, 20, 60, 40);
  HWND grand = Child(child, 4, 10, 10, 20, 20);
  HWND hidden = Child(top, 5, 0, 0, 40, 40, WS_CHILD);
  Drain();
  portable::InjectKey(VK_SHIFT, true);
  portable::InjectMouseButton(top, 0, true, 65, 35);
  portable::InjectMouseButton(top, 0, false, 66, 35);
  portable::InjectMouseButton(top, 1, true, 5, 5);  // under the hidden child: the top-level gets it
  portable::InjectKey(VK_SHIFT, false);
  Log().clear();
  auto msgs = Take();
  ASSERT_EQ(msgs.size(), 5u);
  EXPECT_EQ(msgs[1].message, static_cast<UINT>(WM_LBUTTONDOWN));
  EXPECT_EQ(msgs[1].hwnd, grand);
  EXPECT_EQ(msgs[1].wParam, static_cast<WPARAM>(MK_LBUTTON | MK_SHIFT));
  EXPECT_EQ(msgs[1].lParam, MAKELPARAM(5, 5));
  EXPECT_EQ(msgs[1].pt.x, 95);
  EXPECT_EQ(msgs[1].pt.y, 75);
  EXPECT_EQ(msgs[2].message, static_cast<UINT>(WM_LBUTTONUP));
  EXPECT_EQ(msgs[2].wParam, static_cast<WPARAM>(MK_SHIFT));
  EXPECT_EQ(msgs[2].lParam, MAKELPARAM(6, 5));
  EXPECT_EQ(msgs[3].message, static_cast<UINT>(WM_RBUTTONDOWN));
  EXPECT_EQ(msgs[3].hwnd, top);
  EXPECT_EQ(msgs[3].wParam, static_cast<WPARAM>(MK_RBUTTON | MK_SHIFT));
  // Each mouse message set the cursor through its window first.
  EXPECT_EQ(Messages(grand, {WM_SETCURSOR}).size(), 2u);
  (void)hidden;
  portable::InjectMouseButton(top, 1, false, 5, 5);
  Take();
}

TEST_F(UserInput, DoubleClicksNeedTheClassStyleTimeAndPlace) {
  HWND dbl = Top(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, kDblClass);
  Drain();
  auto click = [&](HWND h, int x, int y) {
    portable::InjectMouseButton(h, 0, true, x, y);
    portable::InjectMouseButton(h, 0, false, x, y);
  };
  click(dbl, 10, 10);
  host.clock.AdvanceTo(host.clock.NowMs() + 500);
  click(dbl, 12, 8);
  click(dbl, 12, 8);  // a third click starts over
  host.clock.AdvanceTo(host.clock.NowMs() + 501);
  click(dbl, 12, 8);
  std::vector<UINT> downs;
  for (const MSG& m : Take()) {
    if (m.message != WM_LBUTTONUP) downs.push_back(m.message);
  }
  EXPECT_EQ(downs,
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN, WM_LBUTTONDOWN}));
  DestroyWindow(dbl);
  HWND plain = Top(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  Drain();
  click(plain, 10, 10);
  click(plain, 10, 10);
  downs.clear();
  for (const MSG& m : Take()) {
    if (m.message != WM_LBUTTONUP) downs.push_back(m.message);
  }
  EXPECT_EQ(downs, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDOWN}));
}

TEST_F(UserInput, ClickingAnInactiveWindowActivatesItFirst) {
  HWND a = Top(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND b = Top(WS_POPUP | WS_VISIBLE, 200, 0, 100, 100);
  Drain();
  ASSERT_EQ(GetActiveWindow(), b);
  portable::InjectMouseButton(a, 0, true, 1, 1);
  Log().clear();
  auto msgs = Take();
  ASSERT_EQ(msgs.size(), 1u);
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(
      Messages(a, {WM_MOUSEACTIVATE, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS, WM_SETCURSOR}),
      (std::vector<UINT>{WM_MOUSEACTIVATE, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS, WM_SETCURSOR}));
  for (const kit::Entry& s : Log()) {
    if (s.hwnd == a && s.message == WM_ACTIVATE) {
      EXPECT_EQ(LOWORD(s.wParam), WA_CLICKACTIVE);
    }
  }
  portable::InjectMouseButton(a, 0, false, 1, 1);
  Take();
}

TEST_F(UserInput, WheelGoesToTheFocusWithScreenCoordinates) {
  HWND top = Top(WS_POPUP | WS_VISIBLE, 30, 40, 200, 100);
  HWND child = Child(top, 1, 0, 0, 50, 50);
  Drain();
  SetFocus(child);
  portable::InjectWheel(top, -120, MK_SHIFT, 10, 10);
  auto msgs = Take();
  ASSERT_EQ(msgs.size(), 1u);
  EXPECT_EQ(msgs[0].message, static_cast<UINT>(WM_MOUSEWHEEL));
  EXPECT_EQ(msgs[0].hwnd, child);
  EXPECT_EQ(static_cast<DWORD>(msgs[0].wParam), 0xFF880004u);
  EXPECT_EQ(msgs[0].lParam, MAKELPARAM(40, 50));
  // Unhandled by the child, the wheel climbs to the parent.
  Log().clear();
  kit::Dispatch(msgs[0]);
  EXPECT_EQ(Messages(top, {WM_MOUSEWHEEL}).size(), 1u);
}

TEST_F(UserInput, CloseButtonPostsSystemClose) {
  HWND hwnd = Top();
  Drain();
  portable::InjectClose(hwnd);
  auto msgs = Take();
  ASSERT_EQ(msgs.size(), 1u);
  EXPECT_EQ(msgs[0].message, static_cast<UINT>(WM_SYSCOMMAND));
  EXPECT_EQ(msgs[0].wParam, static_cast<WPARAM>(SC_CLOSE));
  EXPECT_TRUE(IsWindow(hwnd));
}

TEST_F(UserInput, ResizeSendsSizeAndInvalidatesWithErase) {
  HWND hwnd = Top(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME, 0, 0, 300, 200);
  Drain();
  Log().clear();
  portable::InjectResize(hwnd, 416, 339);
  EXPECT_EQ(
      Messages(hwnd, {WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}),
      (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_SIZE}));
  for (const kit::Entry& s : Log()) {
    if (s.message == WM_SIZE) {
      EXPECT_EQ(s.lParam, MAKELPARAM(400, 300));
    }
  }
  RECT update;
  ASSERT_TRUE(GetUpdateRect(hwnd, &update, FALSE));
  EXPECT_EQ(update.right, 400);
  EXPECT_EQ(update.bottom, 300);
  Log().clear();
  PAINTSTRUCT ps;
  BeginPaint(hwnd, &ps);
  EndPaint(hwnd, &ps);
  EXPECT_EQ(Messages(hwnd, {WM_ERASEBKGND}).size(), 1u);
}

TEST_F(UserInput, ExposeInvalidatesChildrenToo) {
  HWND top = Top(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 200, 100);
  HWND child = Child(top, 1, 10, 10, 50, 50);
  Drain();
  RECT r{0, 0, 30, 30};
  portable::InjectExpose(top, &r);
  RECT update;
  ASSERT_TRUE(GetUpdateRect(child, &update, FALSE));
  EXPECT_EQ(update.left, 0);
  EXPECT_EQ(update.right, 20);
  EXPECT_EQ(update.bottom, 20);
  // InvalidateRect itself leaves the children of a WS_CLIPCHILDREN parent alone.
  Drain();
  InvalidateRect(top, &r, TRUE);
  EXPECT_FALSE(GetUpdateRect(child, &update, FALSE));
  EXPECT_TRUE(GetUpdateRect(top, &update, FALSE));
}

}  // namespace
}  // namespace user_test
