// The record of one runtime window, the flags and ids of its creation, and the classes' atoms.
#pragma once

#include <cstdint>

#include "../../platform/win32.h"

// An application routine that handles the event in CurrentEvent; non-zero means handled.
typedef int32_t (*WindowHandler)();

struct WindowRecord {
  HWND hwnd;
  HBITMAP backingBitmap;
  HFONT font;
  HPEN pen;
  HWND mdiClient;
  POINT penPos;
  int32_t bkMode;
  int32_t rop2;
  int32_t penStyle;
  int32_t penWidth;
  COLORREF bkColor;
  COLORREF fillColor;
  int32_t hasBacking;
  int32_t dialogKeys;
  HCURSOR cursor;
  HDC lentContext;
  HDC heldContext;
  int32_t holdCount;
  int32_t isDialog;
  void* dialogData;
  int32_t hasSurface;
  void* surfaceOwner;
  WindowHandler handler;
  void* extension;
  HDC lentContext2;
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(WindowRecord) == 26 * 4, "the 32-bit record is 26 consecutive 32-bit fields");
#endif

// Flags of WindowOpen that belong to the runtime; every other bit is a window style.
constexpr uint32_t OPEN_DIRECT = 0x10;
constexpr uint32_t OPEN_MDI_FRAME = 0x20;
constexpr uint32_t OPEN_NO_CAPTION = 0x40;
constexpr uint32_t OPEN_TOOL_WINDOW = 0x200;
constexpr uint32_t OPEN_TOPMOST = 0x400;

// Commands of the "&Window" menu of an MDI frame.
constexpr uint32_t CMD_MDI_CASCADE = 32773;
constexpr uint32_t CMD_MDI_TILE = 32774;
constexpr uint32_t CMD_MDI_ARRANGE = 32775;

constexpr int MDI_CLIENT_ID = 3244;
constexpr UINT MDI_FIRST_CHILD_ID = 16464;
constexpr int ICON_RESOURCE_ID = 101;

extern ATOM WndClassAtom;
extern ATOM FrameClassAtom;
extern ATOM MdiClientAtom;
// The record of the window being created, while CreateWindowExA runs; null otherwise.
extern WindowRecord* CreatingRecord;

// The record stored in a window's extra slot 0, or null.
WindowRecord* WindowRecordOf(HWND hwnd);
