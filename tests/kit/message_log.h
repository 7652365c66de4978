// One message recorder for every test that watches a window procedure: each entry says whether
// the message was sent, posted (dispatched from the queue), or caused by the default window
// procedure, and expected sequences are tables with the same flags.
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"

namespace kit {

// How a message reached the procedure (recorded), and how an expected entry is matched.
enum EntryFlags : unsigned {
  kAny = 0,              // expected: any way it came, as long as it is here
  kOptional = 1u << 0,   // expected: Windows may or may not send it
  kWParam = 1u << 1,     // expected: wParam must equal `wParam`
  kLParam = 1u << 2,     // expected: lParam must equal `lParam`
  kSent = 1u << 3,       // called directly (SendMessage, or a call inside the system)
  kPosted = 1u << 4,     // dispatched from the queue (through kit::Dispatch)
  kDefWinProc = 1u << 5  // caused by the default window procedure (through kit::DefProc)
};

struct Entry {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  unsigned flags;  // kSent or kPosted, maybe with kDefWinProc
};

struct Expected {
  UINT message;
  unsigned flags = kAny;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// Everything recorded since the last Clear (the tests run on one thread).
std::vector<Entry>& Log();
void Clear();

// Called first thing by a recording window procedure.
void Record(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// DefWindowProcA; what it causes is recorded as kDefWinProc.
LRESULT DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// DispatchMessageA; the message is recorded as kPosted.
LRESULT Dispatch(const MSG& msg);

// Messages that say nothing about the behaviour under test and that Windows sends or not
// depending on version, theme, input method and window manager.
bool IsIgnored(UINT message);
// The entries of `hwnd` (all windows when null), ignored messages dropped.
std::vector<Entry> Filtered(HWND hwnd = nullptr);
// The message numbers of `hwnd` (all windows when null), only those in `keep` when it is not
// empty; nothing is dropped as ignored.
std::vector<UINT> Messages(HWND hwnd, const std::vector<UINT>& keep = {});

// Compares a trace with an expected sequence; optional entries may be missing. Returns an
// empty string on a match, otherwise both sequences for the failure message.
std::string MatchSequence(const std::vector<Entry>& actual, const std::vector<Expected>& expected);
int CountMessage(const std::vector<Entry>& actual, UINT message);
std::string Describe(const std::vector<Entry>& actual);
const char* MessageName(UINT message);

}  // namespace kit
