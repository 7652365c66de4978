// The runtime's message loop: waits once (in waiting mode), then empties the queue.
#include "pump.h"

#include "window_record.h"

namespace {

// The runtime window a message belongs to: its own window, or the nearest runtime ancestor.
WindowRecord* OwningRecord(HWND hwnd) {
  for (HWND window = hwnd; window != nullptr; window = GetParent(window)) {
    ATOM atom = GetClassWord(window, GCW_ATOM);
    // A window that is gone gives atom 0, which must not match a class never registered.
    if (atom != 0 && (atom == WndClassAtom || atom == FrameClassAtom)) {
      return WindowRecordOf(window);
    }
  }
  return nullptr;
}

bool TakenAsDialogKey(MSG* message) {
  WindowRecord* owner = OwningRecord(message->hwnd);
  if (owner != nullptr) {
    return owner->dialogKeys != 0 && owner->hwnd != nullptr &&
           IsDialogMessageA(owner->hwnd, message) != 0;
  }
  HWND active = GetActiveWindow();
  if (active == nullptr) return false;
  if (!(GetWindowLongA(active, GWL_EXSTYLE) & WS_EX_CONTROLPARENT)) return false;
  return IsDialogMessageA(active, message) != 0;
}

}  // namespace

int32_t PumpMessages(int32_t mode) {
  if (mode == PUMP_WAIT) WaitMessage();
  MSG message{};
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (TakenAsDialogKey(&message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
