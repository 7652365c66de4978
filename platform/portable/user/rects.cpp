// Rectangle helpers. An empty rectangle is one with no area (right <= left or bottom <= top).
#include <algorithm>
#include <cstdint>

#include "../../win32.h"

BOOL WINAPI SetRect(LPRECT rect, int left, int top, int right, int bottom) {
  if (rect == nullptr) return FALSE;
  *rect = RECT{left, top, right, bottom};
  return TRUE;
}

BOOL WINAPI SetRectEmpty(LPRECT rect) {
  if (rect == nullptr) return FALSE;
  *rect = RECT{0, 0, 0, 0};
  return TRUE;
}

BOOL WINAPI IsRectEmpty(const RECT* rect) {
  return rect == nullptr || rect->right <= rect->left || rect->bottom <= rect->top;
}

BOOL WINAPI IntersectRect(LPRECT dest, const RECT* a, const RECT* b) {
  if (dest == nullptr) return FALSE;
  if (a == nullptr || b == nullptr || IsRectEmpty(a) || IsRectEmpty(b) || a->left >= b->right ||
      b->left >= a->right || a->top >= b->bottom || b->top >= a->bottom) {
    SetRectEmpty(dest);
    return FALSE;
  }
  *dest = RECT{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
               std::min(a->bottom, b->bottom)};
  return TRUE;
}

BOOL WINAPI UnionRect(LPRECT dest, const RECT* a, const RECT* b) {
  if (dest == nullptr) return FALSE;
  bool aEmpty = a == nullptr || IsRectEmpty(a);
  bool bEmpty = b == nullptr || IsRectEmpty(b);
  if (aEmpty && bEmpty) {
    SetRectEmpty(dest);
    return FALSE;
  }
  if (aEmpty) {
    *dest = *b;
  } else if (bEmpty) {
    *dest = *a;
  } else {
    *dest = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                 std::max(a->bottom, b->bottom)};
  }
  return TRUE;
}

// Coordinates wrap like 32-bit machine arithmetic instead of overflowing.
static LONG Add(LONG a, int b) {
  return static_cast<LONG>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

BOOL WINAPI OffsetRect(LPRECT rect, int dx, int dy) {
  if (rect == nullptr) return FALSE;
  rect->left = Add(rect->left, dx);
  rect->right = Add(rect->right, dx);
  rect->top = Add(rect->top, dy);
  rect->bottom = Add(rect->bottom, dy);
  return TRUE;
}

BOOL WINAPI PtInRect(const RECT* rect, POINT point) {
  if (rect == nullptr) return FALSE;
  return point.x >= rect->left && point.x < rect->right && point.y >= rect->top &&
         point.y < rect->bottom;
}

BOOL WINAPI EqualRect(const RECT* a, const RECT* b) {
  if (a == nullptr || b == nullptr) return FALSE;
  return a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}
