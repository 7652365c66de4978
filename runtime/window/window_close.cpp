// Closing a runtime window, and freeing the dialog records' data at shutdown.
#include "window_close.h"

#include "../core/global_lists.h"
#include "deferred_delete.h"

namespace {

// Records whose WindowClose is destroying their window: a handler that closes again while it
// receives WM_DESTROY must not destroy the window a second time.
struct ClosingRecord {
  const WindowRecord* record;
  const ClosingRecord* outer;
};
const ClosingRecord* closing = nullptr;

bool IsClosing(const WindowRecord* record) {
  for (const ClosingRecord* entry = closing; entry != nullptr; entry = entry->outer) {
    if (entry->record == record) return true;
  }
  return false;
}

template <typename Handle>
void DeleteAndClear(Handle& object) {
  if (object != nullptr) DeleteObject(object);
  object = nullptr;
}

// A drawing bracket still open on the window would keep its context, and the record's objects
// selected in it, for ever: the release that would free them does nothing on a closed record.
void EndOpenBracket(WindowRecord* record) {
  HDC held = record->heldContext;
  if (held == nullptr) return;
  RestoreDC(held, -1);
  FlushDeferredDeletes(held);
  if (record->hasBacking) {
    DeleteDC(held);
  } else {
    ReleaseDC(record->hwnd, held);
  }
  record->heldContext = nullptr;
  record->holdCount = 0;
}

// Item chain of a dialog's data: the chain head is the data's first field.
struct DialogItem {
  DialogItem* next;
  uint32_t kind;
  uint32_t id;
  void* attached;
};
struct DialogData {
  DialogItem* firstItem;
};

}  // namespace

int32_t WindowClose(WindowRecord* record) {
  if (record == nullptr || record->isDialog || record->hwnd == nullptr) return 0;
  if (IsClosing(record)) return 0;
  ClosingRecord entry{record, closing};
  closing = &entry;

  HWND hwnd = record->hwnd;
  EndOpenBracket(record);
  HWND parent = GetParent(hwnd);
  ATOM parentAtom = parent != nullptr ? GetClassWord(parent, GCW_ATOM) : 0;
  if (parentAtom != 0 && parentAtom == MdiClientAtom) {
    SendMessageA(parent, WM_MDIDESTROY, reinterpret_cast<WPARAM>(hwnd), 0);
  } else {
    DestroyWindow(hwnd);
  }
  closing = entry.outer;

  record->hwnd = nullptr;
  // Cleared as well as deleted, so that a reopened record holds no stale handles.
  DeleteAndClear(record->backingBitmap);
  DeleteAndClear(record->pen);
  DeleteAndClear(record->font);
  return 0;
}

int32_t WindowRegistryFree() {
  WindowRegistryNode* node = WindowRegistry;
  while (node != nullptr) {
    WindowRecord* record = node->record;
    if (record != nullptr && record->dialogData != nullptr) {
      DialogData* data = static_cast<DialogData*>(record->dialogData);
      DialogItem* item = data->firstItem;
      while (item != nullptr) {
        DialogItem* next = item->next;
        if (item->attached != nullptr) GlobalBlockFree(item->attached);
        GlobalBlockFree(item);
        item = next;
      }
      GlobalBlockFree(data);
      record->dialogData = nullptr;
    }
    WindowRegistryNode* next = node->next;
    GlobalBlockFree(node);
    node = next;
  }
  // Nothing may walk the freed nodes again.
  WindowRegistry = nullptr;
  return 0;
}
