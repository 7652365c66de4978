// Pens, colours and drawing primitives on a runtime window. Colour -1 means "no colour".
#pragma once

#include <cstdint>

#include "../window/window_record.h"

constexpr COLORREF NO_COLOUR = 0xFFFFFFFF;

int32_t DrawSetBackColor(WindowRecord* record, COLORREF colour);
int32_t DrawSetPenColor(WindowRecord* record, COLORREF colour);
int32_t DrawMoveTo(WindowRecord* record, int32_t x, int32_t y);
int32_t DrawPoint(WindowRecord* record, int32_t x, int32_t y, COLORREF colour);
int32_t DrawRect(WindowRecord* record, int32_t x, int32_t y, int32_t width, int32_t height,
                 COLORREF outline, COLORREF fill);
int32_t DrawClear(WindowRecord* record, COLORREF colour);
