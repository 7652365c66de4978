// The X window the saver draws into: one another program lends (by id, or the root window),
// or one of its own for trying it out.
#pragma once

#include <X11/Xlib.h>

#include <string>

namespace portable {

struct X11Window {
  Window window = 0;
  // Made here (not lent): the saver may name it, and it answers the desktop's close button.
  bool own = false;
  int width = 0;
  int height = 0;
  Visual* visual = nullptr;
  int depth = 0;
};

// The root window of the default screen (`id` 0) or the window `id`, checked to exist and to
// be drawable; its attributes stay as they are: only our own interest in its size, exposure
// and destruction is registered. False, with one line why, otherwise.
bool AdoptWindow(Display* display, unsigned long id, X11Window* out, std::string* problem);

// A new top-level window of our own, mapped, answering ESC and the close button.
bool CreateOwnWindow(Display* display, X11Window* out, std::string* problem);

}  // namespace portable
