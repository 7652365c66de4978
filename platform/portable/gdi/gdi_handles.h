// GDI's object table: every pen, brush, font, bitmap and device context lives in one slot and
// is named by a handle that encodes the slot and its generation, so a stale or forged handle
// is recognised and refused instead of followed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "../../win32.h"

namespace portable::gdi {

struct DeviceContext;

// Free and Parked first: one comparison tells a slot that no handle may reach. A parked slot
// holds a window DC kept for reuse.
enum class Kind : uint8_t { Free, Parked, Pen, Brush, Font, Bitmap, Dc };
inline constexpr size_t kKinds = 7;

struct BitmapData {
  int width = 0;
  int height = 0;
  int bitsPixel = 32;  // 1 for the default monochrome bitmap of a new memory DC
  std::vector<uint32_t> pixels;
  HDC owner = nullptr;  // the one DC that has it selected (now or in a saved state)
};

// One slot of the table. Pens, brushes and fonts keep their description in the slot itself, so
// making or deleting one touches no heap.
struct GdiObject {
  Kind kind = Kind::Free;
  bool stock = false;
  bool deletePending = false;  // DeleteObject came while selected: freed on last release
  uint16_t generation = 0;
  uint32_t refs = 0;      // selections in DCs, current and saved states
  uint32_t nextFree = 0;  // free slots: the next free slot's index + 1, 0 at the end
  uintptr_t handle = 0;   // the one handle that names this object now; 0 for free and parked
  union {
    LOGPEN pen;
    LOGBRUSH brush;
    LOGFONTA font{};
  };
  std::unique_ptr<BitmapData> bitmap;
  std::unique_ptr<DeviceContext> dc;
};

// Handle layout: bit 30 marks a GDI handle, bits 18-29 the slot's generation, bits 0-17 the
// slot index + 1.
inline constexpr uintptr_t kHandleTag = uintptr_t{1} << 30;
inline constexpr uintptr_t kIndexBits = 18;
inline constexpr uintptr_t kIndexMask = (uintptr_t{1} << kIndexBits) - 1;
inline constexpr uintptr_t kGenerationMask = 0xFFF;

// The slots, for the lookups below (every GDI call makes several, so they are inline): a
// plain array of the objects, which never move once made, with the list of free ones.
struct SlotView {
  GdiObject* const* base = nullptr;
  size_t count = 0;
  uint32_t freeHead = 0;     // the first free slot's index + 1; 0: none left (or no table yet)
  size_t live[kKinds] = {};  // objects per Kind, stock ones not counted
};
extern SlotView slotView;

inline HGDIOBJ EncodeHandle(size_t index, uint16_t generation) {
  uintptr_t value = kHandleTag | ((generation & kGenerationMask) << kIndexBits) | (index + 1);
  return reinterpret_cast<HGDIOBJ>(value);
}

// Makes the table (with the stock objects) or more slots, then an object; nullptr when the
// table is full.
HGDIOBJ AllocObjectSlow(Kind kind, GdiObject** out);
// Makes the table or more slots when none is free; false when the table is full.
bool MakeFreeSlots();
// Makes a new object of `kind` and returns its handle; nullptr when the table is full. The
// creator fills the payload its kind uses.
inline HGDIOBJ AllocObject(Kind kind, GdiObject** out) {
  const uint32_t head = slotView.freeHead;
  if (head == 0) [[unlikely]]
    return AllocObjectSlow(kind, out);
  GdiObject* obj = slotView.base[head - 1];
  slotView.freeHead = obj->nextFree;
  obj->kind = kind;
  obj->stock = false;
  obj->deletePending = false;
  obj->refs = 0;
  ++slotView.live[static_cast<size_t>(kind)];
  if (out) *out = obj;
  const HGDIOBJ handle = EncodeHandle(head - 1, obj->generation);
  obj->handle = reinterpret_cast<uintptr_t>(handle);
  return handle;
}

// Stock objects take the first slots, in the order the table makes them, and are never freed:
// their handles are known by their value alone.
inline constexpr uintptr_t kStockSlots = 17;
inline bool IsStockHandle(HGDIOBJ handle) {
  // The tag, generation 0 and an index below the first ordinary slot.
  return reinterpret_cast<uintptr_t>(handle) - (kHandleTag + 1) < kStockSlots;
}

// The live object behind `handle`, or nullptr. With a kind, objects of other kinds count as
// invalid too.
inline GdiObject* LookupObject(HGDIOBJ handle) {
  const uintptr_t v = reinterpret_cast<uintptr_t>(handle);
  // Index 0 wraps around and fails the bound check.
  const size_t index = (v & kIndexMask) - 1;
  if (index >= slotView.count) return nullptr;
  GdiObject* obj = slotView.base[index];
  // Tag, generation and liveness at once: free and parked slots answer to no handle.
  return obj->handle == v ? obj : nullptr;
}
inline GdiObject* LookupObject(HGDIOBJ handle, Kind kind) {
  GdiObject* obj = LookupObject(handle);
  return obj && obj->kind == kind ? obj : nullptr;
}
// The DC looked up last: a drawing bracket makes a score of calls on one DC in a row.
// FreeObject forgets it, so a stale handle never matches. When it remembers none, `handle` is
// null and so is `dc`: a null HDC finds no DC.
struct LastDc {
  uintptr_t handle = 0;
  DeviceContext* dc = nullptr;
};
extern LastDc lastDc;
inline void RememberDc(HDC handle, DeviceContext* dc) {
  lastDc = LastDc{reinterpret_cast<uintptr_t>(handle), dc};
}
inline void ForgetDc() { lastDc = LastDc{}; }

// Whether `dc` is the DC remembered last; `lastDc.dc` is then its record, or null for a null
// `dc`.
inline bool IsRememberedDc(HDC dc) { return reinterpret_cast<uintptr_t>(dc) == lastDc.handle; }

// Looks `dc` up in the table and remembers it.
DeviceContext* LookupDcSlow(HDC dc);
inline DeviceContext* LookupDc(HDC dc) {
  if (reinterpret_cast<uintptr_t>(dc) == lastDc.handle) [[likely]]
    return lastDc.dc;
  return LookupDcSlow(dc);
}
// Frees the slot now (no checks of references).
void FreeObject(HGDIOBJ handle);
// Frees a DC or bitmap, whose payloads go with it.
void FreeWithPayload(GdiObject* obj, HGDIOBJ handle);
// Frees the slot of an object already looked up by `handle`.
inline void FreeLookedUp(GdiObject* obj, HGDIOBJ handle) {
  if (obj->stock) return;
  if (obj->kind == Kind::Dc || obj->kind == Kind::Bitmap) {
    FreeWithPayload(obj, handle);
    return;
  }
  --slotView.live[static_cast<size_t>(obj->kind)];
  obj->kind = Kind::Free;
  obj->handle = 0;
  obj->refs = 0;
  obj->generation = static_cast<uint16_t>((obj->generation + 1) & kGenerationMask);
  obj->nextFree = slotView.freeHead;
  slotView.freeHead = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle) & kIndexMask);
}

// A DC starts or stops holding `handle` in its current or a saved state. Stock objects are
// never freed, so nothing needs to know who holds them.
inline void AddRefLookedUp(GdiObject* obj, HDC holder) {
  if (obj->stock) return;
  ++obj->refs;
  if (obj->kind == Kind::Bitmap) obj->bitmap->owner = holder;
}
void AddRefSlow(HGDIOBJ handle, HDC holder);
inline void AddRef(HGDIOBJ handle, HDC holder) {
  if (!IsStockHandle(handle)) AddRefSlow(handle, holder);
}
// Release(handle), then `handle` back: lets a caller end with it as a tail call.
HGDIOBJ ReleaseAndReturn(HGDIOBJ handle);
// The last holder let go: a bitmap loses its owner, a pending delete happens.
void ReleasedLast(GdiObject* obj, HGDIOBJ handle);
// Release of a handle known not to be stock.
inline void ReleaseCounted(HGDIOBJ handle) {
  GdiObject* obj = LookupObject(handle);
  if (!obj || obj->refs == 0) return;
  if (--obj->refs == 0 && (obj->deletePending || obj->kind == Kind::Bitmap)) [[unlikely]]
    ReleasedLast(obj, handle);
}
inline void Release(HGDIOBJ handle) {
  if (IsStockHandle(handle)) return;
  GdiObject* obj = LookupObject(handle);
  // Stock objects are never counted, so a count of 0 covers them too.
  if (!obj || obj->refs == 0) return;
  if (--obj->refs == 0 && (obj->deletePending || obj->kind == Kind::Bitmap)) [[unlikely]]
    ReleasedLast(obj, handle);
}

// Stock objects: made once, never freed. `index` as GetStockObject takes it.
HGDIOBJ StockObject(int index);
// The 1x1 monochrome bitmap every new memory DC starts with.
HBITMAP DefaultBitmap();

}  // namespace portable::gdi
