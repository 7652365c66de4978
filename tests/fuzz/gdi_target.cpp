// GDI with hostile arguments in sequence: memory DCs and a window DC, bitmaps, pens, fonts and
// brushes of any description, selected, deleted and selected again (stale handles and forged
// ones too), SaveDC and RestoreDC at any level, clipping and bounds, and every drawing call
// with any rectangle, raster operation and text. After each call:
//   - a drawing call changed no pixel outside the clip box it had, nor outside the bounds it
//     accumulated when accumulation was on; stored pixels are 24-bit, a 1-bit bitmap's are
//     black or white;
//   - every DC's modes are valid, and what it has selected is a live object of the right kind
//     (an object deleted while selected lives on until it is let go); no two DCs hold the
//     same bitmap; SaveDC and RestoreDC agree with the levels counted here;
// and when the input ends and everything made is deleted, GDI holds what it held before.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "../../platform/portable/diagnostics.h"
#include "../../platform/portable/user/window_surface.h"
#include "fuzz_host.h"
#include "fuzz_input.h"

namespace {

constexpr int kMaxDcs = 6;
constexpr int kMaxObjects = 48;

struct Setup {
  fuzz::FuzzHost host{SIZE{160, 120}};
  HWND window = nullptr;

  Setup() {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "FuzzGdiWindow";
    FUZZ_CHECK(RegisterClassExA(&wc) != 0);
    window = CreateWindowExA(0, "FuzzGdiWindow", "gdi", WS_POPUP | WS_VISIBLE, 4, 4, 48, 36,
                             nullptr, nullptr, wc.hInstance, nullptr);
    FUZZ_CHECK(window != nullptr);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    // fontconfig's start-up belongs to no input.
    HDC dc = GetDC(window);
    SIZE extent;
    GetTextExtentPoint32A(dc, "x", 1, &extent);
    ReleaseDC(window, dc);
  }
};

Setup& TheSetup() {
  static Setup* setup = new Setup;
  return *setup;
}

struct Dc {
  HDC handle;
  bool window;  // from GetDC: given back with ReleaseDC
  bool alive = true;
  int64_t saved = 0;  // SaveDC levels
};

struct Session {
  std::vector<Dc> dcs;
  std::vector<HGDIOBJ> objects;  // everything made here, deleted or not
};

int32_t Coordinate(fuzz::Input& in) {
  return in.Below(4) < 3 ? static_cast<int32_t>(in.Below(72)) - 8 : in.Edgy32();
}

COLORREF Colour(fuzz::Input& in) {
  static constexpr COLORREF kColours[] = {0x000000, 0xFFFFFF,   0x0000FF,   0x00FF00,  0xFF0000,
                                          0x808080, 0xFFFFFFFF, 0x01000000, 0x02FFFFFF};
  return in.Bit() ? kColours[in.Below(sizeof(kColours) / sizeof(kColours[0]))] : in.U32();
}

Dc* PickDc(Session& s, fuzz::Input& in) {
  if (s.dcs.empty()) return nullptr;
  return &s.dcs[in.U8() % s.dcs.size()];
}

// Any handle a program might pass: one of ours (live or deleted), a DC, a stock object, a
// forged value or none.
HGDIOBJ PickObject(Session& s, fuzz::Input& in) {
  switch (in.Below(8)) {
    case 0: return GetStockObject(static_cast<int>(in.Below(20)));
    case 1: return nullptr;
    case 2: {
      Dc* d = PickDc(s, in);
      return d ? static_cast<HGDIOBJ>(d->handle) : nullptr;
    }
    case 3: return reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(in.U32()));
    default:
      if (s.objects.empty()) return nullptr;
      return s.objects[in.U8() % s.objects.size()];
  }
}

void Keep(Session& s, HGDIOBJ object) {
  if (object != nullptr &&
      std::find(s.objects.begin(), s.objects.end(), object) == s.objects.end()) {
    s.objects.push_back(object);
  }
}

void MakeBitmap(Session& s, fuzz::Input& in) {
  Dc* d = PickDc(s, in);
  int w, h;
  switch (in.Below(4)) {
    case 0:
      w = static_cast<int>(in.Below(41));
      h = static_cast<int>(in.Below(41));
      break;
    case 1:
      w = -static_cast<int>(in.Below(3));
      h = static_cast<int>(in.Below(8));
      break;
    case 2:
      w = 1 << (16 + in.Below(15));
      h = 1 << (12 + in.Below(19));
      break;  // refused
    default:
      w = static_cast<int>(in.Below(64)) + 1;
      h = 1;
      break;
  }
  const bool fromDc = d != nullptr && in.Bit();
  HBITMAP bm = CreateCompatibleBitmap(fromDc ? d->handle : nullptr, w, h);
  if (w < 0 || h < 0 || static_cast<int64_t>(w) * h > (int64_t{1} << 27) || (fromDc && !d->alive)) {
    FUZZ_CHECK(bm == nullptr);
  } else if (w > 0 && h > 0) {
    FUZZ_CHECK(bm != nullptr);
    const portable::BitmapPixels px = portable::QueryBitmapPixels(bm);
    FUZZ_CHECK(px.width == w && px.height == h && px.bitsPixel == 32);
    for (int i = 0; i < w * h; ++i) FUZZ_CHECK(px.pixels[i] == 0);
  }
  Keep(s, bm);
}

void MakePen(Session& s, fuzz::Input& in) {
  LOGPEN lp{};
  lp.lopnStyle = in.Bit() ? in.Below(8) : in.U32();
  lp.lopnWidth.x = in.Bit() ? static_cast<LONG>(in.Below(6)) : in.Edgy32();
  lp.lopnWidth.y = in.S32();
  lp.lopnColor = Colour(in);
  HPEN pen = in.Bit() ? CreatePenIndirect(&lp)
                      : CreatePen(static_cast<int>(lp.lopnStyle), lp.lopnWidth.x, lp.lopnColor);
  if (lp.lopnStyle > PS_INSIDEFRAME) FUZZ_CHECK(pen == nullptr);
  if (pen != nullptr && lp.lopnStyle != PS_NULL) {
    LOGPEN back{};
    FUZZ_CHECK(GetObjectA(pen, sizeof(back), &back) == sizeof(back));
    FUZZ_CHECK(back.lopnStyle == lp.lopnStyle && back.lopnColor == lp.lopnColor);
  }
  if (pen != GetStockObject(NULL_PEN)) Keep(s, pen);
}

void MakeFont(Session& s, fuzz::Input& in) {
  static const char* const kFaces[] = {
      "", "System", "MS Sans Serif", "Courier New", "Fixedsys", "DejaVu Sans Mono", "No Such Face"};
  static constexpr LONG kHeights[] = {0, 16, -11, 12,   8,         -20,
                                      1, -1, 300, -300, INT32_MIN, INT32_MAX};
  LOGFONTA lf{};
  lf.lfHeight =
      in.Below(4) < 3 ? kHeights[in.Below(sizeof(kHeights) / sizeof(kHeights[0]))] : in.S32();
  lf.lfWidth = in.Edgy32();
  lf.lfEscapement = in.Edgy32();
  lf.lfOrientation = in.Edgy32();
  lf.lfWeight = in.Bit() ? 700 : in.Edgy32();
  lf.lfItalic = in.U8();
  lf.lfUnderline = in.U8();
  lf.lfStrikeOut = in.U8();
  lf.lfCharSet = in.U8();
  lf.lfPitchAndFamily = in.U8();
  const uint32_t face = in.Below(8);
  if (face < 7) {
    std::strncpy(lf.lfFaceName, kFaces[face], LF_FACESIZE);
  } else {
    const std::string_view bytes = in.Bytes(LF_FACESIZE);  // not necessarily terminated
    std::memcpy(lf.lfFaceName, bytes.data(), bytes.size());
  }
  HFONT font = CreateFontIndirectA(&lf);
  FUZZ_CHECK(font != nullptr);
  LOGFONTA back{};
  FUZZ_CHECK(GetObjectA(font, sizeof(back), &back) == sizeof(back));
  FUZZ_CHECK(back.lfHeight == lf.lfHeight && back.lfFaceName[LF_FACESIZE - 1] == '\0');
  Keep(s, font);
}

void MakeBrush(Session& s, fuzz::Input& in) {
  HBRUSH brush = CreateSolidBrush(Colour(in));
  FUZZ_CHECK(brush != nullptr);
  Keep(s, brush);
}

void MakeDc(Session& s, fuzz::Input& in) {
  if (static_cast<int>(s.dcs.size()) >= kMaxDcs) return;
  Dc* from = PickDc(s, in);
  const bool fromDc = from != nullptr && in.Bit();
  HDC dc = CreateCompatibleDC(fromDc ? from->handle : nullptr);
  if (fromDc && !from->alive) {
    FUZZ_CHECK(dc == nullptr);  // a deleted DC to start from
    return;
  }
  FUZZ_CHECK(dc != nullptr);
  s.dcs.push_back(Dc{dc, false});
}

void DeleteDc(Session& s, fuzz::Input& in) {
  Dc* d = PickDc(s, in);
  if (d == nullptr) return;
  const BOOL ok = DeleteDC(d->handle);
  FUZZ_CHECK(ok == (d->alive && !d->window ? TRUE : FALSE));
  if (ok) d->alive = false;
}

void SaveRestore(Session& s, fuzz::Input& in) {
  Dc* d = PickDc(s, in);
  if (d == nullptr) return;
  if (in.Bit()) {
    const int level = SaveDC(d->handle);
    if (!d->alive) {
      FUZZ_CHECK(level == 0);
      return;
    }
    FUZZ_CHECK(level == d->saved + 1);
    d->saved = level;
    return;
  }
  const int32_t level = in.Bit() ? static_cast<int32_t>(in.Below(13)) - 6 : in.Edgy32();
  const int64_t resolved = level < 0 ? d->saved + 1 + level : level;
  const bool valid = d->alive && resolved >= 1 && resolved <= d->saved;
  FUZZ_CHECK(RestoreDC(d->handle, level) == (valid ? TRUE : FALSE));
  if (valid) d->saved = resolved - 1;
}

void SetState(Session& s, fuzz::Input& in) {
  Dc* d = PickDc(s, in);
  if (d == nullptr) return;
  HDC dc = d->handle;
  switch (in.Below(6)) {
    case 0: {
      POINT previous{};
      const int x = Coordinate(in), y = Coordinate(in);
      MoveToEx(dc, x, y, in.Bit() ? &previous : nullptr);
      break;
    }
    case 1: SetBkMode(dc, in.Bit() ? static_cast<int>(in.Below(4)) : in.Edgy32()); break;
    case 2: SetBkColor(dc, Colour(in)); break;
    case 3: SetTextColor(dc, Colour(in)); break;
    case 4: SetTextAlign(dc, in.Bit() ? in.Below(32) : in.U32()); break;
    default: SetROP2(dc, in.Bit() ? static_cast<int>(in.Below(18)) : in.Edgy32()); break;
  }
}

RECT RectFrom(fuzz::Input& in) {
  RECT r;
  r.left = Coordinate(in);
  r.top = Coordinate(in);
  r.right = Coordinate(in);
  r.bottom = Coordinate(in);
  return r;
}

void ClipAndBounds(Session& s, fuzz::Input& in) {
  Dc* d = PickDc(s, in);
  if (d == nullptr) return;
  HDC dc = d->handle;
  RECT r = RectFrom(in);
  switch (in.Below(5)) {
    case 0: ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom); break;
    case 1: IntersectClipRect(dc, r.left, r.top, r.right, r.bottom); break;
    case 2: {
      const RECT* given = in.Bit() ? &r : nullptr;
      SetBoundsRect(dc, given, in.U8());
      break;
    }
    case 3: {
      RECT* out = in.Bit() ? &r : nullptr;
      GetBoundsRect(dc, out, in.U8());
      break;
    }
    default: {
      const int kind = GetClipBox(dc, &r);
      FUZZ_CHECK(kind == ERROR || kind == NULLREGION || kind == SIMPLEREGION ||
                 kind == COMPLEXREGION);
      FUZZ_CHECK(kind == ERROR || (r.left <= r.right && r.top <= r.bottom));
    }
  }
}

void Query(Session& s, fuzz::Input& in) {
  HGDIOBJ object = PickObject(s, in);
  switch (in.Below(3)) {
    case 0: {
      alignas(8) unsigned char buffer[128];
      const int size = static_cast<int>(in.Below(sizeof(buffer) + 1));
      const int asked = in.Bit() ? size : -static_cast<int>(in.Below(4));
      void* into = in.Bit() ? buffer : nullptr;
      const int got = GetObjectA(object, asked, into);
      FUZZ_CHECK(got >= 0 && got <= static_cast<int>(sizeof(BITMAP)) + 64);
      break;
    }
    case 1: {
      Dc* d = PickDc(s, in);
      if (d != nullptr) GetCurrentObject(d->handle, in.Below(12));
      break;
    }
    default: {
      const DWORD type = GetObjectType(object);
      FUZZ_CHECK(type == 0 || type == OBJ_PEN || type == OBJ_BRUSH || type == OBJ_FONT ||
                 type == OBJ_BITMAP || type == OBJ_DC || type == OBJ_MEMDC);
    }
  }
}

// The pixels a DC draws on, and where they sit in its logical space.
struct Surface {
  const uint32_t* pixels = nullptr;
  int width = 0, height = 0, stride = 0;
  POINT origin{0, 0};  // logical (0, 0) in the buffer
  bool mono = false;
};

bool SurfaceOf(const Dc& d, Surface* out) {
  if (!d.alive) return false;
  if (d.window) {
    portable::WindowSurface ws;
    if (!portable::QueryWindowSurface(TheSetup().window, &ws) || ws.framebuffer.pixels == nullptr)
      return false;
    *out = Surface{ws.framebuffer.pixels, ws.framebuffer.width, ws.framebuffer.height,
                   ws.framebuffer.stride, ws.clientOrigin,      false};
    return true;
  }
  const portable::BitmapPixels px =
      portable::QueryBitmapPixels(static_cast<HBITMAP>(GetCurrentObject(d.handle, OBJ_BITMAP)));
  if (px.pixels == nullptr) return false;
  *out = Surface{px.pixels, px.width, px.height, px.width, POINT{0, 0}, px.bitsPixel == 1};
  return true;
}

// Left out of the comparison tracing (coverage_ignore.txt): it runs over every pixel, and the
// fuzzer learns nothing from its comparisons.
__attribute__((noinline)) void CheckPixelsDrawnWithin(const Surface& surface,
                                                      const uint32_t* before, const uint32_t* after,
                                                      const RECT& clip, const RECT& bounds) {
  const size_t rowBytes = static_cast<size_t>(surface.width) * sizeof(uint32_t);
  for (int y = 0; y < surface.height; ++y) {
    const size_t row = static_cast<size_t>(y) * surface.stride;
    if (std::memcmp(before + row, after + row, rowBytes) == 0) continue;
    const int ly = y - surface.origin.y;
    for (int x = 0; x < surface.width; ++x) {
      const uint32_t p = after[row + x];
      if (p == before[row + x]) continue;
      FUZZ_CHECK((p >> 24) == 0);
      if (surface.mono) FUZZ_CHECK(p == 0 || p == 0x00FFFFFF);
      const int lx = x - surface.origin.x;
      FUZZ_CHECK(lx >= clip.left && lx < clip.right && ly >= clip.top && ly < clip.bottom);
      FUZZ_CHECK(lx >= bounds.left && lx < bounds.right && ly >= bounds.top && ly < bounds.bottom);
    }
  }
}

void Draw(Session& s, fuzz::Input& in, uint32_t what) {
  Dc* d = PickDc(s, in);
  if (d == nullptr) return;
  HDC dc = d->handle;
  Surface surface;
  const bool checked = SurfaceOf(*d, &surface);
  std::vector<uint32_t> before;
  RECT clip{};
  bool clipKnown = false, accumulating = false;
  if (checked) {
    before.assign(surface.pixels,
                  surface.pixels + static_cast<size_t>(surface.stride) * surface.height);
    clipKnown = GetClipBox(dc, &clip) != ERROR;
    RECT ignored;
    accumulating = (GetBoundsRect(dc, &ignored, 0) & DCB_ENABLE) != 0;
  }
  std::string text;
  std::vector<INT> dx;
  switch (what) {
    case 0: {
      const bool v = in.Bit();
      const int x = Coordinate(in), y = Coordinate(in);
      const COLORREF colour = Colour(in);
      if (v) {
        SetPixel(dc, x, y, colour);
      } else {
        SetPixelV(dc, x, y, colour);
      }
      break;
    }
    case 1: {
      const int x = Coordinate(in), y = Coordinate(in);
      const COLORREF c = GetPixel(dc, x, y);
      FUZZ_CHECK(c == CLR_INVALID || (c >> 24) == 0);
      break;
    }
    case 2: {
      const int x = Coordinate(in), y = Coordinate(in);
      LineTo(dc, x, y);
      break;
    }
    case 3: {
      const RECT r = RectFrom(in);
      Rectangle(dc, r.left, r.top, r.right, r.bottom);
      break;
    }
    case 4: {
      static constexpr DWORD kRops[] = {PATCOPY,   PATINVERT, DSTINVERT, BLACKNESS,
                                        WHITENESS, SRCCOPY,   0x00AA0029};
      const DWORD rop = in.Bit() ? kRops[in.Below(sizeof(kRops) / sizeof(kRops[0]))] : in.U32();
      const RECT r = RectFrom(in);  // x, y, width, height
      PatBlt(dc, r.left, r.top, r.right, r.bottom, rop);
      break;
    }
    case 5: {
      const RECT r = RectFrom(in);
      HBRUSH brush = in.Bit() ? reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(in.Below(40)))
                              : static_cast<HBRUSH>(PickObject(s, in));
      FillRect(dc, &r, brush);
      break;
    }
    case 6: {
      static constexpr DWORD kRops[] = {SRCCOPY,    SRCPAINT,   SRCAND,  SRCINVERT,
                                        NOTSRCCOPY, 0x00C000CA, PATCOPY, 0x00B8074A};
      Dc* src = PickDc(s, in);
      const DWORD rop = in.Bit() ? kRops[in.Below(sizeof(kRops) / sizeof(kRops[0]))] : in.U32();
      const RECT r = RectFrom(in);  // x, y, width, height
      const int sx = Coordinate(in), sy = Coordinate(in);
      BitBlt(dc, r.left, r.top, r.right, r.bottom, src ? src->handle : nullptr, sx, sy, rop);
      break;
    }
    default: {
      if (in.Below(6) == 0) {
        const size_t length = in.U16() % 5000;
        text.assign(length, static_cast<char>(in.U8()));
      } else {
        text = std::string(in.Bytes(in.Below(48)));
      }
      const UINT count = in.Below(8) == 0
                             ? static_cast<UINT>(in.Below(
                                   static_cast<uint32_t>(std::min<size_t>(text.size(), 255)) + 1))
                             : static_cast<UINT>(text.size());
      const int x = Coordinate(in), y = Coordinate(in);
      switch (in.Below(4)) {
        case 0: {
          RECT r = RectFrom(in);
          if (in.Bit()) {
            for (UINT i = 0; i < count; ++i) dx.push_back(static_cast<INT>(in.Below(24)) - 4);
          }
          const UINT options = in.Below(8);
          const RECT* clipTo = in.Bit() ? &r : nullptr;
          ExtTextOutA(dc, x, y, options, clipTo, text.data(), count,
                      dx.empty() ? nullptr : dx.data());
          break;
        }
        case 1:
          TextOutA(dc, x, y, text.data(),
                   in.Below(8) == 0 ? -static_cast<int>(in.Below(3)) - 1 : static_cast<int>(count));
          break;
        case 2: {
          SIZE extent{};
          if (GetTextExtentPoint32A(dc, text.data(), static_cast<int>(count), &extent)) {
            FUZZ_CHECK(extent.cx >= 0 && extent.cy > 0);
          }
          break;
        }
        default: {
          TEXTMETRICA tm{};
          if (GetTextMetricsA(dc, &tm))
            FUZZ_CHECK(tm.tmHeight > 0 && tm.tmHeight == tm.tmAscent + tm.tmDescent);
        }
      }
    }
  }
  if (!checked) return;
  // The drawing went where the DC allowed it to go, and nowhere else.
  Surface now;
  FUZZ_CHECK(SurfaceOf(*d, &now) && now.pixels != nullptr);
  if (now.width != surface.width || now.height != surface.height) return;  // another bitmap
  RECT bounds{};
  const bool haveBounds = accumulating && (GetBoundsRect(dc, &bounds, 0) & DCB_SET) != 0;
  if (accumulating && !haveBounds) bounds = RECT{0, 0, 0, 0};
  if (!clipKnown) clip = RECT{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
  if (!accumulating) bounds = RECT{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
  CheckPixelsDrawnWithin(surface, before.data(), now.pixels, clip, bounds);
}

void CheckDcs(const Session& s) {
  std::vector<HGDIOBJ> bitmaps;
  for (const Dc& d : s.dcs) {
    if (!d.alive) {
      FUZZ_CHECK(GetObjectType(d.handle) == 0);
      continue;
    }
    const int mode = GetBkMode(d.handle);
    FUZZ_CHECK(mode == TRANSPARENT || mode == OPAQUE);
    const int rop2 = GetROP2(d.handle);
    FUZZ_CHECK(rop2 >= R2_BLACK && rop2 <= R2_WHITE);
    FUZZ_CHECK(GetObjectType(d.handle) ==
               (d.window ? static_cast<DWORD>(OBJ_DC) : static_cast<DWORD>(OBJ_MEMDC)));
    FUZZ_CHECK(GetObjectType(GetCurrentObject(d.handle, OBJ_PEN)) == OBJ_PEN);
    FUZZ_CHECK(GetObjectType(GetCurrentObject(d.handle, OBJ_BRUSH)) == OBJ_BRUSH);
    FUZZ_CHECK(GetObjectType(GetCurrentObject(d.handle, OBJ_FONT)) == OBJ_FONT);
    HGDIOBJ bitmap = GetCurrentObject(d.handle, OBJ_BITMAP);
    FUZZ_CHECK(GetObjectType(bitmap) == OBJ_BITMAP);
    if (!d.window && portable::QueryBitmapPixels(static_cast<HBITMAP>(bitmap)).bitsPixel == 32) {
      FUZZ_CHECK(std::find(bitmaps.begin(), bitmaps.end(), bitmap) == bitmaps.end());
      bitmaps.push_back(bitmap);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  TheSetup();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Setup& setup = TheSetup();
  fuzz::Input in(data, size);
  const portable::GdiUsage before = portable::QueryGdiUsage();
  Session s;
  s.dcs.push_back(Dc{GetDC(setup.window), true});
  FUZZ_CHECK(s.dcs[0].handle != nullptr);
  for (int op = 0; op < 64 && !in.AtEnd(); ++op) {
    const uint32_t what = in.Below(24);
    if (static_cast<int>(s.objects.size()) >= kMaxObjects && what < 5) continue;
    switch (what) {
      case 0: MakeBitmap(s, in); break;
      case 1: MakePen(s, in); break;
      case 2: MakeFont(s, in); break;
      case 3: MakeBrush(s, in); break;
      case 4: MakeDc(s, in); break;
      case 5: DeleteDc(s, in); break;
      case 6:
      case 7: {
        Dc* d = PickDc(s, in);
        HGDIOBJ object = PickObject(s, in);
        if (d != nullptr) SelectObject(d->handle, object);
        break;
      }
      case 8: DeleteObject(PickObject(s, in)); break;
      case 9: SaveRestore(s, in); break;
      case 10: SetState(s, in); break;
      case 11: ClipAndBounds(s, in); break;
      case 12: Query(s, in); break;
      default: Draw(s, in, what - 13); break;
    }
    CheckDcs(s);
  }
  FUZZ_CHECK(ReleaseDC(setup.window, s.dcs[0].handle) == 1);
  for (Dc& d : s.dcs) {
    if (d.alive && !d.window) FUZZ_CHECK(DeleteDC(d.handle));
  }
  for (HGDIOBJ object : s.objects) DeleteObject(object);
  const portable::GdiUsage after = portable::QueryGdiUsage();
  FUZZ_CHECK(after.pens == before.pens && after.brushes == before.brushes &&
             after.fonts == before.fonts && after.bitmaps == before.bitmaps &&
             after.dcs == before.dcs);
  return 0;
}
