#include "kernel_objects.h"

#include <map>
#include <mutex>
#include <unordered_map>

namespace portable {
namespace {

struct HandleTable {
  std::mutex lock;
  std::unordered_map<uintptr_t, std::shared_ptr<KernelObject>> open;
  std::map<std::string, std::weak_ptr<KernelObject>> names;
  uintptr_t next = 0x40;  // multiples of 4, as Windows hands them out
};

HandleTable& Table() {
  static HandleTable table;
  return table;
}

}  // namespace

HANDLE InsertKernelHandle(std::shared_ptr<KernelObject> object) {
  std::lock_guard<std::mutex> guard(Table().lock);
  uintptr_t value = Table().next;
  Table().next += 4;
  Table().open.emplace(value, std::move(object));
  return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> LookupKernelHandle(HANDLE handle) {
  std::lock_guard<std::mutex> guard(Table().lock);
  auto it = Table().open.find(reinterpret_cast<uintptr_t>(handle));
  return it == Table().open.end() ? nullptr : it->second;
}

std::shared_ptr<KernelObject> FindNamedKernelObject(const std::string& name) {
  std::lock_guard<std::mutex> guard(Table().lock);
  auto it = Table().names.find(name);
  if (it == Table().names.end()) return nullptr;
  auto object = it->second.lock();
  if (!object) Table().names.erase(it);
  return object;
}

void RegisterKernelName(const std::shared_ptr<KernelObject>& object) {
  std::lock_guard<std::mutex> guard(Table().lock);
  Table().names[object->name] = object;
}

}  // namespace portable

BOOL WINAPI CloseHandle(HANDLE handle) {
  std::shared_ptr<portable::KernelObject> released;  // dies outside the lock
  {
    std::lock_guard<std::mutex> guard(portable::Table().lock);
    auto it = portable::Table().open.find(reinterpret_cast<uintptr_t>(handle));
    if (it == portable::Table().open.end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    released = std::move(it->second);
    portable::Table().open.erase(it);
  }
  return TRUE;
}
