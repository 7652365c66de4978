// The animation in a saver's window: its window, which input ends it, which input it ignores,
// the status lines it leaves out, and its end when the window is destroyed from outside.
#include "app/saver.h"

#include <gtest/gtest.h>

#include "app/handler.h"
#include "app/state.h"
#include "app_state_reset.h"
#include "runtime/core/numeric.h"
#include "runtime/window/pump.h"
#include "runtime/window/timers.h"
#include "runtime/window/window_close.h"
#include "runtime/window/event_dispatch.h"

namespace {

// Away from the middle of the screen, where a real cursor may rest and move the mouse.
constexpr RECT kArea{0, 0, 200, 150};

class Saver : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAppState();
    RandomSeed(77);
  }
  void TearDown() override {
    WindowClose(&mainWindow);
    statusLinesShown = 1;
    DispatchObserver = nullptr;
  }

  // Opens the saver with its timers stopped, so that only what a test sends happens.
  void Open(const SaverPlan& plan) {
    ASSERT_TRUE(saverOpen(plan));
    ASSERT_NE(mainWindow.hwnd, nullptr);
    TimerStop(&mainWindow, RESEED_TIMER);
    TimerStop(&mainWindow, DRAW_TIMER);
    PumpMessages(PUMP_DRAIN);
  }

  static LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam = 0) {
    return SendMessageA(mainWindow.hwnd, message, wParam, lParam);
  }
  static void MoveTo(int x, int y) { Send(WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
  static bool Alive() { return mainWindow.hwnd != nullptr; }

  // White pixels where the status line would be printed.
  static int WhiteInStatusArea() {
    HDC dc = GetDC(mainWindow.hwnd);
    int white = 0;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 140; ++x) white += GetPixel(dc, x, y) == RGB(255, 255, 255);
    }
    ReleaseDC(mainWindow.hwnd, dc);
    return white;
  }
};

TEST_F(Saver, FullScreenPlanIsATopmostToolWindowWithoutCaptionOrCursor) {
  const SaverPlan plan = fullScreenPlan(RECT{-1280, -20, 1024, 768});
  EXPECT_EQ(plan.x, -1280);
  EXPECT_EQ(plan.y, -20);
  EXPECT_EQ(plan.width, 2304);
  EXPECT_EQ(plan.height, 788);
  EXPECT_EQ(plan.flags, OPEN_DIRECT | OPEN_NO_CAPTION | OPEN_TOPMOST | OPEN_TOOL_WINDOW);
  EXPECT_EQ(plan.input, SaverInput::EndOnAny);

  Open(fullScreenPlan(kArea));
  const LONG exStyle = GetWindowLongA(mainWindow.hwnd, GWL_EXSTYLE);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
  const LONG style = GetWindowLongA(mainWindow.hwnd, GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, 0);
  EXPECT_EQ(style & WS_THICKFRAME, 0);
  EXPECT_TRUE(style & WS_POPUP);
  RECT rect{};
  GetWindowRect(mainWindow.hwnd, &rect);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, 200);
  EXPECT_EQ(rect.bottom, 150);
  EXPECT_EQ(clientWidth, 200) << "no frame: the client area is the whole window";
  EXPECT_EQ(clientHeight, 150);
  EXPECT_EQ(screenWidth, 200);
  EXPECT_EQ(mainWindow.cursor, nullptr);
}

TEST_F(Saver, DrawsCurvesButNoStatusLine) {
  Open(windowPlan(200, 150, SaverInput::Ignored));
  EXPECT_EQ(statusLinesShown, 0);
  for (int i = 0; i < 8; ++i) drawStep();
  EXPECT_EQ(WhiteInStatusArea(), 0);
  int coloured = 0;
  HDC dc = GetDC(mainWindow.hwnd);
  for (int y = 0; y < 150; y += 2) {
    for (int x = 0; x < 200; x += 2) coloured += GetPixel(dc, x, y) != RGB(0, 0, 0);
  }
  ReleaseDC(mainWindow.hwnd, dc);
  EXPECT_GT(coloured, 20) << "the curves are drawn";
  // The program itself, in the same window, prints its line there.
  statusLinesShown = 1;
  drawStep();
  EXPECT_GT(WhiteInStatusArea(), 50);
}

TEST_F(Saver, AnyKeyButtonWheelOrLossOfActivationEndsTheRunningSaver) {
  struct Case {
    const char* name;
    UINT message;
    WPARAM wParam;
  };
  const Case cases[] = {
      {"key", WM_KEYDOWN, 'A'},
      {"system key", WM_SYSKEYDOWN, VK_MENU},
      {"left button", WM_LBUTTONDOWN, MK_LBUTTON},
      {"right button", WM_RBUTTONDOWN, MK_RBUTTON},
      {"middle button", WM_MBUTTONDOWN, MK_MBUTTON},
      {"wheel", WM_MOUSEWHEEL, WHEEL_NOTCH_FORWARD},
      {"other program activated", WM_ACTIVATEAPP, FALSE},
      {"other window activated", WM_ACTIVATE, WA_INACTIVE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetAppState();
    Open(fullScreenPlan(kArea));
    const double speedBefore = speed;
    Send(c.message, c.wParam);
    EXPECT_FALSE(Alive());
    EXPECT_EQ(speed, speedBefore) << "the animation's controls never saw it";
    saverRun();  // returns at once: nothing left to wait for
  }
}

TEST_F(Saver, KeyUpsAndActivationDoNotEndIt) {
  Open(fullScreenPlan(kArea));
  Send(WM_KEYUP, 'A');
  Send(WM_LBUTTONUP, 0);
  Send(WM_ACTIVATEAPP, TRUE);
  Send(WM_ACTIVATE, WA_ACTIVE);
  Send(WM_CHAR, 'a');
  EXPECT_TRUE(Alive());
}

TEST_F(Saver, MovesEndItOnlyBeyondTenPixelsFromTheFirstPosition) {
  Open(fullScreenPlan(kArea));
  MoveTo(100, 100);  // the reference
  MoveTo(103, 100);
  MoveTo(94, 92);    // 10 pixels away from (100, 100) exactly: 6 and 8
  MoveTo(110, 100);  // 10 pixels
  MoveTo(100, 100);
  EXPECT_TRUE(Alive());
  MoveTo(107, 108);  // sqrt(113)
  EXPECT_FALSE(Alive());
}

TEST_F(Saver, TheFirstMoveIsTheReferenceWhereverItIs) {
  Open(fullScreenPlan(kArea));
  MoveTo(150, 20);
  MoveTo(140, 20);
  MoveTo(150, 30);
  EXPECT_TRUE(Alive()) << "ten pixels from the first move seen";
  MoveTo(161, 20);
  EXPECT_FALSE(Alive());
}

TEST_F(Saver, AFarMoveEndsItAtOnce) {
  Open(fullScreenPlan(kArea));
  MoveTo(10, 10);
  MoveTo(70, 10);
  EXPECT_FALSE(Alive());
}

TEST_F(Saver, EachOpeningTakesAFreshReference) {
  Open(fullScreenPlan(kArea));
  MoveTo(10, 10);
  WindowClose(&mainWindow);
  ResetAppState();
  Open(fullScreenPlan(kArea));
  MoveTo(150, 100);  // far from the last saver's reference, but this saver's first move
  EXPECT_TRUE(Alive());
}

TEST_F(Saver, IgnoredInputNeverReachesTheControls) {
  Open(windowPlan(200, 150, SaverInput::Ignored));
  const double speedBefore = speed;
  const int32_t curvesBefore = lastCurve;
  Send(WM_KEYDOWN, VK_ESCAPE);
  Send(WM_KEYDOWN, '5');
  Send(WM_KEYDOWN, VK_ADD);
  Send(WM_RBUTTONDOWN, MK_RBUTTON);
  Send(WM_MOUSEWHEEL, WHEEL_NOTCH_BACKWARD);
  MoveTo(190, 140);
  EXPECT_TRUE(Alive());
  EXPECT_EQ(speed, speedBefore);
  EXPECT_EQ(lastCurve, curvesBefore);
  EXPECT_EQ(pauseSign, 1);
  // A close request is not input: it ends the saver.
  Send(WM_CLOSE, 0);
  EXPECT_FALSE(Alive());
}

TEST_F(Saver, OwnWindowEndsOnEscapeOnly) {
  Open(windowPlan(200, 150, SaverInput::EndOnEscape));
  Send(WM_KEYDOWN, 'A');
  Send(WM_RBUTTONDOWN, MK_RBUTTON);
  Send(WM_LBUTTONDOWN, MK_LBUTTON);
  MoveTo(199, 149);
  EXPECT_TRUE(Alive());
  EXPECT_EQ(pauseSign, 1);
  Send(WM_KEYDOWN, VK_ESCAPE);
  EXPECT_FALSE(Alive());
}

TEST_F(Saver, AskingForTheScreenSaverAgainIsAnswered) {
  Open(fullScreenPlan(kArea));
  EXPECT_EQ(Send(WM_SYSCOMMAND, 0xF140), 1) << "handled: no second saver";
  EXPECT_TRUE(Alive());
}

TEST_F(Saver, DestroyedFromOutsideItsLoopEndsAndLeavesNoWakeUpBehind) {
  Open(windowPlan(200, 150, SaverInput::Ignored));
  HWND hwnd = mainWindow.hwnd;
  DestroyWindow(hwnd);
  EXPECT_FALSE(IsWindow(hwnd));
  saverRun();
  EXPECT_FALSE(Alive());
  EXPECT_EQ(mainWindow.pen, nullptr) << "the record's objects were freed";
  MSG message{};
  EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(Saver, ACloseDuringCreationEndsItOnceOpen) {
  // Posted as the window is created; the first drawing step's pump takes it.
  DispatchObserver = [](int32_t eventId, WPARAM, int32_t) {
    if (eventId == WM_CREATE) PostMessageA(CurrentEvent.eventWindow->hwnd, WM_CLOSE, 0, 0);
  };
  EXPECT_TRUE(saverOpen(windowPlan(200, 150, SaverInput::Ignored)));
  DispatchObserver = nullptr;
  EXPECT_FALSE(Alive());
  saverRun();
}

class Preview : public Saver {
 protected:
  static LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
  void SetUp() override {
    Saver::SetUp();
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "SaverPreviewParent";
    RegisterClassExA(&wc);
    parent_ = CreateWindowExA(0, "SaverPreviewParent", "preview parent", WS_POPUP | WS_VISIBLE, 0,
                              0, 160, 120, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(parent_, nullptr);
  }
  void TearDown() override {
    Saver::TearDown();
    if (IsWindow(parent_)) DestroyWindow(parent_);
  }
  HWND parent_ = nullptr;
};

TEST_F(Preview, AChildFillingTheParentThatEndsWithIt) {
  RECT client{};
  GetClientRect(parent_, &client);
  Open(previewPlan(parent_, client.right, client.bottom));
  EXPECT_EQ(GetParent(mainWindow.hwnd), parent_);
  EXPECT_TRUE(GetWindowLongA(mainWindow.hwnd, GWL_STYLE) & WS_CHILD);
  RECT child{};
  GetClientRect(mainWindow.hwnd, &child);
  EXPECT_EQ(child.right, client.right);
  EXPECT_EQ(child.bottom, client.bottom);
  EXPECT_EQ(clientWidth, client.right);
  const double speedBefore = speed;
  Send(WM_KEYDOWN, VK_ADD);
  Send(WM_LBUTTONDOWN, MK_LBUTTON);
  EXPECT_EQ(speed, speedBefore);
  EXPECT_TRUE(Alive());

  DestroyWindow(parent_);
  saverRun();
  EXPECT_FALSE(Alive());
}

// Pumps until `done`, for at most a second of (real or virtual) time.
template <typename Done>
bool PumpUntil(Done done) {
  const DWORD start = GetTickCount();
  while (!done() && GetTickCount() - start < 1000) PumpMessages(PUMP_WAIT);
  return done();
}

TEST_F(Preview, FollowsTheParentsSize) {
  Open(previewPlan(parent_, 160, 120));
  MoveWindow(parent_, 0, 0, 100, 80, TRUE);
  RECT client{};
  GetClientRect(parent_, &client);
  EXPECT_TRUE(PumpUntil([&] { return clientWidth == client.right; }));
  EXPECT_EQ(clientWidth, client.right);
  EXPECT_EQ(clientHeight, client.bottom);
  RECT child{};
  GetClientRect(mainWindow.hwnd, &child);
  EXPECT_EQ(child.right, client.right);
  EXPECT_EQ(child.bottom, client.bottom);
}

TEST_F(Preview, ItsWatchEndsWithIt) {
  Open(previewPlan(parent_, 160, 120));
  WindowClose(&mainWindow);
  // A saver without a parent opened next is not taken for a preview whose parent went away.
  ResetAppState();
  Open(windowPlan(200, 150, SaverInput::Ignored));
  // Something to wait for, so that time passes on a virtual clock too.
  TimerStart(&mainWindow, 100, DRAW_TIMER, nullptr);
  const DWORD start = GetTickCount();
  while (Alive() && GetTickCount() - start < 1000) PumpMessages(PUMP_WAIT);
  EXPECT_TRUE(Alive());
}

}  // namespace
