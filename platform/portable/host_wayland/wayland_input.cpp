#include "wayland_input.h"

#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>

#include "../host_common/host_input.h"
#include "../user/input.h"
#include "xkb_key_map.h"

namespace portable {
namespace {

// How far smooth scrolling (a touchpad) goes for one notch: what one click of a wheel scrolls.
constexpr double kScrollPerNotch = 15.0;
// A notch of the wheel as Windows counts it.
constexpr int kNotch = 120;

}  // namespace

struct WaylandInputListeners {
  static WaylandInput* In(void* data) { return static_cast<WaylandInput*>(data); }

  static void SeatCapabilities(void* data, wl_seat*, uint32_t caps) {
    In(data)->Capabilities(caps);
  }
  static void SeatName(void*, wl_seat*, const char*) {}

  static void Keymap(void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size) {
    In(data)->Keymap(format, fd, size);
  }
  static void KeyboardEnter(void* data, wl_keyboard*, uint32_t, wl_surface* surface, wl_array*) {
    In(data)->KeyboardEntered(surface);
  }
  static void KeyboardLeave(void* data, wl_keyboard*, uint32_t, wl_surface*) {
    In(data)->KeyboardLeft();
  }
  static void Key(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t state) {
    In(data)->Key(key, state == WL_KEYBOARD_KEY_STATE_PRESSED);
  }
  static void Modifiers(void* data, wl_keyboard*, uint32_t, uint32_t depressed, uint32_t latched,
                        uint32_t locked, uint32_t group) {
    In(data)->Modifiers(depressed, latched, locked, group);
  }
  static void RepeatInfo(void* data, wl_keyboard*, int32_t rate, int32_t delay) {
    In(data)->RepeatInfo(rate, delay);
  }

  static void PointerEnter(void* data, wl_pointer*, uint32_t serial, wl_surface* surface,
                           wl_fixed_t x, wl_fixed_t y) {
    In(data)->PointerEntered(serial, surface, wl_fixed_to_double(x), wl_fixed_to_double(y));
  }
  static void PointerLeave(void* data, wl_pointer*, uint32_t, wl_surface*) {
    In(data)->PointerLeft();
  }
  static void Motion(void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
    In(data)->Motion(wl_fixed_to_double(x), wl_fixed_to_double(y));
  }
  static void Button(void* data, wl_pointer*, uint32_t, uint32_t, uint32_t button, uint32_t state) {
    In(data)->Button(button, state == WL_POINTER_BUTTON_STATE_PRESSED);
  }
  static void Axis(void* data, wl_pointer*, uint32_t, uint32_t axis, wl_fixed_t value) {
    In(data)->Axis(axis, wl_fixed_to_double(value));
  }
  static void Frame(void* data, wl_pointer*) { In(data)->PointerFrame(); }
  static void AxisSource(void*, wl_pointer*, uint32_t) {}
  static void AxisStop(void* data, wl_pointer*, uint32_t, uint32_t) {
    In(data)->wheelRemainder_ = 0;
  }
  static void AxisDiscrete(void* data, wl_pointer*, uint32_t axis, int32_t discrete) {
    In(data)->AxisDiscrete(axis, discrete);
  }

  static constexpr wl_seat_listener kSeat = {SeatCapabilities, SeatName};
  static constexpr wl_keyboard_listener kKeyboard = {Keymap, KeyboardEnter, KeyboardLeave,
                                                     Key,    Modifiers,     RepeatInfo};
  static constexpr wl_pointer_listener kPointer = {PointerEnter, PointerLeave, Motion,     Button,
                                                   Axis,         Frame,        AxisSource, AxisStop,
                                                   AxisDiscrete, nullptr};
};

void WaylandInput::Start() {
  if (globals_.seat == nullptr) return;
  xkb_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  wl_seat_add_listener(globals_.seat, &WaylandInputListeners::kSeat, this);
}

void WaylandInput::Close() {
  if (keyboard_) {
    if (globals_.seatVersion >= 3)
      wl_keyboard_release(keyboard_);
    else
      wl_keyboard_destroy(keyboard_);
  }
  if (pointer_) {
    if (globals_.seatVersion >= 3)
      wl_pointer_release(pointer_);
    else
      wl_pointer_destroy(pointer_);
  }
  if (cursorSurface_) wl_surface_destroy(cursorSurface_);
  if (cursorTheme_) wl_cursor_theme_destroy(cursorTheme_);
  if (state_) xkb_state_unref(state_);
  if (keymap_) xkb_keymap_unref(keymap_);
  if (xkb_) xkb_context_unref(xkb_);
  keyboard_ = nullptr;
  pointer_ = nullptr;
  cursorSurface_ = nullptr;
  cursorTheme_ = nullptr;
  cursorImage_ = nullptr;
  state_ = nullptr;
  keymap_ = nullptr;
  xkb_ = nullptr;
}

void WaylandInput::SetWindow(HWND hwnd, wl_surface* surface) {
  hwnd_ = hwnd;
  surface_ = surface;
  if (surface == nullptr) {
    keyboardFocus_ = false;
    pointerFocus_ = false;
    StopRepeat();
  }
}

bool WaylandInput::TakeQueued() {
  const bool queued = queued_;
  queued_ = false;
  return queued;
}

void WaylandInput::Capabilities(uint32_t caps) {
  const bool hasKeyboard = (caps & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
  const bool hasPointer = (caps & WL_SEAT_CAPABILITY_POINTER) != 0;
  if (hasKeyboard && !keyboard_) {
    keyboard_ = wl_seat_get_keyboard(globals_.seat);
    wl_keyboard_add_listener(keyboard_, &WaylandInputListeners::kKeyboard, this);
  } else if (!hasKeyboard && keyboard_) {
    KeyboardLeft();
    if (globals_.seatVersion >= 3)
      wl_keyboard_release(keyboard_);
    else
      wl_keyboard_destroy(keyboard_);
    keyboard_ = nullptr;
  }
  if (hasPointer && !pointer_) {
    pointer_ = wl_seat_get_pointer(globals_.seat);
    wl_pointer_add_listener(pointer_, &WaylandInputListeners::kPointer, this);
  } else if (!hasPointer && pointer_) {
    if (globals_.seatVersion >= 3)
      wl_pointer_release(pointer_);
    else
      wl_pointer_destroy(pointer_);
    pointer_ = nullptr;
    pointerFocus_ = false;
  }
}

void WaylandInput::Keymap(uint32_t format, int fd, uint32_t size) {
  if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 || xkb_ == nullptr || size == 0) {
    close(fd);
    return;
  }
  void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  close(fd);
  if (text == MAP_FAILED) return;
  // The text ends with its terminating zero inside `size`.
  xkb_keymap* keymap =
      xkb_keymap_new_from_buffer(xkb_, static_cast<const char*>(text), size - 1,
                                 XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
  munmap(text, size);
  if (keymap == nullptr) return;
  xkb_state* state = xkb_state_new(keymap);
  if (state == nullptr) {
    xkb_keymap_unref(keymap);
    return;
  }
  if (state_) xkb_state_unref(state_);
  if (keymap_) xkb_keymap_unref(keymap_);
  keymap_ = keymap;
  state_ = state;
  StopRepeat();
}

void WaylandInput::KeyboardEntered(wl_surface* surface) {
  keyboardFocus_ = surface != nullptr && surface == surface_;
}

void WaylandInput::KeyboardLeft() {
  const bool had = keyboardFocus_;
  keyboardFocus_ = false;
  StopRepeat();
  // Keys released elsewhere would otherwise stay down here for good.
  if (had && hwnd_ && ReleaseHeldKeys()) queued_ = true;
}

void WaylandInput::Key(uint32_t key, bool down) {
  if (!keyboardFocus_ || !hwnd_ || state_ == nullptr) return;
  const xkb_keycode_t keycode = key + 8;
  const UINT vk = VirtualKeyFromXkb(state_, keycode);
  if (!down && keycode == repeatKey_) StopRepeat();
  if (vk == 0) return;
  InjectKey(vk, down);
  queued_ = true;
  if (down && repeatRate_ > 0 && xkb_keymap_key_repeats(keymap_, keycode)) {
    repeatKey_ = keycode;
    repeatVk_ = vk;
    nextRepeatMs_ = nowMs_ + static_cast<uint64_t>(repeatDelay_);
  }
}

void WaylandInput::Modifiers(uint32_t depressed, uint32_t latched, uint32_t locked,
                             uint32_t group) {
  if (state_) xkb_state_update_mask(state_, depressed, latched, locked, 0, 0, group);
}

void WaylandInput::RepeatInfo(int32_t rate, int32_t delay) {
  repeatRate_ = rate > 0 ? rate : 0;
  repeatDelay_ = delay > 0 ? delay : 0;
  if (repeatRate_ == 0) StopRepeat();
}

std::optional<uint64_t> WaylandInput::NextRepeatMs() const {
  if (repeatKey_ == 0 || !keyboardFocus_) return std::nullopt;
  return nextRepeatMs_;
}

void WaylandInput::RepeatIfDue(uint64_t nowMs) {
  if (repeatKey_ == 0 || !keyboardFocus_ || nowMs < nextRepeatMs_ || repeatRate_ <= 0) return;
  InjectKey(repeatVk_, true, true);
  queued_ = true;
  // One repeat however late the check: a slow program is not flooded with them.
  const uint64_t periodMs = std::max<uint64_t>(1, 1000 / static_cast<uint64_t>(repeatRate_));
  nextRepeatMs_ += periodMs;
  if (nextRepeatMs_ <= nowMs) nextRepeatMs_ = nowMs + periodMs;
}

int WaylandInput::PixelX() const { return static_cast<int>(std::floor(pointerX_ * scale_)); }
int WaylandInput::PixelY() const { return static_cast<int>(std::floor(pointerY_ * scale_)); }

void WaylandInput::PointerEntered(uint32_t serial, wl_surface* surface, double x, double y) {
  pointerFocus_ = surface != nullptr && surface == surface_;
  if (!pointerFocus_) return;
  pointerX_ = x;
  pointerY_ = y;
  // The arrow, as the window's class cursor is on Windows.
  if (cursorTheme_ == nullptr) {
    cursorTheme_ = wl_cursor_theme_load(nullptr, 24, globals_.shm);
    wl_cursor* cursor =
        cursorTheme_ ? wl_cursor_theme_get_cursor(cursorTheme_, "left_ptr") : nullptr;
    if (cursor && cursor->image_count > 0) {
      cursorImage_ = cursor->images[0];
      cursorSurface_ = wl_compositor_create_surface(globals_.compositor);
      wl_surface_attach(cursorSurface_, wl_cursor_image_get_buffer(cursorImage_), 0, 0);
      wl_surface_damage(cursorSurface_, 0, 0, static_cast<int32_t>(cursorImage_->width),
                        static_cast<int32_t>(cursorImage_->height));
      wl_surface_commit(cursorSurface_);
    }
  }
  if (cursorSurface_ && cursorImage_) {
    wl_pointer_set_cursor(pointer_, serial, cursorSurface_,
                          static_cast<int32_t>(cursorImage_->hotspot_x),
                          static_cast<int32_t>(cursorImage_->hotspot_y));
  }
  if (hwnd_) {
    InjectMouseMove(hwnd_, PixelX(), PixelY());
    queued_ = true;
  }
}

void WaylandInput::PointerLeft() {
  pointerFocus_ = false;
  wheelRemainder_ = 0;
}

void WaylandInput::Motion(double x, double y) {
  if (!pointerFocus_ || !hwnd_) return;
  pointerX_ = x;
  pointerY_ = y;
  InjectMouseMove(hwnd_, PixelX(), PixelY());
  queued_ = true;
}

void WaylandInput::Button(uint32_t button, bool down) {
  if (!pointerFocus_ || !hwnd_) return;
  int index;
  switch (button) {
    case BTN_LEFT: index = 0; break;
    case BTN_RIGHT: index = 1; break;
    case BTN_MIDDLE: index = 2; break;
    default: return;  // further buttons have no message in our subset
  }
  InjectMouseButton(hwnd_, index, down, PixelX(), PixelY());
  queued_ = true;
}

void WaylandInput::Axis(uint32_t axis, double value) {
  if (axis != WL_POINTER_AXIS_VERTICAL_SCROLL || !pointerFocus_) return;
  wheelValue_ += value;
  // Before version 5 there are no frames: each event stands alone.
  if (globals_.seatVersion < 5) PointerFrame();
}

void WaylandInput::AxisDiscrete(uint32_t axis, int32_t discrete) {
  if (axis != WL_POINTER_AXIS_VERTICAL_SCROLL || !pointerFocus_) return;
  wheelDiscrete_ += discrete;
  wheelDiscreteSeen_ = true;
}

void WaylandInput::PointerFrame() {
  int notches = 0;
  if (wheelDiscreteSeen_) {
    notches = wheelDiscrete_;
  } else if (wheelValue_ != 0) {
    wheelRemainder_ += wheelValue_;
    notches = static_cast<int>(std::trunc(wheelRemainder_ / kScrollPerNotch));
    wheelRemainder_ -= notches * kScrollPerNotch;
  }
  wheelDiscrete_ = 0;
  wheelDiscreteSeen_ = false;
  wheelValue_ = 0;
  if (notches == 0 || !hwnd_ || !pointerFocus_) return;
  // Wayland counts towards the user; Windows counts away from the user.
  const int delta = notches > 0 ? -kNotch : kNotch;
  for (int n = notches > 0 ? notches : -notches; n > 0; --n)
    InjectWheel(hwnd_, delta, CurrentKeyStateFlags(), PixelX(), PixelY());
  queued_ = true;
}

}  // namespace portable
