// Typed global-memory blocks, doubly linked lists and the exit callbacks.
#include "global_lists.h"

#include "../../platform/win32.h"
#include "heap.h"

ListNode* ExitCallbackList = nullptr;
WindowRegistryNode* WindowRegistry = nullptr;

namespace {

// Requests above this are refused: sizes and counts are signed 32-bit throughout.
constexpr int64_t kMaxBlockBytes = INT32_MAX;

void* AllocZeroed(int64_t bytes) {
  if (bytes < 0 || bytes > kMaxBlockBytes) return nullptr;
  return GlobalAlloc(GMEM_ZEROINIT, static_cast<SIZE_T>(bytes));
}

// Runtime records are pointer-sized fields, so they are sized from their type.
template <typename T>
T* AllocRecord() {
  return static_cast<T*>(GlobalBlockAlloc(BLOCK_TYPE_BYTES, static_cast<int32_t>(sizeof(T))));
}

}  // namespace

int32_t GlobalBlockElementSize(int32_t typeCode) {
  switch (typeCode) {
    case 0: return 255;  // a fixed string slot
    case 1:
    case BLOCK_TYPE_BYTES: return 1;
    case 13: return 2;
    case 14:
    case 17:
    case 18: return 8;
    default: return 4;
  }
}

void* GlobalBlockAlloc(int32_t typeCode, int32_t count) {
  // A count that is not positive, or a product that does not fit, gets no block at all
  // rather than a short one.
  if (count <= 0) return nullptr;
  return AllocZeroed(static_cast<int64_t>(count) * GlobalBlockElementSize(typeCode));
}

int32_t GlobalBlockFree(void* block) {
  if (block) GlobalFree(block);
  return 0;
}

int32_t GlobalBlockAllocOut(void** out, int32_t count, int32_t size) {
  if (!out) return -1;
  void* block = nullptr;
  if (count >= 0 && size >= 0) block = AllocZeroed(static_cast<int64_t>(count) * size);
  *out = block;
  return block ? 0 : -1;
}

ListNode* ListCreate() { return AllocRecord<ListNode>(); }

void* ListAppend(ListNode* head, void* data) {
  if (!head) return data;
  ListNode* last = head;
  while (last->next) last = last->next;
  ListNode* node = AllocRecord<ListNode>();
  if (!node) return data;  // refused: the list stays as it was
  last->next = node;
  node->prev = last;
  node->data = data;
  return data;
}

void* ListInsertFirst(ListNode* head, void* data) {
  if (!head) return data;
  ListNode* node = AllocRecord<ListNode>();
  if (!node) return data;  // refused: the list stays as it was
  ListNode* oldFirst = head->next;
  head->next = node;
  if (oldFirst) {
    node->next = oldFirst;
    oldFirst->prev = node;
  }
  node->prev = head;
  node->data = data;
  return data;
}

ListNode* ListRemove(ListNode* node, int32_t freeData) {
  if (!node) return nullptr;
  ListNode* prev = node->prev;
  ListNode* next = node->next;
  if (freeData) {
    GlobalBlockFree(node->data);
    node->data = nullptr;
  }
  if (prev) prev->next = next;
  if (next) next->prev = prev;
  GlobalBlockFree(node);
  return next;
}

int32_t ListFree(ListNode* head, int32_t freeData) {
  ListNode* node = head;
  while (node) {
    ListNode* next = node->next;
    if (node->data && (freeData & 1)) GlobalBlockFree(node->data);
    GlobalBlockFree(node);
    node = next;
  }
  return 0;
}

ListNode* ListFirst(ListNode* head) { return head ? head->next : nullptr; }

ListNode* ListNext(ListNode* node) { return node ? node->next : nullptr; }

void* ListData(ListNode* node) { return node ? node->data : nullptr; }

int32_t ExitCallbackRegister(ExitCallback callback, int32_t argument) {
  if (!callback) return 0;
  if (!ExitCallbackList) ExitCallbackList = ListCreate();
  if (!ExitCallbackList) return 0;
  auto* entry = AllocRecord<ExitCallbackEntry>();
  if (!entry) return 0;
  entry->callback = callback;
  entry->argument = argument;
  ListInsertFirst(ExitCallbackList, entry);
  // Refused node: the entry was never linked, so nobody else would free it.
  if (ListData(ListFirst(ExitCallbackList)) != entry) GlobalBlockFree(entry);
  return 0;
}

int32_t RunExitSequence() {
  if (ExitCallbackList) {
    // Newest first. A callback may register another: it lands ahead of the node being
    // visited, so it is not run here, and it is freed with the rest.
    for (ListNode* node = ListFirst(ExitCallbackList); node; node = ListNext(node)) {
      auto* entry = static_cast<ExitCallbackEntry*>(ListData(node));
      if (entry && entry->callback) entry->callback(entry->argument);
    }
    ListFree(ExitCallbackList, 1);
  }
  if (RuntimeHeap) return RuntimeHeapDestroy();
  return 0;
}
