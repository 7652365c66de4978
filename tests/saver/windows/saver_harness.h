// What the Windows saver tests share: the .scr started as the system starts it, our own message
// handling while we wait, the windows a process shows, the screen's pixels, and input.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace saver_test {

constexpr DWORD kPatienceMs = 30000;  // a fresh Wine prefix is slow to start a program
constexpr char kTitle[] = "ZELVARI in KORVEX PRO";

// A file next to this test program.
std::string BesideMe(const std::string& name);

// Handles our windows' messages (other processes send to them) until `done` or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
void PumpFor(DWORD ms);

class SaverProcess {
 public:
  SaverProcess() = default;
  SaverProcess(const SaverProcess&) = delete;
  SaverProcess& operator=(const SaverProcess&) = delete;
  ~SaverProcess();
  // Starts `program` (beside this test) with the arguments.
  bool Start(const std::string& arguments, const std::string& program = SAVER_FILE);
  DWORD Id() const { return info_.dwProcessId; }
  HANDLE Handle() const { return info_.hProcess; }
  bool Running() const;
  // Waits (handling our own messages) for the end; its exit code, or STILL_ACTIVE.
  DWORD WaitExit(DWORD timeoutMs);

 private:
  PROCESS_INFORMATION info_{};
};

// The visible top-level windows of `process` (of `className` when given).
std::vector<HWND> WindowsOf(DWORD process, const char* className = nullptr);
// One of them, or null.
HWND WindowOf(DWORD process, const char* className = nullptr);

// The screen's pixels in `r`, 0x00RRGGBB, row by row.
std::vector<uint32_t> GrabScreen(const RECT& r);
// Pixels of a screen rectangle that are not black.
int DrawnOnScreen(const RECT& r);

// A top-level window standing for the control panel, with a child where the preview goes.
struct Panel {
  HWND frame = nullptr;
  HWND monitor = nullptr;
  Panel();
  ~Panel();
};

std::string Decimal(HWND hwnd);
RECT VirtualScreen();
void MoveMouseTo(int x, int y);
void PressKey(WORD key);

}  // namespace saver_test
