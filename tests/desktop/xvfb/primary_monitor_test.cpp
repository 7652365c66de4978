// The screen the layer reports and the place its window opens are the primary monitor's, as
// on Windows, wherever that monitor lies on the X screen and whatever its size.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "platform/portable/host_sdl/host_sdl.h"
#include "platform/portable/host_sdl/primary_monitor.h"
#include "platform/portable/kernel/host.h"
#include "platform/win32.h"
#include "xvfb_session.h"

namespace portable {
namespace {

// Two monitors side by side, the primary on the right and smaller than the left one.
MonitorArea PrimaryOnTheRight() { return MonitorArea{1024, 0, 640, 480}; }

TEST(PrimaryMonitor, TheScreenAndTheFullScreenWindowAreThePrimarysOnly) {
  desktop_test::XvfbSession xvfb;
  std::string error;
  ASSERT_TRUE(xvfb.Start(1024 + 640, 768, &error)) << error;
  SetPrimaryMonitorSource(PrimaryOnTheRight);
  ASSERT_TRUE(InstallSdlHost());

  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);

  // The program's window: at (0, 0), the screen's size, with a caption and a sizing frame.
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = "PrimaryMonitorTest";
  ASSERT_NE(RegisterClassExA(&windowClass), 0);
  HWND window = CreateWindowExA(0, "PrimaryMonitorTest", "primary monitor window",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, width, height, nullptr,
                                nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);

  std::string found, geometry;
  ASSERT_TRUE(desktop_test::WaitUntil(
      [&] {
        return desktop_test::Run({"xdotool", "search", "--name", "^primary monitor window$"},
                                 &found) == 0 &&
               !found.empty();
      },
      10000));
  std::istringstream ids(found);
  std::string id;
  std::getline(ids, id);
  ASSERT_EQ(desktop_test::Run({"xdotool", "getwindowgeometry", id}, &geometry), 0);
  // Its client area where the layer put it, counted from the primary monitor's corner; its
  // size within that monitor.
  RECT outer{}, client{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  const std::string position =
      "Position: " + std::to_string(1024 + outer.left) + "," + std::to_string(outer.top);
  EXPECT_NE(geometry.find(position), std::string::npos) << geometry;
  const std::string size =
      "Geometry: " + std::to_string(client.right) + "x" + std::to_string(client.bottom);
  EXPECT_NE(geometry.find(size), std::string::npos) << geometry;
  EXPECT_LE(client.right, 640);
  EXPECT_LE(client.bottom, 480);
  DestroyWindow(window);
  SetPrimaryMonitorSource(nullptr);
  // The host lets go of the X server while it is still there.
  CurrentHost().ProcessExiting(0);
}

}  // namespace
}  // namespace portable
