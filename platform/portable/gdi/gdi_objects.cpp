// Creating, inspecting and deleting pens, brushes, fonts and bitmaps.
#include <cstring>
#include <new>

#include "device_context.h"
#include "gdi_handles.h"

using portable::gdi::GdiObject;
using portable::gdi::Kind;
using portable::gdi::LookupObject;

namespace {

// Largest bitmap we agree to make: 2^27 pixels (512 MiB), far beyond any screen.
constexpr int64_t kMaxBitmapPixels = int64_t{1} << 27;

// Inline so that the usual whole-structure copy is a few moves, not a call.
inline int CopyOut(const void* data, int needed, int size, void* buffer, bool partialAllowed) {
  if (!buffer) return needed;
  if (size == needed) {
    std::memcpy(buffer, data, static_cast<size_t>(needed));
    return needed;
  }
  if (size <= 0) return 0;
  if (size < needed && !partialAllowed) return 0;
  int n = size < needed ? size : needed;
  std::memcpy(buffer, data, static_cast<size_t>(n));
  return n;
}

}  // namespace

HGDIOBJ WINAPI GetStockObject(int index) { return portable::gdi::StockObject(index); }

namespace {

// The object table has no free slot at hand: it makes more (or the stock set) first.
[[gnu::noinline]] HPEN CreatePenGrowing(const LOGPEN* logPen) {
  return portable::gdi::MakeFreeSlots() ? CreatePenIndirect(logPen) : nullptr;
}

[[gnu::noinline]] HFONT CreateFontGrowing(const LOGFONTA* logFont) {
  return portable::gdi::MakeFreeSlots() ? CreateFontIndirectA(logFont) : nullptr;
}

}  // namespace

HPEN WINAPI CreatePenIndirect(const LOGPEN* logPen) {
  if (!logPen) return nullptr;
  if (logPen->lopnStyle > PS_INSIDEFRAME) return nullptr;
  // Windows hands out its stock null pen for every PS_NULL request.
  if (logPen->lopnStyle == PS_NULL) return static_cast<HPEN>(GetStockObject(NULL_PEN));
  if (portable::gdi::slotView.freeHead == 0) [[unlikely]]
    return CreatePenGrowing(logPen);
  GdiObject* obj = nullptr;
  HGDIOBJ h = portable::gdi::AllocObject(Kind::Pen, &obj);
  if (!h) return nullptr;
  obj->pen = *logPen;
  obj->pen.lopnWidth.y = 0;
  return static_cast<HPEN>(h);
}

HPEN WINAPI CreatePen(int style, int width, COLORREF color) {
  if (style < 0) return nullptr;
  LOGPEN lp{static_cast<UINT>(style), POINT{width, 0}, color};
  return CreatePenIndirect(&lp);
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
  GdiObject* obj = nullptr;
  HGDIOBJ h = portable::gdi::AllocObject(Kind::Brush, &obj);
  if (!h) return nullptr;
  obj->brush = LOGBRUSH{BS_SOLID, color, 0};
  return static_cast<HBRUSH>(h);
}

HFONT WINAPI CreateFontIndirectA(const LOGFONTA* logFont) {
  if (!logFont) return nullptr;
  if (portable::gdi::slotView.freeHead == 0) [[unlikely]]
    return CreateFontGrowing(logFont);
  GdiObject* obj = nullptr;
  HGDIOBJ h = portable::gdi::AllocObject(Kind::Font, &obj);
  if (!h) return nullptr;
  obj->font = *logFont;
  obj->font.lfFaceName[LF_FACESIZE - 1] = '\0';
  return static_cast<HFONT>(h);
}

HBITMAP WINAPI CreateCompatibleBitmap(HDC dc, int width, int height) {
  if (dc && !portable::gdi::LookupDc(dc)) return nullptr;
  if (width < 0 || height < 0) return nullptr;
  // As on Windows, an empty size gives the stock 1x1 monochrome bitmap.
  if (width == 0 || height == 0) return portable::gdi::DefaultBitmap();
  if (static_cast<int64_t>(width) * height > kMaxBitmapPixels) return nullptr;
  GdiObject* obj = nullptr;
  HGDIOBJ h = portable::gdi::AllocObject(Kind::Bitmap, &obj);
  if (!h) return nullptr;
  auto bitmap = std::make_unique<portable::gdi::BitmapData>();
  bitmap->width = width;
  bitmap->height = height;
  try {
    bitmap->pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  } catch (const std::bad_alloc&) {
    portable::gdi::FreeObject(h);
    return nullptr;
  }
  obj->bitmap = std::move(bitmap);
  return static_cast<HBITMAP>(h);
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
  GdiObject* obj = LookupObject(object);
  if (!obj || obj->kind == Kind::Dc) return FALSE;
  if (obj->stock) return TRUE;
  if (obj->refs > 0) {
    // A selected bitmap stays (Windows refuses too); a selected pen, brush or font goes when
    // its last DC lets go of it.
    if (obj->kind == Kind::Bitmap) return FALSE;
    obj->deletePending = true;
    return TRUE;
  }
  portable::gdi::FreeLookedUp(obj, object);
  return TRUE;
}

int WINAPI GetObjectA(HGDIOBJ object, int size, LPVOID buffer) {
  GdiObject* obj = LookupObject(object);
  if (!obj || size < 0) return 0;
  // The whole description, as the drawing bracket asks for it every time: a fixed-size copy.
  if (obj->kind == Kind::Pen && size == sizeof(LOGPEN) && buffer) {
    *static_cast<LOGPEN*>(buffer) = obj->pen;
    return sizeof(LOGPEN);
  }
  if (obj->kind == Kind::Font && size == sizeof(LOGFONTA) && buffer) {
    *static_cast<LOGFONTA*>(buffer) = obj->font;
    return sizeof(LOGFONTA);
  }
  switch (obj->kind) {
    case Kind::Pen: return CopyOut(&obj->pen, sizeof(LOGPEN), size, buffer, false);
    case Kind::Brush: return CopyOut(&obj->brush, sizeof(LOGBRUSH), size, buffer, true);
    case Kind::Font: return CopyOut(&obj->font, sizeof(LOGFONTA), size, buffer, true);
    case Kind::Bitmap: {
      const portable::gdi::BitmapData& bm = *obj->bitmap;
      BITMAP info{};
      info.bmWidth = bm.width;
      info.bmHeight = bm.height;
      info.bmBitsPixel = static_cast<WORD>(bm.bitsPixel);
      info.bmPlanes = 1;
      // Rows are padded to 16 bits, as for device-dependent bitmaps.
      info.bmWidthBytes = ((bm.width * bm.bitsPixel + 15) / 16) * 2;
      return CopyOut(&info, sizeof(BITMAP), size, buffer, false);
    }
    case Kind::Dc:
    case Kind::Free:
    case Kind::Parked: break;
  }
  return 0;
}

DWORD WINAPI GetObjectType(HGDIOBJ object) {
  GdiObject* obj = LookupObject(object);
  if (!obj) return 0;
  switch (obj->kind) {
    case Kind::Pen: return OBJ_PEN;
    case Kind::Brush: return OBJ_BRUSH;
    case Kind::Font: return OBJ_FONT;
    case Kind::Bitmap: return OBJ_BITMAP;
    case Kind::Dc: return obj->dc && obj->dc->window ? OBJ_DC : OBJ_MEMDC;
    case Kind::Free:
    case Kind::Parked: break;
  }
  return 0;
}
