// How a host hands input to the layer. Each call queues what Windows would queue for the
// event (or sends it, where Windows sends) at the current clock time.
#pragma once

#include "../../win32.h"

namespace portable {

// A key went down (repeat: auto-repeat of a held key) or up. Goes to the focus window, or the
// active window when nothing has the focus. Alt (VK_MENU held) makes system-key messages.
void InjectKey(UINT virtualKey, bool down, bool repeat = false);

// Mouse button 0 = left, 1 = right, 2 = middle, at client (x, y) of top-level `hwnd`;
// delivered to the deepest visible child under the point.
void InjectMouseButton(HWND hwnd, int button, bool down, int x, int y);
void InjectMouseMove(HWND hwnd, int x, int y);

// One WM_MOUSEWHEEL: wheel delta `delta` (120 per notch) with the key-state flags `keys`
// (MK_*) in the low word, to the focus window (or `hwnd`).
void InjectWheel(HWND hwnd, int delta, WORD keys, int x, int y);

// The close button of top-level `hwnd`: WM_SYSCOMMAND SC_CLOSE, which DefWindowProc turns into
// WM_CLOSE.
void InjectClose(HWND hwnd);

// The user resized top-level `hwnd` to this outer size.
void InjectResize(HWND hwnd, int width, int height);

// Part of the client area of `hwnd` was uncovered: invalidate it with erasing.
void InjectExpose(HWND hwnd, const RECT* clientRect);

// Current state of the modifier keys and buttons, as the host last reported them.
WORD CurrentKeyStateFlags();

}  // namespace portable
