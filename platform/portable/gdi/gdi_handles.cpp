#include "gdi_handles.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "dc_record.h"
#include "gdi_usage.h"

namespace portable::gdi {
namespace {

constexpr size_t kMaxObjects = kIndexMask - 1;
constexpr size_t kChunkSlots = 64;

struct Table {
  std::vector<std::unique_ptr<GdiObject[]>> chunks;  // objects never move once made
  std::vector<GdiObject*> direct;                    // every slot made so far, for slotView
};

// Never destroyed: code running at exit (a window registry releasing its DCs) may still call
// in after static destructors have started.
constinit Table* table = nullptr;

void MakeStockSet();

Table& Objects() {
  if (!table) [[unlikely]] {
    table = new Table;
    MakeStockSet();
  }
  return *table;
}

// Adds a chunk of free slots; false when the table has reached its size.
bool Grow(Table& t) {
  const size_t first = t.direct.size();
  if (first >= kMaxObjects) return false;
  const size_t count = std::min(kChunkSlots, kMaxObjects - first);
  t.chunks.push_back(std::make_unique<GdiObject[]>(count));
  GdiObject* chunk = t.chunks.back().get();
  for (size_t i = 0; i < count; ++i) t.direct.push_back(&chunk[i]);
  // Linked in index order, so slots are handed out lowest first.
  for (size_t i = count; i-- > 0;) {
    chunk[i].nextFree = slotView.freeHead;
    slotView.freeHead = static_cast<uint32_t>(first + i + 1);
  }
  slotView.base = t.direct.data();
  slotView.count = t.direct.size();
  return true;
}

struct StockSet {
  HGDIOBJ objects[DEFAULT_GUI_FONT + 1] = {};
  HBITMAP defaultBitmap = nullptr;
};

HGDIOBJ MakeStock(Kind kind, GdiObject** out) {
  HGDIOBJ handle = AllocObject(kind, out);
  (*out)->stock = true;
  --slotView.live[static_cast<size_t>(kind)];  // stock objects are not counted
  return handle;
}

HGDIOBJ StockPen(UINT style, COLORREF color) {
  GdiObject* obj = nullptr;
  HGDIOBJ h = MakeStock(Kind::Pen, &obj);
  obj->pen = LOGPEN{style, POINT{0, 0}, color};  // stock pens report width 0, as on Windows
  return h;
}

HGDIOBJ StockBrush(UINT style, COLORREF color) {
  GdiObject* obj = nullptr;
  HGDIOBJ h = MakeStock(Kind::Brush, &obj);
  obj->brush = LOGBRUSH{style, color, 0};
  return h;
}

HGDIOBJ StockFont(LONG height, LONG width, LONG weight, BYTE charSet, BYTE pitchAndFamily,
                  const char* face) {
  GdiObject* obj = nullptr;
  HGDIOBJ h = MakeStock(Kind::Font, &obj);
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfWeight = weight;
  lf.lfCharSet = charSet;
  lf.lfPitchAndFamily = pitchAndFamily;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  obj->font = lf;
  return h;
}

StockSet stockSet;

// Made with the table, before any other object: stock objects own the lowest slots.
void MakeStockSet() {
  StockSet& s = stockSet;
  s.objects[WHITE_BRUSH] = StockBrush(BS_SOLID, 0x00FFFFFF);
  s.objects[LTGRAY_BRUSH] = StockBrush(BS_SOLID, 0x00C0C0C0);
  s.objects[GRAY_BRUSH] = StockBrush(BS_SOLID, 0x00808080);
  s.objects[DKGRAY_BRUSH] = StockBrush(BS_SOLID, 0x00404040);
  s.objects[BLACK_BRUSH] = StockBrush(BS_SOLID, 0x00000000);
  s.objects[NULL_BRUSH] = StockBrush(BS_NULL, 0);
  s.objects[WHITE_PEN] = StockPen(PS_SOLID, 0x00FFFFFF);
  s.objects[BLACK_PEN] = StockPen(PS_SOLID, 0x00000000);
  s.objects[NULL_PEN] = StockPen(PS_NULL, 0);
  s.objects[OEM_FIXED_FONT] = StockFont(12, 8, FW_NORMAL, 255, FIXED_PITCH | FF_MODERN, "Terminal");
  s.objects[ANSI_FIXED_FONT] =
      StockFont(12, 9, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH | FF_MODERN, "Courier");
  s.objects[ANSI_VAR_FONT] =
      StockFont(12, 9, FW_NORMAL, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, "MS Sans Serif");
  s.objects[SYSTEM_FONT] =
      StockFont(16, 7, FW_BOLD, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, "System");
  s.objects[DEVICE_DEFAULT_FONT] =
      StockFont(16, 7, FW_BOLD, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, "System");
  s.objects[SYSTEM_FIXED_FONT] =
      StockFont(15, 8, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH | FF_MODERN, "Fixedsys");
  s.objects[DEFAULT_GUI_FONT] =
      StockFont(-11, 0, FW_NORMAL, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, "MS Shell Dlg");
  GdiObject* obj = nullptr;
  s.defaultBitmap = static_cast<HBITMAP>(MakeStock(Kind::Bitmap, &obj));
  obj->bitmap = std::make_unique<BitmapData>();
  obj->bitmap->width = 1;
  obj->bitmap->height = 1;
  obj->bitmap->bitsPixel = 1;
  obj->bitmap->pixels.assign(1, 0);
  newWindowDcState.pen = s.objects[BLACK_PEN];
  newWindowDcState.brush = s.objects[WHITE_BRUSH];
  newWindowDcState.font = s.objects[SYSTEM_FONT];
  newMemoryDcState = newWindowDcState;
  newMemoryDcState.bitmap = s.defaultBitmap;
  // The table was empty: the stock objects took the slots that IsStockHandle expects.
  if ((reinterpret_cast<uintptr_t>(s.defaultBitmap) & kIndexMask) != kStockSlots) std::abort();
}

const StockSet& Stock() {
  Objects();
  return stockSet;
}

}  // namespace

DcState newWindowDcState;
DcState newMemoryDcState;
constinit SlotView slotView;
constinit LastDc lastDc;

HGDIOBJ AllocObjectSlow(Kind kind, GdiObject** out) {
  Table& t = Objects();
  if (slotView.freeHead == 0 && !Grow(t)) return nullptr;
  return AllocObject(kind, out);
}

bool MakeFreeSlots() {
  Table& t = Objects();
  return slotView.freeHead != 0 || Grow(t);
}

DeviceContext* LookupDcSlow(HDC dc) {
  GdiObject* obj = LookupObject(dc, Kind::Dc);
  if (!obj || !obj->dc) return nullptr;
  RememberDc(dc, obj->dc.get());
  return lastDc.dc;
}

void FreeObject(HGDIOBJ handle) {
  if (GdiObject* obj = LookupObject(handle)) FreeLookedUp(obj, handle);
}

void FreeWithPayload(GdiObject* obj, HGDIOBJ handle) {
  if (lastDc.handle == reinterpret_cast<uintptr_t>(handle)) ForgetDc();
  --slotView.live[static_cast<size_t>(obj->kind)];
  // Move the payload out first: destroying it must not see a half-freed slot.
  std::unique_ptr<DeviceContext> dc = std::move(obj->dc);
  std::unique_ptr<BitmapData> bitmap = std::move(obj->bitmap);
  obj->kind = Kind::Free;
  obj->handle = 0;
  obj->refs = 0;
  obj->generation = static_cast<uint16_t>((obj->generation + 1) & kGenerationMask);
  obj->nextFree = slotView.freeHead;
  slotView.freeHead = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle) & kIndexMask);
}

void AddRefSlow(HGDIOBJ handle, HDC holder) {
  if (GdiObject* obj = LookupObject(handle)) AddRefLookedUp(obj, holder);
}

HGDIOBJ ReleaseAndReturn(HGDIOBJ handle) {
  Release(handle);
  return handle;
}

void ReleasedLast(GdiObject* obj, HGDIOBJ handle) {
  if (obj->kind == Kind::Bitmap && obj->bitmap) obj->bitmap->owner = nullptr;
  if (obj->deletePending) FreeLookedUp(obj, handle);
}

HGDIOBJ StockObject(int index) {
  if (index < 0 || index > DEFAULT_GUI_FONT) return nullptr;
  return Stock().objects[index];
}

HBITMAP DefaultBitmap() { return Stock().defaultBitmap; }

}  // namespace portable::gdi

namespace portable {

GdiUsage QueryGdiUsage() {
  gdi::Objects();  // the stock set exists before anything is counted against it
  const size_t* live = gdi::slotView.live;
  auto count = [live](gdi::Kind kind) { return live[static_cast<size_t>(kind)]; };
  GdiUsage usage;
  usage.pens = count(gdi::Kind::Pen);
  usage.brushes = count(gdi::Kind::Brush);
  usage.fonts = count(gdi::Kind::Font);
  usage.bitmaps = count(gdi::Kind::Bitmap);
  usage.dcs = count(gdi::Kind::Dc);
  return usage;
}

BitmapPixels QueryBitmapPixels(HBITMAP bitmap) {
  gdi::GdiObject* obj = gdi::LookupObject(bitmap, gdi::Kind::Bitmap);
  if (!obj || !obj->bitmap) return {};
  const gdi::BitmapData& bm = *obj->bitmap;
  return BitmapPixels{bm.width, bm.height, bm.bitsPixel, bm.pixels.data()};
}

}  // namespace portable
