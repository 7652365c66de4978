// Shared pieces of the Win32 conformance tests: a window procedure that records every
// message it receives, expected-sequence tables, test window classes, and helpers that work
// the same against our layer and against a real Win32.
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"
#include "tests/kit/message_log.h"

namespace conformance {

// The kit's recorder and expectation tables, under the names these tests use.
using kit::CountMessage;
using kit::Describe;
using kit::Expected;
using kit::Filtered;
using kit::IsIgnored;
using kit::kAny;
using kit::kDefWinProc;
using kit::kLParam;
using kit::kOptional;
using kit::kPosted;
using kit::kSent;
using kit::kWParam;
using kit::MatchSequence;
using kit::MessageName;

// What the recording procedure does besides recording; reset before every test.
struct Behaviour {
  bool paintWithBeginPaint = true;  // WM_PAINT: BeginPaint/EndPaint, keeping the PAINTSTRUCT
  bool eraseReturnsZero = false;    // WM_ERASEBKGND: return 0 instead of default processing
  bool swallowClose = false;        // WM_CLOSE: return 0 without default processing
  UINT destroySelfOn = 0;           // this message makes the procedure destroy its window
  bool failCreate = false;          // WM_CREATE returns -1
};

// The recorder's state besides the trace, which is kit::Log() (the tests run on one thread).
struct RecorderState {
  Behaviour behaviour;
  PAINTSTRUCT lastPaint{};
  RECT lastPaintClip{};  // clip box of the paint DC
  int lastPaintClipKind = 0;
  int paintCount = 0;
  BOOL destroyResult = FALSE;
  bool destroyedWindowWasWindowAfter = true;  // IsWindow right after the inner DestroyWindow
};
RecorderState& Recorder();
// Clears the trace, the paint facts and the behaviour.
void ResetRecorder();

bool SameRect(const RECT& a, const RECT& b);
std::string ShowRect(const RECT& r);

// Test window classes, registered once per process.
// kTraceClass: recording procedure, white class brush, 8 extra window bytes.
// kNoBrushClass: recording procedure, no class brush.
extern const char* const kTraceClass;
extern const char* const kNoBrushClass;
ATOM TraceClassAtom();
void RegisterTestClasses();

// Style of the usual test window: a visible popup with caption and sizing frame.
constexpr DWORD kFramedPopup = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE;

// Creates a top-level test window of modest size at (x, y).
HWND CreateTestWindow(DWORD style, int x = 40, int y = 40, int width = 240, int height = 180,
                      const char* className = kTraceClass);

// Retrieves and dispatches whatever is waiting (sent, posted, paint, due timers), and on a real
// Win32 also what the window system delivers in the next moments, so a test starts quiet.
void Settle();

// True when running under Wine rather than Windows or our layer.
bool RunningOnWine();

// Queues a key press and release as the keyboard would (input messages, not posted ones).
// Returns false when the input cannot be queued here.
bool QueueKeyInput(HWND target, UINT virtualKey);

// Waits until a message in [first, last] is waiting for `hwnd`, up to `timeoutMs`.
bool WaitForQueued(HWND hwnd, UINT first, UINT last, DWORD timeoutMs);

}  // namespace conformance
