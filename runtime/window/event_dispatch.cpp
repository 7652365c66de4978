// The dispatch of events to the handler: translation to runtime event ids, CurrentEvent saved
// and restored around each call, and the MDI commands of the "&Window" menu.
#include "event_dispatch.h"

CurrentEventVars CurrentEvent = {};
EventDispatchObserver DispatchObserver = nullptr;

namespace {

int32_t dispatchDepth = 0;

bool IsRuntimeAtom(ATOM atom) {
  return atom != 0 && (atom == WndClassAtom || atom == FrameClassAtom);
}

// The record of a runtime window; null for foreign windows, whose slot 0 is not ours.
WindowRecord* RuntimeRecordOf(HWND hwnd) {
  if (hwnd == nullptr || !IsRuntimeAtom(GetClassWord(hwnd, GCW_ATOM))) return nullptr;
  return WindowRecordOf(hwnd);
}

// A menu command is reported for the active MDI child, or for the window's topmost child when
// that is a runtime window; the MDI commands of the "&Window" menu are carried out here.
void RunCommandSteps(WindowRecord* record) {
  HWND hwnd = record->hwnd;
  if (hwnd != nullptr && GetTopWindow(hwnd) != nullptr) {
    HWND mdiTop = record->mdiClient != nullptr ? GetTopWindow(record->mdiClient) : nullptr;
    WindowRecord* taken = RuntimeRecordOf(mdiTop != nullptr ? mdiTop : GetTopWindow(hwnd));
    if (taken != nullptr) CurrentEvent.eventWindow = taken;
  }
  HWND mdiClient = record->mdiClient;
  if (mdiClient == nullptr) return;
  switch (CurrentEvent.commandId) {
    case CMD_MDI_TILE: SendMessageA(mdiClient, WM_MDITILE, MDITILE_HORIZONTAL, 0); break;
    case CMD_MDI_CASCADE: SendMessageA(mdiClient, WM_MDICASCADE, 0, 0); break;
    case CMD_MDI_ARRANGE: SendMessageA(mdiClient, WM_MDIICONARRANGE, 0, 0); break;
    default: break;
  }
}

int32_t Translate(WindowRecord* record, UINT message, WPARAM wParam, LPARAM lParam) {
  const uint32_t low32 = static_cast<uint32_t>(lParam);
  switch (message) {
    case WM_CLOSE: return EVENT_CLOSE_REQUEST;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
      CurrentEvent.param2 = static_cast<LPARAM>(wParam);
      CurrentEvent.mouseX = low32 & 0xFFFF;
      CurrentEvent.mouseY = (low32 >> 16) & 0xFFFF;
      return static_cast<int32_t>(message);
    case WM_HSCROLL:
    case WM_VSCROLL:
      CurrentEvent.param1 = LOWORD(wParam);
      CurrentEvent.param2 = HIWORD(wParam);
      CurrentEvent.controlId =
          lParam != 0 ? static_cast<uint32_t>(GetDlgCtrlID(reinterpret_cast<HWND>(lParam))) : 0;
      return static_cast<int32_t>(message);
    case WM_COMMAND:
    case static_cast<UINT>(EVENT_CONTROL_NOTIFY):
      if (lParam != 0) {
        CurrentEvent.notifyCode = HIWORD(wParam);
        CurrentEvent.controlId = LOWORD(wParam);
        return EVENT_CONTROL_NOTIFY;
      }
      CurrentEvent.commandId = LOWORD(wParam);
      if (record != nullptr) RunCommandSteps(record);
      return EVENT_MENU_COMMAND;
    case WM_NOTIFY:
      if (lParam != 0) {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        CurrentEvent.notifyCode = header->code;
        CurrentEvent.controlId = static_cast<uint32_t>(header->idFrom);
      }
      return EVENT_CONTROL_NOTIFY;
    case WM_SIZE:
    case WM_SIZING:
      CurrentEvent.param2 = reinterpret_cast<LPARAM>(record != nullptr ? record->hwnd : nullptr);
      return EVENT_SIZE_CHANGED;
    default: return static_cast<int32_t>(message);
  }
}

}  // namespace

LRESULT EventDispatch(WindowRecord* record, UINT message, WPARAM wParam, LPARAM lParam) {
  const CurrentEventVars saved = CurrentEvent;
  WindowHandler handler = record != nullptr ? record->handler : nullptr;
  CurrentEvent.param1 = wParam;
  CurrentEvent.param2 = lParam;
  CurrentEvent.eventWindow = record;
  CurrentEvent.eventId = Translate(record, message, wParam, lParam);

  LRESULT result = 0;
  ++dispatchDepth;
  if (handler != nullptr) {
    if (DispatchObserver != nullptr) {
      DispatchObserver(CurrentEvent.eventId, CurrentEvent.param1, dispatchDepth);
    }
    result = handler();
  }
  --dispatchDepth;

  const uint32_t commandId = CurrentEvent.commandId;
  CurrentEvent = saved;
  CurrentEvent.commandId = commandId;
  return result;
}
