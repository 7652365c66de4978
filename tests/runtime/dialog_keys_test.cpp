// The pump offers messages to IsDialogMessageA where a window asks for keyboard navigation,
// and such a message is never dispatched a second time.
#include "runtime/window/pump.h"
#include "runtime_fixture.h"

namespace {

struct KeyCounts {
  int tab = 0;
  int letter = 0;
};

LRESULT CALLBACK CountingProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN) {
    auto* counts = reinterpret_cast<KeyCounts*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (counts != nullptr) {
      if (wParam == VK_TAB) ++counts->tab;
      if (wParam == 'A') ++counts->letter;
    }
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

void RegisterCountingClass() {
  static bool done = false;
  if (done) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = CountingProcedure;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "RuntimeTestCounting";
  RegisterClassExA(&wc);
  done = true;
}

HWND CountingWindow(DWORD exStyle, DWORD style, HWND parent, KeyCounts* counts) {
  RegisterCountingClass();
  HWND hwnd = CreateWindowExA(exStyle, "RuntimeTestCounting", "", style, 400, 300, 120, 90, parent,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(counts));
  return hwnd;
}

class DialogKeysTest : public RuntimeTest {};

TEST_F(DialogKeysTest, ForeignControlParentGetsNavigationAndEachKeyOnce) {
  KeyCounts parentCounts, first, second;
  HWND dialog = CountingWindow(WS_EX_CONTROLPARENT, WS_POPUP | WS_VISIBLE, nullptr, &parentCounts);
  HWND a = CountingWindow(0, WS_CHILD | WS_VISIBLE | WS_TABSTOP, dialog, &first);
  HWND b = CountingWindow(0, WS_CHILD | WS_VISIBLE | WS_TABSTOP, dialog, &second);
  ASSERT_NE(b, nullptr);
  SetActiveWindow(dialog);
  SetFocus(a);
  ASSERT_EQ(GetActiveWindow(), dialog);
  PumpMessages(PUMP_DRAIN);
  PostMessageA(a, WM_KEYDOWN, 'A', 0);
  PostMessageA(a, WM_KEYDOWN, VK_TAB, 0);
  PumpMessages(PUMP_DRAIN);
  EXPECT_EQ(first.letter, 1);  // delivered once, whoever dispatched it
  EXPECT_EQ(first.tab, 0);     // navigation, not a key for the control
  EXPECT_EQ(GetFocus(), b);
  DestroyWindow(dialog);
}

TEST_F(DialogKeysTest, RuntimeWindowsAreDispatchedDirectlyUnlessTheyAskForDialogKeys) {
  WindowRecord* r = Open(OPEN_DIRECT);
  KeyCounts first, second;
  HWND a = CountingWindow(0, WS_CHILD | WS_VISIBLE | WS_TABSTOP, r->hwnd, &first);
  HWND b = CountingWindow(0, WS_CHILD | WS_VISIBLE | WS_TABSTOP, r->hwnd, &second);
  SetFocus(a);
  PumpMessages(PUMP_DRAIN);
  PostMessageA(a, WM_KEYDOWN, VK_TAB, 0);
  PumpMessages(PUMP_DRAIN);
  EXPECT_EQ(first.tab, 1);  // dialogKeys 0: the control gets its TAB
  EXPECT_EQ(GetFocus(), a);

  r->dialogKeys = 1;
  PostMessageA(a, WM_KEYDOWN, VK_TAB, 0);
  PostMessageA(a, WM_KEYDOWN, 'A', 0);
  PumpMessages(PUMP_DRAIN);
  EXPECT_EQ(first.tab, 1);
  EXPECT_EQ(first.letter, 1);
  EXPECT_EQ(GetFocus(), b);
  r->dialogKeys = 0;
  DestroyWindow(a);
  DestroyWindow(b);
}

}  // namespace
