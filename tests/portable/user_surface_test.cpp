// What the hosts and GDI learn from the window manager: top-level callbacks, framebuffers,
// surfaces of child windows, pixel and text notifications.
#include "user_test_support.h"

namespace user_test {
namespace {

class UserSurface : public UserTest {};

TEST_F(UserSurface, HostHearsOfTopLevelWindows) {
  HWND hwnd = Top(WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_VISIBLE, 10, 20, 300, 200);
  HWND child = Child(hwnd, 1, 0, 0, 10, 10);
  host.named = hwnd;
  SetWindowTextA(hwnd, "hello");
  SetWindowTextA(child, "not a top-level");
  MoveWindow(hwnd, 10, 20, 316, 239, TRUE);
  MoveWindow(hwnd, 50, 50, 316, 239, TRUE);  // moving alone changes no size
  DestroyWindow(hwnd);
  EXPECT_EQ(host.events, (std::vector<std::string>{"created other 284x161", "title other 0x0 top",
                                                   "title main 0x0 hello", "resized main 300x200",
                                                   "destroyed main 0x0"}));
}

TEST_F(UserSurface, FramebufferFollowsTheClientAndKeepsPixels) {
  HWND hwnd = Top(WS_POPUP, 0, 0, 40, 30);  // hidden: showing it would erase it white
  portable::WindowSurface s;
  ASSERT_TRUE(portable::QueryWindowSurface(hwnd, &s));
  EXPECT_EQ(s.topLevel, hwnd);
  ASSERT_NE(s.framebuffer.pixels, nullptr);
  EXPECT_EQ(s.framebuffer.width, 40);
  EXPECT_EQ(s.framebuffer.height, 30);
  EXPECT_EQ(s.framebuffer.stride, 40);
  for (int i = 0; i < 40 * 30; ++i) ASSERT_EQ(s.framebuffer.pixels[i], 0u);
  s.framebuffer.pixels[5 * 40 + 7] = 0x123456;
  s.framebuffer.pixels[29 * 40 + 39] = 0xABCDEF;
  MoveWindow(hwnd, 0, 0, 50, 35, TRUE);
  ASSERT_TRUE(portable::QueryWindowSurface(hwnd, &s));
  EXPECT_EQ(s.framebuffer.width, 50);
  EXPECT_EQ(s.framebuffer.stride, 50);
  EXPECT_EQ(s.framebuffer.pixels[5 * 50 + 7], 0x123456u);
  EXPECT_EQ(s.framebuffer.pixels[29 * 50 + 39], 0xABCDEFu);
  EXPECT_EQ(s.framebuffer.pixels[34 * 50 + 49], 0u);
  MoveWindow(hwnd, 0, 0, 10, 10, TRUE);
  ASSERT_TRUE(portable::QueryWindowSurface(hwnd, &s));
  EXPECT_EQ(s.framebuffer.width, 10);
  EXPECT_EQ(s.framebuffer.pixels[5 * 10 + 7], 0x123456u);
  EXPECT_TRUE(IsRectEmpty(&s.visible));
  ShowWindow(hwnd, SW_SHOWNA);
  ASSERT_TRUE(portable::QueryWindowSurface(hwnd, &s));
  EXPECT_EQ(s.visible.right, 10);
  EXPECT_EQ(s.visible.bottom, 10);
}

TEST_F(UserSurface, ChildSurfacesAreOffsetAndClippedByAncestors) {
  HWND top = Top(WS_POPUP | WS_VISIBLE | WS_CAPTION, 100, 100, 206, 129);  // client 200x100
  HWND child = Child(top, 1, 50, 20, 60, 40);
  HWND grand = Child(child, 2, 40, 30, 30, 20);
  portable::WindowSurface s;
  ASSERT_TRUE(portable::QueryWindowSurface(grand, &s));
  EXPECT_EQ(s.topLevel, top);
  EXPECT_EQ(s.framebuffer.width, 200);
  EXPECT_EQ(s.clientOrigin.x, 90);
  EXPECT_EQ(s.clientOrigin.y, 50);
  RECT expected{0, 0, 20, 10};
  EXPECT_TRUE(EqualRect(&s.visible, &expected));
  // The same child pushed half out of the top-level.
  MoveWindow(child, 170, 80, 60, 40, TRUE);
  ASSERT_TRUE(portable::QueryWindowSurface(child, &s));
  RECT childVisible{0, 0, 30, 20};
  EXPECT_TRUE(EqualRect(&s.visible, &childVisible));
  // Hidden windows draw nowhere.
  ShowWindow(child, SW_HIDE);
  ASSERT_TRUE(portable::QueryWindowSurface(grand, &s));
  EXPECT_TRUE(IsRectEmpty(&s.visible));
  DestroyWindow(top);
  EXPECT_FALSE(portable::QueryWindowSurface(grand, &s));
}

TEST_F(UserSurface, PixelAndTextNotificationsReachTheHost) {
  HWND top = Top(WS_POPUP | WS_VISIBLE, 0, 0, 200, 100);
  HWND child = Child(top, 1, 50, 20, 60, 40);
  host.changed.clear();
  portable::NotifyPixelsChanged(child, RECT{0, 0, 5, 5});
  portable::NotifyPixelsChanged(child, RECT{-100, -100, 500, 500});  // clipped to the framebuffer
  portable::NotifyPixelsChanged(child, RECT{500, 500, 510, 510});    // nothing left: not reported
  ASSERT_EQ(host.changed.size(), 2u);
  RECT first{50, 20, 55, 25}, second{0, 0, 200, 100};
  EXPECT_TRUE(EqualRect(&host.changed[0], &first));
  EXPECT_TRUE(EqualRect(&host.changed[1], &second));
  EXPECT_EQ(host.changedTop, top);
  host.named = child;
  portable::NotifyTextDrawn(child, 3, 4, "speed 5", 5);
  EXPECT_EQ(host.texts, (std::vector<std::string>{"text main 3x4 speed"}));
  DestroyWindow(child);
  portable::NotifyPixelsChanged(child, RECT{0, 0, 5, 5});
  portable::NotifyTextDrawn(child, 3, 4, "x", 1);
  EXPECT_EQ(host.changed.size(), 2u);
  EXPECT_EQ(host.texts.size(), 1u);
}

TEST_F(UserSurface, ScreenMetricsComeFromTheHost) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
  HWND hwnd = Top(WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_VISIBLE, 0, 0, 300, 200);
  ShowWindow(hwnd, SW_MAXIMIZE);
  RECT window, client;
  GetWindowRect(hwnd, &window);
  GetClientRect(hwnd, &client);
  RECT expectedWindow{-8, -8, 808, 608};
  EXPECT_TRUE(EqualRect(&window, &expectedWindow));
  EXPECT_EQ(client.right, 800);
  EXPECT_EQ(client.bottom, 577);  // 616 high less frame and caption
  portable::WindowSurface s;
  ASSERT_TRUE(portable::QueryWindowSurface(hwnd, &s));
  EXPECT_EQ(s.framebuffer.width, 800);
  EXPECT_EQ(s.framebuffer.height, 577);
  EXPECT_TRUE(IsZoomed(hwnd));
  ShowWindow(hwnd, SW_RESTORE);
  GetWindowRect(hwnd, &window);
  RECT restored{0, 0, 300, 200};
  EXPECT_TRUE(EqualRect(&window, &restored));
  EXPECT_FALSE(IsZoomed(hwnd));
}

}  // namespace
}  // namespace user_test
