// The recorder the ordering tests rely on: how it tells sent, posted and default-procedure
// messages apart, and how a table with optional entries and parameter checks is matched.
#include <gtest/gtest.h>

#include "tests/conformance/conformance_support.h"

namespace conformance {
namespace {

class MessageLog : public ::testing::Test {
 protected:
  void SetUp() override {
    hwnd_ = CreateTestWindow(WS_POPUP | WS_CAPTION | WS_SYSMENU);
    ASSERT_NE(hwnd_, nullptr);
    Settle();
    ResetRecorder();
  }
  void TearDown() override {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }
  HWND hwnd_ = nullptr;
};

TEST_F(MessageLog, SentPostedAndDefaultProcedureAreToldApart) {
  SendMessageA(hwnd_, WM_USER + 1, 1, 2);
  ASSERT_TRUE(PostMessageA(hwnd_, WM_USER + 2, 3, 4));
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, hwnd_, WM_USER + 2, WM_USER + 2, PM_REMOVE));
  kit::Dispatch(msg);
  Recorder().behaviour.swallowClose = true;
  SendMessageA(hwnd_, WM_SYSCOMMAND, SC_CLOSE, 0);  // the default procedure sends WM_CLOSE
  const std::vector<kit::Entry> trace = Filtered(hwnd_);
  ASSERT_EQ(trace.size(), 4u) << Describe(trace);
  EXPECT_EQ(trace[0].flags, static_cast<unsigned>(kSent));
  EXPECT_EQ(trace[1].flags, static_cast<unsigned>(kPosted));
  EXPECT_EQ(trace[2].flags, static_cast<unsigned>(kSent));
  EXPECT_EQ(trace[3].message, static_cast<UINT>(WM_CLOSE));
  EXPECT_EQ(trace[3].flags, static_cast<unsigned>(kSent | kDefWinProc));
}

TEST_F(MessageLog, TablesCheckWhatTheyName) {
  SendMessageA(hwnd_, WM_USER + 1, 7, 8);
  SendMessageA(hwnd_, WM_USER + 2, 0, 0);
  const std::vector<kit::Entry> trace = Filtered(hwnd_);
  EXPECT_EQ(MatchSequence(trace, {{WM_USER + 1, kWParam | kLParam, 7, 8}, {WM_USER + 2}}), "");
  // A missing optional entry is fine, anywhere.
  EXPECT_EQ(MatchSequence(trace, {{WM_USER, kOptional},
                                  {WM_USER + 1},
                                  {WM_TIMER, kOptional},
                                  {WM_USER + 2},
                                  {WM_PAINT, kOptional}}),
            "");
  // A wrong parameter, a wrong way of arrival, a missing or an extra entry is a mismatch.
  EXPECT_NE(MatchSequence(trace, {{WM_USER + 1, kWParam, 6}, {WM_USER + 2}}), "");
  EXPECT_NE(MatchSequence(trace, {{WM_USER + 1, kPosted}, {WM_USER + 2}}), "");
  EXPECT_NE(MatchSequence(trace, {{WM_USER + 1}, {WM_USER + 2, kDefWinProc}}), "");
  EXPECT_NE(MatchSequence(trace, {{WM_USER + 1}, {WM_USER + 2}, {WM_USER + 5}}), "");
  EXPECT_NE(MatchSequence(trace, {{WM_USER + 1}}), "");
}

}  // namespace
}  // namespace conformance
