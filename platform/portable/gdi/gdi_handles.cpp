#include "gdi_handles.h"

#include <cstring>

#include "dc_record.h"
#include "gdi_usage.h"

namespace portable::gdi {
namespace {

constexpr size_t kMaxObjects = kIndexMask - 1;

struct Table {
  std::vector<std::unique_ptr<GdiObject>> slots;  // objects never move once made
  std::vector<GdiObject*> direct;                 // the same objects, for slotView
  std::vector<uint32_t> freeSlots;
  size_t live[6] = {};  // objects per Kind, stock ones not counted
};

// Never destroyed: code running at exit (a window registry releasing its DCs) may still call
// in after static destructors have started.
constinit Table* table = nullptr;

Table& Objects() {
  if (!table) [[unlikely]] {
    table = new Table;
  }
  return *table;
}

HGDIOBJ Encode(size_t index, uint16_t generation) {
  uintptr_t value = kHandleTag | ((generation & kGenerationMask) << kIndexBits) | (index + 1);
  return reinterpret_cast<HGDIOBJ>(value);
}

struct StockSet {
  HGDIOBJ objects[DEFAULT_GUI_FONT + 1] = {};
  HBITMAP defaultBitmap = nullptr;
};

HGDIOBJ MakeStock(Kind kind, GdiObject** out) {
  HGDIOBJ handle = AllocObject(kind, out);
  (*out)->stock = true;
  --Objects().live[static_cast<size_t>(kind)];  // stock objects are not counted
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

const StockSet& Stock() {
  static const StockSet set = [] {
    StockSet s;
    s.objects[WHITE_BRUSH] = StockBrush(BS_SOLID, 0x00FFFFFF);
    s.objects[LTGRAY_BRUSH] = StockBrush(BS_SOLID, 0x00C0C0C0);
    s.objects[GRAY_BRUSH] = StockBrush(BS_SOLID, 0x00808080);
    s.objects[DKGRAY_BRUSH] = StockBrush(BS_SOLID, 0x00404040);
    s.objects[BLACK_BRUSH] = StockBrush(BS_SOLID, 0x00000000);
    s.objects[NULL_BRUSH] = StockBrush(BS_NULL, 0);
    s.objects[WHITE_PEN] = StockPen(PS_SOLID, 0x00FFFFFF);
    s.objects[BLACK_PEN] = StockPen(PS_SOLID, 0x00000000);
    s.objects[NULL_PEN] = StockPen(PS_NULL, 0);
    s.objects[OEM_FIXED_FONT] =
        StockFont(12, 8, FW_NORMAL, 255, FIXED_PITCH | FF_MODERN, "Terminal");
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
    return s;
  }();
  return set;
}

}  // namespace

constinit SlotView slotView;
constinit LastDc lastDc;

HGDIOBJ AllocObject(Kind kind, GdiObject** out) {
  Table& t = Objects();
  size_t index;
  if (!t.freeSlots.empty()) {
    index = t.freeSlots.back();
    t.freeSlots.pop_back();
  } else {
    if (t.slots.size() >= kMaxObjects) return nullptr;
    index = t.slots.size();
    t.slots.push_back(std::make_unique<GdiObject>());
    t.direct.push_back(t.slots.back().get());
    slotView = SlotView{t.direct.data(), t.direct.size()};
  }
  // A freed slot holds no payload; the creator fills the one its kind uses.
  GdiObject& obj = *t.slots[index];
  obj.kind = kind;
  obj.stock = false;
  obj.deletePending = false;
  obj.refs = 0;
  ++t.live[static_cast<size_t>(kind)];
  if (out) *out = &obj;
  return Encode(index, obj.generation);
}

void FreeObject(HGDIOBJ handle) {
  if (GdiObject* obj = LookupObject(handle)) FreeLookedUp(obj, handle);
}

void FreeLookedUp(GdiObject* obj, HGDIOBJ handle) {
  if (obj->stock) return;
  if (lastDc.handle == handle) lastDc = LastDc{};
  Table& t = Objects();
  --t.live[static_cast<size_t>(obj->kind)];
  // Move the payload out first: destroying it must not see a half-freed slot. Pens, brushes
  // and fonts have none.
  std::unique_ptr<DeviceContext> dc;
  std::unique_ptr<BitmapData> bitmap;
  if (obj->kind == Kind::Dc) dc = std::move(obj->dc);
  if (obj->kind == Kind::Bitmap) bitmap = std::move(obj->bitmap);
  obj->kind = Kind::Free;
  obj->refs = 0;
  obj->generation = static_cast<uint16_t>((obj->generation + 1) & kGenerationMask);
  size_t index = (reinterpret_cast<uintptr_t>(handle) & kIndexMask) - 1;
  t.freeSlots.push_back(static_cast<uint32_t>(index));
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
  gdi::Stock();  // the stock set exists before anything is counted against it
  const size_t* live = gdi::Objects().live;
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
