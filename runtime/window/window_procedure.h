// The window procedure shared by the runtime's classes.
#pragma once

#include "../../platform/win32.h"

LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
