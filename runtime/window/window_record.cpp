// The record of a runtime window, found through the window's first extra slot.
#include "window_record.h"

ATOM WndClassAtom = 0;
ATOM FrameClassAtom = 0;
ATOM MdiClientAtom = 0;
WindowRecord* CreatingRecord = nullptr;

WindowRecord* WindowRecordOf(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  return reinterpret_cast<WindowRecord*>(GetWindowLongPtrA(hwnd, 0));
}
