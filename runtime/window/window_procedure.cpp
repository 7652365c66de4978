// The window procedure of both runtime classes: painting and erasing here, everything else to
// the handler through EventDispatch, then the default procedure of the window's kind.
#include "window_procedure.h"

#include "event_dispatch.h"
#include "frame_layout.h"
#include "paint.h"

namespace {

bool IsMdiChild(HWND hwnd) {
  HWND parent = GetParent(hwnd);
  if (parent == nullptr) return false;
  ATOM atom = GetClassWord(parent, GCW_ATOM);
  return atom != 0 && atom == MdiClientAtom;
}

LRESULT DefaultProcessing(HWND hwnd, ATOM atom, WindowRecord* record, UINT message, WPARAM wParam,
                          LPARAM lParam) {
  if (record != nullptr && atom != 0 && atom == FrameClassAtom) {
    if (message == WM_SIZE && wParam != SIZE_MINIMIZED) {
      if (FrameLayout(hwnd, record->mdiClient) != 0) return 0;
    }
    return DefFrameProcA(hwnd, record->mdiClient, message, wParam, lParam);
  }
  if (IsMdiChild(hwnd)) return DefMDIChildProcA(hwnd, message, wParam, lParam);
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const ATOM atom = GetClassWord(hwnd, GCW_ATOM);
  WindowRecord* record = WindowRecordOf(hwnd);
  LRESULT result = 0;

  switch (message) {
    case WM_PAINT: result = PaintWindow(hwnd, wParam, lParam); break;
    case WM_ERASEBKGND: result = EraseBackground(hwnd, wParam, lParam); break;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      // Controls colour themselves: the request goes back to the control.
      if (lParam != 0) return SendMessageA(reinterpret_cast<HWND>(lParam), 0x19, wParam, lParam);
      break;
    case WM_DRAWITEM:
      if (wParam != 0) {
        return SendMessageA(GetDlgItem(hwnd, static_cast<int>(wParam)), WM_DRAWITEM, wParam,
                            lParam);
      }
      break;
    default:
      if (record != nullptr) {
        // A runtime window closes only when its handler says so.
        if (message == WM_CLOSE) message = static_cast<UINT>(EVENT_CLOSE_REQUEST);
        if (message == WM_LBUTTONDOWN) {
          SetFocus(hwnd);
          SetActiveWindow(hwnd);
        }
        result = EventDispatch(record, message, wParam, lParam);
      } else if (CreatingRecord != nullptr) {
        CreatingRecord->hwnd = hwnd;
        result = EventDispatch(CreatingRecord, message, wParam, lParam);
      }
      break;
  }
  if (result != 0) return result;

  // The handler may have closed the window; the record found above stays valid storage.
  result = DefaultProcessing(hwnd, atom, record, message, wParam, lParam);

  if (message == WM_SETCURSOR && result == 0 && record != nullptr && LOWORD(lParam) == HTCLIENT &&
      reinterpret_cast<HWND>(wParam) == record->hwnd) {
    SetCursor(record->cursor);
  }
  return result;
}
