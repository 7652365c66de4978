#include "gdi_counter.h"

#include <cstring>
#include <set>

#include "platform/win32.h"

namespace gdisoak {
namespace {

std::set<HGDIOBJ>& Live() {
  static std::set<HGDIOBJ> live;
  return live;
}
size_t heldDcs = 0;

template <typename T>
T Counted(T object) {
  if (object != nullptr) Live().insert(reinterpret_cast<HGDIOBJ>(object));
  return object;
}

decltype(&CreatePen) realCreatePen = nullptr;
decltype(&CreatePenIndirect) realCreatePenIndirect = nullptr;
decltype(&CreateSolidBrush) realCreateSolidBrush = nullptr;
decltype(&CreateFontIndirectA) realCreateFontIndirectA = nullptr;
decltype(&CreateCompatibleDC) realCreateCompatibleDC = nullptr;
decltype(&CreateCompatibleBitmap) realCreateCompatibleBitmap = nullptr;
decltype(&DeleteObject) realDeleteObject = nullptr;
decltype(&DeleteDC) realDeleteDC = nullptr;
decltype(&GetDC) realGetDC = nullptr;
decltype(&ReleaseDC) realReleaseDC = nullptr;

HPEN WINAPI MyCreatePen(int style, int width, COLORREF colour) {
  return Counted(realCreatePen(style, width, colour));
}
HPEN WINAPI MyCreatePenIndirect(const LOGPEN* pen) { return Counted(realCreatePenIndirect(pen)); }
HBRUSH WINAPI MyCreateSolidBrush(COLORREF colour) { return Counted(realCreateSolidBrush(colour)); }
HFONT WINAPI MyCreateFontIndirectA(const LOGFONTA* font) {
  return Counted(realCreateFontIndirectA(font));
}
HDC WINAPI MyCreateCompatibleDC(HDC dc) { return Counted(realCreateCompatibleDC(dc)); }
HBITMAP WINAPI MyCreateCompatibleBitmap(HDC dc, int width, int height) {
  return Counted(realCreateCompatibleBitmap(dc, width, height));
}
BOOL WINAPI MyDeleteObject(HGDIOBJ object) {
  const BOOL ok = realDeleteObject(object);
  if (ok) Live().erase(object);
  return ok;
}
BOOL WINAPI MyDeleteDC(HDC dc) {
  const BOOL ok = realDeleteDC(dc);
  if (ok) Live().erase(reinterpret_cast<HGDIOBJ>(dc));
  return ok;
}
HDC WINAPI MyGetDC(HWND hwnd) {
  HDC dc = realGetDC(hwnd);
  if (dc != nullptr) ++heldDcs;
  return dc;
}
int WINAPI MyReleaseDC(HWND hwnd, HDC dc) {
  const int released = realReleaseDC(hwnd, dc);
  if (released != 0 && heldDcs > 0) --heldDcs;
  return released;
}

struct Route {
  const char* name;
  void* wrapper;
  void** real;
};

template <typename F>
Route MakeRoute(const char* name, F wrapper, F* real) {
  return Route{name, reinterpret_cast<void*>(wrapper), reinterpret_cast<void**>(real)};
}

}  // namespace

bool InstallGdiCounter() {
  const Route routes[] = {
      MakeRoute("CreatePen", &MyCreatePen, &realCreatePen),
      MakeRoute("CreatePenIndirect", &MyCreatePenIndirect, &realCreatePenIndirect),
      MakeRoute("CreateSolidBrush", &MyCreateSolidBrush, &realCreateSolidBrush),
      MakeRoute("CreateFontIndirectA", &MyCreateFontIndirectA, &realCreateFontIndirectA),
      MakeRoute("CreateCompatibleDC", &MyCreateCompatibleDC, &realCreateCompatibleDC),
      MakeRoute("CreateCompatibleBitmap", &MyCreateCompatibleBitmap, &realCreateCompatibleBitmap),
      MakeRoute("DeleteObject", &MyDeleteObject, &realDeleteObject),
      MakeRoute("DeleteDC", &MyDeleteDC, &realDeleteDC),
      MakeRoute("GetDC", &MyGetDC, &realGetDC),
      MakeRoute("ReleaseDC", &MyReleaseDC, &realReleaseDC),
  };
  auto* base = reinterpret_cast<unsigned char*>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (dir.VirtualAddress == 0) return false;
  int patched = 0;
  for (auto* imp = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
       imp->Name != 0; ++imp) {
    if (imp->OriginalFirstThunk == 0) continue;
    auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName =
          reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      const char* name = reinterpret_cast<const char*>(byName->Name);
      for (const Route& route : routes) {
        if (std::strcmp(name, route.name) != 0) continue;
        DWORD oldProtection = 0;
        void* slot = &slots->u1.Function;
        if (!VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &oldProtection)) continue;
        *route.real = reinterpret_cast<void*>(slots->u1.Function);
        slots->u1.Function = reinterpret_cast<ULONG_PTR>(route.wrapper);
        VirtualProtect(slot, sizeof(void*), oldProtection, &oldProtection);
        ++patched;
      }
    }
  }
  return patched == static_cast<int>(sizeof(routes) / sizeof(routes[0]));
}

size_t LiveCountedObjects() { return Live().size(); }
size_t HeldWindowDcs() { return heldDcs; }

}  // namespace gdisoak
