// The window manager's records: a window class and a window, its fields grouped by concern.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "../../win32.h"

namespace portable::user {

struct WindowClass {
  std::string name;
  ATOM atom = 0;
  UINT style = 0;
  WNDPROC proc = nullptr;
  int wndExtra = 0;
  std::vector<uint8_t> classExtra;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HICON iconSmall = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  bool system = false;
  int windows = 0;  // live windows of the class: it cannot be unregistered while any exist
};

// Where the window stands in the tree.
struct WindowTree {
  HWND parent = nullptr;       // nullptr for a top-level window
  std::vector<HWND> children;  // z-order, topmost first
};

// Update region, kept as its bounding box in client coordinates.
struct UpdateRegion {
  bool pending = false;
  RECT box{};
  bool erase = false;
  bool delayedErase = false;  // erased early but the procedure declined: fErase stays TRUE
  bool ncPaint = false;
};

// Framebuffer of a top-level window: its client area.
struct Framebuffer {
  std::vector<uint32_t> pixels;
  int width = 0;
  int height = 0;
  bool hostKnows = false;
};

// An MDI client's children and window menu.
struct MdiClientState {
  HMENU windowMenu = nullptr;
  UINT firstChild = 0;
  HWND active = nullptr;
};

// Last left-button press, for double clicks.
struct ClickState {
  int button = -1;
  uint64_t time = 0;
  POINT point{};
};

struct Window {
  // Identity, class and what Get/SetWindowLong reach.
  HWND handle = nullptr;
  std::shared_ptr<WindowClass> cls;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  std::string title;
  LONG_PTR id = 0;
  LONG_PTR userData = 0;
  HMENU menu = nullptr;  // menu bar of a top-level window
  HINSTANCE instance = nullptr;
  std::vector<uint8_t> extra;

  WindowTree tree;

  // Placement.
  RECT windowRect{};  // parent's client coordinates (screen for a top-level window)
  RECT clientRect{};  // the same coordinates
  bool minimized = false;
  bool maximized = false;
  RECT normalRect{};  // restored position while minimised or maximised

  // Life cycle.
  bool destroying = false;
  bool dead = false;

  UpdateRegion update;
  Framebuffer fb;
  MdiClientState mdi;
  ClickState lastClick;
};

}  // namespace portable::user
