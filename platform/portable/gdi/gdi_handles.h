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

enum class Kind : uint8_t { Free, Pen, Brush, Font, Bitmap, Dc };

struct BitmapData {
  int width = 0;
  int height = 0;
  int bitsPixel = 32;  // 1 for the default monochrome bitmap of a new memory DC
  std::vector<uint32_t> pixels;
  HDC owner = nullptr;  // the one DC that has it selected (now or in a saved state)
};

struct GdiObject {
  Kind kind = Kind::Free;
  uint16_t generation = 0;
  bool stock = false;
  bool deletePending = false;  // DeleteObject came while selected: freed on last release
  uint32_t refs = 0;           // selections in DCs, current and saved states
  LOGPEN pen{};
  LOGBRUSH brush{};
  LOGFONTA font{};
  std::unique_ptr<BitmapData> bitmap;
  std::unique_ptr<DeviceContext> dc;
};

// Makes a new object of `kind` and returns its handle; nullptr when the table is full.
HGDIOBJ AllocObject(Kind kind, GdiObject** out);

// Handle layout: bit 30 marks a GDI handle, bits 18-29 the slot's generation, bits 0-17 the
// slot index + 1.
inline constexpr uintptr_t kHandleTag = uintptr_t{1} << 30;
inline constexpr uintptr_t kIndexBits = 18;
inline constexpr uintptr_t kIndexMask = (uintptr_t{1} << kIndexBits) - 1;
inline constexpr uintptr_t kGenerationMask = 0xFFF;

// The slots, for the lookups below (every GDI call makes several, so they are inline): a
// plain array of the objects, which never move once made.
struct SlotView {
  GdiObject* const* base = nullptr;
  size_t count = 0;
};
extern SlotView slotView;

// The live object behind `handle`, or nullptr. With a kind, objects of other kinds count as
// invalid too.
inline GdiObject* LookupObject(HGDIOBJ handle) {
  uintptr_t v = reinterpret_cast<uintptr_t>(handle);
  // The tag bit set and nothing above it.
  if ((v >> 30) != 1) return nullptr;
  // Index 0 wraps around and fails the bound check.
  size_t index = (v & kIndexMask) - 1;
  if (index >= slotView.count) return nullptr;
  GdiObject* obj = slotView.base[index];
  if (obj->kind == Kind::Free || obj->generation != ((v >> kIndexBits) & kGenerationMask))
    return nullptr;
  return obj;
}
inline GdiObject* LookupObject(HGDIOBJ handle, Kind kind) {
  GdiObject* obj = LookupObject(handle);
  return obj && obj->kind == kind ? obj : nullptr;
}
// The DC looked up last: a drawing bracket makes a score of calls on one DC in a row.
// FreeObject forgets it, so a stale handle never matches.
struct LastDc {
  HDC handle = nullptr;
  DeviceContext* dc = nullptr;
};
extern LastDc lastDc;

inline DeviceContext* LookupDc(HDC dc) {
  if (dc == lastDc.handle) return lastDc.dc;
  GdiObject* obj = LookupObject(dc, Kind::Dc);
  if (!obj) return nullptr;
  lastDc = LastDc{dc, obj->dc.get()};
  return lastDc.dc;
}
// Frees the slot now (no checks of references).
void FreeObject(HGDIOBJ handle);
// The same for an object already looked up by `handle`.
void FreeLookedUp(GdiObject* obj, HGDIOBJ handle);

// A DC starts or stops holding `handle` in its current or a saved state. Stock objects are
// never freed, so nothing needs to know who holds them.
inline void AddRefLookedUp(GdiObject* obj, HDC holder) {
  if (obj->stock) return;
  ++obj->refs;
  if (obj->kind == Kind::Bitmap) obj->bitmap->owner = holder;
}
inline void AddRef(HGDIOBJ handle, HDC holder) {
  if (GdiObject* obj = LookupObject(handle)) AddRefLookedUp(obj, holder);
}
// The last holder let go: a bitmap loses its owner, a pending delete happens.
void ReleasedLast(GdiObject* obj, HGDIOBJ handle);
inline void Release(HGDIOBJ handle) {
  GdiObject* obj = LookupObject(handle);
  if (!obj || obj->stock || obj->refs == 0) return;
  if (--obj->refs == 0) ReleasedLast(obj, handle);
}

// Stock objects: made once, never freed. `index` as GetStockObject takes it.
HGDIOBJ StockObject(int index);
// The 1x1 monochrome bitmap every new memory DC starts with.
HBITMAP DefaultBitmap();

}  // namespace portable::gdi
