// The session's invariant checks fire: a soak or fuzz run that passes has really been checked.
#include <gtest/gtest.h>

#include "../../app/state.h"
#include "../../runtime/core/heap.h"
#include "../fuzz/app_session.h"

namespace {

using reliability::AppSession;

class SessionChecks : public ::testing::Test {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    AppSession::Instance().Restart(3, 4);
  }
};

TEST_F(SessionChecks, ACleanSessionPasses) {
  AppSession& app = AppSession::Instance();
  app.RunUntil(app.NowMs() + 500);
  app.CheckBetweenEvents("clean");
  EXPECT_GT(app.Counters().eventsChecked, 10u);
}

TEST_F(SessionChecks, SpeedOutsideItsRange) {
  EXPECT_DEATH(
      {
        speed = 15.5;
        AppSession::Instance().CheckBetweenEvents("test");
      },
      "speed outside");
  EXPECT_DEATH(
      {
        speed = 0.05;
        AppSession::Instance().RunUntil(AppSession::Instance().NowMs() + 100);
      },
      "speed outside");
}

TEST_F(SessionChecks, CurveSettingOutsideItsRange) {
  EXPECT_DEATH(
      {
        lastCurve = 11;
        AppSession::Instance().CheckBetweenEvents("test");
      },
      "lastCurve outside");
}

TEST_F(SessionChecks, ParkedStringsAndHeldBrackets) {
  EXPECT_DEATH(
      {
        TempStringPush(SpaceString(3));
        AppSession::Instance().CheckBetweenEvents("test");
      },
      "temporary strings");
  EXPECT_DEATH(
      {
        mainWindow.holdCount = 1;
        AppSession::Instance().CheckBetweenEvents("test");
      },
      "holdCount");
}

TEST_F(SessionChecks, AHeapBlockLeftBehind) {
  EXPECT_DEATH(
      {
        RuntimeHeapAlloc(16);
        AppSession::Instance().Restart(3, 4);
      },
      "left heap blocks behind");
}

}  // namespace
