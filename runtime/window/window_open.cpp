// The runtime's window classes and the opening of a window into a caller's record.
#include "window_open.h"

#include "edges.h"
#include "window_procedure.h"

namespace {

constexpr uint32_t RUNTIME_FLAG_BITS =
    OPEN_DIRECT | OPEN_MDI_FRAME | OPEN_NO_CAPTION | OPEN_TOOL_WINDOW | OPEN_TOPMOST;
constexpr ATOM NO_MDI_CLIENT_ATOM = 0xFFFF;

ATOM RegisterRuntimeClass(const char* name, UINT style, HBRUSH background) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(WNDCLASSEXA);
  wc.style = style;
  wc.lpfnWndProc = WindowProcedure;
  wc.cbClsExtra = 0;
  wc.cbWndExtra = sizeof(void*);  // slot 0: the record's address
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(ICON_RESOURCE_ID));
  if (wc.hIcon == nullptr) wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  wc.hCursor = nullptr;  // the window procedure shows the record's cursor
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  return RegisterClassExA(&wc);
}

void AddWindowMenuAndMdiClient(WindowRecord* record, HINSTANCE instance) {
  HMENU bar = CreateMenu();
  HMENU popup = CreateMenu();
  AppendMenuA(popup, 0, CMD_MDI_CASCADE, "&Cascade");
  AppendMenuA(popup, 0, CMD_MDI_TILE, "&Tile");
  AppendMenuA(popup, 0, CMD_MDI_ARRANGE, "&Arrange Icons");
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "&Window");
  SetMenu(record->hwnd, bar);

  RECT client{};
  GetClientRect(record->hwnd, &client);
  CLIENTCREATESTRUCT ccs{};
  ccs.hWindowMenu = popup;
  ccs.idFirstChild = MDI_FIRST_CHILD_ID;
  record->mdiClient =
      CreateWindowExA(0, "MDICLIENT", "", WS_CHILD | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL, 0,
                      0, client.right - client.left, client.bottom - client.top, record->hwnd,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(MDI_CLIENT_ID)), instance, &ccs);
  MdiClientAtom = static_cast<ATOM>(GetClassWord(record->mdiClient, GCW_ATOM));
  ShowWindow(record->mdiClient, SW_SHOW);
}

// Copies the drawing state of a fresh context into the record.
void TakeDrawingState(WindowRecord* record, HDC dc) {
  GetCurrentPositionEx(dc, &record->penPos);
  HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
  LOGPEN logPen{};
  // A handler that drew during creation left a pen and font in the record: they are replaced
  // here, so they are deleted here.
  if (pen != nullptr && GetObjectA(pen, sizeof(logPen), &logPen) != 0) {
    if (record->pen != nullptr) DeleteObject(record->pen);
    record->pen = CreatePenIndirect(&logPen);
  }
  HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
  LOGFONTA logFont{};
  if (font != nullptr && GetObjectA(font, sizeof(logFont), &logFont) != 0) {
    if (record->font != nullptr) DeleteObject(record->font);
    record->font = CreateFontIndirectA(&logFont);
  }
  record->bkMode = GetBkMode(dc);
  record->bkColor = GetBkColor(dc);
  record->rop2 = GetROP2(dc);
}

}  // namespace

int32_t WindowClassesRegister() {
  if (WndClassAtom == 0) {
    WndClassAtom = RegisterRuntimeClass("KorvexWndClass", CS_BYTEALIGNCLIENT | CS_DBLCLKS,
                                        static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  if (FrameClassAtom == 0) {
    FrameClassAtom = RegisterRuntimeClass(
        "KorvexFrameClass", CS_BYTEALIGNWINDOW | CS_DBLCLKS,
        reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_APPWORKSPACE + 1)));
  }
  return 0;
}

int32_t WindowOpen(WindowRecord* record, int32_t x, int32_t y, int32_t width, int32_t height,
                   uint32_t flags, WindowRecord* parent, const char* title, WindowHandler handler) {
  if (record == nullptr) return 0;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WindowClassesRegister();

  HWND parentWindow = (parent != nullptr) ? parent->hwnd : nullptr;
  bool mdiChild = false;
  record->hasBacking = (flags & OPEN_DIRECT) ? 0 : 1;

  DWORD style = (flags & ~RUNTIME_FLAG_BITS) | WS_VISIBLE;
  if (parentWindow != nullptr) {
    style |= WS_CHILD | WS_CLIPSIBLINGS;
    if (parent->mdiClient != nullptr) {
      parentWindow = parent->mdiClient;
      mdiChild = true;
    }
  } else {
    style |= WS_POPUP | WS_CLIPCHILDREN;
  }
  if (!(flags & OPEN_NO_CAPTION)) style |= WS_CAPTION | WS_SYSMENU;

  DWORD exStyle = 0;
  if (mdiChild) exStyle |= WS_EX_MDICHILD;
  if (flags & OPEN_TOOL_WINDOW) exStyle |= WS_EX_TOOLWINDOW;
  if (flags & OPEN_TOPMOST) exStyle |= WS_EX_TOPMOST;

  record->handler = handler;
  record->lentContext = nullptr;
  record->heldContext = nullptr;
  record->holdCount = 0;
  record->isDialog = 0;
  record->mdiClient = nullptr;
  record->lentContext2 = nullptr;
  record->surfaceOwner = nullptr;
  record->hasSurface = 0;
  record->extension = nullptr;

  CreatingRecord = record;
  record->hwnd =
      CreateWindowExA(exStyle, (flags & OPEN_MDI_FRAME) ? "KorvexFrameClass" : "KorvexWndClass",
                      title, style, x, y, width, height, parentWindow, nullptr, instance, nullptr);
  CreatingRecord = nullptr;
  record->handler = nullptr;
  if (record->hwnd == nullptr) return 0;

  if (style & WS_MAXIMIZE) {
    ShowWindow(record->hwnd, SW_SHOWMAXIMIZED);
  } else if (style & WS_MINIMIZE) {
    ShowWindow(record->hwnd, SW_MINIMIZE);
  }

  if (flags & OPEN_MDI_FRAME) {
    AddWindowMenuAndMdiClient(record, instance);
  } else if (MdiClientAtom == 0) {
    MdiClientAtom = NO_MDI_CLIENT_ATOM;
  }

  int32_t screenWidth = GetSystemMetrics(SM_CXSCREEN);
  int32_t screenHeight = GetSystemMetrics(SM_CYSCREEN);
  HDC windowDc = GetDC(record->hwnd);
  if (windowDc != nullptr) {
    HDC memoryDc = CreateCompatibleDC(windowDc);
    record->fillColor = GetSysColor(COLOR_WINDOW);
    HGDIOBJ previousBitmap = nullptr;
    if (record->hasBacking) {
      record->backingBitmap = CreateCompatibleBitmap(windowDc, screenWidth, screenHeight);
      previousBitmap = SelectObject(memoryDc, record->backingBitmap);
      FillRectColor(memoryDc, 0, 0, screenWidth, screenHeight, record->fillColor);
    } else {
      FillRectColor(windowDc, 0, 0, width, height, record->fillColor);
    }
    TakeDrawingState(record, memoryDc);
    record->cursor = LoadCursorA(nullptr, IDC_ARROW);
    record->penWidth = 1;
    record->penStyle = 0;
    record->dialogKeys = 0;
    record->handler = handler;
    if (record->hasBacking) SelectObject(memoryDc, previousBitmap);
    DeleteDC(memoryDc);
    ReleaseDC(record->hwnd, windowDc);
  }

  SetWindowLongPtrA(record->hwnd, 0, reinterpret_cast<LONG_PTR>(record));
  return 1;
}

int32_t WindowClientSize(WindowRecord* record, int32_t* left, int32_t* top, int32_t* width,
                         int32_t* height) {
  RECT client{};
  if (record != nullptr && record->hwnd != nullptr) GetClientRect(record->hwnd, &client);
  if (left != nullptr) *left = 0;
  if (top != nullptr) *top = 0;
  if (width != nullptr) *width = client.right - client.left;
  if (height != nullptr) *height = client.bottom - client.top;
  return 0;
}

int32_t ScreenSize(int32_t* width, int32_t* height) {
  if (width != nullptr) *width = GetSystemMetrics(SM_CXSCREEN);
  if (height != nullptr) *height = GetSystemMetrics(SM_CYSCREEN);
  return 0;
}

int32_t FillRectColor(HDC dc, int32_t x, int32_t y, int32_t width, int32_t height,
                      COLORREF colour) {
  if (dc == nullptr) return 0;
  SetBkColor(dc, colour);
  RECT area{x, y, EdgeOf(x, width), EdgeOf(y, height)};
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
  return 0;
}
