// The seat's keyboard and pointer as Windows input to the layer: keys through xkbcommon to
// virtual keys, with the compositor's repeat rate (Wayland leaves repeating to the client),
// pointer buttons and motion in the picture's pixels, the wheel in notches of 120. Input
// counts only while it is aimed at the program's window.
#pragma once

#include <wayland-client.h>
#include <wayland-cursor.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdint>
#include <optional>

#include "../../win32.h"
#include "wayland_globals.h"

namespace portable {

class WaylandInput {
 public:
  explicit WaylandInput(WaylandGlobals& globals) : globals_(globals) {}
  WaylandInput(const WaylandInput&) = delete;
  WaylandInput& operator=(const WaylandInput&) = delete;
  ~WaylandInput() { Close(); }

  // Listens to the seat (if the compositor has one).
  void Start();
  void Close();

  // The layer's window and the surface that shows it; nullptr when there is none.
  void SetWindow(HWND hwnd, wl_surface* surface);
  // Picture pixels per surface unit.
  void SetScale(double scale) { scale_ = scale; }

  // Since the last call: whether any input reached the layer.
  bool TakeQueued();
  // When the held key repeats next (the clock's milliseconds), if one repeats.
  std::optional<uint64_t> NextRepeatMs() const;
  // Repeats the held key if its time has come.
  void RepeatIfDue(uint64_t nowMs);
  // Gives `nowMs` to the events that follow (a key's repeat starts from it).
  void SetNow(uint64_t nowMs) { nowMs_ = nowMs; }

 private:
  friend struct WaylandInputListeners;

  void Capabilities(uint32_t caps);
  void Keymap(uint32_t format, int fd, uint32_t size);
  void KeyboardEntered(wl_surface* surface);
  void KeyboardLeft();
  void Key(uint32_t key, bool down);
  void Modifiers(uint32_t depressed, uint32_t latched, uint32_t locked, uint32_t group);
  void RepeatInfo(int32_t rate, int32_t delay);
  void PointerEntered(uint32_t serial, wl_surface* surface, double x, double y);
  void PointerLeft();
  void Motion(double x, double y);
  void Button(uint32_t button, bool down);
  void Axis(uint32_t axis, double value);
  void AxisDiscrete(uint32_t axis, int32_t discrete);
  void PointerFrame();
  void StopRepeat() { repeatKey_ = 0; }
  int PixelX() const;
  int PixelY() const;

  WaylandGlobals& globals_;
  HWND hwnd_ = nullptr;
  wl_surface* surface_ = nullptr;
  double scale_ = 1;
  bool queued_ = false;
  uint64_t nowMs_ = 0;

  wl_keyboard* keyboard_ = nullptr;
  wl_pointer* pointer_ = nullptr;
  xkb_context* xkb_ = nullptr;
  xkb_keymap* keymap_ = nullptr;
  xkb_state* state_ = nullptr;
  bool keyboardFocus_ = false;

  // Key repeat: the compositor's rate and delay (X's defaults until it tells).
  int32_t repeatRate_ = 25;    // per second; 0 means keys do not repeat
  int32_t repeatDelay_ = 600;  // ms
  uint32_t repeatKey_ = 0;     // the xkb keycode repeating, 0 for none
  UINT repeatVk_ = 0;
  uint64_t nextRepeatMs_ = 0;

  bool pointerFocus_ = false;
  double pointerX_ = 0, pointerY_ = 0;  // surface units
  int32_t wheelDiscrete_ = 0;           // this frame's wheel clicks
  bool wheelDiscreteSeen_ = false;
  double wheelValue_ = 0;      // this frame's scrolled distance
  double wheelRemainder_ = 0;  // smooth scrolling carried towards the next notch

  wl_cursor_theme* cursorTheme_ = nullptr;
  wl_surface* cursorSurface_ = nullptr;
  wl_cursor_image* cursorImage_ = nullptr;
};

}  // namespace portable
