#include "x_client.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>

namespace saver_test {
namespace {

// The test's windows may be gone when it asks: an answer of "no" is enough.
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

int Picture::CountDrawn(int x0, int y0, int x1, int y1, uint32_t background) const {
  int n = 0;
  for (int y = std::max(y0, 0); y < std::min(y1, height); ++y) {
    for (int x = std::max(x0, 0); x < std::min(x1, width); ++x) {
      const uint32_t p = At(x, y);
      n += p != 0 && p != background;
    }
  }
  return n;
}

int Picture::CountColour(uint32_t colour) const {
  int n = 0;
  for (uint32_t p : pixels) n += p == colour;
  return n;
}

XClient::XClient() {
  display_ = XOpenDisplay(nullptr);
  if (display_ != nullptr) XSetErrorHandler(IgnoreErrors);
}

XClient::~XClient() {
  if (display_ != nullptr) XCloseDisplay(display_);
}

Window XClient::MakeWindow(int x, int y, int width, int height, uint32_t background,
                           const char* name) {
  XSetWindowAttributes attributes{};
  attributes.background_pixel = background;
  attributes.override_redirect = True;
  const int screen = DefaultScreen(display_);
  const Window window =
      XCreateWindow(display_, RootWindow(display_, screen), x, y, static_cast<unsigned>(width),
                    static_cast<unsigned>(height), 0, DefaultDepth(display_, screen), InputOutput,
                    DefaultVisual(display_, screen), CWBackPixel | CWOverrideRedirect, &attributes);
  XStoreName(display_, window, name);
  XMapWindow(display_, window);
  XSync(display_, False);
  return window;
}

Window XClient::MakeInputOnlyWindow(int width, int height) {
  const Window window =
      XCreateWindow(display_, DefaultRootWindow(display_), 0, 0, static_cast<unsigned>(width),
                    static_cast<unsigned>(height), 0, 0, InputOnly, CopyFromParent, 0, nullptr);
  XSync(display_, False);
  return window;
}

void XClient::Resize(Window window, int width, int height) {
  XResizeWindow(display_, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
  XSync(display_, False);
}

void XClient::Destroy(Window window) {
  XDestroyWindow(display_, window);
  XSync(display_, False);
}

bool XClient::Grab(Window window, Picture* picture) {
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(display_, window, &attributes)) return false;
  XImage* image = XGetImage(display_, window, 0, 0, static_cast<unsigned>(attributes.width),
                            static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  if (image == nullptr) return false;
  picture->width = attributes.width;
  picture->height = attributes.height;
  picture->pixels.resize(static_cast<size_t>(attributes.width) * attributes.height);
  for (int y = 0; y < attributes.height; ++y) {
    for (int x = 0; x < attributes.width; ++x) {
      picture->pixels[static_cast<size_t>(y) * attributes.width + x] =
          static_cast<uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF);
    }
  }
  XDestroyImage(image);
  return true;
}

Window XClient::FindByName(const std::string& name) {
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  Window found = 0;
  if (!XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count))
    return 0;
  for (unsigned i = 0; i < count && found == 0; ++i) {
    char* text = nullptr;
    if (XFetchName(display_, children[i], &text) && text != nullptr) {
      if (name == text) found = children[i];
      XFree(text);
    }
  }
  if (children != nullptr) XFree(children);
  return found;
}

void XClient::SendCloseRequest(Window window) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display_, window, False, NoEventMask, &event);
  XSync(display_, False);
}

void XClient::SendKey(Window window, unsigned long keysym) {
  XEvent event{};
  event.xkey.type = KeyPress;
  event.xkey.display = display_;
  event.xkey.window = window;
  event.xkey.root = DefaultRootWindow(display_);
  event.xkey.same_screen = True;
  event.xkey.keycode = XKeysymToKeycode(display_, keysym);
  XSendEvent(display_, window, True, KeyPressMask, &event);
  event.xkey.type = KeyRelease;
  XSendEvent(display_, window, True, KeyReleaseMask, &event);
  XSync(display_, False);
}

std::string Hex(unsigned long id) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%lx", id);
  return text;
}

}  // namespace saver_test
