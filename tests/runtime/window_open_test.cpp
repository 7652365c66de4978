// Opening windows: styles, record state, backing bitmaps, classes and MDI frames.
#include "runtime_fixture.h"

namespace {

class WindowOpenTest : public RuntimeTest {};

TEST_F(WindowOpenTest, ApplicationWindowIsADirectCaptionedPopup) {
  WindowRecord* r = Open(0x70010);
  ASSERT_NE(r->hwnd, nullptr);
  // Windows adds WS_CLIPSIBLINGS to every top-level window by itself.
  EXPECT_EQ(static_cast<uint32_t>(GetWindowLongA(r->hwnd, GWL_STYLE)) & ~WS_CLIPSIBLINGS,
            0x92CF0000u);
  EXPECT_EQ(
      GetWindowLongA(r->hwnd, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_MDICHILD),
      0);
  EXPECT_EQ(GetClassWord(r->hwnd, GCW_ATOM), WndClassAtom);
  char name[32] = {};
  GetClassNameA(r->hwnd, name, sizeof(name));
  EXPECT_STREQ(name, "KorvexWndClass");
  EXPECT_EQ(r->hasBacking, 0);
  EXPECT_EQ(r->backingBitmap, nullptr);
  EXPECT_EQ(r->bkColor, kWhite);
  EXPECT_EQ(r->fillColor, GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(r->bkMode, OPAQUE);
  EXPECT_EQ(r->rop2, R2_COPYPEN);
  EXPECT_EQ(r->penStyle, 0);
  EXPECT_EQ(r->penWidth, 1);
  EXPECT_EQ(r->penPos.x, 0);
  EXPECT_EQ(r->penPos.y, 0);
  EXPECT_NE(r->pen, nullptr);
  EXPECT_NE(r->font, nullptr);
  EXPECT_EQ(r->cursor, LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(r->handler, &RecordingHandler);
  EXPECT_EQ(r->holdCount, 0);
  EXPECT_EQ(r->heldContext, nullptr);
  EXPECT_EQ(WindowRecordOf(r->hwnd), r);
  EXPECT_EQ(CreatingRecord, nullptr);
  // The client area shows the system window colour from the start.
  EXPECT_EQ(ScreenPixel(r, 5, 5), GetSysColor(COLOR_WINDOW));
}

TEST_F(WindowOpenTest, HandlerGetsCreateWithTheHandleAlreadyInTheRecord) {
  static WindowRecord* creating = nullptr;
  static HWND seen = nullptr;
  creating = nullptr;
  seen = nullptr;
  HandlerAction() = [] {
    if (CurrentEvent.eventId == WM_CREATE && seen == nullptr) {
      seen = CurrentEvent.eventWindow->hwnd;
      creating = CreatingRecord;
    }
    return 0;
  };
  WindowRecord* r = Open(OPEN_DIRECT);
  ASSERT_NE(seen, nullptr);
  EXPECT_EQ(seen, r->hwnd);
  EXPECT_EQ(creating, r);
  ASSERT_GE(IndexOfEvent(WM_CREATE), 0);
  EXPECT_EQ(EventLog()[IndexOfEvent(WM_CREATE)].window, r);
}

TEST_F(WindowOpenTest, BackedWindowHasAScreenSizedBitmapFilledWithTheWindowColour) {
  WindowRecord* r = Open(0, 30, 30, 120, 90);
  ASSERT_NE(r->hwnd, nullptr);
  EXPECT_EQ(r->hasBacking, 1);
  ASSERT_NE(r->backingBitmap, nullptr);
  BITMAP info{};
  ASSERT_NE(GetObjectA(r->backingBitmap, sizeof(info), &info), 0);
  EXPECT_EQ(info.bmWidth, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(info.bmHeight, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(r->bkColor, r->fillColor);
  EXPECT_EQ(BitmapPixel(r, 0, 0), r->fillColor);
  EXPECT_EQ(BitmapPixel(r, info.bmWidth - 1, info.bmHeight - 1), r->fillColor);
}

TEST_F(WindowOpenTest, RuntimeFlagBitsNeverReachTheStyle) {
  WindowRecord* r =
      Open(OPEN_DIRECT | OPEN_NO_CAPTION | OPEN_TOOL_WINDOW | OPEN_TOPMOST | WS_BORDER);
  ASSERT_NE(r->hwnd, nullptr);
  uint32_t style = static_cast<uint32_t>(GetWindowLongA(r->hwnd, GWL_STYLE));
  EXPECT_EQ(style & 0x670u, 0u);
  EXPECT_EQ(style & WS_CAPTION, static_cast<uint32_t>(WS_BORDER));  // no caption, only the border
  EXPECT_EQ(style & WS_SYSMENU, 0u);
  EXPECT_EQ(style & (WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN),
            static_cast<uint32_t>(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN));
  LONG ex = GetWindowLongA(r->hwnd, GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
}

TEST_F(WindowOpenTest, ParentWithoutWindowGivesAPopupAndAnOpenParentAChild) {
  WindowRecord closedParent{};
  WindowRecord* popup = Open(OPEN_DIRECT, 10, 10, 100, 80, &closedParent);
  ASSERT_NE(popup->hwnd, nullptr);
  EXPECT_TRUE(GetWindowLongA(popup->hwnd, GWL_STYLE) & WS_POPUP);
  EXPECT_FALSE(GetWindowLongA(popup->hwnd, GWL_STYLE) & WS_CHILD);

  WindowRecord* child = Open(OPEN_DIRECT | OPEN_NO_CAPTION, 5, 5, 40, 30, popup);
  ASSERT_NE(child->hwnd, nullptr);
  uint32_t style = static_cast<uint32_t>(GetWindowLongA(child->hwnd, GWL_STYLE));
  EXPECT_EQ(style & (WS_CHILD | WS_CLIPSIBLINGS),
            static_cast<uint32_t>(WS_CHILD | WS_CLIPSIBLINGS));
  EXPECT_EQ(style & WS_POPUP, 0u);
  EXPECT_EQ(GetParent(child->hwnd), popup->hwnd);
}

TEST_F(WindowOpenTest, MdiClientAtomIsAPlaceholderUntilAFrameIsOpened) {
  MdiClientAtom = 0;
  Open(OPEN_DIRECT);
  EXPECT_EQ(MdiClientAtom, 0xFFFF);
  WindowRecord* frame = Open(OPEN_MDI_FRAME | OPEN_DIRECT, 10, 10, 400, 300);
  ASSERT_NE(frame->hwnd, nullptr);
  ASSERT_NE(frame->mdiClient, nullptr);
  EXPECT_EQ(MdiClientAtom, GetClassWord(frame->mdiClient, GCW_ATOM));
  EXPECT_NE(MdiClientAtom, 0xFFFF);
  // A later plain window keeps the real atom.
  Open(OPEN_DIRECT);
  EXPECT_EQ(MdiClientAtom, GetClassWord(frame->mdiClient, GCW_ATOM));
}

TEST_F(WindowOpenTest, FrameHasTheWindowMenuAndAClientFillingItsClientArea) {
  WindowRecord* frame = Open(OPEN_MDI_FRAME | OPEN_DIRECT, 10, 10, 400, 300);
  ASSERT_NE(frame->hwnd, nullptr);
  EXPECT_EQ(GetClassWord(frame->hwnd, GCW_ATOM), FrameClassAtom);
  HMENU bar = GetMenu(frame->hwnd);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(GetMenuItemCount(bar), 1);
  EXPECT_EQ(GetDlgCtrlID(frame->mdiClient), MDI_CLIENT_ID);
  EXPECT_EQ(GetParent(frame->mdiClient), frame->hwnd);
  EXPECT_TRUE(IsWindowVisible(frame->mdiClient));
  RECT frameClient{}, client{};
  GetClientRect(frame->hwnd, &frameClient);
  GetClientRect(frame->mdiClient, &client);
  RECT outer{};
  GetWindowRect(frame->mdiClient, &outer);
  EXPECT_LE(client.right, frameClient.right);
  EXPECT_EQ(outer.right - outer.left, frameClient.right);
  EXPECT_EQ(outer.bottom - outer.top, frameClient.bottom);
}

TEST_F(WindowOpenTest, ChildOfAFrameIsAnMdiChildAndClosesThroughTheClient) {
  WindowRecord* frame = Open(OPEN_MDI_FRAME | OPEN_DIRECT, 10, 10, 400, 300);
  ASSERT_NE(frame->mdiClient, nullptr);
  WindowRecord* child = Open(OPEN_DIRECT, 0, 0, 150, 100, frame);
  ASSERT_NE(child->hwnd, nullptr);
  EXPECT_EQ(GetParent(child->hwnd), frame->mdiClient);
  EXPECT_TRUE(GetWindowLongA(child->hwnd, GWL_EXSTYLE) & WS_EX_MDICHILD);
  HWND childWindow = child->hwnd;
  EventLog().clear();
  WindowClose(child);
  EXPECT_EQ(child->hwnd, nullptr);
  EXPECT_FALSE(IsWindow(childWindow));
  EXPECT_TRUE(IsWindow(frame->hwnd));
  EXPECT_GE(IndexOfEvent(WM_DESTROY), 0);
}

TEST_F(WindowOpenTest, MaximizeWinsOverMinimize) {
  WindowRecord* r = Open(OPEN_DIRECT | WS_MAXIMIZE | WS_MINIMIZE, 10, 10, 200, 150);
  ASSERT_NE(r->hwnd, nullptr);
  EXPECT_TRUE(IsZoomed(r->hwnd));
  EXPECT_FALSE(IsIconic(r->hwnd));
  WindowRecord* small = Open(OPEN_DIRECT | WS_MINIMIZE, 10, 10, 200, 150);
  EXPECT_TRUE(IsIconic(small->hwnd));
}

TEST_F(WindowOpenTest, ClientSizeHasZeroOriginAndZerosWhenClosed) {
  WindowRecord* r = Open(OPEN_DIRECT, 10, 10, 300, 200);
  int32_t left = -1, top = -1, width = -1, height = -1;
  WindowClientSize(r, &left, &top, &width, &height);
  RECT client{};
  GetClientRect(r->hwnd, &client);
  EXPECT_EQ(left, 0);
  EXPECT_EQ(top, 0);
  EXPECT_EQ(width, client.right);
  EXPECT_EQ(height, client.bottom);
  EXPECT_LT(width, 300);  // the frame and caption take their share
  EXPECT_GT(width, 200);

  WindowClose(r);
  left = top = width = height = -1;
  WindowClientSize(r, &left, &top, &width, &height);
  EXPECT_EQ(left, 0);
  EXPECT_EQ(top, 0);
  EXPECT_EQ(width, 0);
  EXPECT_EQ(height, 0);
}

TEST_F(WindowOpenTest, ScreenSizeAndFillRectColor) {
  int32_t width = 0, height = 0;
  ScreenSize(&width, &height);
  EXPECT_EQ(width, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(height, GetSystemMetrics(SM_CYSCREEN));

  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  FillRectColor(dc, 0, 0, 8, 8, kBlue);
  FillRectColor(dc, 2, 3, 4, 2, kRed);
  EXPECT_EQ(GetPixel(dc, 2, 3), kRed);
  EXPECT_EQ(GetPixel(dc, 5, 4), kRed);
  EXPECT_EQ(GetPixel(dc, 6, 4), kBlue);
  EXPECT_EQ(GetPixel(dc, 5, 5), kBlue);
  EXPECT_EQ(GetPixel(dc, 1, 3), kBlue);
  // The colour stays the context's background colour.
  EXPECT_EQ(GetBkColor(dc), kRed);
  FillRectColor(nullptr, 0, 0, 8, 8, kGreen);  // no context: nothing to do
  SelectObject(dc, previous);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
}

TEST_F(WindowOpenTest, ClassesRegisterOnce) {
  WindowClassesRegister();
  ATOM wnd = WndClassAtom;
  ATOM frame = FrameClassAtom;
  EXPECT_NE(wnd, 0);
  EXPECT_NE(frame, 0);
  WindowClassesRegister();
  EXPECT_EQ(WndClassAtom, wnd);
  EXPECT_EQ(FrameClassAtom, frame);
}

}  // namespace
