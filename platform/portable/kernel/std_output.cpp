// The standard handles and WriteFile on them: bytes go straight to file descriptors 1 and 2.
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "kernel_objects.h"

using portable::KernelObject;
using portable::KernelObjectKind;

namespace {

HANDLE StreamHandle(int fd) {
  // One handle per stream for the life of the process, made on first request.
  static HANDLE handles[3] = {nullptr, nullptr, nullptr};
  if (!handles[fd]) {
    auto object = std::make_shared<KernelObject>();
    object->kind = KernelObjectKind::Stream;
    object->fd = fd;
    object->writable = fd != 0;
    handles[fd] = portable::InsertKernelHandle(std::move(object));
  }
  return handles[fd];
}

}  // namespace

HANDLE WINAPI GetStdHandle(DWORD which) {
  switch (which) {
    case STD_INPUT_HANDLE: return StreamHandle(0);
    case STD_OUTPUT_HANDLE: return StreamHandle(1);
    case STD_ERROR_HANDLE: return StreamHandle(2);
    default: SetLastError(ERROR_INVALID_HANDLE); return INVALID_HANDLE_VALUE;
  }
}

BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
                      LPOVERLAPPED /*overlapped*/) {
  if (bytesWritten) *bytesWritten = 0;
  auto object = portable::LookupKernelHandle(file);
  if (!object || object->kind != KernelObjectKind::Stream) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!object->writable) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (!buffer && bytesToWrite > 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // Whatever the C library still buffers for this stream goes out first, to keep the order.
  std::fflush(object->fd == 1 ? stdout : stderr);
  const char* bytes = static_cast<const char*>(buffer);
  DWORD done = 0;
  while (done < bytesToWrite) {
    ssize_t n = ::write(object->fd, bytes + done, bytesToWrite - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      SetLastError(errno == EPIPE ? ERROR_BROKEN_PIPE : ERROR_WRITE_FAULT);
      if (bytesWritten) *bytesWritten = done;
      return FALSE;
    }
    done += static_cast<DWORD>(n);
  }
  if (bytesWritten) *bytesWritten = done;
  return TRUE;
}
