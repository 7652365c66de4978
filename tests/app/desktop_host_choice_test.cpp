// Which desktop the Linux program shows itself on, for every combination that decides it.
#include "app/desktop_host_choice.h"

#include <gtest/gtest.h>

namespace {

struct ChoiceCase {
  SaverAction action;
  const char* spiralsHost;
  const char* waylandDisplay;
  const char* sdlVideoDriver;
  DesktopHost host;
  bool forced;
  const char* problem;  // "" for none
};

TEST(DesktopHostChoice, FromTheEnvironment) {
  const auto A = SaverAction::Animate;
  const auto W = DesktopHost::Wayland;
  const auto X = DesktopHost::X11;
  const ChoiceCase cases[] = {
      {A, nullptr, nullptr, nullptr, X, false, ""},
      {A, nullptr, "", nullptr, X, false, ""},
      {A, nullptr, "wayland-0", nullptr, W, false, ""},
      {A, "", "wayland-0", nullptr, W, false, ""},
      {A, "x11", "wayland-0", nullptr, X, true, ""},
      {A, "wayland", nullptr, nullptr, W, true, ""},
      // Asking SDL for Wayland asks for the Wayland host; other SDL drivers stay SDL's.
      {A, nullptr, nullptr, "wayland", W, false, ""},
      {A, nullptr, "wayland-0", "x11", X, false, ""},
      {A, nullptr, "wayland-0", "offscreen", X, false, ""},
      {A, "x11", nullptr, "wayland", X, true, ""},
      {A, "X11", nullptr, nullptr, X, false, "SPIRALS_HOST must be wayland or x11, not \"X11\""},
      {A, "sdl", "wayland-0", nullptr, X, false,
       "SPIRALS_HOST must be wayland or x11, not \"sdl\""},
      // The XScreenSaver modes draw into X windows.
      {SaverAction::Root, nullptr, nullptr, nullptr, X, false, ""},
      {SaverAction::Root, nullptr, "wayland-1", nullptr, W, false,
       "--root draws for XScreenSaver, which runs on X11, and this is a Wayland session "
       "(WAYLAND_DISPLAY is wayland-1); SPIRALS_HOST=x11 draws through XWayland"},
      {SaverAction::WindowId, "wayland", nullptr, nullptr, W, true,
       "--window-id draws for XScreenSaver, which runs on X11, and this is a Wayland session "
       "(SPIRALS_HOST is wayland); SPIRALS_HOST=x11 draws through XWayland"},
      {SaverAction::WindowId, "x11", "wayland-1", nullptr, X, true, ""},
      {SaverAction::OwnWindow, nullptr, "wayland-1", nullptr, X, false, ""},
  };
  for (const ChoiceCase& c : cases) {
    DesktopEnvironment environment;
    environment.spiralsHost = c.spiralsHost;
    environment.waylandDisplay = c.waylandDisplay;
    environment.sdlVideoDriver = c.sdlVideoDriver;
    const DesktopChoice choice = ChooseDesktopHost(c.action, environment);
    const std::string where = std::string("SPIRALS_HOST=") + (c.spiralsHost ? c.spiralsHost : "-") +
                              " WAYLAND_DISPLAY=" + (c.waylandDisplay ? c.waylandDisplay : "-") +
                              " SDL_VIDEODRIVER=" + (c.sdlVideoDriver ? c.sdlVideoDriver : "-") +
                              " action " + std::to_string(static_cast<int>(c.action));
    EXPECT_EQ(choice.problem, c.problem) << where;
    if (!choice.problem.empty() && c.action == A) continue;
    EXPECT_EQ(choice.host, c.host) << where;
    EXPECT_EQ(choice.forced, c.forced) << where;
  }
}

}  // namespace
