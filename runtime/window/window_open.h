// Registering the runtime's window classes and opening a window into a caller's record.
#pragma once

#include <cstdint>

#include "window_record.h"

int32_t WindowClassesRegister();
int32_t WindowOpen(WindowRecord* record, int32_t x, int32_t y, int32_t width, int32_t height,
                   uint32_t flags, WindowRecord* parent, const char* title, WindowHandler handler);
int32_t WindowClientSize(WindowRecord* record, int32_t* left, int32_t* top, int32_t* width,
                         int32_t* height);
int32_t ScreenSize(int32_t* width, int32_t* height);
int32_t FillRectColor(HDC dc, int32_t x, int32_t y, int32_t width, int32_t height, COLORREF colour);
