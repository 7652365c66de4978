// The window procedure and event dispatch: translation, nesting, close requests, reflection.
#include "runtime_fixture.h"

namespace {

class DispatchTest : public RuntimeTest {};

const LoggedEvent* Last(int32_t id) {
  int found = -1;
  for (int i = 0; i < static_cast<int>(EventLog().size()); ++i) {
    if (EventLog()[i].id == id) found = i;
  }
  return found < 0 ? nullptr : &EventLog()[found];
}

TEST_F(DispatchTest, LeftClickFocusesThenDeliversFlagsAndPosition) {
  WindowRecord* r = Open(OPEN_DIRECT);
  WindowRecord* other = Open(OPEN_DIRECT, 300, 20);
  SetFocus(other->hwnd);
  EventLog().clear();
  static HWND focusAtClick = nullptr;
  HandlerAction() = [] {
    if (CurrentEvent.eventId == WM_LBUTTONDOWN) focusAtClick = GetFocus();
    return 0;
  };
  SendMessageA(r->hwnd, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(17, 42));
  const LoggedEvent* e = Last(WM_LBUTTONDOWN);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->param1, static_cast<WPARAM>(MK_LBUTTON | MK_SHIFT));
  EXPECT_EQ(e->param2, static_cast<LPARAM>(MK_LBUTTON | MK_SHIFT));
  EXPECT_EQ(e->mouseX, 17u);
  EXPECT_EQ(e->mouseY, 42u);
  EXPECT_EQ(e->window, r);
  EXPECT_EQ(focusAtClick, r->hwnd);
}

TEST_F(DispatchTest, NegativeMousePositionsArriveAsLargeUnsignedValues) {
  WindowRecord* r = Open(OPEN_DIRECT);
  SendMessageA(r->hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(-1, -2));
  const LoggedEvent* e = Last(WM_MOUSEMOVE);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->mouseX, 65535u);
  EXPECT_EQ(e->mouseY, 65534u);
}

TEST_F(DispatchTest, WheelAndMiddleButtonPassUnchangedWithoutPosition) {
  WindowRecord* r = Open(OPEN_DIRECT);
  SendMessageA(r->hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(3, 4));  // mouseX/Y of this event only
  SendMessageA(r->hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(50, 60));
  const LoggedEvent* e = Last(WM_MOUSEWHEEL);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(HIWORD(e->param1), 120);
  EXPECT_EQ(e->param2, MAKELPARAM(50, 60));
  EXPECT_EQ(e->mouseX, 0u);  // restored to the outermost value
  EXPECT_EQ(e->mouseY, 0u);
  SendMessageA(r->hwnd, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(7, 8));
  e = Last(WM_MBUTTONDOWN);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->mouseX, 0u);
  EXPECT_EQ(e->param2, MAKELPARAM(7, 8));
}

TEST_F(DispatchTest, SizeAndSizingBecomeSizeChangedWithTheWindowHandle) {
  WindowRecord* r = Open(OPEN_DIRECT);
  EventLog().clear();
  SendMessageA(r->hwnd, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(640, 480));
  ASSERT_EQ(EventLog().size(), 1u);
  EXPECT_EQ(EventLog()[0].id, EVENT_SIZE_CHANGED);
  EXPECT_EQ(EventLog()[0].param1, static_cast<WPARAM>(SIZE_MAXIMIZED));
  EXPECT_EQ(EventLog()[0].param2, reinterpret_cast<LPARAM>(r->hwnd));
  RECT drag{0, 0, 100, 100};
  SendMessageA(r->hwnd, WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&drag));
  const LoggedEvent* e = Last(EVENT_SIZE_CHANGED);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->param1, static_cast<WPARAM>(WMSZ_RIGHT));
  EXPECT_EQ(e->param2, reinterpret_cast<LPARAM>(r->hwnd));
  EXPECT_EQ(CountEvents(WM_SIZE), 0);
}

TEST_F(DispatchTest, CloseBecomesACloseRequestAndLeavesTheWindowOpen) {
  WindowRecord* r = Open(OPEN_DIRECT);
  EventLog().clear();
  SendMessageA(r->hwnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(CountEvents(EVENT_CLOSE_REQUEST), 1);
  EXPECT_EQ(CountEvents(WM_CLOSE), 0);
  EXPECT_TRUE(IsWindow(r->hwnd));
  EXPECT_NE(r->hwnd, nullptr);
  // The system menu's Close goes through the default procedure's WM_CLOSE.
  SendMessageA(r->hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(CountEvents(EVENT_CLOSE_REQUEST), 2);
  EXPECT_TRUE(IsWindow(r->hwnd));
  EXPECT_EQ(CountEvents(WM_DESTROY), 0);
}

TEST_F(DispatchTest, CurrentEventIsRestoredAfterNestedDispatch) {
  WindowRecord* r = Open(OPEN_DIRECT);
  WindowRecord* other = Open(OPEN_DIRECT, 300, 20);
  static CurrentEventVars before{}, after{}, inner{};
  static WindowRecord* otherRecord = nullptr;
  otherRecord = other;
  HandlerAction() = [] {
    if (CurrentEvent.eventId == WM_LBUTTONDOWN) {
      before = CurrentEvent;
      SendMessageA(otherRecord->hwnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 77), 0);
      SendMessageA(otherRecord->hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(1, 2));
      PostMessageA(otherRecord->hwnd, WM_KEYDOWN, VK_SPACE, 0);
      MSG m;
      while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
      after = CurrentEvent;
    } else if (CurrentEvent.eventId == WM_VSCROLL) {
      inner = CurrentEvent;
    }
    return 0;
  };
  SendMessageA(r->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(11, 12));
  EXPECT_EQ(inner.eventId, WM_VSCROLL);
  EXPECT_EQ(inner.param1, static_cast<WPARAM>(SB_THUMBPOSITION));
  EXPECT_EQ(inner.param2, 77);
  EXPECT_EQ(inner.eventWindow, other);
  EXPECT_EQ(inner.mouseX, 11u);  // not set by a scroll: the outer value shows through
  EXPECT_EQ(CountEvents(WM_KEYDOWN), 1);
  EXPECT_EQ(after.eventId, before.eventId);
  EXPECT_EQ(after.param1, before.param1);
  EXPECT_EQ(after.param2, before.param2);
  EXPECT_EQ(after.mouseX, 11u);
  EXPECT_EQ(after.mouseY, 12u);
  EXPECT_EQ(after.eventWindow, r);
  EXPECT_EQ(after.controlId, before.controlId);
  // Outside every dispatch the variables are back to their resting values.
  EXPECT_EQ(CurrentEvent.eventId, 0);
  EXPECT_EQ(CurrentEvent.eventWindow, nullptr);
}

TEST_F(DispatchTest, CommandsNotificationsAndScrolls) {
  WindowRecord* r = Open(OPEN_DIRECT);
  HWND control = CreateWindowExA(0, "KorvexWndClass", "", WS_CHILD, 0, 0, 10, 10, r->hwnd,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(55)),
                                 GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(control, nullptr);
  EventLog().clear();
  SendMessageA(r->hwnd, WM_COMMAND, MAKEWPARAM(55, 3), reinterpret_cast<LPARAM>(control));
  const LoggedEvent* e = Last(EVENT_CONTROL_NOTIFY);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->controlId, 55u);
  EXPECT_EQ(e->notifyCode, 3u);
  EXPECT_EQ(e->param2, reinterpret_cast<LPARAM>(control));

  NMHDR header{};
  header.hwndFrom = control;
  header.idFrom = 56;
  header.code = static_cast<UINT>(-12);
  SendMessageA(r->hwnd, WM_NOTIFY, 56, reinterpret_cast<LPARAM>(&header));
  e = Last(EVENT_CONTROL_NOTIFY);
  EXPECT_EQ(e->controlId, 56u);
  EXPECT_EQ(e->notifyCode, static_cast<uint32_t>(-12));

  SendMessageA(r->hwnd, WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 9), reinterpret_cast<LPARAM>(control));
  e = Last(WM_HSCROLL);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->param1, static_cast<WPARAM>(SB_LINEDOWN));
  EXPECT_EQ(e->param2, 9);
  EXPECT_EQ(e->controlId, 55u);

  // The control is a runtime-class window without a record: the command stays on r.
  SendMessageA(r->hwnd, WM_COMMAND, MAKEWPARAM(900, 0), 0);
  e = Last(EVENT_MENU_COMMAND);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->commandId, 900u);
  EXPECT_EQ(e->window, r);
  // commandId keeps the last menu command after the dispatch; the others are restored.
  EXPECT_EQ(CurrentEvent.commandId, 900u);
  EXPECT_EQ(CurrentEvent.controlId, 0u);
  DestroyWindow(control);
}

LRESULT CALLBACK ForeignProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == 0x19) return 0x1234;  // a reflected colour request
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND ForeignChild(HWND parent, int id) {
  static ATOM atom = 0;
  if (atom == 0) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ForeignProcedure;
    wc.cbWndExtra = 2 * sizeof(void*);
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "RuntimeTestForeign";
    atom = RegisterClassExA(&wc);
  }
  HWND child = CreateWindowExA(0, "RuntimeTestForeign", "", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20,
                               parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleA(nullptr), nullptr);
  // Something that would be a wild record pointer if read as one.
  SetWindowLongPtrA(child, 0, static_cast<LONG_PTR>(0x10));
  return child;
}

TEST_F(DispatchTest, MenuCommandWithAForeignTopChildKeepsTheWindowsOwnRecord) {
  WindowRecord* r = Open(OPEN_DIRECT);
  HWND foreign = ForeignChild(r->hwnd, 77);
  ASSERT_EQ(GetTopWindow(r->hwnd), foreign);
  SendMessageA(r->hwnd, WM_COMMAND, MAKEWPARAM(1001, 0), 0);
  const LoggedEvent* e = Last(EVENT_MENU_COMMAND);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->window, r);
  EXPECT_EQ(e->commandId, 1001u);
  DestroyWindow(foreign);
}

TEST_F(DispatchTest, MenuCommandOfAFrameIsReportedForItsActiveMdiChild) {
  WindowRecord* frame = Open(OPEN_MDI_FRAME | OPEN_DIRECT, 10, 10, 400, 300);
  WindowRecord* child = Open(OPEN_DIRECT, 0, 0, 150, 100, frame);
  ASSERT_NE(child->hwnd, nullptr);
  ASSERT_EQ(GetTopWindow(frame->mdiClient), child->hwnd);
  SendMessageA(frame->hwnd, WM_COMMAND, MAKEWPARAM(2002, 0), 0);
  const LoggedEvent* e = Last(EVENT_MENU_COMMAND);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->window, child);
  // Tile arranges the children: the child is moved to fill the client.
  SendMessageA(frame->hwnd, WM_COMMAND, MAKEWPARAM(CMD_MDI_TILE, 0), 0);
  e = Last(EVENT_MENU_COMMAND);
  EXPECT_EQ(e->commandId, CMD_MDI_TILE);
  RECT clientArea{}, childRect{};
  GetClientRect(frame->mdiClient, &clientArea);
  GetWindowRect(child->hwnd, &childRect);
  EXPECT_EQ(childRect.right - childRect.left, clientArea.right);
}

TEST_F(DispatchTest, ColourRequestsAreReflectedToControlsExceptForDialogs) {
  WindowRecord* r = Open(OPEN_DIRECT);
  HWND control = ForeignChild(r->hwnd, 12);
  HDC dc = GetDC(r->hwnd);
  const WPARAM dcParam = reinterpret_cast<WPARAM>(dc);
  const LPARAM controlParam = reinterpret_cast<LPARAM>(control);
  for (UINT message : {WM_CTLCOLORMSGBOX, WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORBTN,
                       WM_CTLCOLORSCROLLBAR, WM_CTLCOLORSTATIC}) {
    EXPECT_EQ(SendMessageA(r->hwnd, message, dcParam, controlParam), 0x1234) << message;
    EXPECT_NE(SendMessageA(r->hwnd, message, dcParam, 0), 0x1234) << message;
  }
  EXPECT_NE(SendMessageA(r->hwnd, WM_CTLCOLORDLG, dcParam, controlParam), 0x1234);
  ReleaseDC(r->hwnd, dc);
  DestroyWindow(control);
}

TEST_F(DispatchTest, HandledEventsSkipTheDefaultProcedure) {
  WindowRecord* r = Open(OPEN_DIRECT);
  HandlerAction() = [] { return CurrentEvent.eventId == WM_SETTEXT ? 1 : 0; };
  SendMessageA(r->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("changed"));
  char title[32] = {};
  GetWindowTextA(r->hwnd, title, sizeof(title));
  EXPECT_STREQ(title, "runtime test");
  HandlerAction() = nullptr;
  SendMessageA(r->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("changed"));
  GetWindowTextA(r->hwnd, title, sizeof(title));
  EXPECT_STREQ(title, "changed");
}

TEST_F(DispatchTest, ObserverSeesEachHandlerCallWithItsDepth) {
  WindowRecord* r = Open(OPEN_DIRECT);
  static std::vector<std::pair<int32_t, int32_t>> seen;
  seen.clear();
  DispatchObserver = [](int32_t id, WPARAM, int32_t depth) { seen.emplace_back(id, depth); };
  static WindowRecord* target = nullptr;
  target = r;
  HandlerAction() = [] {
    if (CurrentEvent.eventId == WM_KEYDOWN) SendMessageA(target->hwnd, WM_CHAR, 'a', 0);
    return 0;
  };
  SendMessageA(r->hwnd, WM_KEYDOWN, 'A', 0);
  DispatchObserver = nullptr;
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], std::make_pair(static_cast<int32_t>(WM_KEYDOWN), 1));
  EXPECT_EQ(seen[1], std::make_pair(static_cast<int32_t>(WM_CHAR), 2));
}

TEST_F(DispatchTest, WithoutHandlerEventsGetDefaultProcessingOnly) {
  WindowRecord* r = Open(OPEN_DIRECT, 20, 20, 240, 180, nullptr, nullptr);
  ASSERT_NE(r->hwnd, nullptr);
  EXPECT_EQ(EventDispatch(r, WM_KEYDOWN, 'A', 0), 0);
  // No handler: the close request reaches no one and the window stays.
  SendMessageA(r->hwnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(r->hwnd));
  EXPECT_TRUE(EventLog().empty());
}

}  // namespace
