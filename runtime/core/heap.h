// The runtime's private heap (zero-filled blocks for strings and temporaries) and the stack
// of temporary strings that a statement parks until it has finished.
#pragma once

#include <cstdint>

#include "../../platform/win32.h"

constexpr int32_t TEMP_STRING_SLOTS = 100;

struct TempStringStackState {
  char* slots[TEMP_STRING_SLOTS];
  int32_t count;
};

extern HANDLE RuntimeHeap;
extern TempStringStackState TempStringStack;

int32_t RuntimeHeapCreate();
void* RuntimeHeapAlloc(int32_t size);
int32_t RuntimeHeapFree(void* block);
int32_t RuntimeHeapDestroy();
char* SpaceString(int32_t n);
int32_t TempStringPush(char* s);
int32_t TempStringPop(int32_t n);
int32_t TempStringClear();
