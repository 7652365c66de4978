// The live windows, looked up by handle, and the window manager's other global state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "../../win32.h"
#include "window.h"

namespace portable::user {

struct UserState {
  std::unordered_map<HWND, std::shared_ptr<Window>> windows;
  std::vector<HWND> topLevels;  // z-order, topmost first
  uintptr_t nextHandle = 0x10020;
  HWND active = nullptr;
  HWND focus = nullptr;
  int paintPending = 0;  // windows whose update region is not empty
};

// The window Peek found last: every drawing call looks its window up several times.
// Forgotten before a window leaves the registry. Plain globals, read without a call.
struct LastPeeked {
  HWND hwnd = nullptr;
  Window* window = nullptr;
};
extern LastPeeked lastPeeked;

UserState& State();

// A live window (creation may still be running, destruction not yet finished), or nullptr
// with ERROR_INVALID_WINDOW_HANDLE set.
Window* LookUp(HWND hwnd);
// Same, without touching the last error.
Window* PeekSlow(HWND hwnd);
inline Window* Peek(HWND hwnd) {
  if (hwnd == lastPeeked.hwnd && hwnd != nullptr) return lastPeeked.window;
  return PeekSlow(hwnd);
}
// Keeps a window object alive across a call into a window procedure.
std::shared_ptr<Window> Hold(HWND hwnd);

// Calls the window's procedure (the window stays alive for the call).
LRESULT CallProcedure(Window& w, UINT msg, WPARAM wParam, LPARAM lParam);

// A window's rectangles, style, place among its siblings, framebuffer or existence changed:
// what GDI worked out about drawable areas is stale. Called right after each such change.
// A plain global, so that DCs still read it during exit.
extern uint64_t layoutGeneration;
inline void LayoutChanged() { ++layoutGeneration; }

}  // namespace portable::user

namespace portable {

// Live windows, for leak checks in tests and benchmarks.
size_t LiveWindows();

}  // namespace portable
