// Drawing primitives on a runtime window, each inside one drawing-context bracket.
#include "draw.h"

#include "../window/edges.h"
#include "../window/deferred_delete.h"
#include "draw_context.h"

namespace {

bool IsOpen(const WindowRecord* record) { return record != nullptr && record->hwnd != nullptr; }

}  // namespace

int32_t DrawSetBackColor(WindowRecord* record, COLORREF colour) {
  if (!IsOpen(record)) return 0;
  HDC dc = DrawContextAcquire(record);
  SetBkColor(dc, colour);
  DrawContextRelease(record, dc, 1);
  return 0;
}

int32_t DrawSetPenColor(WindowRecord* record, COLORREF colour) {
  if (!IsOpen(record)) return 0;
  HDC dc = DrawContextAcquire(record);
  const bool lent = record->lentContext != nullptr || record->lentContext2 != nullptr;
  HPEN pen = CreatePen(record->penStyle, record->penWidth, colour);
  HGDIOBJ displaced = (pen != nullptr && dc != nullptr) ? SelectObject(dc, pen) : nullptr;
  SetTextColor(dc, colour);
  DrawContextRelease(record, dc, 0);
  if (pen == nullptr) return 0;
  if (displaced == nullptr || (!lent && record->heldContext == nullptr)) {
    // The bracket is closed and the record keeps its own copy (or the pen was never selected).
    DeleteObject(pen);
    return 0;
  }
  // The pen stays selected in a context that lives on (lent, or held by an outer bracket):
  // it is deleted once that context has been restored.
  HGDIOBJ replaced = nullptr;
  if (DeferDelete(dc, pen, &replaced)) {
    // A pen deferred earlier for this context was displaced just now.
    if (replaced != nullptr) DeleteObject(replaced);
  } else {
    SelectObject(dc, displaced);
    DeleteObject(pen);
  }
  return 0;
}

int32_t DrawMoveTo(WindowRecord* record, int32_t x, int32_t y) {
  if (!IsOpen(record)) return 0;
  HDC dc = DrawContextAcquire(record);
  MoveToEx(dc, x, y, nullptr);
  DrawContextRelease(record, dc, 1);
  return 0;
}

int32_t DrawPoint(WindowRecord* record, int32_t x, int32_t y, COLORREF colour) {
  HDC dc = DrawContextAcquire(record);
  if (colour == NO_COLOUR) colour = GetTextColor(dc);
  SetPixelV(dc, x, y, colour);
  DrawContextRelease(record, dc, 1);
  return 0;
}

int32_t DrawRect(WindowRecord* record, int32_t x, int32_t y, int32_t width, int32_t height,
                 COLORREF outline, COLORREF fill) {
  if (!IsOpen(record)) return 0;
  HDC dc = DrawContextAcquire(record);
  const int32_t right = EdgeOf(x, width);
  const int32_t bottom = EdgeOf(y, height);
  if (outline == NO_COLOUR || fill == NO_COLOUR) {
    COLORREF penColour = outline == NO_COLOUR ? GetTextColor(dc) : outline;
    HPEN pen = CreatePen(record->penStyle, record->penWidth, penColour);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    // NULL_BRUSH is a stock object: the release's RestoreDC deselects it.
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, x, y, right, bottom);
    SelectObject(dc, oldPen);
    if (pen != nullptr) DeleteObject(pen);
  } else {
    HPEN pen = CreatePen(record->penStyle, record->penWidth, outline);
    HBRUSH brush = CreateSolidBrush(fill);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    Rectangle(dc, x, y, right, bottom);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    if (pen != nullptr) DeleteObject(pen);
    if (brush != nullptr) DeleteObject(brush);
  }
  DrawContextRelease(record, dc, 1);
  return 0;
}

int32_t DrawClear(WindowRecord* record, COLORREF colour) {
  if (!IsOpen(record)) return 0;
  record->fillColor = colour;
  if (record->hasBacking) {
    DrawRect(record, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), colour,
             colour);
  } else {
    InvalidateRect(record->hwnd, nullptr, TRUE);
  }
  return 0;
}
