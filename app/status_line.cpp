#include "status_line.h"

#include "../runtime/core/heap.h"
#include "../runtime/core/strings.h"
#include "../runtime/graphics/draw.h"
#include "../runtime/graphics/print.h"
#include "state.h"

namespace {

// A fresh heap copy of `s`; null when the heap refuses.
char* heapCopy(const char* s) {
  char* block = static_cast<char*>(RuntimeHeapAlloc(StringLength(s) + 1));
  if (block != nullptr) StringCopy(block, s);
  return block;
}

// A heap copy of a string the runtime made; the runtime's string is freed.
char* adoptCopy(char* runtimeString) {
  if (runtimeString == nullptr) return nullptr;
  char* copy = heapCopy(runtimeString);
  RuntimeHeapFree(runtimeString);
  return copy;
}

// Joins left and right into a new block and frees the inputs that are heap strings.
char* join(char* left, bool leftOnHeap, char* right) {
  if (left == nullptr || right == nullptr) {
    if (leftOnHeap && left != nullptr) RuntimeHeapFree(left);
    if (right != nullptr) RuntimeHeapFree(right);
    return nullptr;
  }
  char* block = static_cast<char*>(RuntimeHeapAlloc(StringLength(left) + StringLength(right) + 1));
  if (block != nullptr) {
    StringCopy(block, left);
    StringAppend(block, right);
  }
  if (leftOnHeap) RuntimeHeapFree(left);
  RuntimeHeapFree(right);
  return block;
}

// Parks the line while it is printed at the current position; popping frees it.
void printParked(char* line) {
  if (line == nullptr) return;
  TempStringPush(line);
  PrintList().Window(&mainWindow).String(line).Char(13).Char(10).Print();
  TempStringPop(1);
}

}  // namespace

char* buildStatusLine() {
  char* speedText = adoptCopy(NumberToString(speed));
  char* curveLabel = heapCopy(CURVE_LABEL);
  char* curveText = adoptCopy(NumberToString(static_cast<double>(lastCurve)));
  char* tail = heapCopy(CONTROLS_TAIL);
  char* line = join(const_cast<char*>(SPEED_LABEL), false, speedText);
  line = join(line, true, curveLabel);
  line = join(line, true, curveText);
  return join(line, true, tail);
}

char* buildPauseLine() {
  char* blanks = adoptCopy(SpaceString(PAUSE_PADDING));
  return join(const_cast<char*>(PAUSE_TEXT), false, blanks);
}

void printStatusLine() {
  if (statusLinesShown == 0) return;
  DrawMoveTo(&mainWindow, 0, 0);
  printParked(buildStatusLine());
}

void printPauseLine() {
  if (statusLinesShown == 0) return;
  DrawMoveTo(&mainWindow, 0, 0);
  printParked(buildPauseLine());
}
