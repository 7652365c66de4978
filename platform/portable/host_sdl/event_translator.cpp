#include "event_translator.h"

#include "key_map.h"

namespace portable {
namespace {

bool TranslateKey(const SDL_KeyboardEvent& key, InputSink& sink) {
  const UINT vk = VirtualKeyFromSdl(key.keysym.sym, key.keysym.scancode, key.keysym.mod);
  if (vk == 0) return false;
  const bool down = key.state == SDL_PRESSED;
  sink.Key(vk, down, down && key.repeat != 0);
  return true;
}

bool TranslateButton(const SDL_MouseButtonEvent& button, InputSink& sink) {
  int index;
  switch (button.button) {
    case SDL_BUTTON_LEFT: index = 0; break;
    case SDL_BUTTON_RIGHT: index = 1; break;
    case SDL_BUTTON_MIDDLE: index = 2; break;
    default: return false;  // extra buttons have no message in our subset
  }
  HWND hwnd = sink.WindowFromSdlId(button.windowID);
  if (!hwnd) return false;
  sink.MouseButton(hwnd, index, button.state == SDL_PRESSED, button.x, button.y);
  return true;
}

bool TranslateWheel(const SDL_MouseWheelEvent& wheel, InputSink& sink) {
  HWND hwnd = sink.WindowFromSdlId(wheel.windowID);
  if (!hwnd) return false;
  int notches = wheel.y;
  if (wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
  if (notches == 0) return false;
  int x = 0, y = 0;
#if SDL_VERSION_ATLEAST(2, 26, 0)
  x = wheel.mouseX;
  y = wheel.mouseY;
#else
  SDL_GetMouseState(&x, &y);
#endif
  // Windows sends one message per notch, each with the held buttons and modifiers.
  const int delta = notches > 0 ? 120 : -120;
  for (int n = notches > 0 ? notches : -notches; n > 0; --n) sink.WheelNotch(hwnd, delta, x, y);
  return true;
}

bool TranslateWindowEvent(const SDL_WindowEvent& window, InputSink& sink) {
  HWND hwnd = sink.WindowFromSdlId(window.windowID);
  if (!hwnd) return false;
  switch (window.event) {
    case SDL_WINDOWEVENT_CLOSE: sink.CloseRequested(hwnd); return true;
    case SDL_WINDOWEVENT_SIZE_CHANGED: sink.Resized(hwnd, window.data1, window.data2); return true;
    case SDL_WINDOWEVENT_EXPOSED: sink.Exposed(hwnd); return true;
    default: return false;
  }
}

}  // namespace

bool TranslateSdlEvent(const SDL_Event& event, InputSink& sink) {
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: return TranslateKey(event.key, sink);
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return TranslateButton(event.button, sink);
    case SDL_MOUSEMOTION: {
      HWND hwnd = sink.WindowFromSdlId(event.motion.windowID);
      if (!hwnd) return false;
      sink.MouseMove(hwnd, event.motion.x, event.motion.y);
      return true;
    }
    case SDL_MOUSEWHEEL: return TranslateWheel(event.wheel, sink);
    case SDL_WINDOWEVENT: return TranslateWindowEvent(event.window, sink);
    default: return false;
  }
}

}  // namespace portable
