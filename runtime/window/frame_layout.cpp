// Fitting an MDI frame's client window between its toolbars and status bars.
#include "frame_layout.h"

#include <cstring>

#include "../core/heap.h"
#include "../core/strings.h"

namespace {

struct FreeArea {
  RECT area;
  bool hasBar;
};

BOOL CALLBACK TakeBarSpace(HWND child, LPARAM data) {
  FreeArea* free = reinterpret_cast<FreeArea*>(data);
  char name[20] = {};
  GetClassNameA(child, name, sizeof(name));
  if (char* upper = StringUpperCopy(name)) {
    size_t length = std::strlen(upper);
    if (length > sizeof(name) - 1) length = sizeof(name) - 1;
    std::memcpy(name, upper, length);
    name[length] = '\0';
    RuntimeHeapFree(upper);
  }
  RECT bar{};
  if (lstrcmpA(name, "TOOLBARWINDOW32") == 0) {
    GetWindowRect(child, &bar);
    LONG style = GetWindowLongA(child, GWL_STYLE);
    const bool vertical = (style & CCS_VERT) != 0;
    switch (style & 3) {
      case CCS_TOP:
        if (vertical) {
          free->area.left += bar.right - bar.left;
        } else {
          free->area.top += bar.bottom - bar.top;
        }
        break;
      case CCS_BOTTOM:
        if (vertical) {
          free->area.right -= bar.right - bar.left;
        } else {
          free->area.bottom -= bar.bottom - bar.top;
        }
        break;
      default: break;
    }
    free->hasBar = true;
  } else if (lstrcmpA(name, "MSCTLS_STATUSBAR32") == 0) {
    GetWindowRect(child, &bar);
    free->area.bottom -= bar.bottom - bar.top;
    free->hasBar = true;
  }
  return TRUE;
}

}  // namespace

int32_t FrameLayout(HWND frame, HWND mdiClient) {
  FreeArea free{};
  GetClientRect(frame, &free.area);
  EnumChildWindows(frame, TakeBarSpace, reinterpret_cast<LPARAM>(&free));
  if (!free.hasBar) return 0;
  MoveWindow(mdiClient, free.area.left, free.area.top, free.area.right - free.area.left,
             free.area.bottom - free.area.top, TRUE);
  return 1;
}
