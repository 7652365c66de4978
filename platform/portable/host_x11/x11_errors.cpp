#include "x11_errors.h"

#include <unistd.h>

#include <cstdio>

namespace portable {
namespace {

bool windowLost = false;
bool otherReported = false;
int trapDepth = 0;
int trappedCode = 0;

int OnError(Display* display, XErrorEvent* event) {
  if (trapDepth > 0) {
    if (trappedCode == 0) trappedCode = event->error_code;
    return 0;
  }
  if (event->error_code == BadWindow || event->error_code == BadDrawable) {
    windowLost = true;
    return 0;
  }
  if (!otherReported) {
    char text[160] = "";
    XGetErrorText(display, event->error_code, text, sizeof text);
    std::fprintf(stderr, "spirals: the X server refused a request: %s (request %d)\n", text,
                 static_cast<int>(event->request_code));
    otherReported = true;
  }
  return 0;
}

[[noreturn]] int OnConnectionLost(Display*) {
  // The server and every window on it are gone; Xlib cannot be used again, not even to close.
  static const char line[] = "spirals: the X display went away\n";
  [[maybe_unused]] const ssize_t written = write(2, line, sizeof line - 1);
  _exit(0);
}

}  // namespace

void InstallX11ErrorHandlers() {
  XSetErrorHandler(OnError);
  XSetIOErrorHandler(OnConnectionLost);
}

bool X11WindowLost() { return windowLost; }

X11ErrorTrap::X11ErrorTrap(Display* display) : display_(display) {
  XSync(display_, False);
  if (trapDepth++ == 0) trappedCode = 0;
}

X11ErrorTrap::~X11ErrorTrap() {
  XSync(display_, False);
  --trapDepth;
}

int X11ErrorTrap::Check() {
  XSync(display_, False);
  return trappedCode;
}

}  // namespace portable
