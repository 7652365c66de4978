// The drawing-context bracket: a fresh context per operation, carrying the record's state.
#include "draw_context.h"

#include "../window/deferred_delete.h"

namespace {

void ApplyTextColourOfPen(HDC dc, HPEN pen) {
  LOGPEN logPen{};
  if (pen != nullptr && GetObjectA(pen, sizeof(logPen), &logPen) != 0) {
    SetTextColor(dc, logPen.lopnColor);
  }
}

}  // namespace

HDC DrawContextAcquire(WindowRecord* record) {
  if (record == nullptr || record->hwnd == nullptr) return nullptr;
  if (record->lentContext2 != nullptr) return record->lentContext2;
  if (record->lentContext != nullptr) return record->lentContext;
  if (record->holdCount != 0 && record->heldContext != nullptr) {
    ++record->holdCount;
    return record->heldContext;
  }
  // No surface is ever attached: a surface window has nothing to draw with.
  if (record->hasSurface) return nullptr;
  HDC windowDc = GetDC(record->hwnd);
  if (windowDc == nullptr) return nullptr;

  const bool backed = record->hasBacking != 0;
  HDC dc = backed ? CreateCompatibleDC(windowDc) : windowDc;
  SaveDC(dc);
  if (backed) SelectObject(dc, record->backingBitmap);
  MoveToEx(dc, record->penPos.x, record->penPos.y, nullptr);
  if (record->font != nullptr) SelectObject(dc, record->font);
  if (record->pen != nullptr) SelectObject(dc, record->pen);
  ApplyTextColourOfPen(dc, record->pen);
  SetTextAlign(dc, TA_UPDATECP);
  SetBkMode(dc, record->bkMode);
  SetBkColor(dc, record->bkColor);
  SetROP2(dc, record->rop2);
  if (backed) ReleaseDC(record->hwnd, windowDc);

  record->heldContext = dc;
  record->holdCount = 1;
  SetBoundsRect(dc, nullptr, DCB_RESET | DCB_ACCUMULATE | DCB_ENABLE);
  return dc;
}

int32_t DrawContextRelease(WindowRecord* record, HDC dc, int32_t refresh) {
  if (record == nullptr || record->hwnd == nullptr) return 0;
  if (record->lentContext2 != nullptr || record->lentContext != nullptr) return 0;
  const bool backed = record->hasBacking != 0;
  if (record->holdCount != 0) --record->holdCount;
  if (record->holdCount != 0) {
    if (backed && refresh) {
      InvalidateRect(record->hwnd, nullptr, FALSE);
      UpdateWindow(record->hwnd);
    }
    return 0;
  }
  record->heldContext = nullptr;
  if (dc == nullptr) return 0;

  GetCurrentPositionEx(dc, &record->penPos);
  record->bkMode = GetBkMode(dc);
  record->bkColor = GetBkColor(dc);
  record->rop2 = GetROP2(dc);
  LOGPEN logPen{};
  HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
  const bool hasPen = pen != nullptr && GetObjectA(pen, sizeof(logPen), &logPen) != 0;
  LOGFONTA logFont{};
  HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
  const bool hasFont = font != nullptr && GetObjectA(font, sizeof(logFont), &logFont) != 0;

  if (backed && refresh) {
    RECT bounds{};
    if ((GetBoundsRect(dc, &bounds, DCB_RESET) & DCB_SET) == DCB_SET) {
      InvalidateRect(record->hwnd, &bounds, FALSE);
    }
  }
  RestoreDC(dc, -1);
  // Pens of nested pen changes were selected in this context until now.
  FlushDeferredDeletes(dc);
  if (hasPen) {
    if (record->pen != nullptr) DeleteObject(record->pen);
    record->pen = CreatePenIndirect(&logPen);
  }
  if (hasFont) {
    if (record->font != nullptr) DeleteObject(record->font);
    record->font = CreateFontIndirectA(&logFont);
  }
  if (backed) {
    DeleteDC(dc);
  } else {
    ReleaseDC(record->hwnd, dc);
  }
  if (backed && refresh) UpdateWindow(record->hwnd);
  return 0;
}
