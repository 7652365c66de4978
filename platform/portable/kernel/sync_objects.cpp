// Semaphores and mutexes for a program with one thread. A mutex is always available to that
// thread (recursively); a semaphore wait with no unit left cannot be satisfied by anyone, so
// it waits out its timeout on the layer's clock.
#include "host.h"
#include "kernel_objects.h"

using portable::KernelObject;
using portable::KernelObjectKind;

namespace {

bool IsNamed(LPCSTR name) { return name && name[0] != '\0'; }

// An existing object of the same name: a new handle to it (ERROR_ALREADY_EXISTS), or failure
// when it is of another kind. Null `found` means the name is free.
HANDLE OpenExisting(const std::shared_ptr<KernelObject>& found, KernelObjectKind kind) {
  if (found->kind != kind) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  HANDLE handle = portable::InsertKernelHandle(found);
  SetLastError(ERROR_ALREADY_EXISTS);
  return handle;
}

HANDLE CreateObject(std::shared_ptr<KernelObject> object, LPCSTR name) {
  if (IsNamed(name)) {
    object->name = name;
    portable::RegisterKernelName(object);
  }
  HANDLE handle = portable::InsertKernelHandle(std::move(object));
  SetLastError(ERROR_SUCCESS);
  return handle;
}

}  // namespace

HANDLE WINAPI CreateSemaphoreA(LPSECURITY_ATTRIBUTES /*attributes*/, LONG initialCount,
                               LONG maximumCount, LPCSTR name) {
  if (maximumCount <= 0 || initialCount < 0 || initialCount > maximumCount) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (IsNamed(name)) {
    if (auto found = portable::FindNamedKernelObject(name))
      return OpenExisting(found, KernelObjectKind::Semaphore);
  }
  auto object = std::make_shared<KernelObject>();
  object->kind = KernelObjectKind::Semaphore;
  object->count = initialCount;
  object->maximum = maximumCount;
  return CreateObject(std::move(object), name);
}

HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES /*attributes*/, BOOL initialOwner, LPCSTR name) {
  if (IsNamed(name)) {
    // Opening an existing mutex never takes ownership, whatever initialOwner says.
    if (auto found = portable::FindNamedKernelObject(name))
      return OpenExisting(found, KernelObjectKind::Mutex);
  }
  auto object = std::make_shared<KernelObject>();
  object->kind = KernelObjectKind::Mutex;
  object->ownership = initialOwner ? 1 : 0;
  return CreateObject(std::move(object), name);
}

DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  auto object = portable::LookupKernelHandle(handle);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  switch (object->kind) {
    case KernelObjectKind::Mutex: ++object->ownership; return WAIT_OBJECT_0;
    case KernelObjectKind::Stream: return WAIT_OBJECT_0;  // no I/O is ever pending
    case KernelObjectKind::Semaphore: break;
  }
  if (object->count > 0) {
    --object->count;
    return WAIT_OBJECT_0;
  }
  if (milliseconds == INFINITE) {
    // No other thread can ever release a unit: fail rather than hang the program.
    SetLastError(ERROR_POSSIBLE_DEADLOCK);
    return WAIT_FAILED;
  }
  if (milliseconds > 0) portable::CurrentHost().GetClock().SleepMs(milliseconds);
  return WAIT_TIMEOUT;
}

BOOL WINAPI ReleaseSemaphore(HANDLE semaphore, LONG releaseCount, LPLONG previousCount) {
  auto object = portable::LookupKernelHandle(semaphore);
  if (!object || object->kind != KernelObjectKind::Semaphore) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (releaseCount <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (releaseCount > object->maximum - object->count) {
    SetLastError(ERROR_TOO_MANY_POSTS);
    return FALSE;
  }
  if (previousCount) *previousCount = object->count;
  object->count += releaseCount;
  return TRUE;
}

BOOL WINAPI ReleaseMutex(HANDLE mutex) {
  auto object = portable::LookupKernelHandle(mutex);
  if (!object || object->kind != KernelObjectKind::Mutex) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (object->ownership == 0) {
    SetLastError(ERROR_NOT_OWNER);
    return FALSE;
  }
  --object->ownership;
  return TRUE;
}
