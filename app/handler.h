// The window's event handler: controls, timers, painting, and the two speed ladders.
#pragma once

#include <cstdint>

constexpr uint32_t RESEED_TIMER = 1;
constexpr uint32_t DRAW_TIMER = 2;
constexpr uint32_t FIRST_RESEED_PERIOD = 4000;
// One wheel notch with nothing held, as wParam: +120 or -120 in the high word.
constexpr uint32_t WHEEL_NOTCH_FORWARD = 0x00780000;
constexpr uint32_t WHEEL_NOTCH_BACKWARD = 0xFF880000;

// What one press of a ladder does: the new speed and the periods timer 1 is restarted with,
// in order (a lowering press can restart it twice).
struct SpeedChange {
  double speed;
  int32_t restartCount;
  uint32_t restarts[4];
};

SpeedChange raisedSpeed(double current);
SpeedChange loweredSpeed(double current);

// Apply a ladder to `speed`, restarting timer 1 of mainWindow as the rows say.
void raiseSpeed();
void lowerSpeed();

// Period of timer 2 for a curve setting: 100 div n.
uint32_t drawPeriod(int32_t curveSetting);

int32_t handleEvent();
