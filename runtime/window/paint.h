// Painting and background erasing of runtime windows.
#pragma once

#include "window_record.h"

LRESULT PaintWindow(HWND hwnd, WPARAM wParam, LPARAM lParam);
LRESULT EraseBackground(HWND hwnd, WPARAM wParam, LPARAM lParam);

// GDI objects that are still selected in a context that someone else restores later (a lent
// erase context, or the held context of an open drawing bracket) wait here until then.
// Defers deleting object until FlushDeferredDeletes(dc); returns false, deferring nothing, when
// no slot is free. An object deferred earlier for the same context is handed back in *replaced
// (the caller deletes it once it is no longer selected).
bool DeferDelete(HDC dc, HGDIOBJ object, HGDIOBJ* replaced);
// Deletes what was deferred for dc; call after dc has been restored.
void FlushDeferredDeletes(HDC dc);
