#include "x11_target.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>

#include "x11_errors.h"

namespace portable {
namespace {

// A window of its own: this big, but never more than the screen leaves room for.
constexpr int kOwnWidth = 800;
constexpr int kOwnHeight = 600;

std::string Hex(unsigned long id) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%lx", id);
  return text;
}

}  // namespace

bool AdoptWindow(Display* display, unsigned long id, X11Window* out, std::string* problem) {
  const Window window = id != 0 ? id : DefaultRootWindow(display);
  const std::string name = id != 0 ? "window " + Hex(id) : "the root window";
  XWindowAttributes attributes{};
  X11ErrorTrap trap(display);
  const Status got = XGetWindowAttributes(display, window, &attributes);
  if (trap.Check() != 0 || got == 0) {
    *problem = "there is no " + name + " on display " + DisplayString(display);
    return false;
  }
  if (attributes.c_class == InputOnly) {
    *problem = name + " is input-only: nothing can be drawn in it";
    return false;
  }
  // Our own event mask on the window; other clients' masks and the window itself are untouched.
  XSelectInput(display, window, StructureNotifyMask | ExposureMask);
  if (trap.Check() != 0) {
    *problem = name + " went away";
    return false;
  }
  out->window = window;
  out->own = false;
  out->width = attributes.width;
  out->height = attributes.height;
  out->visual = attributes.visual;
  out->depth = attributes.depth;
  return true;
}

bool CreateOwnWindow(Display* display, X11Window* out, std::string* problem) {
  const int screen = DefaultScreen(display);
  const int width = std::min(kOwnWidth, std::max(1, DisplayWidth(display, screen) * 3 / 4));
  const int height = std::min(kOwnHeight, std::max(1, DisplayHeight(display, screen) * 3 / 4));
  X11ErrorTrap trap(display);
  const unsigned long black = BlackPixel(display, screen);
  const Window window =
      XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
                          static_cast<unsigned>(height), 0, black, black);
  if (trap.Check() != 0 || window == 0) {
    *problem = "cannot create a window on display " + std::string(DisplayString(display));
    return false;
  }
  XSelectInput(display, window, StructureNotifyMask | ExposureMask | KeyPressMask | KeyReleaseMask);
  Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, window, &deleteWindow, 1);
  XClassHint hint{};
  char className[] = "spirals";
  hint.res_name = className;
  hint.res_class = className;
  XSetClassHint(display, window, &hint);
  XMapWindow(display, window);
  out->window = window;
  out->own = true;
  out->width = width;
  out->height = height;
  out->visual = DefaultVisual(display, screen);
  out->depth = DefaultDepth(display, screen);
  return true;
}

}  // namespace portable
