// The page's input events as the page script queues them for the program, and their delivery
// to the layer as the input Windows would queue for each.
#pragma once

#include <cstddef>
#include <cstdint>

#include "../../win32.h"
#include "../host_common/host_input.h"
#include "wheel_notches.h"

namespace portable {

enum class PageEventKind : int32_t {
  None = 0,
  Key = 1,          // flags: kPageDown, kPageRepeat; code, key
  MouseButton = 2,  // flags: kPageDown; button as the DOM numbers it; x, y
  MouseMove = 3,    // x, y
  Wheel = 4,        // x, y, deltaMode, deltaY, wheelDeltaY
  Resize = 5,       // x, y: the page's new width and height
  Blur = 6,         // the page lost the keyboard: keys held now will never be seen going up
};

constexpr int32_t kPageDown = 1;
constexpr int32_t kPageRepeat = 2;

// Filled by the page script at these offsets (page_library.js writes them); strings are
// zero-terminated UTF-8, cut to fit.
struct PageEvent {
  int32_t kind = 0;
  int32_t flags = 0;
  int32_t x = 0;  // CSS pixels from the canvas' top-left corner
  int32_t y = 0;
  int32_t button = 0;
  int32_t deltaMode = 0;
  double deltaY = 0;
  double wheelDeltaY = 0;
  char code[32] = {};
  char key[32] = {};
};
static_assert(offsetof(PageEvent, deltaY) == 24 && offsetof(PageEvent, wheelDeltaY) == 32 &&
                  offsetof(PageEvent, code) == 40 && offsetof(PageEvent, key) == 72 &&
                  sizeof(PageEvent) == 104,
              "the page script writes events at these offsets");

// Queues the input for a key, button, move or wheel event of the page on top-level `window`.
// A blur lets go of every key still held, so no modifier stays down for good. False when it
// queued nothing (a key without a virtual-key code, a fraction of a notch, a button without a
// message, a resize, a blur with no key held).
bool DeliverPageEvent(const PageEvent& event, HWND window, WheelNotches& wheel);

}  // namespace portable
