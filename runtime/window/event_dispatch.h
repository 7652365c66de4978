// The dispatch of a window's events to its handler through CurrentEvent.
#pragma once

#include <cstdint>

#include "window_record.h"

constexpr int32_t EVENT_CLOSE_REQUEST = 32770;
constexpr int32_t EVENT_MENU_COMMAND = 32771;
constexpr int32_t EVENT_CONTROL_NOTIFY = 32772;
constexpr int32_t EVENT_SIZE_CHANGED = 32777;
constexpr int32_t EVENT_ERASE_BACKGROUND = 32783;

// The event a handler is called for. param1 and param2 are pointer-sized because they can
// carry a device context, a window handle or an NMHDR pointer.
struct CurrentEventVars {
  int32_t eventId;
  WPARAM param1;
  LPARAM param2;
  uint32_t mouseX;
  uint32_t mouseY;
  WindowRecord* eventWindow;
  uint32_t controlId;
  uint32_t commandId;
  uint32_t notifyCode;
};

extern CurrentEventVars CurrentEvent;

// A hook for tools: called just before every handler call that EventDispatch makes, with the
// translated event id, param1 and the nesting depth of dispatches (1 for an outermost one).
// Null normally.
typedef void (*EventDispatchObserver)(int32_t eventId, WPARAM param1, int32_t depth);
extern EventDispatchObserver DispatchObserver;

// Calls the record's handler for one message, with CurrentEvent filled in and restored after.
LRESULT EventDispatch(WindowRecord* record, UINT message, WPARAM wParam, LPARAM lParam);
