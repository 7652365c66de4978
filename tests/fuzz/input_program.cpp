#include "input_program.h"

#include "app_session.h"
#include "fuzz_input.h"

namespace reliability {

ProgramStats PlayProgram(const uint8_t* data, size_t size) {
  AppSession& app = AppSession::Instance(SIZE{256, 192});
  fuzz::Input in(data, size);
  ProgramStats stats;
  // The first byte picks the random seed and the curve setting the run starts from.
  const uint8_t seed = in.U8();
  app.Restart(0x5EED0000u + seed, seed % 11);
  // Its top bit: the window's first paint (as many drawing steps as curves) is left out, as if
  // it had been painted, and the whole budget goes to what the input makes happen. Otherwise
  // the input meets the opening as the program does: its events come before the first paint.
  if (seed & 0x80) app.SkipFirstPaint();
  const uint64_t start = app.NowMs();
  const uint64_t end = start + MAX_PROGRAM_MS;
  app.SetStepBudget(app.Counters().drawSteps + MAX_PROGRAM_STEPS);

  while (!in.AtEnd() && !app.BudgetSpent()) {
    const uint8_t head = in.U8();
    const uint64_t delay = static_cast<uint64_t>(head >> 3) * 8;
    uint64_t when = app.NowMs() + delay;
    if (when > end) break;
    app.RunUntil(when);
    if (!app.IsOpen()) app.Reopen();
    ++stats.events;
    switch (head & 7) {
      case 0: {
        const uint32_t code = in.U8();
        const uint8_t flags = in.U8();
        const bool repeat = (flags & 2) != 0;
        if (flags & 4) {
          app.Key(code, true, repeat);
          app.Key(code, false, false);
        } else {
          app.Key(code, (flags & 1) == 0, repeat);
        }
        break;
      }
      case 1: {
        const int delta = in.S16();
        const uint16_t keys = in.U16();
        const int x = in.S16();
        app.Wheel(delta, keys, x, in.S16());
        break;
      }
      case 2: {
        const uint8_t b = in.U8();
        const int x = in.S16();
        app.Button(b % 3, (b & 4) == 0, x, in.S16());
        break;
      }
      case 3: {
        const int width = in.U16();
        app.Resize(width, in.U16());
        break;
      }
      case 4: app.Close(); break;
      case 5: {
        const int x = in.S16();
        app.Move(x, in.S16());
        break;
      }
      case 6: {
        when = app.NowMs() + static_cast<uint64_t>(in.U8()) * 10;
        app.RunUntil(when < end ? when : end);
        break;
      }
      default: {
        RECT r;
        r.left = in.S16();
        r.top = in.S16();
        r.right = in.S16();
        r.bottom = in.S16();
        app.Expose(r);
        break;
      }
    }
    if (!app.IsOpen()) ++stats.closes;
  }
  // Let the last input play out for a moment: the timers draw on it.
  if (app.IsOpen()) app.RunUntil(app.NowMs() + 120);
  app.CheckBetweenEvents("at the end of the input");
  app.SetStepBudget(UINT64_MAX);
  stats.virtualMs = app.NowMs() - start;
  return stats;
}

}  // namespace reliability
