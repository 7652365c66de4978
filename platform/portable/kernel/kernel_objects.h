// The layer's table of kernel object handles (semaphores, mutexes, standard streams).
// Handles are opaque numbers looked up in the table; a stale or foreign handle is simply not
// found, so every call can fail with ERROR_INVALID_HANDLE instead of crashing.
#pragma once

#include <memory>
#include <string>

#include "../../win32.h"

namespace portable {

enum class KernelObjectKind { Semaphore, Mutex, Stream };

struct KernelObject {
  KernelObjectKind kind;
  std::string name;  // empty: unnamed
  // Semaphore
  LONG count = 0;
  LONG maximum = 0;
  // Mutex: the one thread's recursion depth; 0 when not owned
  LONG ownership = 0;
  // Stream
  int fd = -1;
  bool writable = false;
};

// A new handle to `object`. Handles are never reused, so a closed handle stays invalid.
HANDLE InsertKernelHandle(std::shared_ptr<KernelObject> object);
// The object behind a handle, or null when the handle is not open.
std::shared_ptr<KernelObject> LookupKernelHandle(HANDLE handle);
// The live named object of that name, or null.
std::shared_ptr<KernelObject> FindNamedKernelObject(const std::string& name);
// Makes a named object findable while any handle to it stays open.
void RegisterKernelName(const std::shared_ptr<KernelObject>& object);

}  // namespace portable
