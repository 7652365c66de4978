// Typed global-memory blocks, doubly linked lists, exit callbacks and the window registry.
#pragma once

#include <cstdint>

struct WindowRecord;

// Element type codes of GlobalBlockAlloc (shared with the print item types), plus bytes.
constexpr int32_t BLOCK_TYPE_BYTES = 15;

struct ListNode {
  ListNode* next;
  ListNode* prev;
  void* data;
};

typedef void (*ExitCallback)(int32_t argument);

struct ExitCallbackEntry {
  ExitCallback callback;
  int32_t argument;
};

struct WindowRegistryNode {
  WindowRegistryNode* next;
  WindowRecord* record;
};

extern ListNode* ExitCallbackList;
extern WindowRegistryNode* WindowRegistry;

int32_t GlobalBlockElementSize(int32_t typeCode);
void* GlobalBlockAlloc(int32_t typeCode, int32_t count);
int32_t GlobalBlockFree(void* block);
int32_t GlobalBlockAllocOut(void** out, int32_t count, int32_t size);

ListNode* ListCreate();
void* ListAppend(ListNode* head, void* data);
void* ListInsertFirst(ListNode* head, void* data);
ListNode* ListRemove(ListNode* node, int32_t freeData);
int32_t ListFree(ListNode* head, int32_t freeData);
ListNode* ListFirst(ListNode* head);
ListNode* ListNext(ListNode* node);
void* ListData(ListNode* node);

int32_t ExitCallbackRegister(ExitCallback callback, int32_t argument);
int32_t RunExitSequence();
