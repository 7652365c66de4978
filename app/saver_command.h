// What a screen-saver command line asks for. Parsing only: no window is looked at, nothing
// is printed, so both entries (and the fuzzer) can call it with any bytes.
#pragma once

#include <cstdint>
#include <string>

#include "saver_settings.h"

enum class SaverAction : uint8_t {
  Refused,         // bad arguments: `problem` says why
  Animate,         // no arguments on Linux: the spiral program as it always is
  Help,            // --help
  FullScreen,      // /s: the saver itself, ended by input
  Preview,         // /p HWND: a child of the given window, no input
  Settings,        // /c, /c:HWND or nothing (Windows): a message box, owned by `window` if given
  ChangePassword,  // /a: nothing to do
  Root,            // --root: XSCREENSAVER_WINDOW, or the root window when `window` is 0
  WindowId,        // --window-id ID
  OwnWindow,       // --window: a window of the saver's own
  FullScreenCopy,  // /copy SPEC: the saver on a further monitor, started by the /s process
};

// What the /s process hands a copy of itself: the monitor to cover and the (inherited) handles
// of the group it belongs to.
struct SaverCopy {
  PlainRect area;
  uint64_t leader = 0;   // the /s process: the copy ends when it is gone
  uint64_t ending = 0;   // an event set when any member ends
  uint64_t started = 0;  // a semaphore released when the copy's window is up
};

struct SaverCommand {
  SaverAction action = SaverAction::Refused;
  // The window handle (Windows) or X window id (Linux) the command names; 0 when none.
  uint64_t window = 0;
  // One line for standard error when refused.
  std::string problem;
  // Linux: --curves and --speed. (The Windows saver reads its settings from the registry.)
  SaverSettings settings;
  SaverCopy copy;  // FullScreenCopy only
};

// The arguments Windows passes a .scr (argv[0] is the program): /s, /p HWND, /p:HWND, /c,
// /c:HWND, /a, or none. Letter case is ignored and '-' may stand for '/'. A handle is an
// unsigned decimal number after a blank or a colon; 0 is no window and is refused. Also the
// command line of a copy, "/copy LEFT,TOP,RIGHT,BOTTOM,LEADER,ENDING,STARTED" (what
// FormatSaverCopy writes).
SaverCommand ParseSaverArguments(int argc, const char* const* argv);

// The arguments of the program on Linux: none, --root, --window-id ID, --window, --help (each
// also with one dash). An ID is hexadecimal (0x...) or decimal. `saverWindowVariable` is the
// value of XSCREENSAVER_WINDOW (null when unset), consulted by --root only. --window-id takes
// precedence over --root, and --root over --window. With any of those three, the settings
// --curves N (2 to 11) and --speed S (0.1 to 15), as "--curves N" or "--curves=N".
SaverCommand ParseHackArguments(int argc, const char* const* argv, const char* saverWindowVariable);

// The argument after "/copy" that gives a copy `copy`.
std::string FormatSaverCopy(const SaverCopy& copy);

// A window id in either notation; false for anything else (signs, blanks, junk, 0, more than
// 32 bits).
bool ParseWindowId(const char* text, uint64_t* id);
