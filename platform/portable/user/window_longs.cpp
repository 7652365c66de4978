// Window data: extra bytes, styles, procedure, user data, id, and the window text.
#include "window_longs.h"

#include <cstring>

#include "../kernel/host.h"
#include "window.h"
#include "window_registry.h"

namespace portable::user {

namespace {

typedef struct {
  DWORD styleOld;
  DWORD styleNew;
} StyleChange;  // STYLESTRUCT

bool ExtraFits(const Window& w, int index, size_t size) {
  return index >= 0 && static_cast<size_t>(index) + size <= w.extra.size();
}

void ChangeStyle(Window& w, int index, DWORD value) {
  HWND hwnd = w.handle;
  DWORD& field = index == GWL_STYLE ? w.style : w.exStyle;
  StyleChange change{field, value};
  CallProcedure(w, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&change));
  Window* alive = Peek(hwnd);
  if (alive == nullptr) return;
  DWORD& target = index == GWL_STYLE ? alive->style : alive->exStyle;
  change.styleOld = target;
  target = change.styleNew;
  LayoutChanged();
  CallProcedure(*alive, WM_STYLECHANGED, static_cast<WPARAM>(index),
                reinterpret_cast<LPARAM>(&change));
}

// Pointer-sized fields (wide: the caller asked through the pointer-sized call).
bool GetField(Window& w, int index, bool wide, LONG_PTR* out) {
  if (index >= 0) {
    size_t size = wide ? sizeof(LONG_PTR) : sizeof(LONG);
    if (!ExtraFits(w, index, size)) return false;
    if (wide) {
      std::memcpy(out, w.extra.data() + index, sizeof(LONG_PTR));
    } else {
      LONG v;
      std::memcpy(&v, w.extra.data() + index, sizeof(LONG));
      *out = v;
    }
    return true;
  }
  bool pointerFits = wide || sizeof(void*) == sizeof(LONG);
  switch (index) {
    case GWL_STYLE: *out = static_cast<LONG>(w.style); return true;
    case GWL_EXSTYLE: *out = static_cast<LONG>(w.exStyle); return true;
    case GWLP_USERDATA: *out = w.userData; return true;
    case GWLP_ID: *out = w.id; return true;
    case GWLP_WNDPROC:
      if (!pointerFits) return false;
      *out = reinterpret_cast<LONG_PTR>(w.proc);
      return true;
    case GWLP_HINSTANCE:
      if (!pointerFits) return false;
      *out = reinterpret_cast<LONG_PTR>(w.instance);
      return true;
    case GWLP_HWNDPARENT:
      if (!pointerFits) return false;
      *out = reinterpret_cast<LONG_PTR>(w.tree.parent);
      return true;
    default: return false;
  }
}

bool SetField(Window& w, int index, bool wide, LONG_PTR value, LONG_PTR* previous) {
  if (!GetField(w, index, wide, previous)) return false;
  if (index >= 0) {
    if (wide) {
      std::memcpy(w.extra.data() + index, &value, sizeof(LONG_PTR));
    } else {
      LONG v = static_cast<LONG>(value);
      std::memcpy(w.extra.data() + index, &v, sizeof(LONG));
    }
    return true;
  }
  switch (index) {
    case GWL_STYLE:
    case GWL_EXSTYLE: ChangeStyle(w, index, static_cast<DWORD>(value)); return true;
    case GWLP_USERDATA: w.userData = value; return true;
    case GWLP_ID: w.id = value; return true;
    case GWLP_WNDPROC: w.proc = reinterpret_cast<WNDPROC>(value); return true;
    case GWLP_HINSTANCE: w.instance = reinterpret_cast<HINSTANCE>(value); return true;
    default: return false;  // changing the parent this way is not supported
  }
}

LONG_PTR Get(HWND hwnd, int index, bool wide) {
  Window* w = LookUp(hwnd);
  if (w == nullptr) return 0;
  LONG_PTR value = 0;
  if (!GetField(*w, index, wide, &value)) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  return value;
}

LONG_PTR Set(HWND hwnd, int index, bool wide, LONG_PTR value) {
  Window* w = LookUp(hwnd);
  if (w == nullptr) return 0;
  LONG_PTR previous = 0;
  if (!SetField(*w, index, wide, value, &previous)) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  return previous;
}

}  // namespace

// The default procedure's side of the window text.
void StoreWindowText(Window& w, LPCSTR text) {
  w.title = text ? text : "";
  if (w.tree.parent == nullptr && w.fb.hostKnows)
    CurrentHost().TopLevelTitle(w.handle, w.title.c_str());
}

}  // namespace portable::user

using namespace portable::user;

LONG WINAPI GetWindowLongA(HWND hwnd, int index) {
  return static_cast<LONG>(Get(hwnd, index, false));
}

LONG WINAPI SetWindowLongA(HWND hwnd, int index, LONG value) {
  return static_cast<LONG>(Set(hwnd, index, false, value));
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND hwnd, int index) { return Get(hwnd, index, true); }

LONG_PTR WINAPI SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
  return Set(hwnd, index, true, value);
}

int WINAPI GetWindowTextA(HWND hwnd, LPSTR buffer, int bufferSize) {
  if (buffer == nullptr || bufferSize <= 0) return 0;
  buffer[0] = '\0';
  if (LookUp(hwnd) == nullptr) return 0;
  return static_cast<int>(SendMessageA(hwnd, WM_GETTEXT, static_cast<WPARAM>(bufferSize),
                                       reinterpret_cast<LPARAM>(buffer)));
}

BOOL WINAPI SetWindowTextA(HWND hwnd, LPCSTR text) {
  if (LookUp(hwnd) == nullptr) return FALSE;
  return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}
