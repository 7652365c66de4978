// The window manager's private state: classes, windows and the tree they form. Shared by the
// files of user/ only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "../../win32.h"

namespace portable::user {

struct WindowClass {
  std::string name;
  ATOM atom = 0;
  UINT style = 0;
  WNDPROC proc = nullptr;
  int wndExtra = 0;
  std::vector<uint8_t> classExtra;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HICON iconSmall = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  bool system = false;
  int windows = 0;  // live windows of the class: it cannot be unregistered while any exist
};

struct Window {
  HWND handle = nullptr;
  std::shared_ptr<WindowClass> cls;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  std::string title;
  HWND parent = nullptr;        // nullptr for a top-level window
  std::vector<HWND> children;   // z-order, topmost first
  RECT windowRect{};            // parent's client coordinates (screen for a top-level window)
  RECT clientRect{};            // the same coordinates
  LONG_PTR id = 0;
  LONG_PTR userData = 0;
  HMENU menu = nullptr;         // menu bar of a top-level window
  HINSTANCE instance = nullptr;
  std::vector<uint8_t> extra;

  // Update region, kept as its bounding box in client coordinates.
  bool updatePending = false;
  RECT updateBox{};
  bool erasePending = false;
  bool delayedErase = false;    // erased early but the procedure declined: fErase stays TRUE
  bool ncPaintPending = false;

  bool destroying = false;
  bool dead = false;
  bool minimized = false;
  bool maximized = false;
  RECT normalRect{};            // restored position while minimised or maximised

  // Framebuffer of a top-level window: its client area.
  std::vector<uint32_t> pixels;
  int fbWidth = 0;
  int fbHeight = 0;
  bool hostKnows = false;

  // MDI client data.
  HMENU mdiWindowMenu = nullptr;
  UINT mdiFirstChild = 0;
  HWND mdiActive = nullptr;

  // Last left-button press, for double clicks.
  int lastClickButton = -1;
  uint64_t lastClickTime = 0;
  POINT lastClickPoint{};
};

struct UserState {
  std::unordered_map<HWND, std::shared_ptr<Window>> windows;
  std::vector<HWND> topLevels;  // z-order, topmost first
  uintptr_t nextHandle = 0x10020;
  HWND active = nullptr;
  HWND focus = nullptr;
  int paintPending = 0;         // windows whose update region is not empty
  uint64_t layoutGeneration = 1;  // see LayoutChanged
  // The window Peek found last: every drawing call looks its window up several times.
  // Forgotten before a window leaves `windows`.
  HWND lastPeeked = nullptr;
  Window* lastPeekedWindow = nullptr;
};

UserState& State();

// A live window (creation may still be running, destruction not yet finished), or nullptr
// with ERROR_INVALID_WINDOW_HANDLE set.
Window* LookUp(HWND hwnd);
// Same, without touching the last error.
Window* Peek(HWND hwnd);
// Keeps a window object alive across a call into a window procedure.
std::shared_ptr<Window> Hold(HWND hwnd);

// Calls the window's procedure (the window stays alive for the call).
LRESULT CallProcedure(Window& w, UINT msg, WPARAM wParam, LPARAM lParam);

// The siblings list that holds `w` (its parent's children, or the top-level list).
std::vector<HWND>& Siblings(const Window& w);
Window* RootOf(Window* w);
bool IsDescendant(HWND ancestor, HWND hwnd);
// Descendants in enumeration order: each child, then its own descendants.
void CollectDescendants(const Window& w, std::vector<HWND>& out);

// Client (0, 0) of `w` in screen coordinates.
POINT ClientOriginOnScreen(const Window& w);
// The screen point of a parent-client coordinate system (nullptr parent = screen).
POINT ParentClientOrigin(const Window& w);
bool VisibleChain(const Window& w);

// Non-client sizes of a style: how far the client area lies inside the window rectangle.
RECT FrameInsets(DWORD style, DWORD exStyle);

// Update region bookkeeping.
void SetUpdate(Window& w, const RECT& clientBox, bool erase);
void ClearUpdate(Window& w);
void InvalidateTree(Window& w, const RECT* clientRect, bool erase, bool allChildren);
// Sends WM_NCPAINT and WM_ERASEBKGND now when they are pending (window shown).
void EraseNow(Window& w);

// A window's rectangles, style, place among its siblings, framebuffer or existence changed:
// what GDI worked out about drawable areas is stale. Called right after each such change.
inline void LayoutChanged() { ++State().layoutGeneration; }
// Framebuffer of a top-level window follows its client size.
void SyncFramebuffer(Window& w);

// DestroyWindow's work; a failed WM_NCCREATE destroys without WM_DESTROY.
BOOL DestroyImpl(HWND hwnd, bool sendDestroy);

// Window teardown pieces owned by other files.
void KillWindowTimers(HWND hwnd);
void DropQueuedMessages(HWND hwnd);
void DestroyMenuTree(HMENU menu);
bool MenuIsValid(HMENU menu);

// Geometry (window_pos.cpp): the size limits Windows asks the window for, and the rectangle
// and SetWindowPos flags of a minimise, maximise or restore (SW_MINIMIZE, SW_MAXIMIZE, SW_RESTORE).
MINMAXINFO MinMaxFor(Window& w);
UINT MinMaximize(Window& w, int cmd, RECT* newRect);
void SendParentNotify(Window& w, UINT event);

void StoreWindowText(Window& w, LPCSTR text);

// Activation and focus (activation.cpp).
HWND ActivateWindow(HWND hwnd, bool byMouse);
void ActivateOtherWindow(HWND leaving);
void FocusLeaving(Window& w);

// System metrics helpers.
SIZE ScreenSize();
int Metric(int index);

// Class lookup by name or atom; registers the system classes on first use.
std::shared_ptr<WindowClass> FindClass(LPCSTR nameOrAtom);

// MDI pieces used by creation (mdi.cpp).
bool IsMdiClient(const Window& w);
void MdiChildCreated(Window& client, HWND child);
void MdiChildGone(Window& client, HWND child);

// Message queue pieces (message_queue.cpp, timers.cpp, paint.cpp, input.cpp).
// A message as the queue hands it out now: the time and the cursor position filled in.
MSG StampMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
bool PostInput(const MSG& msg);
bool QueueEmptyOfInput();
POINT CursorPos();
void SetCursorPos(POINT screen);
bool TimerDue(uint64_t now);
bool TakeDueTimer(HWND filter, UINT first, UINT last, bool remove, MSG* out);
bool NextTimerExpiry(uint64_t* when);
bool TimerProcRegistered(HWND hwnd, UINT_PTR id, TIMERPROC proc);
HWND FindPaintWindow(HWND filter);
bool HwndFilterMatches(HWND filter, HWND hwnd);
bool RangeMatches(UINT msg, UINT first, UINT last);
HCURSOR ArrowCursor();

// Current time in ms on the host's clock, and GetTickCount's value for it.
uint64_t NowMs();
DWORD TickFor(uint64_t ms);

}  // namespace portable::user
