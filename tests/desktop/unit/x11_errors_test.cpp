// The desktop host's X error filter: a wakeup message that reached a window after its
// destruction is dropped; every other error still reaches the handler that was there before.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xproto.h>

#include "platform/portable/host_sdl/x11_errors.h"

namespace {

int previousCalls = 0;
unsigned char previousSaw = 0;

int RecordingHandler(Display*, XErrorEvent* error) {
  ++previousCalls;
  previousSaw = error->error_code;
  return 7;
}

XErrorEvent Error(unsigned char code, unsigned char request) {
  XErrorEvent error{};
  error.type = 0;
  error.error_code = code;
  error.request_code = request;
  error.resourceid = 0x200002;
  return error;
}

TEST(X11Errors, AStaleWakeupIsDroppedAndOtherErrorsGoToThePreviousHandler) {
  XSetErrorHandler(RecordingHandler);
  portable::TolerateStaleWakeups();
  portable::TolerateStaleWakeups();  // a second call must not chain the filter onto itself

  XErrorEvent stale = Error(BadWindow, X_SendEvent);
  EXPECT_EQ(portable::FilterXError(nullptr, &stale), 0);
  EXPECT_EQ(previousCalls, 0);

  XErrorEvent otherRequest = Error(BadWindow, X_MapWindow);
  EXPECT_EQ(portable::FilterXError(nullptr, &otherRequest), 7);
  EXPECT_EQ(previousCalls, 1);
  EXPECT_EQ(previousSaw, BadWindow);

  XErrorEvent otherError = Error(BadValue, X_SendEvent);
  EXPECT_EQ(portable::FilterXError(nullptr, &otherError), 7);
  EXPECT_EQ(previousCalls, 2);
  EXPECT_EQ(previousSaw, BadValue);
}

}  // namespace
