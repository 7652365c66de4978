#include "saver.h"

#include "../runtime/window/pump.h"
#include "../runtime/window/window_close.h"
#include "../runtime/window/event_dispatch.h"
#include "handler.h"
#include "startup.h"
#include "state.h"

namespace {

// The newest mouse message, the horizontal wheel (WM_MOUSEHWHEEL), after the X buttons.
constexpr int32_t LAST_MOUSE_MESSAGE = 0x020E;
constexpr int32_t X_BUTTON_DOWN = 0x020B;
// WM_SYSCOMMAND asking for the screen saver (SC_SCREENSAVE).
constexpr WPARAM SYSTEM_COMMAND_SCREENSAVE = 0xF140;

constexpr uint32_t SAVER_FLAGS = OPEN_DIRECT | OPEN_NO_CAPTION;

SaverPlan activePlan;
// Set before the saver closes its own window, so that the destruction is not taken for one
// done from outside.
bool ending = false;
// The window was destroyed by someone else (its parent went away).
bool windowLost = false;
// A close asked for while the window is still being made waits until it is made, so the
// saver ends as asked rather than as a window that failed to open.
bool opening = false;
bool closeAfterOpen = false;
bool referenceKnown = false;
POINT reference{0, 0};

void endSaver() {
  if (ending) return;
  ending = true;
  WindowClose(&mainWindow);
}

bool isInput(int32_t id) {
  return (id >= WM_KEYFIRST && id <= WM_KEYLAST) ||
         (id >= WM_MOUSEFIRST && id <= LAST_MOUSE_MESSAGE);
}

// Where the mouse of the current WM_MOUSEMOVE is, in screen coordinates.
POINT eventCursor() {
  POINT p{static_cast<int16_t>(CurrentEvent.mouseX), static_cast<int16_t>(CurrentEvent.mouseY)};
  if (mainWindow.hwnd != nullptr) ClientToScreen(mainWindow.hwnd, &p);
  return p;
}

bool movedTooFar() {
  const POINT p = eventCursor();
  if (!referenceKnown) {
    reference = p;
    referenceKnown = true;
    return false;
  }
  const int64_t dx = static_cast<int64_t>(p.x) - reference.x;
  const int64_t dy = static_cast<int64_t>(p.y) - reference.y;
  return dx * dx + dy * dy > static_cast<int64_t>(SAVER_MOVE_LIMIT) * SAVER_MOVE_LIMIT;
}

bool endsTheSaver(int32_t id, WPARAM wParam, bool onDeactivation) {
  switch (id) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case X_BUTTON_DOWN:
    case WM_MOUSEWHEEL:
    case LAST_MOUSE_MESSAGE: return true;
    case WM_MOUSEMOVE: return movedTooFar();
    case WM_ACTIVATEAPP: return onDeactivation && wParam == FALSE;
    case WM_ACTIVATE: return onDeactivation && LOWORD(wParam) == WA_INACTIVE;
    default: return false;
  }
}

// A thread timer, not one of the window's: when the parent's process dies, the system may
// take the parent and our window with it without a word, and the window's timers with them.
constexpr UINT PARENT_WATCH_PERIOD = 250;
UINT_PTR parentWatch = 0;
// A window timer of the saver's, beside the animation's timers 1 and 2: the group's state is
// looked at this often.
constexpr UINT_PTR GROUP_WATCH_TIMER = 0x5347;
constexpr UINT GROUP_WATCH_PERIOD = 100;

void stopParentWatch() {
  if (parentWatch != 0) KillTimer(nullptr, parentWatch);
  parentWatch = 0;
}

// A preview ends with the window it lives in, and keeps filling its client area.
void CALLBACK watchParent(HWND, UINT, UINT_PTR, DWORD) {
  if (ending || windowLost || mainWindow.hwnd == nullptr) return;
  if (!IsWindow(mainWindow.hwnd)) {
    stopParentWatch();
    windowLost = true;
    PostQuitMessage(0);
    return;
  }
  HWND parent = activePlan.parent;
  if (!IsWindow(parent)) {
    endSaver();
    return;
  }
  RECT client{};
  if (!GetClientRect(parent, &client)) return;
  if (client.right != clientWidth || client.bottom != clientHeight) {
    MoveWindow(mainWindow.hwnd, 0, 0, client.right, client.bottom, TRUE);
  }
}

}  // namespace

SaverPlan fullScreenPlan(const RECT& screen) {
  SaverPlan plan;
  plan.x = screen.left;
  plan.y = screen.top;
  plan.width = screen.right - screen.left;
  plan.height = screen.bottom - screen.top;
  plan.flags = SAVER_FLAGS | OPEN_TOPMOST | OPEN_TOOL_WINDOW;
  plan.input = SaverInput::EndOnAny;
  return plan;
}

SaverPlan previewPlan(HWND parent, int32_t width, int32_t height) {
  SaverPlan plan;
  plan.width = width;
  plan.height = height;
  plan.flags = SAVER_FLAGS;
  plan.parent = parent;
  plan.input = SaverInput::Ignored;
  return plan;
}

SaverPlan windowPlan(int32_t width, int32_t height, SaverInput input) {
  SaverPlan plan;
  plan.width = width;
  plan.height = height;
  plan.flags = SAVER_FLAGS;
  plan.input = input;
  return plan;
}

int32_t saverHandleEvent() {
  const int32_t id = CurrentEvent.eventId;
  const WPARAM wParam = CurrentEvent.param1;
  const SaverInput mode = activePlan.input;
  const bool endsOnInput = mode == SaverInput::EndOnAny || mode == SaverInput::EndOnInput;
  if (endsOnInput && endsTheSaver(id, wParam, mode == SaverInput::EndOnAny)) {
    endSaver();
    return 0;
  }
  if (id == WM_TIMER && wParam == GROUP_WATCH_TIMER) {
    if (activePlan.group.ended != nullptr && activePlan.group.ended()) endSaver();
    return 0;
  }
  if (isInput(id)) {
    if (mode == SaverInput::EndOnEscape && id == WM_KEYDOWN && wParam == VK_ESCAPE) endSaver();
    return 0;
  }
  switch (id) {
    case WM_SYSCOMMAND:
      // Already the screen saver: starting it again would only stack a second one on top.
      if ((wParam & 0xFFF0) == SYSTEM_COMMAND_SCREENSAVE) return 1;
      break;
    case EVENT_CLOSE_REQUEST:
      if (opening) {
        closeAfterOpen = true;
        return 1;
      }
      ending = true;
      break;
    case WM_DESTROY:
      stopParentWatch();
      if (!ending) {
        // Destroyed from outside: wake the loop, which finds the window gone.
        windowLost = true;
        PostQuitMessage(0);
      }
      break;
    default: break;
  }
  return handleEvent();
}

bool saverOpen(const SaverPlan& plan) {
  stopParentWatch();
  activePlan = plan;
  ending = false;
  windowLost = false;
  referenceKnown = false;
  statusLinesShown = 0;
  // The runtime needs only the handle of a parent: a record holding nothing else serves.
  WindowRecord parentRecord{};
  parentRecord.hwnd = plan.parent;
  opening = true;
  closeAfterOpen = false;
  openMainWindowAt(plan.x, plan.y, plan.width, plan.height, plan.flags,
                   plan.parent != nullptr ? &parentRecord : nullptr, saverHandleEvent);
  opening = false;
  if (mainWindow.hwnd == nullptr) return false;
  if (closeAfterOpen) {
    endSaver();
    return true;
  }
  if (plan.input == SaverInput::EndOnAny || plan.input == SaverInput::EndOnInput) {
    mainWindow.cursor = nullptr;
    SetCursor(nullptr);
  }
  if (plan.group.ended != nullptr)
    SetTimer(mainWindow.hwnd, GROUP_WATCH_TIMER, GROUP_WATCH_PERIOD, nullptr);
  if (plan.parent != nullptr) parentWatch = SetTimer(nullptr, 0, PARENT_WATCH_PERIOD, watchParent);
  return true;
}

void saverRun() {
  while (mainWindow.hwnd != nullptr && !windowLost) PumpMessages(PUMP_WAIT);
  stopParentWatch();
  if (windowLost) {
    // The wake-up call has done its work; the record still holds the window's objects.
    MSG message{};
    while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    WindowClose(&mainWindow);
    windowLost = false;
  }
}

void applySaverSettings(const SaverSettings& settings) {
  if (settings.curves >= SAVER_CURVES_LOW && settings.curves <= SAVER_CURVES_HIGH) {
    lastCurve = settings.curves - 1;
  }
  if (settings.speed >= SAVER_SPEED_LOW && settings.speed <= SAVER_SPEED_HIGH) {
    speed = settings.speed;
  }
}

void SaverMain(const SaverPlan& plan, const SaverSettings& settings) {
  prepareApplication();
  applySaverSettings(settings);
  if (!saverOpen(plan)) {
    if (plan.group.closed != nullptr) plan.group.closed();
    // A preview whose parent went away while it was being made has ended with it.
    const bool parentGone = plan.parent != nullptr && !IsWindow(plan.parent);
    shutDown(parentGone ? 0 : 2);
  }
  if (plan.group.opened != nullptr) plan.group.opened();
  saverRun();
  if (plan.group.closed != nullptr) plan.group.closed();
  shutDown(0);
}
