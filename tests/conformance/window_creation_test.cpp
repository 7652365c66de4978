// What CreateWindowExA sends and what a new window reports: the creation sequence, WM_SIZE
// and WM_MOVE facts, styles, extra bytes, class atoms, client versus window rectangles.
#include <gtest/gtest.h>

#include "tests/conformance/conformance_support.h"
#include "tests/kit/expect.h"

namespace conformance {
namespace {

class WindowCreation : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTestClasses();
    Settle();
    ResetRecorder();
  }
  void TearDown() override {
    for (HWND h : windows_) {
      if (IsWindow(h)) DestroyWindow(h);
    }
    Settle();
  }
  HWND Make(DWORD style, int x = 40, int y = 40, int w = 240, int h = 180) {
    HWND hwnd = CreateTestWindow(style, x, y, w, h);
    if (hwnd != nullptr) windows_.push_back(hwnd);
    return hwnd;
  }
  std::vector<HWND> windows_;
};

TEST_F(WindowCreation, HiddenPopupSequence) {
  HWND hwnd = Make(WS_POPUP | WS_CAPTION | WS_THICKFRAME);
  ASSERT_NE(hwnd, nullptr);
  const std::vector<Expected> expected = {
      {WM_GETMINMAXINFO},
      {WM_NCCREATE, kSent},
      {WM_NCCALCSIZE, kWParam, FALSE},
      {WM_CREATE, kSent},
      {WM_SIZE, kWParam, SIZE_RESTORED},
      {WM_MOVE},
  };
  const std::string mismatch = MatchSequence(Filtered(hwnd), expected);
  EXPECT_TRUE(mismatch.empty()) << mismatch;
  EXPECT_FALSE(IsWindowVisible(hwnd));
}

TEST_F(WindowCreation, VisiblePopupSequenceHasExactlyOneSize) {
  HWND hwnd = Make(kFramedPopup);
  ASSERT_NE(hwnd, nullptr);
  // Windows activates a new visible top-level window of the foreground application; whether
  // WM_ACTIVATEAPP comes depends on whether the application was active already. The frame
  // and background are drawn around the activation, at points that vary between versions.
  const std::vector<Expected> expected = {
      {WM_GETMINMAXINFO},
      {WM_NCCREATE},
      {WM_NCCALCSIZE, kWParam, FALSE},
      {WM_CREATE},
      {WM_SIZE, kWParam, SIZE_RESTORED},
      {WM_MOVE},
      {WM_SHOWWINDOW, kWParam, TRUE},
      {WM_NCPAINT, kOptional},
      {WM_WINDOWPOSCHANGING},
      {WM_NCCALCSIZE, kOptional},
      {WM_NCPAINT, kOptional},
      {WM_ERASEBKGND, kOptional},
      {WM_WINDOWPOSCHANGING, kOptional},
      {WM_ACTIVATEAPP, kOptional | kWParam, TRUE},
      {WM_NCACTIVATE, kWParam, TRUE},
      {WM_ACTIVATE, kWParam, WA_ACTIVE},
      {WM_SETFOCUS},
      {WM_NCPAINT, kOptional},
      {WM_ERASEBKGND, kOptional},
      {WM_WINDOWPOSCHANGED},
      {WM_NCPAINT, kOptional},
      {WM_ERASEBKGND, kOptional},
  };
  const std::vector<kit::Entry> trace = Filtered(hwnd);
  const std::string mismatch = MatchSequence(trace, expected);
  EXPECT_TRUE(mismatch.empty()) << mismatch;
  EXPECT_EQ(CountMessage(trace, WM_SIZE), 1) << Describe(trace);
  EXPECT_EQ(CountMessage(trace, WM_CREATE), 1);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(GetActiveWindow(), hwnd);
  EXPECT_EQ(GetFocus(), hwnd);
}

TEST_F(WindowCreation, SizeAndMoveCarryTheClientArea) {
  HWND hwnd = Make(kFramedPopup, 60, 50, 250, 170);
  ASSERT_NE(hwnd, nullptr);
  RECT client;
  ASSERT_TRUE(GetClientRect(hwnd, &client));
  POINT origin{0, 0};
  ASSERT_TRUE(ClientToScreen(hwnd, &origin));
  const std::vector<kit::Entry> trace = Filtered(hwnd);
  bool sawSize = false;
  bool sawMove = false;
  for (const kit::Entry& r : trace) {
    if (r.message == WM_SIZE) {
      sawSize = true;
      EXPECT_EQ(LOWORD(r.lParam), client.right);
      EXPECT_EQ(HIWORD(r.lParam), client.bottom);
    }
    if (r.message == WM_MOVE) {
      sawMove = true;
      EXPECT_EQ(static_cast<short>(LOWORD(r.lParam)), origin.x);
      EXPECT_EQ(static_cast<short>(HIWORD(r.lParam)), origin.y);
    }
  }
  EXPECT_TRUE(sawSize);
  EXPECT_TRUE(sawMove);
}

TEST_F(WindowCreation, MaximizeStyleAddsAMaximizedSize) {
  HWND hwnd = Make(kFramedPopup | WS_MAXIMIZE);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_TRUE(IsZoomed(hwnd));
  const std::vector<kit::Entry> trace = Filtered(hwnd);
  const kit::Entry* lastSize = nullptr;
  int maximized = 0;
  for (const kit::Entry& r : trace) {
    if (r.message != WM_SIZE) continue;
    lastSize = &r;
    if (r.wParam == SIZE_MAXIMIZED) ++maximized;
  }
  EXPECT_EQ(maximized, 1) << Describe(trace);
  ASSERT_NE(lastSize, nullptr);
  EXPECT_EQ(lastSize->wParam, static_cast<WPARAM>(SIZE_MAXIMIZED));
  RECT client;
  GetClientRect(hwnd, &client);
  EXPECT_EQ(LOWORD(lastSize->lParam), client.right);
  EXPECT_EQ(HIWORD(lastSize->lParam), client.bottom);
  EXPECT_GT(client.right, 240);  // larger than the size it was created with
}

TEST_F(WindowCreation, VisibleChildSequence) {
  HWND parent = Make(WS_POPUP | WS_CAPTION | WS_THICKFRAME);
  ASSERT_NE(parent, nullptr);
  ResetRecorder();
  HWND child = CreateWindowExA(0, kTraceClass, "child", WS_CHILD | WS_VISIBLE, 5, 6, 50, 40, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(17)),
                               GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(child, nullptr);
  // A child without a sizing frame is asked no min/max sizes and takes no activation. Shown
  // inside a hidden parent, it may only have its style changed, without position messages.
  const std::vector<Expected> expected = {
      {WM_NCCREATE},
      {WM_NCCALCSIZE, kWParam, FALSE},
      {WM_CREATE},
      {WM_SIZE, kWParam | kLParam, SIZE_RESTORED, MAKELPARAM(50, 40)},
      {WM_MOVE, kLParam, 0, MAKELPARAM(5, 6)},
      {WM_SHOWWINDOW, kWParam, TRUE},
      {WM_WINDOWPOSCHANGING, kOptional},
      {WM_WINDOWPOSCHANGED, kOptional},
  };
  const std::string mismatch = MatchSequence(Filtered(child), expected);
  EXPECT_TRUE(mismatch.empty()) << mismatch;
  EXPECT_EQ(GetParent(child), parent);
  EXPECT_EQ(GetDlgCtrlID(child), 17);
  // The parent hears of its new child.
  const std::vector<kit::Entry> parentTrace = Filtered(parent);
  ASSERT_EQ(CountMessage(parentTrace, WM_PARENTNOTIFY), 1) << Describe(parentTrace);
  for (const kit::Entry& r : parentTrace) {
    if (r.message != WM_PARENTNOTIFY) continue;
    EXPECT_EQ(LOWORD(r.wParam), WM_CREATE);
    EXPECT_EQ(HIWORD(r.wParam), 17);
    EXPECT_EQ(reinterpret_cast<HWND>(r.lParam), child);
  }
}

TEST_F(WindowCreation, FailingCreateDestroysTheWindow) {
  Recorder().behaviour.failCreate = true;
  HWND hwnd = Make(WS_POPUP | WS_CAPTION | WS_THICKFRAME);
  EXPECT_EQ(hwnd, nullptr);
  // The half-made window is torn down before CreateWindowExA returns. Wine sends only
  // WM_NCDESTROY here; whether WM_DESTROY comes first is not relied upon.
  const std::vector<Expected> expected = {
      {WM_GETMINMAXINFO}, {WM_NCCREATE},           {WM_NCCALCSIZE, kWParam, FALSE},
      {WM_CREATE},        {WM_DESTROY, kOptional}, {WM_NCDESTROY},
  };
  const std::vector<kit::Entry> trace = Filtered();
  const std::string mismatch = MatchSequence(trace, expected);
  EXPECT_TRUE(mismatch.empty()) << mismatch;
  ASSERT_FALSE(trace.empty());
  EXPECT_FALSE(IsWindow(trace.front().hwnd));
}

TEST_F(WindowCreation, UnknownClassFails) {
  SetLastError(0);
  HWND hwnd = CreateWindowExA(0, "NoSuchClassAnywhere", "x", WS_POPUP, 0, 0, 10, 10, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
  EXPECT_EQ(hwnd, nullptr);
  // Windows reports ERROR_CANNOT_FIND_WND_CLASS; Wine reports ERROR_CLASS_DOES_NOT_EXIST.
  EXPECT_TRUE(
      kit::OneOf<DWORD>(GetLastError(), {ERROR_CANNOT_FIND_WND_CLASS, ERROR_CLASS_DOES_NOT_EXIST}));
}

TEST_F(WindowCreation, RegisteringAClassTwiceFails) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kTraceClass;
  SetLastError(0);
  EXPECT_EQ(RegisterClassExA(&wc), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
}

TEST_F(WindowCreation, ClassAtomAndName) {
  HWND hwnd = Make(WS_POPUP);
  ASSERT_NE(hwnd, nullptr);
  const ATOM atom = TraceClassAtom();
  EXPECT_NE(atom, 0);
  EXPECT_EQ(GetClassWord(hwnd, GCW_ATOM), atom);
  char name[64] = {};
  EXPECT_EQ(GetClassNameA(hwnd, name, sizeof name),
            static_cast<int>(std::string(kTraceClass).size()));
  EXPECT_STREQ(name, kTraceClass);
  // The atom names the class as well as its string does.
  HWND byAtom = CreateWindowExA(0, MAKEINTATOM(atom), "a", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(byAtom, nullptr);
  windows_.push_back(byAtom);
  EXPECT_EQ(GetClassWord(byAtom, GCW_ATOM), atom);
}

TEST_F(WindowCreation, ExtraBytesStartAtZeroAndKeepValues) {
  HWND hwnd = Make(WS_POPUP);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(GetWindowLongA(hwnd, 0), 0);
  EXPECT_EQ(GetWindowLongA(hwnd, 4), 0);
  EXPECT_EQ(SetWindowLongA(hwnd, 0, 0x12345678), 0);
  EXPECT_EQ(SetWindowLongA(hwnd, 4, -5), 0);
  EXPECT_EQ(SetWindowLongA(hwnd, 0, 99), 0x12345678);  // returns the previous value
  EXPECT_EQ(GetWindowLongA(hwnd, 0), 99);
  EXPECT_EQ(GetWindowLongA(hwnd, 4), -5);
  // Past the class's eight bytes.
  SetLastError(0);
  EXPECT_EQ(GetWindowLongA(hwnd, 8), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
  SetLastError(0);
  EXPECT_EQ(SetWindowLongA(hwnd, 6, 1), 0);  // the slot would run past the end
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
  EXPECT_EQ(GetWindowLongA(hwnd, 4), -5);
}

TEST_F(WindowCreation, StylesAsStored) {
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX |
                      WS_MAXIMIZEBOX | WS_CLIPCHILDREN | WS_VISIBLE;
  HWND hwnd = Make(style);
  ASSERT_NE(hwnd, nullptr);
  const DWORD stored = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
  // Top-level windows always clip their siblings.
  EXPECT_EQ(stored, style | WS_CLIPSIBLINGS);
  // A sizing frame gets the raised edge.
  const DWORD exStored = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE));
  EXPECT_EQ(exStored, static_cast<DWORD>(WS_EX_WINDOWEDGE));
}

TEST_F(WindowCreation, ChildStyleIsKeptAsGiven) {
  HWND parent = Make(WS_POPUP);
  ASSERT_NE(parent, nullptr);
  HWND child = CreateWindowExA(0, kTraceClass, "c", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 10,
                               10, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE)),
            static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_TABSTOP));
  EXPECT_EQ(GetWindowLongA(child, GWL_EXSTYLE), 0);
}

TEST_F(WindowCreation, ClientAreaIsInsideTheFrame) {
  const DWORD style = kFramedPopup;
  HWND hwnd = Make(style, 30, 20, 260, 190);
  ASSERT_NE(hwnd, nullptr);
  RECT window;
  ASSERT_TRUE(GetWindowRect(hwnd, &window));
  EXPECT_EQ(window.left, 30);
  EXPECT_EQ(window.top, 20);
  EXPECT_EQ(window.right, 290);
  EXPECT_EQ(window.bottom, 210);
  RECT client;
  ASSERT_TRUE(GetClientRect(hwnd, &client));
  EXPECT_EQ(client.left, 0);
  EXPECT_EQ(client.top, 0);
  EXPECT_LT(client.right, 260);
  EXPECT_LT(client.bottom, 190);
  EXPECT_GT(client.right, 0);
  EXPECT_GT(client.bottom, 0);
  // The frame is what AdjustWindowRectEx adds around the client area.
  RECT adjusted = client;
  ASSERT_TRUE(AdjustWindowRectEx(&adjusted, static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)),
                                 FALSE, static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE))));
  EXPECT_EQ(adjusted.right - adjusted.left, 260);
  EXPECT_EQ(adjusted.bottom - adjusted.top, 190);
  // The caption is above the client area: more frame on top than at the bottom.
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  EXPECT_EQ(origin.x - window.left, window.right - (origin.x + client.right));
  EXPECT_GT(origin.y - window.top, window.bottom - (origin.y + client.bottom));
}

TEST_F(WindowCreation, PopupWithoutFrameHasClientEqualToWindow) {
  HWND hwnd = Make(WS_POPUP | WS_VISIBLE, 10, 10, 100, 80);
  ASSERT_NE(hwnd, nullptr);
  RECT client;
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 100);
  EXPECT_EQ(client.bottom, 80);
}

}  // namespace
}  // namespace conformance
