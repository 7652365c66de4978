// Objects to delete once the context they are selected in has been restored.
#pragma once

#include "../../platform/win32.h"

// GDI objects that are still selected in a context that someone else restores later (a lent
// erase context, or the held context of an open drawing bracket) wait here until then.
// Defers deleting object until FlushDeferredDeletes(dc); returns false, deferring nothing, when
// no slot is free. An object deferred earlier for the same context is handed back in *replaced
// (the caller deletes it once it is no longer selected).
bool DeferDelete(HDC dc, HGDIOBJ object, HGDIOBJ* replaced);
// Deletes what was deferred for dc; call after dc has been restored.
void FlushDeferredDeletes(HDC dc);
