// Painting: a backed window copies itself from its bitmap, a direct window asks its handler;
// erasing fills with the record's colour and lends the erase context to the handler.
#include "paint.h"

#include "deferred_delete.h"
#include "event_dispatch.h"

namespace {

struct ChildClip {
  HWND window;
  HDC dc;
};

// Visible children keep their own pixels: they are cut out of the paint.
BOOL CALLBACK ExcludeVisibleChild(HWND child, LPARAM data) {
  const ChildClip* clip = reinterpret_cast<const ChildClip*>(data);
  if (IsWindowVisible(child)) {
    RECT area{};
    GetWindowRect(child, &area);
    MapWindowPoints(nullptr, clip->window, reinterpret_cast<POINT*>(&area), 2);
    ExcludeClipRect(clip->dc, area.left, area.top, area.right, area.bottom);
  }
  return TRUE;
}

// The update rectangle limited to the bitmap: beyond it there are no backing pixels, and the
// erased background stays there.
RECT ClipToBitmap(RECT area, HBITMAP bitmap) {
  BITMAP info{};
  if (bitmap == nullptr || GetObjectA(bitmap, sizeof(info), &info) == 0) return RECT{};
  if (area.left < 0) area.left = 0;
  if (area.top < 0) area.top = 0;
  if (area.right > info.bmWidth) area.right = info.bmWidth;
  if (area.bottom > info.bmHeight) area.bottom = info.bmHeight;
  return area;
}

void CopyFromBitmap(HDC paintDc, const WindowRecord* record, RECT update) {
  RECT area = ClipToBitmap(update, record->backingBitmap);
  if (area.right <= area.left || area.bottom <= area.top) return;
  HDC memoryDc = CreateCompatibleDC(paintDc);
  HGDIOBJ previous = SelectObject(memoryDc, record->backingBitmap);
  BitBlt(paintDc, area.left, area.top, area.right - area.left, area.bottom - area.top, memoryDc,
         area.left, area.top, SRCCOPY);
  SelectObject(memoryDc, previous);
  DeleteDC(memoryDc);
}

}  // namespace

LRESULT EraseBackground(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  if (hwnd == nullptr) return 1;
  HDC dc = reinterpret_cast<HDC>(wParam);
  WindowRecord* record = WindowRecordOf(hwnd);
  COLORREF colour = record != nullptr ? record->fillColor : GetSysColor(COLOR_WINDOW);

  HBRUSH brush = CreateSolidBrush(colour);
  HGDIOBJ previous = SelectObject(dc, brush);
  RECT box{};
  GetClipBox(dc, &box);
  PatBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, PATCOPY);
  SelectObject(dc, previous);
  DeleteObject(brush);
  if (record == nullptr) return 1;

  SaveDC(dc);
  record->lentContext = dc;
  EventDispatch(record, static_cast<UINT>(EVENT_ERASE_BACKGROUND), wParam, lParam);
  record->lentContext = nullptr;
  RestoreDC(dc, -1);
  FlushDeferredDeletes(dc);
  return 1;
}

LRESULT PaintWindow(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  if (hwnd == nullptr) return 1;
  WindowRecord* record = WindowRecordOf(hwnd);
  if (record == nullptr) return 1;

  RECT update{};
  GetUpdateRect(hwnd, &update, FALSE);
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(hwnd, &paint);
  ChildClip clip{hwnd, dc};
  EnumChildWindows(hwnd, ExcludeVisibleChild, reinterpret_cast<LPARAM>(&clip));

  if (!record->hasBacking) {
    EventDispatch(record, WM_PAINT, wParam, lParam);
  } else if (record->heldContext != nullptr) {
    RECT bounds{};
    if ((GetBoundsRect(record->heldContext, &bounds, DCB_RESET) & DCB_SET) == DCB_SET) {
      BitBlt(dc, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
             record->heldContext, bounds.left, bounds.top, SRCCOPY);
    }
  } else {
    CopyFromBitmap(dc, record, update);
  }
  EndPaint(hwnd, &paint);
  return 1;
}
