// Turns SDL events into the input Windows would deliver, handed to an InputSink (the layer's
// input functions in the program, a recorder in tests).
#pragma once

#include <SDL.h>

#include "../../win32.h"

namespace portable {

class InputSink {
 public:
  virtual ~InputSink() = default;
  // The top-level window shown in SDL window `sdlWindowId`; nullptr when none.
  virtual HWND WindowFromSdlId(Uint32 sdlWindowId) = 0;
  virtual void Key(UINT virtualKey, bool down, bool repeat) = 0;
  // button: 0 left, 1 right, 2 middle; client coordinates.
  virtual void MouseButton(HWND hwnd, int button, bool down, int x, int y) = 0;
  virtual void MouseMove(HWND hwnd, int x, int y) = 0;
  // One wheel notch: delta +120 (forward) or -120 (back), at client (x, y).
  virtual void WheelNotch(HWND hwnd, int delta, int x, int y) = 0;
  virtual void CloseRequested(HWND hwnd) = 0;
  // The desktop gave the window this client size.
  virtual void Resized(HWND hwnd, int clientWidth, int clientHeight) = 0;
  // The window's picture was lost (uncovered, first shown).
  virtual void Exposed(HWND hwnd) = 0;
};

// Hands one SDL event to `sink`. True when it became input for the layer.
bool TranslateSdlEvent(const SDL_Event& event, InputSink& sink);

}  // namespace portable
