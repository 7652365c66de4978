// What every message carries when the queue hands it out (its time and the cursor position),
// and the window and message filters of retrieval.
#pragma once

#include <cstdint>

#include "../../win32.h"

namespace portable::user {

// The cursor position in screen coordinates, as the last mouse input left it.
POINT CursorPos();
void SetCursorPos(POINT screen);

// Current time in ms on the host's clock, and GetTickCount's value for it.
uint64_t NowMs();
DWORD TickFor(uint64_t ms);

// A message as the queue hands it out now: the time and the cursor position filled in.
MSG StampMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Whether a retrieval filter (nullptr: any window, -1: thread messages only, else the window
// and its descendants) takes `hwnd`'s messages.
bool HwndFilterMatches(HWND filter, HWND hwnd);
// Whether `msg` lies in a retrieval range; 0, 0 takes every message.
bool RangeMatches(UINT msg, UINT first, UINT last);

}  // namespace portable::user
