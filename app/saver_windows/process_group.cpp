#include "process_group.h"

#include <windows.h>

#include <string>

namespace {

// WaitForMultipleObjects watches at most 64 handles, the end event among them.
constexpr size_t MAX_COPIES = 32;
constexpr DWORD START_PATIENCE_MS = 10000;
constexpr DWORD END_PATIENCE_MS = 3000;

bool leading = false;
HANDLE ending = nullptr;
HANDLE started = nullptr;
HANDLE leader = nullptr;      // a copy's view of the leader
std::vector<HANDLE> members;  // what ends the group when it ends: the leader or the copies

HANDLE fromNumber(uint64_t value) {
  return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(value));
}

uint64_t toNumber(HANDLE handle) {
  return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(handle));
}

bool validHandle(uint64_t value) {
  if (value == 0 || value > UINTPTR_MAX) return false;
  DWORD flags = 0;
  return GetHandleInformation(fromNumber(value), &flags) != FALSE;
}

std::string ownPath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return "";
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

bool startCopy(const std::string& path, const SaverCopy& copy) {
  std::string commandLine = "\"" + path + "\" /copy " + FormatSaverCopy(copy);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  // Inherits the group's handles, the only inheritable ones this process holds.
  if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return false;
  }
  CloseHandle(info.hThread);
  members.push_back(info.hProcess);
  return true;
}

// Waits until `count` copies have said their window is up, or a member ends, or time is up.
void awaitCopies(size_t count) {
  const DWORD start = GetTickCount();
  for (size_t up = 0; up < count;) {
    const DWORD spent = GetTickCount() - start;
    if (spent >= START_PATIENCE_MS) return;
    std::vector<HANDLE> handles = {started, ending};
    handles.insert(handles.end(), members.begin(), members.end());
    const DWORD woken = WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(),
                                               FALSE, START_PATIENCE_MS - spent);
    if (woken != WAIT_OBJECT_0) return;
    ++up;
  }
}

}  // namespace

bool StartSaverCopies(const std::vector<PlainRect>& areas) {
  const std::string path = ownPath();
  if (areas.empty() || path.empty()) return false;
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const size_t count = areas.size() < MAX_COPIES ? areas.size() : MAX_COPIES;
  HANDLE self = nullptr;
  ending = CreateEventA(&inherited, TRUE, FALSE, nullptr);
  started = CreateSemaphoreA(&inherited, 0, static_cast<LONG>(count), nullptr);
  DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self, SYNCHRONIZE,
                  TRUE, 0);
  if (ending == nullptr || started == nullptr || self == nullptr) return false;
  SaverCopy copy;
  copy.leader = toNumber(self);
  copy.ending = toNumber(ending);
  copy.started = toNumber(started);
  for (size_t i = 0; i < count; ++i) {
    copy.area = areas[i];
    startCopy(path, copy);
  }
  if (members.empty()) return false;
  leading = true;
  awaitCopies(members.size());
  return true;
}

bool JoinSaverGroup(const SaverCopy& copy) {
  if (!validHandle(copy.leader) || !validHandle(copy.ending) || !validHandle(copy.started)) {
    return false;
  }
  leader = fromNumber(copy.leader);
  ending = fromNumber(copy.ending);
  started = fromNumber(copy.started);
  members = {leader};
  leading = false;
  return true;
}

bool SaverGroupEnded() {
  if (ending == nullptr) return false;
  std::vector<HANDLE> handles = {ending};
  handles.insert(handles.end(), members.begin(), members.end());
  return WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, 0) !=
         WAIT_TIMEOUT;
}

void SaverGroupOpened() {
  if (leading || started == nullptr) return;
  ReleaseSemaphore(started, 1, nullptr);
  // The leader's window comes next and should be the active one.
  AllowSetForegroundWindow(ASFW_ANY);
}

void SaverGroupClosed() {
  if (ending != nullptr) SetEvent(ending);
  if (!leading) return;
  if (!members.empty() && WaitForMultipleObjects(static_cast<DWORD>(members.size()), members.data(),
                                                 TRUE, END_PATIENCE_MS) == WAIT_TIMEOUT) {
    // A copy that does not end would outlive the saver.
    for (HANDLE copy : members) {
      if (WaitForSingleObject(copy, 0) == WAIT_TIMEOUT) TerminateProcess(copy, 1);
    }
  }
  for (HANDLE copy : members) CloseHandle(copy);
  members.clear();
}
