// An MDI frame fits its client window between toolbars and status bars.
#include "runtime/window/frame_layout.h"
#include "runtime_fixture.h"

namespace {

class FrameLayoutTest : public RuntimeTest {
 protected:
  // Bars are recognised by class name only, so plain classes of those names stand in for them.
  static void RegisterBarClasses() {
    static bool done = false;
    if (done) return;
    for (const char* name : {"ToolbarWindow32", "msctls_statusbar32"}) {
      WNDCLASSEXA wc{};
      wc.cbSize = sizeof(wc);
      wc.lpfnWndProc = DefWindowProcA;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = name;
      RegisterClassExA(&wc);
    }
    done = true;
  }
  static HWND Bar(HWND frame, const char* className, DWORD alignment, int width, int height) {
    return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | alignment, 0, 0, width, height,
                           frame, nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  // The MDI client's rectangle in the frame's client coordinates.
  static RECT ClientPlace(const WindowRecord* frame) {
    RECT place{};
    GetWindowRect(frame->mdiClient, &place);
    MapWindowPoints(nullptr, frame->hwnd, reinterpret_cast<POINT*>(&place), 2);
    return place;
  }
};

TEST_F(FrameLayoutTest, ToolbarAndStatusBarLeaveTheClientBetweenThem) {
  RegisterBarClasses();
  WindowRecord* frame = Open(OPEN_MDI_FRAME | OPEN_DIRECT, 10, 10, 500, 400);
  ASSERT_NE(frame->mdiClient, nullptr);
  ASSERT_NE(Bar(frame->hwnd, "ToolbarWindow32", CCS_TOP, 500, 30), nullptr);
  ASSERT_NE(Bar(frame->hwnd, "msctls_statusbar32", 0, 500, 20), nullptr);
  RECT client{};
  GetClientRect(frame->hwnd, &client);
  SendMessageA(frame->hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  RECT place = ClientPlace(frame);
  EXPECT_EQ(place.left, 0);
  EXPECT_EQ(place.top, 30);
  EXPECT_EQ(place.right, client.right);
  EXPECT_EQ(place.bottom - place.top, client.bottom - 50);
  // The handler saw the size change.
  EXPECT_GE(IndexOfEvent(EVENT_SIZE_CHANGED), 0);
  // Each WM_SIZE lays out afresh, not cumulatively; a real resize does the same.
  MoveWindow(frame->hwnd, 10, 10, 520, 420, TRUE);
  GetClientRect(frame->hwnd, &client);
  place = ClientPlace(frame);
  EXPECT_EQ(place.top, 30);
  EXPECT_EQ(place.bottom - place.top, client.bottom - 50);
  EXPECT_EQ(place.right, client.right);
  // Minimising skips the layout; where the client goes then is the default procedure's choice.
  MoveWindow(frame->mdiClient, 5, 5, 50, 50, FALSE);
  SendMessageA(frame->hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
  place = ClientPlace(frame);
  EXPECT_NE(place.top, 30);
}

TEST_F(FrameLayoutTest, VerticalAndBottomToolbarsTakeTheirSide) {
  RegisterBarClasses();
  WindowRecord* frame = Open(OPEN_MDI_FRAME | OPEN_DIRECT, 10, 10, 500, 400);
  Bar(frame->hwnd, "ToolbarWindow32", CCS_TOP | CCS_VERT, 25, 100);
  Bar(frame->hwnd, "ToolbarWindow32", CCS_BOTTOM, 100, 15);
  Bar(frame->hwnd, "ToolbarWindow32", CCS_BOTTOM | CCS_VERT, 12, 100);
  Bar(frame->hwnd, "ToolbarWindow32", 2, 100, 40);  // no known alignment: takes nothing
  RECT client{};
  GetClientRect(frame->hwnd, &client);
  EXPECT_EQ(FrameLayout(frame->hwnd, frame->mdiClient), 1);
  RECT place = ClientPlace(frame);
  EXPECT_EQ(place.left, 25);
  EXPECT_EQ(place.top, 0);
  EXPECT_EQ(place.right, client.right - 12);
  EXPECT_EQ(place.bottom, client.bottom - 15);
}

TEST_F(FrameLayoutTest, FrameWithoutBarsLeavesTheClientToTheDefaultProcedure) {
  WindowRecord* frame = Open(OPEN_MDI_FRAME | OPEN_DIRECT, 10, 10, 500, 400);
  MoveWindow(frame->mdiClient, 5, 5, 50, 50, FALSE);
  EXPECT_EQ(FrameLayout(frame->hwnd, frame->mdiClient), 0);
  RECT place = ClientPlace(frame);
  EXPECT_EQ(place.left, 5);
  EXPECT_EQ(place.right, 55);
}

}  // namespace
