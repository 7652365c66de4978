// Process-level services: the tick count, sleeping, the module handle, the last error and
// the process exit.
#include <cstdio>
#include <cstdlib>

#include "host.h"

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

// Where a 32-bit program's image is normally loaded; any fixed non-null value serves.
const HINSTANCE kModuleHandle = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x00400000));

}  // namespace

DWORD WINAPI GetTickCount(void) {
  portable::Host& host = portable::CurrentHost();
  // Wraps every 2^32 ms, about 49.7 days, as on Windows.
  return static_cast<DWORD>(host.TickBase() + host.GetClock().NowMs());
}

void WINAPI Sleep(DWORD milliseconds) { portable::CurrentHost().GetClock().SleepMs(milliseconds); }

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
  if (!moduleName) return kModuleHandle;
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

DWORD WINAPI GetLastError(void) { return lastError; }

void WINAPI SetLastError(DWORD error) { lastError = error; }

void WINAPI ExitProcess(UINT exitCode) {
  portable::CurrentHost().ProcessExiting(exitCode);
  std::fflush(nullptr);
  std::exit(static_cast<int>(exitCode));
}
