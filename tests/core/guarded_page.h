// One readable and writable page followed by a page that cannot be touched, so that a read
// one byte past the first page faults.
#pragma once

#include <cstddef>

#include "platform/win32.h"

#if !defined(_WIN32)
#include <sys/mman.h>
#include <unistd.h>
#endif

class GuardedPage {
 public:
  GuardedPage() {
#if defined(_WIN32)
    pageBytes_ = 4096;
    base_ = static_cast<char*>(
        VirtualAlloc(nullptr, 2 * pageBytes_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old = 0;
    guarded_ = base_ && VirtualProtect(base_ + pageBytes_, pageBytes_, PAGE_NOACCESS, &old);
#else
    pageBytes_ = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    void* p =
        mmap(nullptr, 2 * pageBytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    base_ = p == MAP_FAILED ? nullptr : static_cast<char*>(p);
    guarded_ = base_ && mprotect(base_ + pageBytes_, pageBytes_, PROT_NONE) == 0;
#endif
  }
  ~GuardedPage() {
#if defined(_WIN32)
    if (base_) VirtualFree(base_, 0, MEM_RELEASE);
#else
    if (base_) munmap(base_, 2 * pageBytes_);
#endif
  }
  GuardedPage(const GuardedPage&) = delete;
  GuardedPage& operator=(const GuardedPage&) = delete;

  bool Ready() const { return guarded_; }
  // The first byte that must not be read.
  char* End() const { return base_ + pageBytes_; }

 private:
  size_t pageBytes_ = 0;
  char* base_ = nullptr;
  bool guarded_ = false;
};
