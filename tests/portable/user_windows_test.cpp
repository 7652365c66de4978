// Window lifetimes and data: destruction inside procedures, failed creation, extra bytes,
// menus, activation between windows, dialog navigation, MDI.
#include "user_test_support.h"

namespace user_test {
namespace {

class UserWindows : public UserTest {};

TEST_F(UserWindows, AWindowMayDestroyItselfInsideItsProcedure) {
  HWND hwnd = Top();
  SetWindowLongA(hwnd, 0, 77);
  LONG seenAfter = -1;
  Hook() = [&](HWND h, UINT msg, WPARAM, LPARAM, LRESULT* r) {
    if (msg != WM_USER) return false;
    DestroyWindow(h);
    seenAfter = GetWindowLongA(h, 0);  // the handle is gone, the call fails cleanly
    *r = 5;
    return true;
  };
  Log().clear();
  EXPECT_EQ(SendMessageA(hwnd, WM_USER, 0, 0), 5);
  EXPECT_EQ(seenAfter, 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  EXPECT_FALSE(IsWindow(hwnd));
  auto seq = Messages(hwnd, {WM_USER, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_NCACTIVATE,
                             WM_ACTIVATE, WM_ACTIVATEAPP, WM_KILLFOCUS, WM_DESTROY, WM_NCDESTROY});
  EXPECT_EQ(seq, (std::vector<UINT>{WM_USER, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED,
                                    WM_NCACTIVATE, WM_ACTIVATE, WM_ACTIVATEAPP, WM_KILLFOCUS,
                                    WM_DESTROY, WM_NCDESTROY}));
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(UserWindows, DestroyOrderIsParentFirstThenChildrenFirst) {
  HWND top = Top();
  HWND child = Child(top, 1, 0, 0, 10, 10);
  HWND grand = Child(child, 2, 0, 0, 5, 5);
  HWND second = Child(top, 3, 20, 0, 10, 10);
  Log().clear();
  DestroyWindow(top);
  std::vector<std::pair<HWND, UINT>> order;
  for (const kit::Entry& s : Log()) {
    if (s.message == WM_DESTROY || s.message == WM_NCDESTROY) order.emplace_back(s.hwnd, s.message);
  }
  std::vector<std::pair<HWND, UINT>> expected{
      {top, WM_DESTROY},     {child, WM_DESTROY},   {grand, WM_DESTROY},    {second, WM_DESTROY},
      {grand, WM_NCDESTROY}, {child, WM_NCDESTROY}, {second, WM_NCDESTROY}, {top, WM_NCDESTROY}};
  EXPECT_EQ(order, expected);
  EXPECT_FALSE(IsWindow(grand));
}

TEST_F(UserWindows, DestroyingAChildDuringTheParentsDestroyIsSafe) {
  HWND top = Top();
  HWND child = Child(top, 1, 0, 0, 10, 10);
  Hook() = [&](HWND h, UINT msg, WPARAM, LPARAM, LRESULT*) {
    if (h == top && msg == WM_DESTROY) DestroyWindow(child);
    if (h == top && msg == WM_NCDESTROY) {
      EXPECT_FALSE(IsWindow(child));
    }
    return false;
  };
  Log().clear();
  EXPECT_TRUE(DestroyWindow(top));
  EXPECT_EQ(Messages(child, {WM_DESTROY, WM_NCDESTROY}),
            (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
  EXPECT_FALSE(DestroyWindow(top));
}

TEST_F(UserWindows, FailedCreationMessages) {
  Hook() = [](HWND, UINT msg, WPARAM, LPARAM, LRESULT* r) {
    if (msg != WM_CREATE) return false;
    *r = -1;
    return true;
  };
  Log().clear();
  EXPECT_EQ(Top(), nullptr);
  EXPECT_EQ(Messages(nullptr),
            (std::vector<UINT>{WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
  Hook() = [](HWND, UINT msg, WPARAM, LPARAM, LRESULT* r) {
    if (msg != WM_NCCREATE) return false;
    *r = FALSE;
    return true;
  };
  Log().clear();
  EXPECT_EQ(Top(), nullptr);
  EXPECT_EQ(Messages(nullptr), (std::vector<UINT>{WM_NCCREATE, WM_NCDESTROY}));
}

TEST_F(UserWindows, CreateParamsAndChildIdsArriveAsGiven) {
  int marker = 0;
  LPVOID seen = nullptr;
  Hook() = [&](HWND, UINT msg, WPARAM, LPARAM l, LRESULT*) {
    if (msg == WM_CREATE) seen = reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams;
    return false;
  };
  HWND top =
      CreateWindowExA(0, kClass, "t", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, &marker);
  made.push_back(top);
  EXPECT_EQ(seen, &marker);
  HWND child = Child(top, 0x4050, 0, 0, 5, 5);
  EXPECT_EQ(GetDlgCtrlID(child), 0x4050);
  EXPECT_EQ(GetDlgItem(top, 0x4050), child);
  EXPECT_EQ(GetDlgItem(top, 1), nullptr);
  EXPECT_EQ(GetParent(child), top);
  EXPECT_EQ(GetParent(top), nullptr);
  // By atom as well as by name.
  ATOM atom = GetClassWord(top, GCW_ATOM);
  EXPECT_GE(atom, 0xC000);
  HWND byAtom = CreateWindowExA(0, MAKEINTATOM(atom), "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                nullptr, nullptr);
  made.push_back(byAtom);
  ASSERT_NE(byAtom, nullptr);
  char name[8];
  EXPECT_EQ(GetClassNameA(byAtom, name, sizeof(name)), 7);
  EXPECT_STREQ(name, "UserTes");
  // WS_CHILD without a parent is refused.
  EXPECT_EQ(
      CreateWindowExA(0, kClass, "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
      nullptr);
}

TEST_F(UserWindows, ExtraBytesAreBoundsChecked) {
  HWND hwnd = Top(WS_POPUP);  // cbWndExtra 8
  EXPECT_EQ(SetWindowLongA(hwnd, 4, 0x1234), 0);
  EXPECT_EQ(GetWindowLongA(hwnd, 4), 0x1234);
  SetLastError(0);
  EXPECT_EQ(SetWindowLongA(hwnd, 5, 1), 0);
  EXPECT_EQ(GetLastError(), 1413u);
  EXPECT_EQ(GetWindowLongA(hwnd, -100), 0);
  EXPECT_EQ(GetLastError(), 1413u);
  EXPECT_EQ(SetWindowLongPtrA(hwnd, 0, static_cast<LONG_PTR>(-2)), 0x1234LL << 32);
  EXPECT_EQ(GetWindowLongPtrA(hwnd, 0), -2);
  SetLastError(0);
  EXPECT_EQ(GetWindowLongPtrA(hwnd, 1), 0);
  EXPECT_EQ(GetLastError(), 1413u);
  EXPECT_EQ(SetWindowLongPtrA(hwnd, GWLP_USERDATA, 99), 0);
  EXPECT_EQ(GetWindowLongPtrA(hwnd, GWLP_USERDATA), 99);
  // A new procedure takes over at once.
  WNDPROC old = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
      hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(static_cast<WNDPROC>(DefWindowProcA))));
  EXPECT_EQ(old, RecordingProc);
  Log().clear();
  SendMessageA(hwnd, WM_USER, 0, 0);
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(CallWindowProcA(old, hwnd, WM_USER, 0, 0), 0);
  EXPECT_EQ(Log().size(), 1u);
}

TEST_F(UserWindows, MenusGoWithTheirWindow) {
  HMENU bar = CreateMenu();
  HMENU popup = CreatePopupMenu();
  EXPECT_TRUE(AppendMenuA(popup, MF_STRING, 32773, "&Cascade"));
  EXPECT_TRUE(AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "&Window"));
  EXPECT_FALSE(AppendMenuA(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(bar), "loop"));
  EXPECT_EQ(GetMenuItemCount(bar), 1);
  HWND hwnd = Top(WS_POPUP | WS_CAPTION, 0, 0, 100, 100);
  RECT before;
  GetClientRect(hwnd, &before);
  EXPECT_TRUE(SetMenu(hwnd, bar));
  EXPECT_EQ(GetMenu(hwnd), bar);
  RECT after;
  GetClientRect(hwnd, &after);
  EXPECT_TRUE(EqualRect(&before, &after));
  DestroyWindow(hwnd);
  EXPECT_EQ(GetMenuItemCount(bar), -1);
  EXPECT_EQ(GetMenuItemCount(popup), -1);
  EXPECT_FALSE(DestroyMenu(bar));
}

TEST_F(UserWindows, ASecondWindowTakesActivationAndFocus) {
  HWND a = Top();
  Log().clear();
  HWND b = Top();
  std::vector<std::pair<HWND, UINT>> order;
  for (const kit::Entry& s : Log()) {
    if (s.message == WM_NCACTIVATE || s.message == WM_ACTIVATE || s.message == WM_KILLFOCUS ||
        s.message == WM_SETFOCUS || s.message == WM_ACTIVATEAPP) {
      order.emplace_back(s.hwnd, s.message);
    }
  }
  std::vector<std::pair<HWND, UINT>> expected{{a, WM_NCACTIVATE}, {a, WM_ACTIVATE},
                                              {b, WM_NCACTIVATE}, {b, WM_ACTIVATE},
                                              {a, WM_KILLFOCUS},  {b, WM_SETFOCUS}};
  EXPECT_EQ(order, expected);
  EXPECT_EQ(GetTopWindow(nullptr), b);
  EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), a);
  // Hiding the active window hands activation back.
  ShowWindow(b, SW_HIDE);
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetFocus(), a);
  EXPECT_FALSE(IsWindowVisible(b));
}

TEST_F(UserWindows, TabAndArrowsMoveAmongControls) {
  HWND dlg = Top();
  HWND c1 = Child(dlg, 1, 0, 0, 5, 5, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP);
  HWND c2 = Child(dlg, 2, 0, 0, 5, 5, WS_CHILD | WS_VISIBLE);
  HWND c3 = Child(dlg, 3, 0, 0, 5, 5, WS_CHILD | WS_TABSTOP | WS_GROUP);  // hidden
  HWND c4 = Child(dlg, 4, 0, 0, 5, 5, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | WS_DISABLED);
  HWND c5 = Child(dlg, 5, 0, 0, 5, 5, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP);
  Drain();
  SetFocus(c1);
  MSG tab{c1, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
  EXPECT_TRUE(IsDialogMessageA(dlg, &tab));
  EXPECT_EQ(GetFocus(), c5);
  tab.hwnd = c5;
  EXPECT_TRUE(IsDialogMessageA(dlg, &tab));
  EXPECT_EQ(GetFocus(), c1);  // wrapped
  portable::InjectKey(VK_SHIFT, true);
  EXPECT_TRUE(IsDialogMessageA(dlg, &tab));
  EXPECT_EQ(GetFocus(), c5);
  portable::InjectKey(VK_SHIFT, false);
  SetFocus(c1);
  MSG down{c1, WM_KEYDOWN, VK_DOWN, 0, 0, {0, 0}};
  EXPECT_TRUE(IsDialogMessageA(dlg, &down));
  EXPECT_EQ(GetFocus(), c2);  // same group
  down.hwnd = c2;
  EXPECT_TRUE(IsDialogMessageA(dlg, &down));
  EXPECT_EQ(GetFocus(), c1);  // wraps inside the group
  // Other keys are dispatched by the dialog; other windows' messages are not its business.
  Log().clear();
  MSG key{c1, WM_KEYDOWN, 'Q', 0, 0, {0, 0}};
  EXPECT_TRUE(IsDialogMessageA(dlg, &key));
  EXPECT_EQ(Messages(c1, {WM_KEYDOWN}).size(), 1u);
  HWND other = Top();
  MSG foreign{other, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
  EXPECT_FALSE(IsDialogMessageA(dlg, &foreign));
  (void)c3;
  (void)c4;
  Drain();
}

TEST_F(UserWindows, MdiChildrenAreArrangedAndDestroyedThroughTheClient) {
  HWND frame = Top(WS_POPUP | WS_VISIBLE, 0, 0, 400, 300);
  HMENU windowMenu = CreatePopupMenu();
  CLIENTCREATESTRUCT ccs{windowMenu, 0x4050};
  HWND client =
      CreateWindowExA(0, "MDICLIENT", "", WS_CHILD | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL, 0,
                      0, 400, 300, frame, reinterpret_cast<HMENU>(0xCAC), nullptr, &ccs);
  ASSERT_NE(client, nullptr);
  ShowWindow(client, SW_SHOW);
  RECT rc;
  GetClientRect(client, &rc);
  EXPECT_EQ(rc.right, 400);  // scroll bars stay hidden
  HWND k1 = CreateWindowExA(WS_EX_MDICHILD, kClass, "1", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100,
                            client, nullptr, nullptr, nullptr);
  HWND k2 = CreateWindowExA(WS_EX_MDICHILD, kClass, "2", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100,
                            client, nullptr, nullptr, nullptr);
  ASSERT_NE(k2, nullptr);
  EXPECT_EQ(GetDlgCtrlID(k1), 0x4050);
  EXPECT_EQ(GetDlgCtrlID(k2), 0x4051);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, 0)), k2);
  EXPECT_EQ(GetTopWindow(client), k2);
  SendMessageA(client, WM_MDITILE, MDITILE_HORIZONTAL, 0);
  RECT r1, r2;
  GetWindowRect(k1, &r1);
  GetWindowRect(k2, &r2);
  EXPECT_EQ(r1.top - r2.top, 150);  // z-order: the active child takes the first row
  EXPECT_EQ(r1.right - r1.left, 400);
  EXPECT_EQ(r1.bottom - r1.top, 150);
  // Frame's command for a window-menu id activates that child.
  DefFrameProcA(frame, client, WM_COMMAND, 0x4050, 0);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, 0)), k1);
  // Closing a child through the default procedure destroys it via the client.
  DefMDIChildProcA(k1, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(k1));
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, 0)), k2);
  SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(k2), 0);
  EXPECT_FALSE(IsWindow(k2));
  EXPECT_EQ(SendMessageA(client, WM_MDIGETACTIVE, 0, 0), 0);
  // The frame's size reaches the client, but not when minimised.
  DefFrameProcA(frame, client, WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
  GetClientRect(client, &rc);
  EXPECT_EQ(rc.right, 300);
  DefFrameProcA(frame, client, WM_SIZE, SIZE_MINIMIZED, 0);
  GetClientRect(client, &rc);
  EXPECT_EQ(rc.right, 300);
  DestroyMenu(windowMenu);
}

TEST_F(UserWindows, HandleCountAndNestingAreBounded) {
  HWND top = Top(WS_POPUP);
  HWND parent = top;
  int depth = 0;
  while (depth < 1000) {
    HWND next = Child(parent, depth, 0, 0, 1, 1, WS_CHILD);
    if (next == nullptr) break;
    parent = next;
    ++depth;
  }
  EXPECT_EQ(depth, 255);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  DestroyWindow(top);  // the whole chain goes, without running out of stack
  EXPECT_FALSE(IsWindow(parent));
  std::vector<HWND> many;
  size_t start = portable::LiveWindows();
  for (size_t i = start; i < 10001; ++i) {
    HWND h =
        CreateWindowExA(0, kClass, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (h == nullptr) break;
    many.push_back(h);
  }
  EXPECT_EQ(portable::LiveWindows(), 10000u);
  EXPECT_EQ(GetLastError(), 1158u);
  for (HWND h : many) DestroyWindow(h);
}

TEST_F(UserWindows, RegisterAndUnregisterRules) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = RecordingProc;
  wc.lpszClassName = "userTESTclass";  // names ignore case
  EXPECT_EQ(RegisterClassExA(&wc), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
  wc.cbSize = 12;
  wc.lpszClassName = "Other";
  EXPECT_EQ(RegisterClassExA(&wc), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  wc.cbSize = sizeof(wc);
  wc.cbWndExtra = -4;
  EXPECT_EQ(RegisterClassExA(&wc), 0);
  wc.cbWndExtra = 0;
  ATOM atom = RegisterClassExA(&wc);
  EXPECT_GE(atom, 0xC000);
  HWND hwnd =
      CreateWindowExA(0, "Other", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  EXPECT_FALSE(UnregisterClassA("Other", nullptr));
  EXPECT_EQ(GetLastError(), 1412u);
  DestroyWindow(hwnd);
  EXPECT_TRUE(UnregisterClassA("Other", nullptr));
  EXPECT_FALSE(UnregisterClassA("Other", nullptr));
  // The name keeps its atom when registered again.
  EXPECT_EQ(RegisterClassExA(&wc), atom);
  EXPECT_TRUE(UnregisterClassA(MAKEINTATOM(atom), nullptr));
}

}  // namespace
}  // namespace user_test
