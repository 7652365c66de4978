// Painting and background erasing of runtime windows.
#pragma once

#include "window_record.h"

LRESULT PaintWindow(HWND hwnd, WPARAM wParam, LPARAM lParam);
LRESULT EraseBackground(HWND hwnd, WPARAM wParam, LPARAM lParam);
