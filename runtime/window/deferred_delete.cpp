// Objects to delete once the context they are selected in has been restored.
#include "deferred_delete.h"

namespace {

struct DeferredObject {
  HDC dc;
  HGDIOBJ object;
};

// One entry per context at most, and contexts nest only as deep as erases and brackets do.
constexpr int DEFERRED_SLOTS = 16;
DeferredObject deferred[DEFERRED_SLOTS] = {};

}  // namespace

bool DeferDelete(HDC dc, HGDIOBJ object, HGDIOBJ* replaced) {
  if (replaced != nullptr) *replaced = nullptr;
  if (dc == nullptr || object == nullptr) return false;
  DeferredObject* freeSlot = nullptr;
  for (DeferredObject& slot : deferred) {
    if (slot.dc == dc) {
      if (replaced != nullptr) *replaced = slot.object;
      slot.object = object;
      return true;
    }
    if (slot.dc == nullptr && freeSlot == nullptr) freeSlot = &slot;
  }
  if (freeSlot == nullptr) return false;
  freeSlot->dc = dc;
  freeSlot->object = object;
  return true;
}

void FlushDeferredDeletes(HDC dc) {
  if (dc == nullptr) return;
  for (DeferredObject& slot : deferred) {
    if (slot.dc == dc) {
      DeleteObject(slot.object);
      slot = DeferredObject{};
    }
  }
}
