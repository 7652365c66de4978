// The interface between our Win32 layer and whatever shows it: a real window through SDL2
// (host_sdl) or nothing at all, with a virtual clock and scripted input (host_headless).
// The layer calls the host; the host feeds input back through portable/input.h.
#pragma once

#include <cstdint>
#include <optional>

#include "../../win32.h"
#include "clock.h"

namespace portable {

class Host {
 public:
  virtual ~Host() = default;

  virtual Clock& GetClock() = 0;

  // Value GetTickCount returns when the clock reads 0.
  virtual uint32_t TickBase() const { return 0; }

  // Screen size reported by GetSystemMetrics(SM_CXSCREEN / SM_CYSCREEN).
  virtual SIZE ScreenSize() const = 0;

  // A host shown through real Windows windows answers GetSystemMetrics with the system's own
  // figures, so that frames, captions and screens measure what the real ones do. Others leave
  // the layer's own (Windows 10 at 96 DPI).
  virtual std::optional<int> SystemMetric(int /*index*/) const { return std::nullopt; }
  // Likewise the frame and caption around a client area of a window of this style, as
  // AdjustWindowRectEx (without a menu) measures them: left, top, right and bottom widths.
  virtual std::optional<RECT> FrameInsets(DWORD /*style*/, DWORD /*exStyle*/) const {
    return std::nullopt;
  }

  // Moves pending host input into the message queue without blocking.
  virtual void PollInput() = 0;

  // WaitMessage with an empty queue: block until input has been queued or the clock has
  // reached `deadlineMs` (the next timer; none when no timer runs).
  virtual void WaitForInput(std::optional<uint64_t> deadlineMs) = 0;

  // A top-level window appeared, changed its client size, or went away.
  virtual void TopLevelCreated(HWND hwnd, int clientWidth, int clientHeight) = 0;
  virtual void TopLevelResized(HWND hwnd, int clientWidth, int clientHeight) = 0;
  virtual void TopLevelDestroyed(HWND hwnd) = 0;
  // The title of a top-level window was set.
  virtual void TopLevelTitle(HWND /*hwnd*/, const char* /*title*/) {}

  // Pixels of a top-level window's framebuffer changed inside `rect` (framebuffer
  // coordinates, which are the top-level window's client coordinates).
  virtual void PixelsChanged(HWND topLevel, const RECT& rect) = 0;

  // A text was drawn into a window's client area at client (x, y).
  virtual void TextDrawn(HWND /*hwnd*/, int /*x*/, int /*y*/, const char* /*text*/,
                         int /*length*/) {}

  // The window menu of top-level `hwnd` was asked for from the keyboard (`key` ' ' for
  // Alt+Space). A host showing the window in a real one opens the real one's, and returns when
  // the user is done with it; others have none.
  virtual void KeyMenu(HWND /*hwnd*/, int /*key*/) {}

  // ExitProcess was called: the host finishes its work before the process ends.
  virtual void ProcessExiting(UINT /*exitCode*/) {}
};

// The host the layer talks to. Until one is installed, a default headless host with a
// virtual clock and a 1024x768 screen serves (so unit tests need no set-up).
Host& CurrentHost();
// Installs `host` (not owned); nullptr goes back to the default.
void SetHost(Host* host);

}  // namespace portable
