// What the two halves of the Windows host exchange. The host itself (win32_host.cpp) sees our
// layer's Win32 declarations; the files in system/ see the system's <windows.h>. Between them
// pass only plain types (numbers, pixels, rectangles of four int32s, strings), so neither side's
// names reach the other. Style bits and virtual keys are Windows' own numbers on both sides.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "../../plain_rect.h"

namespace portable::win32 {

// What happens to a real window, told in the layer's terms. Client coordinates throughout.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  virtual void Key(uint32_t virtualKey, bool down, bool repeat) = 0;
  // button: 0 left, 1 right, 2 middle.
  virtual void MouseButton(int button, bool down, int x, int y) = 0;
  virtual void MouseMove(int x, int y) = 0;
  // One notch: +120 forward, -120 back.
  virtual void WheelNotch(int delta, int x, int y) = 0;
  // The close button, the system menu's Close, or a WM_CLOSE from another program.
  virtual void CloseRequested() = 0;
  virtual void Resized(int clientWidth, int clientHeight) = 0;
  // Part of the window must be drawn again.
  virtual void Exposed(const PlainRect& clientRect) = 0;
  // The program became the active one, or stopped being it (keys held now never come up).
  virtual void Activated(bool active) = 0;
  // The window went away without being asked to (its parent was destroyed).
  virtual void Lost() = 0;
  // Asked whenever the cursor is over the client area.
  virtual bool CursorHidden() = 0;
  // The system runs a loop of its own for the window (moving, sizing, a menu, a caption button
  // held), which reads the system's queue itself until it ends.
  virtual void SystemLoop(bool running) = 0;
  // From inside such a loop, when the time the last call asked for has come: the layer's due
  // work (its timers, the input it was given, a picture). Milliseconds until more is due.
  virtual int DueWork() = 0;
};

struct WindowShape {
  std::string title;      // Windows-1252
  std::string className;  // our window's class name, which the real one takes too
  uint32_t style = 0;     // WS_* bits of our window; the frame and caption follow them
  uint32_t exStyle = 0;   // WS_EX_* bits of our window
  PlainRect client;       // where our window's client area lies on the screen
  // A real window to live in as a child filling its client area (a saver's preview), or 0.
  uintptr_t parent = 0;
};

// One real window showing a framebuffer of 0x00RRGGBB pixels.
class RealWindow {
 public:
  virtual ~RealWindow() = default;
  virtual void SetTitle(const std::string& title) = 0;
  // Gives the client area this size unless it has it already.
  virtual void SetClientSize(int width, int height) = 0;
  // Copies `rects` of the framebuffer (rows `stride` pixels apart) to the same place in the
  // client area.
  virtual void Present(const uint32_t* pixels, int width, int height, int stride,
                       const std::vector<PlainRect>& rects) = 0;
  // The client size of the parent a child window fills; false when it is gone.
  virtual bool ParentClientSize(int* width, int* height) const = 0;
  // The window menu asked for from the keyboard (Alt+Space, `key` ' '), as the system's default
  // procedure opens it: returns when its loop ends.
  virtual void KeyMenu(int key) = 0;
  // Our window went away while a loop of the system's runs for the real one: the loop is asked
  // to end, and the real window goes when it has.
  virtual void EndSystemLoop() = 0;
};

// Opens the window, shown and active (a child: shown). Null, with one line in *problem, when the
// system refuses.
std::unique_ptr<RealWindow> OpenRealWindow(const WindowShape& shape, WindowEvents* events,
                                           std::string* problem);

// The system's clocks: QueryPerformanceCounter in microseconds, and GetTickCount.
uint64_t CounterMicroseconds();
uint32_t SystemTickCount();
void SleepMilliseconds(uint32_t ms);
// GetSystemMetrics: the frame and caption sizes, the screens.
int32_t SystemMetric(int index);
// The widths AdjustWindowRectEx (no menu) puts around a client area of a window of this style.
PlainRect FrameInsets(uint32_t style, uint32_t exStyle);

struct DisplayInfo {
  int32_t width = 0;  // the primary monitor, as SM_CXSCREEN and SM_CYSCREEN give it
  int32_t height = 0;
  int32_t refreshHz = 0;  // 0 when unknown
};
DisplayInfo QueryDisplay();

// Hands the system messages waiting when it is called to their windows (whose events reach
// their WindowEvents); what arrives meanwhile waits for the next call.
void DispatchSystemMessages();
// Waits until a system message arrives or `timeoutMs` passes (negative: no limit). True when
// the queue holds something (returning at once if it already did), false when the time ran out.
bool WaitForSystemMessage(int timeoutMs);

// The client size of a real window of another program (either pointer may be null); false
// when the handle names none.
bool RealClientSize(uintptr_t window, int* width, int* height);

}  // namespace portable::win32
