// An hour of virtual use of the real application: eleven curves animating, a seeded stream of
// keys, wheel turns, clicks, resizes and pauses, and nothing may pile up meanwhile.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>

#include "../../app/state.h"
#include "../../platform/portable/diagnostics.h"
#include "../fuzz/app_session.h"

namespace {

using reliability::AppSession;

struct Holdings {
  size_t heapBlocks, heapBytes, pens, brushes, fonts, bitmaps, dcs, timers, windows;
};

Holdings Sample() {
  const portable::GdiUsage gdi = portable::QueryGdiUsage();
  return Holdings{AppSession::HeapBlocks(),
                  AppSession::HeapBytes(),
                  gdi.pens,
                  gdi.brushes,
                  gdi.fonts,
                  gdi.bitmaps,
                  gdi.dcs,
                  portable::LiveTimers(),
                  portable::LiveWindows()};
}

void Print(const char* when, const Holdings& h) {
  std::printf(
      "%s: heap %zu blocks / %zu bytes, pens %zu, brushes %zu, fonts %zu, bitmaps %zu, "
      "DCs %zu, timers %zu, windows %zu\n",
      when, h.heapBlocks, h.heapBytes, h.pens, h.brushes, h.fonts, h.bitmaps, h.dcs, h.timers,
      h.windows);
}

void ExpectSame(const Holdings& a, const Holdings& b) {
  EXPECT_EQ(a.heapBlocks, b.heapBlocks);
  EXPECT_EQ(a.heapBytes, b.heapBytes);
  EXPECT_EQ(a.pens, b.pens);
  EXPECT_EQ(a.brushes, b.brushes);
  EXPECT_EQ(a.fonts, b.fonts);
  EXPECT_EQ(a.bitmaps, b.bitmaps);
  EXPECT_EQ(a.dcs, b.dcs);
  EXPECT_EQ(a.timers, b.timers);
  EXPECT_EQ(a.windows, b.windows);
}

// Keys that would close the window or leave the eleven-curve setting are left out.
bool KeyAllowed(uint32_t code) {
  if (code == VK_ESCAPE || code == VK_MENU || code == VK_F4) return false;
  if (code >= '1' && code <= '9') return false;
  if (code >= VK_NUMPAD1 && code <= VK_NUMPAD9) return false;
  return true;
}

// One random input at the current virtual time.
void RandomInput(AppSession& app, std::mt19937& rng) {
  std::uniform_int_distribution<int> pick(0, 99);
  const int kind = pick(rng);
  std::uniform_int_distribution<int> coordinate(-200, 1300);
  if (kind < 40) {
    uint32_t code = 0;
    do {
      code = static_cast<uint32_t>(rng() & 0xFF);
    } while (!KeyAllowed(code));
    // The pause key only now and then: the animation should run most of the hour.
    if ((code == '0' || code == VK_NUMPAD0) && pick(rng) < 80) code = VK_ADD;
    app.Key(code, true, pick(rng) < 10);
    app.Key(code, false, false);
  } else if (kind < 65) {
    std::uniform_int_distribution<int> notches(-3, 3);
    const uint16_t keys = static_cast<uint16_t>(rng() & (MK_SHIFT | MK_CONTROL));
    app.Wheel(notches(rng) * WHEEL_DELTA, keys, coordinate(rng), coordinate(rng));
  } else if (kind < 85) {
    // Left clicks mostly; a right click toggles the pause, so it comes in pairs.
    const int x = coordinate(rng);
    const int y = coordinate(rng);
    if (pick(rng) < 75) {
      app.Button(0, true, x, y);
      app.Button(0, false, x, y);
    } else {
      app.Button(1, true, x, y);
      app.Button(1, false, x, y);
      app.RunUntil(app.NowMs() + 500);
      app.Button(1, true, x, y);
      app.Button(1, false, x, y);
    }
  } else if (kind < 95) {
    std::uniform_int_distribution<int> size(0, 2000);
    if (pick(rng) < 30) {
      app.Resize(1024, 768);
    } else {
      app.Resize(size(rng), size(rng));
    }
  } else {
    app.Move(coordinate(rng), coordinate(rng));
  }
}

TEST(Soak, AnHourOfElevenCurvesLeavesNothingBehind) {
  const auto wallStart = std::chrono::steady_clock::now();
  AppSession& app = AppSession::Instance();
  app.Restart(20261207, 10);
  ASSERT_TRUE(app.IsOpen());
  const uint64_t start = app.NowMs();
  const uint64_t minute = start + 60 * 1000;
  const uint64_t hour = start + 60 * 60 * 1000;

  std::mt19937 rng(0x50A4);
  std::uniform_int_distribution<int> gap(20, 4000);
  std::uniform_int_distribution<int> idle(0, 99);
  Holdings afterMinute{};
  bool sampled = false;
  uint64_t inputs = 0;
  while (app.NowMs() < hour) {
    uint64_t next = app.NowMs() + static_cast<uint64_t>(gap(rng));
    // Now and then the user leaves it alone for a while.
    if (idle(rng) < 3) next += 60 * 1000;
    if (!sampled && next >= minute) {
      app.RunUntil(minute);
      afterMinute = Sample();
      sampled = true;
    }
    app.RunUntil(next < hour ? next : hour);
    if (app.NowMs() >= hour) break;
    RandomInput(app, rng);
    ++inputs;
    ASSERT_TRUE(app.IsOpen()) << "the soak's input never closes the window";
  }
  const Holdings atEnd = Sample();
  const double wallSeconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();

  Print("after the first virtual minute", afterMinute);
  Print("after the virtual hour", atEnd);
  std::printf("virtual %.3f h, %llu inputs, %llu handled events checked, wall %.2f s\n",
              static_cast<double>(app.NowMs() - start) / 3600000.0,
              static_cast<unsigned long long>(inputs),
              static_cast<unsigned long long>(app.Counters().eventsChecked), wallSeconds);

  EXPECT_GE(app.NowMs(), hour);
  EXPECT_EQ(lastCurve, 10) << "eleven curves all the way";
  // The draw timer ticks every 10 ms at this setting: most of an hour's ticks must have come.
  EXPECT_GT(app.Counters().eventsChecked, 100000u);
  EXPECT_EQ(atEnd.timers, 2u);
  EXPECT_EQ(atEnd.windows, afterMinute.windows);
  ExpectSame(afterMinute, atEnd);
}

// Closing and opening the window again, by every way there is, gives everything back.
TEST(Soak, ReopeningTheWindowGivesEverythingBack) {
  AppSession& app = AppSession::Instance();
  app.Restart(7, 5);
  app.RunUntil(app.NowMs() + 1000);
  const Holdings open = Sample();
  for (int round = 0; round < 30; ++round) {
    switch (round % 3) {
      case 0:
        app.Key(VK_ESCAPE, true, false);
        app.Key(VK_ESCAPE, false, false);
        break;
      case 1: app.Close(); break;
      default:
        app.Key(VK_MENU, true, false);
        app.Key(VK_F4, true, false);
        app.Key(VK_F4, false, false);
        app.Key(VK_MENU, false, false);
        break;
    }
    ASSERT_FALSE(app.IsOpen()) << "round " << round;
    EXPECT_EQ(portable::LiveTimers(), 0u) << "round " << round;
    app.Reopen();
    ASSERT_TRUE(app.IsOpen());
    app.RunUntil(app.NowMs() + 1000);
  }
  const Holdings again = Sample();
  Print("open, first", open);
  Print("open, after 30 closings", again);
  ExpectSame(open, again);
}

}  // namespace
