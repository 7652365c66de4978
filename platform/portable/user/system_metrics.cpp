// System metrics and colours as Windows 10 reports them at 96 DPI, the frame sizes they imply,
// and the shared system cursors and icons.
#include "system_metrics.h"

#include <optional>

#include "../kernel/host.h"

namespace portable::user {

namespace {

constexpr int kCaption = 23;
constexpr int kSizeFrame = 4;
constexpr int kPaddedBorder = 4;
constexpr int kFixedFrame = 3;
constexpr int kMenu = 20;

// One object per shared system cursor or icon; the handle is its address.
struct SystemResource {
  WORD id;
  char tag;
};
constexpr SystemResource kCursors[] = {{32512, 'c'}, {32513, 'c'}, {32514, 'c'}, {32515, 'c'},
                                       {32516, 'c'}, {32640, 'c'}, {32641, 'c'}, {32642, 'c'},
                                       {32643, 'c'}, {32644, 'c'}, {32645, 'c'}, {32646, 'c'},
                                       {32648, 'c'}, {32649, 'c'}, {32650, 'c'}, {32651, 'c'}};
constexpr SystemResource kIcons[] = {{32512, 'i'}, {32513, 'i'}, {32514, 'i'}, {32515, 'i'},
                                     {32516, 'i'}, {32517, 'i'}, {32518, 'i'}};

template <size_t N>
HICON FindResource(const SystemResource (&table)[N], HINSTANCE instance, LPCSTR name) {
  if (instance == nullptr && name != nullptr && IS_INTRESOURCE(name)) {
    WORD id = static_cast<WORD>(reinterpret_cast<uintptr_t>(name));
    for (const SystemResource& r : table) {
      if (r.id == id) return reinterpret_cast<HICON>(const_cast<SystemResource*>(&r));
    }
  }
  // Programs carry no resources on this platform: callers fall back to the system ones.
  SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
  return nullptr;
}

HCURSOR& CurrentCursor() {
  static HCURSOR cursor = reinterpret_cast<HCURSOR>(const_cast<SystemResource*>(&kCursors[0]));
  return cursor;
}

}  // namespace

SIZE ScreenSize() { return CurrentHost().ScreenSize(); }

int Metric(int index) {
  if (std::optional<int> system = CurrentHost().SystemMetric(index)) return *system;
  SIZE screen = ScreenSize();
  switch (index) {
    case SM_CXSCREEN: return screen.cx;
    case SM_CYSCREEN: return screen.cy;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return 17;
    case SM_CYCAPTION: return kCaption;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXFIXEDFRAME:
    case SM_CYFIXEDFRAME: return kFixedFrame;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CYMENU: return kMenu;
    case SM_CXFULLSCREEN: return screen.cx;
    case SM_CYFULLSCREEN: return screen.cy - kCaption;
    case SM_CXMIN:
    case SM_CXMINTRACK: return 136;
    case SM_CYMIN:
    case SM_CYMINTRACK: return 39;
    case SM_CXSIZE: return 36;
    case SM_CYSIZE: return 22;
    case SM_CXSIZEFRAME:
    case SM_CYSIZEFRAME: return kSizeFrame;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    case SM_CYSMCAPTION: return kCaption;
    case SM_CXMAXTRACK: return screen.cx + 2 * (kSizeFrame + kPaddedBorder);
    case SM_CYMAXTRACK: return screen.cy + 2 * (kSizeFrame + kPaddedBorder);
    case SM_CXMAXIMIZED: return screen.cx + 2 * (kSizeFrame + kPaddedBorder);
    case SM_CYMAXIMIZED: return screen.cy + 2 * (kSizeFrame + kPaddedBorder);
    case SM_CXPADDEDBORDER: return kPaddedBorder;
    // One monitor: the virtual screen is the screen.
    case SM_XVIRTUALSCREEN:
    case SM_YVIRTUALSCREEN: return 0;
    case SM_CXVIRTUALSCREEN: return screen.cx;
    case SM_CYVIRTUALSCREEN: return screen.cy;
    default: return 0;
  }
}

RECT FrameInsets(DWORD style, DWORD exStyle) {
  if (std::optional<RECT> system = CurrentHost().FrameInsets(style, exStyle)) return *system;
  int frame = 0;
  if (style & WS_THICKFRAME) {
    frame = Metric(SM_CXSIZEFRAME) + Metric(SM_CXPADDEDBORDER);
  } else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) {
    frame = Metric(SM_CXFIXEDFRAME);
  } else if (style & WS_BORDER) {
    frame = Metric(SM_CXBORDER);
  }
  RECT insets{frame, frame, frame, frame};
  if ((style & WS_CAPTION) == WS_CAPTION) insets.top += Metric(SM_CYCAPTION);
  if (exStyle & WS_EX_CLIENTEDGE) {
    insets.left += 2;
    insets.top += 2;
    insets.right += 2;
    insets.bottom += 2;
  }
  return insets;
}

HCURSOR ArrowCursor() {
  return reinterpret_cast<HCURSOR>(const_cast<SystemResource*>(&kCursors[0]));
}

}  // namespace portable::user

using namespace portable::user;

int WINAPI GetSystemMetrics(int index) { return Metric(index); }

DWORD WINAPI GetSysColor(int index) {
  // COLORREF values (0x00BBGGRR) of the Windows 10 default scheme.
  static const DWORD colors[] = {
      0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
      0x000000, 0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xD77800, 0xFFFFFF, 0xF0F0F0,
      0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
      0xE1FFFF, 0x000000, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xFF9933, 0xF0F0F0};
  if (index < 0 || index >= static_cast<int>(sizeof(colors) / sizeof(colors[0]))) return 0;
  return colors[index];
}

BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle) {
  if (rect == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  RECT insets = FrameInsets(style, exStyle);
  rect->left -= insets.left;
  rect->top -= insets.top;
  rect->right += insets.right;
  rect->bottom += insets.bottom;
  if (menu) rect->top -= Metric(SM_CYMENU);
  return TRUE;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
  return FindResource(kCursors, instance, name);
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
  return FindResource(kIcons, instance, name);
}

HCURSOR WINAPI GetCursor(void) { return CurrentCursor(); }

HCURSOR WINAPI SetCursor(HCURSOR cursor) {
  HCURSOR previous = CurrentCursor();
  CurrentCursor() = cursor;
  return previous;
}
