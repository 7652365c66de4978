// The real window of the Windows host, shared by the files that do its jobs: the window and its
// loops (real_window.cpp), showing pixels (window_pixels.cpp), and turning the system's input
// into the layer's (window_input.cpp).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "../system_link.h"
#include "held_keys.h"

namespace portable::win32 {

class SystemWindow final : public RealWindow {
 public:
  SystemWindow(WindowEvents* events, HWND parent);
  ~SystemWindow() override;

  bool Create(const WindowShape& shape, std::string* problem);
  LRESULT Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  void SetTitle(const std::string& title) override;
  void SetClientSize(int width, int height) override;
  void Present(const uint32_t* pixels, int width, int height, int stride,
               const std::vector<PlainRect>& rects) override;
  bool ParentClientSize(int* width, int* height) const override;
  void KeyMenu(int key) override;
  void EndSystemLoop() override;

 private:
  // Keys, mouse and wheel: true when `message` was one, with the procedure's answer.
  bool HandleInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  // Key-ups the system never sent, made up from its key state.
  void ReleaseStaleKeys();
  // The system's default procedure for a message that may hold the thread in a loop of the
  // system's; the layer's work goes on meanwhile from a timer of the real window.
  LRESULT DefaultInLoop(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void ArmLoopTimer(int ms);

  WindowEvents* events_;
  HWND parent_;
  HWND hwnd_ = nullptr;
  HDC dc_ = nullptr;  // the class keeps one DC per window
  BITMAPINFO info_{};
  HeldKeys heldKeys_;
  int wheel_ = 0;         // what is left of the wheel's turn below one notch
  int buttons_ = 0;       // the mouse buttons held, for the capture
  int loopDepth_ = 0;     // default procedures under way that may run a loop
  UINT loopTimerMs_ = 0;  // the loop timer's period, 0 when it is not running
  bool closing_ = false;
};

}  // namespace portable::win32
